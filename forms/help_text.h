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
// State: none; a HelpText is the caller's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace console {

constexpr char kHelpHighlight = '\x1E';
constexpr char kHelpUnderline = '\x1F';
constexpr char kHelpReverse = '\x10';

// At most this many characters of a line are shown.
constexpr int kHelpLineWidth = 76;

struct HelpText {
  std::string Bytes;          // the whole file
  int32_t RecordLength = 80;  // bytes per line
  int32_t LineCount = 0;
};

// Reads the file at the native path. Returns false (text empty) when it
// cannot be read or recordLength is below 1. The line count is the file's
// length divided by the record length, rounded to the nearest whole number
// (halves to even): a last record cut short still counts when it holds at
// least half a record (and is then padded with blanks).
bool LoadHelpText(const std::string& nativePath, int32_t recordLength, HelpText& text);

// Line n (1-based) as a whole record; an empty record (blanks) for a line
// number outside 1..LineCount.
std::string HelpLine(const HelpText& text, int32_t n);

// A run of characters drawn in one colour role ("h", "n", "u" or "r").
struct HelpRun {
  char Role = 'n';
  std::string Text;
};

// The runs of one line as shown: without control bytes its first 76
// characters in role "n"; with them, the characters other than the codes,
// up to 76, each run in the role the codes before it chose.
std::vector<HelpRun> HelpLineRuns(const std::string& line);

}  // namespace console
