#include "print/spool_format.h"

#include <charconv>
#include <cstdlib>

namespace print {

void AppendSpoolNumber(int32_t value, std::string* out) {
  // Widen first: the magnitude of INT32_MIN does not fit 32 bits.
  int64_t magnitude = value < 0 ? -int64_t(value) : int64_t(value);
  char digits[24];
  char* end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
  out->push_back(value < 0 ? '-' : ' ');
  out->append(digits, end);
  out->push_back(' ');
}

std::string SpoolNumber(int32_t value) {
  std::string text;
  AppendSpoolNumber(value, &text);
  return text;
}

bool ParseSpoolNumber(const std::string& text, int16_t* value) {
  size_t i = 0;
  size_t n = text.size();
  while (i < n && text[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  size_t digitsStart = i;
  int32_t magnitude = 0;
  while (i < n && text[i] >= '0' && text[i] <= '9') {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > 32768) return false;  // stop before any overflow
    ++i;
  }
  if (i == digitsStart) return false;
  while (i < n && text[i] == ' ') ++i;
  if (i != n) return false;
  int32_t v = negative ? -magnitude : magnitude;
  if (v < INT16_MIN || v > INT16_MAX) return false;
  *value = static_cast<int16_t>(v);
  return true;
}

}  // namespace print
