// Windows: the current window, coordinates relative to it, frames,
// scrolling, and the window stack that saves what a pop-up covers.
//
//   - The current window (screen.h): LocateInWindow places the cursor
//     relative to it, row 1 / column 1 being its first inner cell and row 0
//     / column 0 its frame.
//   - The window stack: PushWindow saves the cells a pop-up is about to
//     cover in the file WinPush.tmp of the session's temporary directory
//     (layout in window_stack_format.h); PopWindow puts them back and makes
//     the previous window current again. Pushes and pops pair: every
//     routine that pushes pops before it returns, except ShowMessage
//     (message.h), whose caller pops.
//   - A stack file that cannot be written (the terminal's folder full or
//     read-only) does not stop a pop-up: the window is kept in memory
//     instead (screen.h InMemory), and so is every window pushed above it,
//     until they are popped again. The push that starts keeping windows
//     in memory tells the operator in a message box (message.h
//     TerminalFileMessage); those above it do not, nor does the push of a
//     message box itself (PushMessageWindow).
//
// State: the window fields of `console::screen` (screen.h).
//
// Coordinates are 16-bit; a window with rows or columns above 99 does not
// survive a push (the stack file keeps two digits).
#pragma once

#include <cstdint>

namespace console {

// Moves the cursor to (row + WindowTop, column + WindowLeft) while a window
// is open, else to (row, column). Coordinates that fall off the screen keep
// the cursor's current row or column.
void LocateInWindow(int16_t row, int16_t column);

// Absolute console coordinates made relative to the current window (the
// inverse of LocateInWindow); without a window they stay as they are.
int16_t RowInWindow(int16_t absoluteRow);
int16_t ColumnInWindow(int16_t absoluteColumn);

// The first inner row and column of the current window and its last inner
// column; without a window 1, 1 and ScreenColumns().
int16_t InnerTop();
int16_t InnerLeft();
int16_t InnerRight();

// Saves the rectangle (absolute, frame included) on the window stack and
// makes it the current window. Nothing is drawn, but for the message box
// (shown and removed again, waiting for a key) that tells that the stack
// file cannot be written. Returns true when pushed, in the file or in
// memory; false, changing nothing, when a coordinate is off the screen.
bool PushWindow(int16_t top, int16_t left, int16_t bottom, int16_t right);

// PushWindow for a message box (message.h): the same, but a window kept in
// memory is not told about, since the box itself tells the operator.
bool PushMessageWindow(int16_t top, int16_t left, int16_t bottom, int16_t right);

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

// Blanks the whole console in the current colours and puts the cursor at
// row 1, column 1; the current window and the window stack are unchanged.
void ClearScreen();

// Scrolls the rectangle given in 0-based coordinates by `lines`: up for
// lines > 0, down for lines < 0; uncovered rows are blanked.
void ScrollRegion(int16_t top, int16_t left, int16_t bottom, int16_t right, int16_t lines);

}  // namespace console
