#include "dates/packed.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "format/text_utils.h"

namespace dates {
namespace {

int DigitValue(char c) { return (c >= '0' && c <= '9') ? c - '0' : 0; }

// The shortest decimal text of x: whole numbers without a fraction, other
// values with as few significant digits as read back to the same double.
std::string ShortestDecimal(double x) {
  char buf[64];
  if (std::isfinite(x) && std::fabs(x) < 1e15 && x == std::floor(x)) {
    std::snprintf(buf, sizeof buf, "%.0f", std::fabs(x));
    return buf;
  }
  for (int precision = 1; precision <= 17; ++precision) {
    std::snprintf(buf, sizeof buf, "%.*g", precision, std::fabs(x));
    if (!std::isfinite(x) || std::strtod(buf, nullptr) == std::fabs(x)) break;
  }
  return buf;
}

}  // namespace

std::string Pack(const std::string& digits) {
  const size_t n = digits.size();
  const std::string trimmed = format::TrimBlanks(digits);
  // Right-justify in the text's own length, zero-filled on the left.
  std::string t = std::string(n - trimmed.size(), '0') + trimmed;
  std::string out((n + 1) / 2, '\0');
  for (size_t i = 0; i < out.size(); ++i) {
    int a = DigitValue(t[2 * i]);
    int b = 2 * i + 1 < n ? DigitValue(t[2 * i + 1]) : 0;
    out[i] = static_cast<char>((10 * a + b) | 128);
  }
  return out;
}

std::string Unpack(const std::string& packed) {
  std::string out;
  out.reserve(packed.size() * 2);
  for (unsigned char b : packed) {
    int v = (b & 127) % 100;
    out.push_back(static_cast<char>('0' + v / 10));
    out.push_back(static_cast<char>('0' + v % 10));
  }
  return out;
}

std::string ZeroPad(double x, int16_t width) {
  if (width <= 0) return "";
  std::string digits = ShortestDecimal(x);
  std::string padded = std::string(width, '0') + digits;
  return padded.substr(padded.size() - width);
}

}  // namespace dates
