// What the spool says about the document it makes: its title and its name,
// from the device commands "*@TITOL " and "*@NOM " (print/spool_format.h).
//
// The name comes from the spool, a file that any program of the terminal may
// have written, and becomes part of a path: DocumentFileName keeps it to one
// plain file name, so that no name can reach outside the folder the document
// is written in.
//
// No state.
#pragma once

#include <string>

namespace zudavivi {

struct DocumentInfo {
  std::string title;  // code page 850; "" when the spool gives none
  std::string name;   // code page 850, as the spool gives it; "" when none
};

// Reads the title and name commands of the spool. The first of each counts;
// the scan stops at the first page-length or text record (they come before
// it) and at a record that is not in the spool format. Never fails: a spool
// without them gives empty texts.
DocumentInfo ReadDocumentInfo(const std::string& spool);

// The name as a file name without a folder or an extension: ASCII letters,
// digits, "-" and "_" are kept, the letters of code page 850 with an accent
// lose it ("\xE0" O with a grave accent gives "O"), every other character
// (a space, ".", "/", "\", ":", a control character) becomes "_". Leading
// and trailing "_" go, and the result is cut to 100 characters. Returns ""
// when nothing is left.
std::string DocumentFileName(const std::string& name);

}  // namespace zudavivi
