// The calculator pop-up (Alt+X): an adding machine with a paper tape, drawn
// over the right of whatever is on the screen, whose result the key reader
// types into the field being edited. What its keys do is in
// calculator_keys.h; its state and the state file ZULCALC.TMP, in which the
// tape and the numbers survive from one opening and one run to the next,
// in calculator_state.h.
//
// The window: 26 columns from the calculator's column (1 to 55) over rows
// 1 to 25, colour role "n", nothing blanked:
//   row L-1        top of the tape "┌────┐" (L: the first visible line)
//   rows L to 22   the tape lines L to 22: "│", the value (21 characters),
//                  a blank, the operator, a blank, "│"
//   row 23         "├────┤" below the tape, or "┌────┐" when the view is
//                  empty
//   row 24         the entry line: "│", the entry (21 characters; the
//                  error text, right-aligned, in the error state), three
//                  blanks, "│"
//   row 25         "└────┘"
// Rows above the tape keep what the screen showed under them.
//
// State: none kept in memory between openings; the key reader's
// CalculatorOpen flag keeps a second Alt+X inside the calculator from
// opening another one (keyboard.h).
#pragma once

#include <string>

namespace console {

// Runs the calculator: reads the state file (created empty when missing)
// from config::session.TermDir, answers keys until "F"/Alt+F or Esc, and
// writes the state file again. Returns the result text (see
// CalculatorResultText) after "F", "" after Esc. The screen, the colour
// role, the key set and the cursor are as before when it returns. When its
// window cannot be saved (the window stack file cannot be written) the
// calculator does not open, the state file is left as it was and the
// result is "".
std::string Calculator();

}  // namespace console
