// The screen device: a preview of the pages on the whole terminal.
//
// The console's model takes the terminal's size (and takes it again when
// the window is resized): all but the last row show the page, the last row
// is the status line (preview_status.h: page N of M, the lines and columns
// in view, the keys, in the session's language). On a terminal of at least
// 96 columns the whole width of a page shows; on a narrower one a line
// whose text goes on past the right edge shows "»" in the last column, and
// one with text hidden past the left edge "«" in the first, so that a cut
// amount is never taken for a whole one; the status line then names the
// arrows that scroll across.
//
// Keys: PgDn and PgUp turn the pages; Left and Right scroll the columns by
// 8, Up and Down the lines by one; Home and End go to the first and the
// last page; Esc leaves. The body is drawn in the colour role "n", the
// status line in "r".
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
