// The suite's text files (Brol.ini, BrolTerm.ini, Sessio.ini, the message
// catalogue) as code page 850 text, whether they were saved by the suite
// (code page 850) or by an editor of this platform (UTF-8, with or without
// a byte-order mark): platform::TextFileToCp850 decides.
//
// A UTF-8 file with a character code page 850 lacks is refused: it reads as
// an empty file, so that none of its values is used garbled, and the first
// refusal of the run is kept in config::session.Refusal for the program to
// report (it names the file, the character and its line).
//
// State: session.Refusal (session.h).
#pragma once

#include <string>

namespace config {

// A text file refused for a character code page 850 lacks.
struct TextRefusal {
  std::string name;       // the file's suite name; "" = no refusal
  char32_t character = 0;  // the first such character
  int line = 0;            // its 1-based line
};

// Reads the file at the native path, whose suite name is `name`, as code
// page 850 text into *text. Returns false when the file cannot be read.
// Returns true otherwise; a refused file gives the empty text and, when it
// is the first refusal of the run, is kept in session.Refusal.
bool ReadTextFile(const std::string& nativePath, const std::string& name, std::string* text);

// The first refused text file of the run, after reading the two the
// program reads only later or not at all at start: RootDir + "Brol.ini"
// and, for a session language other than Catalan (the only ones that use
// it), the message catalogue. Returns true with *refusal set when a file
// was refused, false when none was.
bool RefusedTextFile(TextRefusal* refusal);

}  // namespace config
