// The message catalogue: the program's fixed texts are written in Catalan;
// Translate gives them in the session's language.
//
// The catalogue is the file RootDir + "LOCALE\" + name + ".LNG" (name: the
// program's module name, "TORBELAN"), code page 850 or UTF-8 (text_file.h:
// converted, or refused and then read as empty). It is a flat sequence
// of comma-separated fields (read by the delimited reader,
// delimited_reader.h, with bare values kKeepTrailing) read four at a time;
// each group of four is one entry:
//   1  the Catalan text, exactly as the program asks for it (the key)
//   2  the Galician-Portuguese text ("GLG")
//   3  the Aranese text ("OCI")
//   4  the Spanish text ("SPA")
// Field syntax (delimited_reader.h): a quoted field is taken as it stands;
// an unquoted one keeps its trailing spaces up to the comma or line end (CR
// LF, CR or LF alone) and tabs inside it are dropped. A text with leading
// spaces therefore needs quotation
// marks; trailing spaces may stand bare before the comma. Only the count
// of fields matters: entries may be laid out one per line or otherwise.
// Fields left over at the end that do not make a whole entry are not an
// entry.
//
// State (in config::session): the catalogue name, fixed on the first lookup,
// and the parsed catalogue, used only while the file's stamp is unchanged
// (file_stamp.h). The native path the suite name resolved to is kept with
// it. The stamp is looked at (one stat, no resolution) at most once per
// kRecheckNs (100 ms) and at the first lookup after the program waited for
// a key or a child program; between those a lookup touches no file. So a
// catalogue changed on disk is seen within 100 ms, and always by the next
// report pass, which begins after such a wait.
#pragma once

#include <array>
#include <string>
#include <unordered_map>
#include <vector>

#include "config/file_stamp.h"

namespace config {

// A parsed catalogue kept between calls.
struct CatalogueFile {
  std::string rootDir;  // session.RootDir and CatalogueName when `path` was
  std::string name;     // resolved from them
  std::string path;  // native path; "" = nothing parsed yet
  FileStamp stamp;
  std::vector<std::array<std::string, 4>> entries;
  std::unordered_map<std::string, size_t> firstEntry;  // key -> first entry
};

// The text in the session language (config::session.Language):
//   - "CAT": the text itself, and no file is touched;
//   - otherwise the catalogue is searched for the first entry whose key
//     equals the text byte for byte; "SPA", "GLG" and "OCI" take that
//     entry's field 4, 2 and 3 (even when it is empty), any other language
//     keeps the text. A text without an entry comes back unchanged.
// A missing catalogue file is created empty (when its directory exists);
// when the file can be neither created nor read, the text comes back
// unchanged. Never fails.
std::string Translate(const std::string& text);

// The entries of catalogue file bytes, by the field syntax above.
std::vector<std::array<std::string, 4>> ParseCatalogue(const std::string& bytes);

}  // namespace config
