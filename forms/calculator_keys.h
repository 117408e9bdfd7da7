// The calculator's keys and arithmetic, on its state (calculator_state.h),
// without the screen: what each key does to the entry, the result, the
// pending operator and the tape, and the result text it gives back.
//
// A key is first turned into its key text: a code beyond 255 either way
// becomes its decimal text ("19200" for Left), any other its character in
// capitals. Then:
//   "0"-"9"   a digit of the entry (a new entry when not entering); after
//             the point it is the next decimal. A digit that would take the
//             entry to kCalculatorLimit, or a decimal beyond kMaxDecimals,
//             is not taken.
//   "."       the decimal point (a new entry when not entering); so is the
//             session's decimal mark (format::state.DecCaracter, "," in the
//             suite), unless it is one of the keys named here.
//   Backspace the last digit off (a decimal, then the point itself, then an
//             integer digit); entering goes on only while the entry is not 0.
//   "+" "-" "*" "/" "=" (and Enter, only while entering)
//             the pending operator is applied (result := result op entry;
//             with none, result := entry), the entry goes on the tape with
//             the key, the entry becomes the result normalised (at most 15
//             significant digits, no trailing zeros); "=" also puts the
//             result on the tape, with no operator, and leaves none
//             pending; otherwise the key becomes the pending operator.
//   "%"       the entry goes on the tape with "%"; it becomes that per cent
//             of the result when "+" or "-" is pending, else entry / 100.
//   "R"       the entry rounded to hundredths, halves to the even hundredth
//             (towards zero for a negative entry), goes on the tape with
//             "R" and becomes the result, shown with two decimals.
//   "T"       the entry's sign turned.
//   "C"       while entering: clear entry (the entry shows the result
//             again); else clear all (entry, result and pending operator
//             forgotten); when already cleared: the tape view is emptied
//             (the tape itself is kept).
//   Left, Ctrl+Left / Right, Ctrl+Right
//             the calculator one column left / right, wrapping from column 1
//             to 55 and from 55 to 1.
//   "F", Alt+F  finish with the result text; Esc  finish with nothing.
// A new tape line is line 22; the older lines move up by one and line 1 is
// dropped; the tape view grows by one line until it shows lines 2 to 22.
//
// The error state: an operation whose result is not a number (a division
// by zero) or reaches kCalculatorLimit in magnitude writes nothing to the
// tape, clears all (as "C" does) and sets the error shown on the entry
// line. While it is shown only "C" (which removes it), Esc and the moves
// answer; every other key is ignored.
//
// State: none of its own.
#pragma once

#include <cstdint>
#include <string>

#include "forms/calculator_state.h"

namespace console {

// What a key asks of the calculator's window.
enum class CalculatorAction {
  kNone,    // nothing to draw but the entry line
  kRedraw,  // the tape changed
  kReopen,  // the tape view was emptied: the window is opened afresh
  kMove,    // the column changed: the window moves there
  kFinish,  // "F": close and type the result text
  kCancel,  // Esc: close, typing nothing
};

// The key's text, as stored in state.keyText.
std::string CalculatorKeyText(int16_t key);

// Applies one key to the state and says what the window must do.
CalculatorAction CalculatorKey(CalculatorState& state, int16_t key);

// The entry at most 15 significant digits long, without trailing zeros
// after the point; decimals and the decimal point flag follow it.
void NormaliseEntry(CalculatorState& state);

// The text "F" gives: the entry while entering, else the result, in the
// form number fields take, the last two digits hundredths and no sign:
// 12.5 gives "1250", 0.05 "5", 1.234 "123.4", 0 "0", -3 "300".
std::string CalculatorResultText(const CalculatorState& state);

// The text of a tape line's or the entry's value: MaskFormat under the
// right-most 21 characters of "-Z,ZZZ,ZZZ,ZZZ,ZZZ,ZZ9", a "." with the
// decimal point, and one "9" per decimal.
std::string CalculatorValueText(double value, int16_t decimalPoint, int16_t decimals);

}  // namespace console
