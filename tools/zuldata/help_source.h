// Help topics from their readable sources: suite/AJUDA/TOPIC.txt (UTF-8,
// LF line ends, the marks {h} {u} {r} for the three attributes, as
// suite/AJUDA/README.md tells) into the .HLP file the console help viewer
// reads (forms/help_text.h): code page 850, one blank-padded record of
// kHelpRecordLength bytes per line, each mark replaced by its control byte.
#pragma once

#include <string>

namespace zuldata {

// Bytes per record: the width of the suite's console.
constexpr int kHelpRecordLength = 80;

// Builds the .HLP bytes of a help source (a UTF-8 byte-order mark before
// its first line is passed over). Returns false, with the problem
// and the 1-based line number, for a line that shows more than 76
// characters, whose record would pass 80 bytes, or that has a character
// code page 850 lacks (or a byte that is one of the control codes).
bool BuildHelpFile(const std::string& utf8, std::string* hlp, std::string* problem);

}  // namespace zuldata
