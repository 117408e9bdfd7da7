// The calculator's state file: writing it, and reading it forgivingly.
#include "forms/calculator_state.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "config/delimited_reader.h"
#include "format/numeric_text.h"

namespace console {
namespace {

// The values of each line of the file (CR LF or LF ends a line), at most
// `maxLines` lines.
std::vector<std::vector<std::string>> FileLines(const std::string& bytes, size_t maxLines) {
  std::vector<std::vector<std::string>> lines;
  size_t pos = 0;
  while (pos < bytes.size() && lines.size() < maxLines) {
    size_t end = bytes.find('\n', pos);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    pos = end + 1;
    config::DelimitedReader reader(line, config::BareValues::kTrimmed);
    std::vector<std::string> values;
    std::string value;
    while (reader.ReadText(&value)) values.push_back(value);
    lines.push_back(values);
  }
  return lines;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The whole text is a number: a sign, digits with at most one point, an
// exponent; at least one digit before the exponent.
bool IsNumberText(const std::string& t) {
  size_t i = 0, digits = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  while (i < t.size() && IsDigit(t[i])) ++i, ++digits;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && IsDigit(t[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    size_t exponentDigits = 0;
    while (i < t.size() && IsDigit(t[i])) ++i, ++exponentDigits;
    if (exponentDigits == 0) return false;
  }
  return i == t.size();
}

// A field of `values` (0-based), when present and acceptable.
bool NumberAt(const std::vector<std::string>& values, size_t i, double* out) {
  if (i >= values.size() || !IsNumberText(values[i])) return false;
  double v = format::TextValue(values[i]);
  if (!std::isfinite(v) || std::fabs(v) >= kCalculatorLimit) return false;
  *out = v;
  return true;
}

bool IntegerAt(const std::vector<std::string>& values, size_t i, int lo, int hi, int16_t* out) {
  if (i >= values.size()) return false;
  const std::string& t = values[i];
  size_t start = !t.empty() && t[0] == '-' ? 1 : 0;
  if (start == t.size() || t.size() - start > 6) return false;
  for (size_t k = start; k < t.size(); ++k)
    if (!IsDigit(t[k])) return false;
  long v = std::strtol(t.c_str(), nullptr, 10);
  if (v < lo || v > hi) return false;
  *out = static_cast<int16_t>(v);
  return true;
}

bool FlagAt(const std::vector<std::string>& values, size_t i, int16_t* out) {
  return IntegerAt(values, i, -1, 0, out);
}

bool TextAt(const std::vector<std::string>& values, size_t i, size_t maxLength, std::string* out) {
  if (i >= values.size() || values[i].size() > maxLength) return false;
  *out = values[i];
  return true;
}

bool IsPending(const std::string& op) {
  return op.empty() || op == "+" || op == "-" || op == "*" || op == "/";
}

// A tape operator as the file holds it ("" or one of the operators).
bool TapeOperator(const std::string& text, char* op) {
  if (text.empty() || text == " ") {
    *op = ' ';
    return true;
  }
  if (text.size() != 1 || std::string("+-*/=R%").find(text[0]) == std::string::npos) return false;
  *op = text[0];
  return true;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

CalculatorState ParseCalculatorFile(const std::string& bytes) {
  CalculatorState s;
  const size_t kRecords = 3 + kTapeLines;
  std::vector<std::vector<std::string>> lines = FileLines(bytes, kRecords);
  lines.resize(kRecords);

  const std::vector<std::string>& r1 = lines[0];
  IntegerAt(r1, 0, kFirstColumn, kLastColumn, &s.column);
  IntegerAt(r1, 1, 2, kTapeViewEmpty, &s.firstVisible);
  NumberAt(r1, 2, &s.entry);
  NumberAt(r1, 3, &s.result);

  const std::vector<std::string>& r2 = lines[1];
  FlagAt(r2, 0, &s.cleared);
  FlagAt(r2, 1, &s.entering);
  FlagAt(r2, 2, &s.decimalPoint);
  IntegerAt(r2, 3, 0, kMaxDecimals, &s.decimals);

  const std::vector<std::string>& r3 = lines[2];
  TextAt(r3, 0, 6, &s.keyText);
  std::string pending;
  if (TextAt(r3, 1, 1, &pending) && IsPending(pending)) s.pending = pending;

  for (int k = 1; k <= kTapeLines; ++k) {
    const std::vector<std::string>& r = lines[2 + k];
    TapeLine line;
    std::string op;
    if (NumberAt(r, 0, &line.value) && FlagAt(r, 1, &line.decimalPoint) &&
        IntegerAt(r, 2, 0, kMaxDecimals, &line.decimals) && TextAt(r, 3, 1, &op) &&
        TapeOperator(op, &line.op)) {
      s.tape[k] = line;
    }
  }
  return s;
}

std::string CalculatorNumberText(double value) {
  if (!std::isfinite(value)) return "0";
  if (value == 0) return "0";
  // Scientific form with 17 significant digits, then the point moved.
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 16);
  std::string sci(buf, r.ptr);
  bool negative = sci[0] == '-';
  if (negative) sci.erase(0, 1);
  size_t e = sci.find('e');
  int exponent = std::atoi(sci.c_str() + e + 1);
  std::string digits = sci.substr(0, 1) + sci.substr(2, e - 2);  // 17 digits
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string text;
  const int integerDigits = exponent + 1;
  if (integerDigits <= 0) {
    text = "0." + std::string(size_t(-integerDigits), '0') + digits;
  } else if (size_t(integerDigits) >= digits.size()) {
    text = digits + std::string(size_t(integerDigits) - digits.size(), '0');
  } else {
    text = digits.substr(0, size_t(integerDigits)) + "." + digits.substr(size_t(integerDigits));
  }
  return (negative ? "-" : "") + text;
}

std::string CalculatorFileBytes(const CalculatorState& s) {
  auto flag = [](int16_t v) { return std::to_string(v); };
  std::string out;
  out += std::to_string(s.column) + "," + std::to_string(s.firstVisible) + "," +
         CalculatorNumberText(s.entry) + "," + CalculatorNumberText(s.result) + "\r\n";
  out += flag(s.cleared) + "," + flag(s.entering) + "," + flag(s.decimalPoint) + "," +
         std::to_string(s.decimals) + "\r\n";
  out += Quoted(s.keyText) + "," + Quoted(s.pending) + "\r\n";
  for (int k = 1; k <= kTapeLines; ++k) {
    const TapeLine& line = s.tape[k];
    out += CalculatorNumberText(line.value) + "," + flag(line.decimalPoint) + "," +
           std::to_string(line.decimals) + "," +
           Quoted(line.op == ' ' ? std::string() : std::string(1, line.op)) + "\r\n";
  }
  return out;
}

}  // namespace console
