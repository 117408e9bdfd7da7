// Help: F1 in a form field shows the help text of the current menu entry.
//
// Under the graphical shell (session run mode "WIN") the help is the HTML page
// AJUDA\ + topic + .HTM, opened by the suite's launcher: the command line is
// the environment variable COMSPEC as given + " /C QOVIRE AJUDA\" + topic +
// ".HTM", started directly (no shell) and not waited for. When COMSPEC is empty
// or its program cannot be started, and in the other run modes, the help is the
// text file AJUDA\ + topic + .HLP (console/help_format.h: records as wide as
// the console, attribute codes 30 highlight, 31 underline, 16 reverse), in the
// console viewer: rows 4 to ScreenRows - 3 of the whole width, 76 characters a
// line, shown in a framed window that scrolls with the cursor keys, PgUp, PgDn,
// Home and End; F1 there opens the general topic "KESTOBAL"; Esc leaves.
// The text file is chosen by the session's language: for "SPA", "GLG" and
// "OCI", AJUDA\ + language + \ + topic + .HLP (AJUDA\SPA\TORBELAN.HLP)
// when it exists; otherwise, and for Catalan, AJUDA\ + topic + .HLP. The
// general topic follows the same rule.
// File names are relative to the current directory (the suite's root).
//
// State: none kept between calls; the window is pushed and popped within
// the call (windows.h).
#pragma once

#include <string>

namespace console {

// Shows the help of `topic` and returns when the operator leaves it. A
// topic without a help file gets a short message in the session's
// language ("NO HI HA AJUDA PER A " + topic) and one key. The screen, the window
// and the colour role are as they were when it returns.
void ShowHelp(const std::string& topic);

}  // namespace console
