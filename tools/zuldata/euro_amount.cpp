#include "tools/zuldata/euro_amount.h"

#include <cstdlib>

namespace zuldata {
namespace {

constexpr char kEuro = '\x01';  // the euro sign, once the text is normalised

const char kGeneric[] = "needs an amount in euros such as 1234,56, 1.234,56 or -12.50";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(const std::string& s) {
  for (char c : s)
    if (!IsDigit(c)) return false;
  return true;
}

// The text with the no-break space as a blank and the euro sign as kEuro.
std::string Normalise(const std::string& text) {
  std::string s;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "\xC2\xA0") == 0) {
      s += ' ';
      i += 1;
    } else if (text.compare(i, 3, "\xE2\x82\xAC") == 0) {
      s += kEuro;
      i += 2;
    } else if (text[i] == '\t') {
      s += ' ';
    } else {
      s += text[i];
    }
  }
  return s;
}

void Trim(std::string* s) {
  size_t a = s->find_first_not_of(' ');
  if (a == std::string::npos) {
    s->clear();
    return;
  }
  *s = s->substr(a, s->find_last_not_of(' ') - a + 1);
}

size_t Count(const std::string& s, char c) {
  size_t n = 0;
  for (char x : s) n += x == c;
  return n;
}

}  // namespace

std::string ReadEuros(const std::string& text, int32_t* hundredths) {
  std::string s = Normalise(text);
  Trim(&s);
  *hundredths = 0;
  if (s.empty()) return "";

  // Signs and the euro sign around the number.
  int signs = 0, euros = 0;
  bool negative = false;
  if (s.size() >= 2 && s.front() == '(' && s.back() == ')') {
    negative = true;
    ++signs;
    s = s.substr(1, s.size() - 2);
    Trim(&s);
  }
  while (!s.empty() && (s.front() == '-' || s.front() == '+' || s.front() == kEuro ||
                        s.front() == ' ')) {
    if (s.front() == '-') negative = true;
    if (s.front() == '-' || s.front() == '+') ++signs;
    if (s.front() == kEuro) ++euros;
    s.erase(0, 1);
  }
  while (!s.empty() && (s.back() == '-' || s.back() == kEuro || s.back() == ' ')) {
    if (s.back() == '-') {
      negative = true;
      ++signs;
    }
    if (s.back() == kEuro) ++euros;
    s.pop_back();
  }
  if (signs > 1) return "has more than one sign";
  if (euros > 1) return "has more than one euro sign";
  if (s.empty() || !IsDigit(s.front()) || !IsDigit(s.back())) return kGeneric;
  for (char c : s)
    if (!IsDigit(c) && c != '.' && c != ',' && c != ' ') return kGeneric;

  // Which mark is the decimal mark and which one groups thousands.
  const size_t dots = Count(s, '.'), commas = Count(s, ','), blanks = Count(s, ' ');
  char decimal = 0, thousands = 0;
  if (dots > 0 && commas > 0) {
    decimal = s.rfind('.') > s.rfind(',') ? '.' : ',';
    thousands = decimal == '.' ? ',' : '.';
    if (Count(s, decimal) > 1) return kGeneric;
  } else if (dots == 1 || commas == 1) {
    decimal = dots == 1 ? '.' : ',';
  } else if (dots > 1 || commas > 1) {
    thousands = dots > 1 ? '.' : ',';
  }
  if (blanks > 0) {
    if (thousands != 0) return "mixes two thousands separators";
    thousands = ' ';
  }

  std::string whole = s, fraction;
  if (decimal != 0) {
    size_t at = s.find(decimal);
    whole = s.substr(0, at);
    fraction = s.substr(at + 1);
    if (!AllDigits(fraction)) return kGeneric;
    if (fraction.size() == 3 && thousands == 0)
      return "has three digits after its only mark: a thousand and more is written 1234 or "
             "1.234,00, and an amount has at most two decimals";
    if (fraction.size() > 2) return "has more than two decimals";
  }
  std::string digits;
  if (thousands != 0) {
    size_t start = 0;
    bool first = true;
    for (;;) {
      size_t end = whole.find(thousands, start);
      std::string group = whole.substr(start, end == std::string::npos ? end : end - start);
      if (!AllDigits(group) || group.empty() || group.size() > 3 || (!first && group.size() != 3))
        return "has its thousands separators out of place";
      digits += group;
      first = false;
      if (end == std::string::npos) break;
      start = end + 1;
    }
  } else {
    if (whole.empty() || !AllDigits(whole)) return kGeneric;
    digits = whole;
  }

  const char* kRange = "is beyond the 21.474.836,47 euros a record holds";
  size_t nonzero = digits.find_first_not_of('0');
  digits = nonzero == std::string::npos ? "0" : digits.substr(nonzero);
  if (digits.size() > 9) return kRange;
  fraction.resize(2, '0');
  int64_t value = std::strtoll(digits.c_str(), nullptr, 10) * 100 +
                  std::strtoll(fraction.c_str(), nullptr, 10);
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return kRange;
  *hundredths = int32_t(value);
  return "";
}

}  // namespace zuldata
