// Help text files (.HLP), read for the help viewer: the format and its
// control bytes are in console/help_format.h.
//
// State: none; a HelpText is the caller's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "console/help_format.h"

namespace console {

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
