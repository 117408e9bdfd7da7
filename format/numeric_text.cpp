#include "format/numeric_text.h"

#include <cfloat>
#include <charconv>
#include <system_error>

namespace format {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

double TextValue(const std::string& text) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n')) ++i;

  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }

  // The mantissa is copied into a plain "digits.digits" form and the exponent
  // appended as "e[sign]digits", which std::from_chars reads without regard
  // to the locale.
  std::string plain;
  bool anyDigit = false;
  bool seenPoint = false;
  for (; i < n; ++i) {
    char c = text[i];
    if (IsDigit(c)) {
      plain += c;
      anyDigit = true;
    } else if (c == '.' && !seenPoint) {
      plain += c;
      seenPoint = true;
    } else {
      break;
    }
  }
  if (!anyDigit) return 0.0;

  if (i < n && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    size_t j = i + 1;
    std::string exponent = "e";
    if (j < n && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
    size_t firstDigit = j;
    while (j < n && IsDigit(text[j])) exponent += text[j++];
    if (j > firstDigit) plain += exponent;
  }

  double value = 0.0;
  auto result = std::from_chars(plain.data(), plain.data() + plain.size(), value,
                                std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    // from_chars leaves `value` untouched on a range error; decide here by
    // the decimal magnitude: the digits from the first non-zero one to the
    // point (negative for leading zeros after the point), plus the exponent.
    size_t e = plain.find('e');
    std::string mantissa = plain.substr(0, e);
    size_t point = mantissa.find('.');
    if (point == std::string::npos) point = mantissa.size();
    size_t first = mantissa.find_first_of("123456789");
    long magnitude = 0;
    if (first != std::string::npos) {
      magnitude = first < point ? static_cast<long>(point - first)
                                : -static_cast<long>(first - point - 1);
    }
    long exponent = 0;
    if (e != std::string::npos) {
      size_t k = e + 1;
      bool expNegative = k < plain.size() && plain[k] == '-';
      if (k < plain.size() && (plain[k] == '-' || plain[k] == '+')) ++k;
      for (; k < plain.size(); ++k) {
        if (exponent < 1000000) exponent = exponent * 10 + (plain[k] - '0');
      }
      if (expNegative) exponent = -exponent;
    }
    value = (first != std::string::npos && magnitude + exponent > 0) ? DBL_MAX : 0.0;
  }
  return negative ? -value : value;
}

int16_t NumberInvalid(const std::string& text, const std::string& mask) {
  bool point = mask.find('.') != std::string::npos;
  bool sign = mask.find_first_of("+-") != std::string::npos;
  bool bad = false;
  for (char c : text) {
    if (c == '+' || c == '-') {
      if (!sign) bad = true;
      sign = false;  // at most one sign, and only first
    } else if (c == '.') {
      if (!point) bad = true;
      point = false;
      sign = false;
    } else if (IsDigit(c)) {
      sign = false;
    } else if (c != ' ') {
      bad = true;
    }
  }
  return bad ? -1 : 0;
}

}  // namespace format
