// Screen, colours and saved windows: what every screen routine of the
// program draws with.
//
//   - The current window: after PushWindow the innermost pushed rectangle
//     (frame included, absolute 1-based rows and columns); LocateInWindow
//     places the cursor relative to it, row 1 / column 1 being its first
//     inner cell and row 0 / column 0 its frame.
//   - The window stack: PushWindow saves the cells a pop-up is about to
//     cover in the file WinPush.tmp of the session's temporary directory
//     (layout in window_stack_format.h); PopWindow puts them back and makes
//     the previous window current again. Pushes and pops pair: every
//     routine that pushes pops before it returns, except ShowMessage,
//     whose caller pops.
//   - Frames (DrawFrame) and colour roles (SetColourRole): roles are named
//     by letters and take their colours from config::session.ColourTable.
//   - ShowMessage: a framed, centred message box.
//
// State: `console::screen`, one instance of ScreenState; tests reset it by
// assigning a fresh ScreenState. The cells themselves live in the platform
// console (platform/console.h).
//
// Coordinates are 16-bit; a window with rows or columns above 99 does not
// survive a push (the stack file keeps two digits).
#pragma once

#include <cstdint>
#include <string>

namespace console {

struct ScreenState {
  int16_t WindowDepth = 0;   // windows pushed and not yet popped; 0 = none
  int16_t WindowTop = 0;     // the innermost window, frame included
  int16_t WindowLeft = 0;
  int16_t WindowBottom = 0;
  int16_t WindowRight = 0;
  int16_t ColourRole = 0;    // role in force, 0..4
  std::string ColourStack;   // saved roles, one byte each (the role number); last = top
};
extern ScreenState screen;

// Colour roles (indexes of config::session.ColourTable).
constexpr int16_t kRoleHighlight = 0;  // "h"
constexpr int16_t kRoleNormal = 1;     // "n"
constexpr int16_t kRoleReverse = 2;    // "r"
constexpr int16_t kRoleReverseNormal = 3;  // "rn"
constexpr int16_t kRoleInput = 4;      // "u"

// The console's size.
int16_t ScreenRows();
int16_t ScreenColumns();

// Moves the cursor to (row + WindowTop, column + WindowLeft) while a window
// is open, else to (row, column). Coordinates that fall off the screen keep
// the cursor's current row or column.
void LocateInWindow(int16_t row, int16_t column);

// The first inner row and column of the current window and its last inner
// column; without a window 1, 1 and ScreenColumns().
int16_t InnerTop();
int16_t InnerLeft();
int16_t InnerRight();

// Saves the rectangle (absolute, frame included) on the window stack and
// makes it the current window. Nothing is drawn. Returns true when pushed;
// false, changing nothing, when a coordinate is off the screen or the
// stack file cannot be written.
bool PushWindow(int16_t top, int16_t left, int16_t bottom, int16_t right);

// Restores the cells, the cursor and the window saved by the last push;
// the colours in force afterwards are those of the last cell restored.
// The stack file is deleted when its last record is popped, and the
// terminal is brought up to date (as after ShowMessage). Returns true
// when a record was restored. With no record (or a damaged one) the screen
// is unchanged, the stack file is deleted and the result is false.
bool PopWindow();

// Frames the current window and blanks its inside, in the current colours:
// style 0 spaces, 1 single lines, 2 double lines. Nothing without a window
// or for another style.
void DrawFrame(int16_t style);

// Sets, saves or restores the colour role. The code is compared in
// capitals: empty or all blanks does nothing; "+" first saves the role in
// force on ColourStack; "-" takes the role back from the stack (role 0 when
// the stack is empty); otherwise the letters choose the role: 4 with "U",
// else 2 with "R" plus 1 with "N", else 0. The console colours become the
// role's entries of the colour table.
void SetColourRole(const std::string& code);

// Shows the text in a framed box centred on column 41, its lines (76
// characters at most) ending near `row`, in colour role "rh"; the box's
// window is left open for the caller to pop. Returns true when the window
// was pushed, false when the message does not fit on the screen (nothing
// shown, nothing to pop). The colour role in force is unchanged. The box is
// on the terminal when this returns, even if no key is read afterwards.
bool ShowMessage(int16_t row, const std::string& text);

// Scrolls the rectangle given in 0-based coordinates by `lines`: up for
// lines > 0, down for lines < 0; uncovered rows are blanked.
void ScrollRegion(int16_t top, int16_t left, int16_t bottom, int16_t right, int16_t lines);

}  // namespace console
