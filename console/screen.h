// The screen layer's state and the console's size: what the windows
// (windows.h), colour roles (colours.h) and message boxes (message.h) of
// the program share.
//
//   - The current window: after PushWindow the innermost pushed rectangle
//     (frame included, absolute 1-based rows and columns); without a pushed
//     window, the whole screen.
//   - The colour role in force and the stack of saved roles.
//
// State: `console::screen`, one instance of ScreenState; tests reset it by
// assigning a fresh ScreenState (or with the keyboard by ResetConsoleLayer,
// console_reset.h). The cells themselves live in the platform
// console (platform/console.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace console {

struct ScreenState {
  int16_t WindowDepth = 0;   // windows pushed and not yet popped; 0 = none
  int16_t WindowTop = 0;     // the innermost window, frame included
  int16_t WindowLeft = 0;
  int16_t WindowBottom = 0;
  int16_t WindowRight = 0;
  int16_t ColourRole = 0;    // role in force, 0..4
  std::string ColourStack;   // saved roles, one byte each (the role number); last = top
  // Windows pushed while the stack file could not be written (windows.h):
  // their records in the file's layout, last = top; they sit above every
  // window of the file.
  std::vector<std::string> InMemory;
};
extern ScreenState screen;

// The console's size.
int16_t ScreenRows();
int16_t ScreenColumns();

}  // namespace console
