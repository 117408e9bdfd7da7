// The INI file reader: every configuration question of the system (a key of
// a section of Brol.ini, BrolTerm.ini or Sessio.ini) is answered by IniRead.
//
// The file is code page 850, or UTF-8 as an editor saves it (text_file.h:
// converted, or refused and then read as an empty file).
//
// File syntax, as read here (in code page 850):
//   - A line ends at CR LF, at a lone CR or at a lone LF, so that a file
//     saved by an editor of this platform (LF line ends) reads as one saved
//     with CR LF. A last line without a line end counts. A byte 0x1A
//     (end-of-file mark) ends the data.
//   - Everything from the first ";" of a line is a comment, even inside
//     quotation marks. Lines that are then empty or blank are skipped.
//   - Only the space character is trimmed; a tab is an ordinary character.
//   - "[Name]" (first non-space character "[") opens a section; without "]"
//     the name runs to the end of the line. Spaces around the name go.
//   - "Key=Value" inside a section: the key is the text before the first
//     "=", the value everything after it, spaces included and untrimmed.
//   - Section and key names compare trimmed and in capitals, where capitals
//     are a-z and the seven letters a-umlaut, o-umlaut, u-umlaut, e-acute,
//     n-tilde, a-ring and c-cedilla of code page 850; every other byte,
//     other accented letters included, compares as it is.
//   - Only the first section of a name is searched, and the first matching
//     key wins. Keys before any section header are never found.
//   - A value of two or more characters that begins and ends with '"' loses
//     those two marks; nothing else is unquoted.
//
// State: a parsed copy of the last few files read, in config::session (see
// session.h), used only while the file's stamp is unchanged (file_stamp.h).
// The stamp, and the suite name's resolution, are looked at again at most
// once per kRecheckNs (100 ms) and at the first read after the program
// waited for a key or a child program; between those a read touches no
// file. So a file changed on disk is seen within 100 ms, and always by the
// next report pass, which begins after such a wait.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/file_stamp.h"

namespace config {

// One significant line of an INI file, already cut at its comment and
// stripped of leading spaces.
struct IniLine {
  enum Kind { kHeader, kKey, kOther } kind = kOther;
  std::string name;   // header or key name, trimmed and in capitals
  std::string value;  // key lines: the text after the first "="
};

// A parsed INI file kept between calls.
struct IniFile {
  std::string name;  // the suite name it was last read under
  std::string path;  // native path
  FileStamp stamp;
  std::vector<IniLine> lines;
  uint64_t lastUse = 0;
};

// How many parsed files IniRead keeps.
constexpr size_t kIniCacheFiles = 8;

// The value of `key` in `section` of the file named `path` (a suite file
// name, passed through platform::SuitePath). Returns the empty text when
// the file cannot be opened, the section or key is missing, or the value is
// empty. Never reports an error.
std::string IniRead(const std::string& path, const std::string& section,
                    const std::string& key);

// The name rule above: spaces trimmed at both ends, then capitals.
std::string IniName(const std::string& name);

}  // namespace config
