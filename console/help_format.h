// Help text files (.HLP): fixed-length records of as many bytes as the
// console has columns; record n is line n of the text, in code page 850,
// blank-padded. Three control bytes inside a line switch attributes and
// take no column:
//   30 (0x1E)  highlight on / off: colour role "h" / "n"; ignored while
//              underline is on
//   31 (0x1F)  underline on / off: role "u" / "n"
//   16 (0x10)  reverse on / off: role "r" / "n"
// Every line starts in role "n" with all three off.
//
// Header only: the help viewer (forms/help_text.h) reads the format and
// zuldata's help builder (tools/zuldata/help_source.h) writes it, and
// neither layer is the other's.
#pragma once

namespace console {

constexpr char kHelpHighlight = '\x1E';
constexpr char kHelpUnderline = '\x1F';
constexpr char kHelpReverse = '\x10';

// At most this many characters of a line are shown.
constexpr int kHelpLineWidth = 76;

}  // namespace console
