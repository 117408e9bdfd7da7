// The text device: the pages as plain UTF-8 text.
//
// Every line of a page is written without its trailing spaces and ended by
// LF; pages are separated by a form feed (FF, before every page but the
// first). Blank lines at the foot of a page are not written. Code page 850
// characters are converted to UTF-8.
#pragma once

#include <string>

namespace zudavivi {

// Renders the spool into a text file at the native path. Returns 0 on
// success; 1 for a spool that is not well formed and 2 when the file cannot
// be written, with *error set. The file appears only when complete.
int RenderText(const std::string& spool, const std::string& path, long* pages,
               std::string* error);

}  // namespace zudavivi
