// Colour roles: what the program draws in is named by role, and each role
// takes its foreground and background from the session's colour table
// (config::session.ColourTable, from the terminal's BrolTerm.ini).
//
// State: ColourRole and ColourStack of `console::screen` (screen.h).
#pragma once

#include <cstdint>
#include <string>

namespace console {

// Colour roles (indexes of config::session.ColourTable).
constexpr int16_t kRoleHighlight = 0;  // "h"
constexpr int16_t kRoleNormal = 1;     // "n"
constexpr int16_t kRoleReverse = 2;    // "r"
constexpr int16_t kRoleReverseNormal = 3;  // "rn"
constexpr int16_t kRoleInput = 4;      // "u"

// Sets, saves or restores the colour role. The code is compared in
// capitals: empty or all blanks does nothing; "+" first saves the role in
// force on ColourStack; "-" takes the role back from the stack (role 0 when
// the stack is empty); otherwise the letters choose the role: 4 with "U",
// else 2 with "R" plus 1 with "N", else 0. The console colours become the
// role's entries of the colour table.
void SetColourRole(const std::string& code);

}  // namespace console
