// The screen device: a preview of the pages on the console.
//
// The page is shown 80 columns and 24 lines at a time, with a status line at
// the foot of the screen. PgDn and PgUp turn the pages; Left and Right
// scroll the 96 columns across the 80 of the screen, Up and Down the page's
// lines; Home and End go to the first and the last page; Esc leaves.
#pragma once

#include <string>

namespace zudavivi {

// Lays the spool out and shows it until the operator leaves. Returns 0, or
// 1 for a spool that is not well formed (with *error set).
int RunPreview(const std::string& spool, std::string* error);

}  // namespace zudavivi
