// The calculator's state (calculator.h) and its state file ZULCALC.TMP,
// kept in the terminal's directory (config::session.TermDir) from one
// opening to the next and from one run to the next.
//
// The file is text in code page 850: comma-separated values, numbers as
// plain decimal text without a leading blank or an exponent (up to 17
// significant digits, so that every number reads back as the same double),
// truth values as -1 (true) and 0 (false), texts in double quotes; every
// record ends with CR LF:
//   record 1      column, first visible tape line, entry, result
//   record 2      cleared, entering, decimal point, decimals
//   record 3      "key text", "pending operator"
//   records 4-25  the tape lines 1 (oldest) to 22 (newest), each:
//                 value, decimal point, decimals, "operator"
// For example, after 5 + 3 = and F on a fresh file, records 1 to 3 are
//   1,20,8,8
//   0,0,0,0
//   "F",""
// followed by nineteen records 0,0,0,"" and then 5,0,0,"+" / 3,0,0,"=" /
// 8,0,0,"". Changing the order or the meaning of a field makes the files
// on the terminals unreadable.
//
// Reading is forgiving, since the file may have been cut short, damaged or
// edited by hand: an empty or missing file is the initial state; records are
// lines (CR LF or LF), read value by value with the comma-delimited reader
// (config/delimited_reader.h); in records 1 to 3 every value that is missing
// or not acceptable keeps its initial value, and a tape line that is missing
// or has any value that is not acceptable stays an initial (empty) line;
// records after the 25th are not read. Acceptable are: a column 1 to 55; a
// first visible line 2 to 23; numbers written entirely as a number, finite
// and below kCalculatorLimit in magnitude; truth values -1 and 0; decimals
// 0 to kMaxDecimals; a pending operator "+", "-", "*", "/" or ""; a tape
// operator "+", "-", "*", "/", "=", "R", "%" or "" (a blank counts as "");
// a key text of at most 6 characters. The file is never a reason to fail.
//
// State: none here; the calculator keeps a CalculatorState while it is open.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace console {

// The state file's name, in the terminal's directory.
constexpr const char* kCalculatorFileName = "ZULCALC.TMP";

// The calculator's numbers stay below this in magnitude: a result that
// would reach it (or one that is not a number, as after a division by zero)
// is the calculator's error state, a digit that would take the entry there
// is not taken, and a state file number beyond it is not read.
constexpr double kCalculatorLimit = 1e100;

// At most this many decimals are typed or kept (the calculator keeps 15
// significant digits).
constexpr int16_t kMaxDecimals = 15;

constexpr int16_t kTapeLines = 22;
constexpr int16_t kFirstColumn = 1;
constexpr int16_t kLastColumn = 55;   // the calculator is 26 columns wide
constexpr int16_t kTapeViewEmpty = 23;  // first visible line of an empty view

struct TapeLine {
  double value = 0;
  int16_t decimalPoint = 0;  // -1 true, 0 false
  int16_t decimals = 0;
  char op = ' ';             // "+", "-", "*", "/", "=", "R", "%"; blank for none
};

struct CalculatorState {
  int16_t column = kFirstColumn;        // screen column of the left edge, 1..55
  int16_t firstVisible = kTapeViewEmpty;  // first tape line shown, 2..22; 23 none
  double entry = 0;    // the number being typed or shown
  double result = 0;   // the running result
  int16_t cleared = -1;
  int16_t entering = 0;
  int16_t decimalPoint = 0;
  int16_t decimals = 0;  // decimals typed or kept
  std::string keyText;   // the text of the last key read
  std::string pending;   // the pending operator: "+", "-", "*", "/" or ""
  std::array<TapeLine, kTapeLines + 1> tape;  // lines 1..22; [0] unused
  // Not in the file: a result that could not be computed (division by
  // zero, a result beyond kCalculatorLimit) is shown until "C" is pressed.
  bool error = false;
};

// The state in the file's bytes, as described above.
CalculatorState ParseCalculatorFile(const std::string& bytes);

// The file's bytes for the state (25 records, CR LF after each).
std::string CalculatorFileBytes(const CalculatorState& state);

// A number as the file writes it: plain decimal text, up to 17 significant
// digits, no trailing zeros after the point, no point when whole, "-" for
// a negative number: 8 -> "8", 0.1 -> "0.10000000000000001", -2.5 -> "-2.5",
// 1e20 -> "100000000000000000000", 1e-5 -> "0.000010000000000000001".
// A number that is not finite is written as "0".
std::string CalculatorNumberText(double value);

}  // namespace console
