// The screen device: a preview of the pages on the console.
//
// The page is shown 80 columns and 24 lines at a time, with a status line at
// the foot of the screen (page, lines and columns in view). PgDn and PgUp
// turn the pages; Left and Right scroll the 96 columns across the 80 of the
// screen, Up and Down the page's lines; Home and End go to the first and the
// last page; Esc leaves. The body is drawn in the terminal's colour role
// "n", the status line in "r".
//
// The console is started on first use and left running: the caller ends it
// (platform::ConsoleEnd) to give the terminal back.
#pragma once

#include <string>

namespace zudavivi {

// Lays the spool out and shows it until the operator leaves with Esc.
// Returns 0, or 1 for a spool that is not well formed (with *error set;
// nothing is shown then).
int RunPreview(const std::string& spool, std::string* error);

}  // namespace zudavivi
