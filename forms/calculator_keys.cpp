// The calculator's keys and arithmetic.
#include "forms/calculator_keys.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "console/keyboard.h"
#include "format/format_state.h"
#include "format/mask_format.h"
#include "format/text_utils.h"

namespace console {
namespace {

// The significant digits the entry keeps.
constexpr int kSignificantDigits = 15;

// 10^n for 0 <= n <= 22, exact.
double Pow10(int n) {
  static const double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  return n >= 0 && n <= 22 ? kPowers[n] : std::pow(10.0, n);
}

bool InRange(double v) { return std::isfinite(v) && std::fabs(v) < kCalculatorLimit; }

// The value cut to `decimals` decimals, towards zero. A value that lies a
// few units of its last binary place below the cut (typed 4.35 is held as
// 4.34999...) keeps the digit it was typed with.
double TruncateTo(double v, int decimals) {
  const double scaled = v * Pow10(decimals);
  const double nearest = std::nearbyint(scaled);
  const double slack = 16 * std::numeric_limits<double>::epsilon() * std::fabs(scaled);
  const double whole = std::fabs(scaled - nearest) <= slack ? nearest : std::trunc(scaled);
  return whole / Pow10(decimals);
}

void ClearAll(CalculatorState& s) {
  s.entering = 0;
  s.entry = 0;
  s.result = 0;
  s.decimalPoint = 0;
  s.decimals = 0;
  s.cleared = -1;
  s.pending.clear();
}

// The error state: nothing computed, everything cleared.
CalculatorAction Fail(CalculatorState& s) {
  ClearAll(s);
  s.error = true;
  return CalculatorAction::kNone;
}

// The entry on the tape as line 22 with the operator `op` (blank for none).
void AddTapeLine(CalculatorState& s, char op) {
  if (s.firstVisible > 2) --s.firstVisible;
  for (int k = 1; k < kTapeLines; ++k) s.tape[k] = s.tape[k + 1];
  s.tape[kTapeLines] = TapeLine{s.entry, s.decimalPoint, s.decimals, op};
}

void Digit(CalculatorState& s, int digit) {
  if (s.entering == 0) {
    s.entry = 0;
    s.decimalPoint = 0;
    s.decimals = 0;
  }
  if (s.decimalPoint == 0) {
    const double v = s.entry * 10 + digit;
    if (!InRange(v)) return;
    s.entry = v;
  } else {
    if (s.decimals >= kMaxDecimals) return;
    ++s.decimals;
    s.entry += digit / Pow10(s.decimals);
  }
  s.entering = -1;
}

void Point(CalculatorState& s) {
  if (s.entering == 0) {
    s.entry = 0;
    s.decimalPoint = 0;
    s.decimals = 0;
  }
  if (s.decimalPoint == 0) {
    s.decimalPoint = -1;
    s.decimals = 0;
  }
  s.entering = -1;
}

void Backspace(CalculatorState& s) {
  if (s.decimalPoint == 0) {
    s.entry = std::trunc(s.entry / 10);
  } else if (--s.decimals < 0) {
    s.decimalPoint = 0;
    s.decimals = 0;
  } else {
    s.entry = TruncateTo(s.entry, s.decimals);
  }
  if (s.entry == 0) s.entering = 0;
}

CalculatorAction Clear(CalculatorState& s) {
  if (s.entering != 0) {
    s.entering = 0;
    s.entry = s.result;
    s.decimalPoint = 0;
    s.decimals = 0;
    return CalculatorAction::kNone;
  }
  if (s.cleared == 0) {
    ClearAll(s);
    return CalculatorAction::kNone;
  }
  s.firstVisible = kTapeViewEmpty;
  return CalculatorAction::kReopen;
}

CalculatorAction Round(CalculatorState& s) {
  const double hundredths = 100 * s.entry;
  double whole = std::trunc(hundredths);
  const double f = hundredths - whole;
  if (f > 0.5 || (f == 0.5 && std::fmod(whole, 2.0) != 0)) whole += 1;
  s.entry = whole / 100;
  s.result = s.entry;
  s.decimalPoint = -1;
  s.decimals = 2;
  AddTapeLine(s, 'R');
  return CalculatorAction::kRedraw;
}

CalculatorAction Percent(CalculatorState& s) {
  const double v = s.pending == "+" || s.pending == "-" ? s.result / 100 * s.entry : s.entry / 100;
  if (!InRange(v)) return Fail(s);
  AddTapeLine(s, '%');
  s.entry = v;
  NormaliseEntry(s);
  return CalculatorAction::kRedraw;
}

// "+", "-", "*", "/" or "=".
CalculatorAction Operate(CalculatorState& s, char op) {
  double r;
  if (s.pending == "+") r = s.result + s.entry;
  else if (s.pending == "-") r = s.result - s.entry;
  else if (s.pending == "*") r = s.result * s.entry;
  else if (s.pending == "/") r = s.result / s.entry;
  else r = s.entry;
  if (!InRange(r)) return Fail(s);
  s.result = r;
  AddTapeLine(s, op);
  s.entry = s.result;
  NormaliseEntry(s);
  s.entering = 0;
  std::string pending(1, op);
  if (op == '=') {
    pending.clear();
    AddTapeLine(s, ' ');
  }
  s.cleared = 0;
  s.pending = pending;
  return CalculatorAction::kRedraw;
}

// The session's decimal mark, as the tape shows it.
char DecimalMark() {
  format::LoadSeparators();
  return format::state.DecCaracter;
}

}  // namespace

std::string CalculatorKeyText(int16_t key) {
  if (key <= 0 || key > 255) return std::to_string(key);
  return format::UpperText(std::string(1, static_cast<char>(key)));
}

CalculatorAction CalculatorKey(CalculatorState& s, int16_t key) {
  const std::string text = CalculatorKeyText(key);
  s.keyText = text;
  if (key == kKeyLeft || key == kKeyCtrlLeft) {
    s.column = s.column <= kFirstColumn ? kLastColumn : static_cast<int16_t>(s.column - 1);
    return CalculatorAction::kMove;
  }
  if (key == kKeyRight || key == kKeyCtrlRight) {
    s.column = s.column >= kLastColumn ? kFirstColumn : static_cast<int16_t>(s.column + 1);
    return CalculatorAction::kMove;
  }
  if (key == kKeyEsc) return CalculatorAction::kCancel;
  if (s.error) {
    if (text == "C") s.error = false;
    return CalculatorAction::kNone;
  }
  if (text == "F" || key == kKeyAltF) return CalculatorAction::kFinish;
  if (text.size() != 1) return CalculatorAction::kNone;
  const char c = text[0];
  if (c >= '0' && c <= '9') {
    Digit(s, c - '0');
  } else if (c == '.') {
    Point(s);
  } else if (key == kKeyBackspace) {
    Backspace(s);
  } else if (c == 'C') {
    return Clear(s);
  } else if (c == 'R') {
    return Round(s);
  } else if (c == '%') {
    return Percent(s);
  } else if (c == '+' || c == '-' || c == '*' || c == '/') {
    return Operate(s, c);
  } else if (c == '=' || key == kKeyEnter) {
    if (s.entering != 0) return Operate(s, '=');
  } else if (c == 'T') {
    s.entry = -s.entry;
  } else if (c == DecimalMark()) {
    Point(s);
  }
  return CalculatorAction::kNone;
}

void NormaliseEntry(CalculatorState& s) {
  int n = 0;
  for (double copy = std::fabs(s.entry); std::trunc(copy) > 0; copy /= 10) ++n;
  double copy = s.entry;
  int c = 0;
  while (copy != std::trunc(copy) && c + n < kSignificantDigits) {
    copy *= 10;
    ++c;
  }
  copy = std::nearbyint(copy);
  while (c > 0 && std::fmod(copy, 10.0) == 0) {
    copy /= 10;
    --c;
  }
  s.entry = copy / Pow10(c);
  s.decimals = static_cast<int16_t>(c);
  s.decimalPoint = c > 0 ? -1 : 0;
}

std::string CalculatorResultText(const CalculatorState& s) {
  const double v = s.entering != 0 ? s.entry : s.result;
  const int d = s.decimals > 2 ? s.decimals : 2;
  const double x = std::nearbyint(std::fabs(v) * Pow10(d));
  char buf[400];
  auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, 0);
  std::string digits(buf, r.ptr);
  if (d == 2) return digits;
  const size_t fraction = size_t(d - 2);
  if (digits.size() < fraction) digits.insert(0, fraction - digits.size(), '0');
  return digits.substr(0, digits.size() - fraction) + "." + digits.substr(digits.size() - fraction);
}

std::string CalculatorValueText(double value, int16_t decimalPoint, int16_t decimals) {
  if (decimals < 0) decimals = 0;
  if (decimals > kMaxDecimals) decimals = kMaxDecimals;
  std::string mask = "-Z,ZZZ,ZZZ,ZZZ,ZZZ,ZZ9";
  if (decimalPoint != 0) mask += ".";
  mask += std::string(size_t(decimals), '9');
  return format::MaskFormat(mask.substr(mask.size() - 21), value);
}

}  // namespace console
