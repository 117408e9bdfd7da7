#include "format/dotted_code.h"

#include <cmath>

#include "dates/packed.h"
#include "format/numeric_text.h"

namespace format {

namespace {

// A group's value as exactly `width` digits: the whole part of its
// magnitude, the last `width` digits (fmod is exact on doubles).
std::string GroupDigits(const std::string& group, int width) {
  double v = std::floor(std::fabs(TextValue(group)));
  return dates::ZeroPad(std::fmod(v, std::pow(10.0, width)), static_cast<int16_t>(width));
}

// Digits written without leading zeros ("0" for all zeros).
std::string WithoutLeadingZeros(const std::string& digits) {
  size_t first = digits.find_first_not_of('0');
  return first == std::string::npos ? std::string("0") : digits.substr(first);
}

}  // namespace

std::string PackCode(const std::string& code) {
  const size_t len = code.size();
  size_t dots = 0;
  for (char c : code) dots += c == '.';
  int width = ((len == 6 && dots == 0) || (len == 11 && dots < 2)) ? 6 : 4;

  std::string digits;
  size_t start = 0;  // 0-based here
  while (true) {
    size_t pos = code.find('.', start);
    if (pos == std::string::npos) {
      pos = len;
      if (code.find_first_not_of(' ', start) == std::string::npos) break;
    }
    digits += GroupDigits(code.substr(start, pos - start), width);
    width = 4;
    start = pos + 1;
    if (pos >= len) break;
  }
  return dates::Pack(digits);
}

std::string CodeText(const std::string& packed) {
  std::string d = dates::Unpack(packed);
  // Positions are 1-based as in the digit layout: groups of four from the
  // right, the leftmost group taking what is left (up to six digits).
  long end = static_cast<long>(d.size()) + 1;
  long pos = static_cast<long>(d.size()) - 3;
  bool trailing = true;
  while (pos >= 1) {
    if (pos < 4) pos = 1;
    std::string group = d.substr(static_cast<size_t>(pos - 1), static_cast<size_t>(end - pos));
    std::string text = (pos > 1 ? "." : "") + WithoutLeadingZeros(group);
    d.replace(static_cast<size_t>(pos - 1), static_cast<size_t>(end - pos), text);
    if (trailing) {
      if (TextValue(d.substr(static_cast<size_t>(pos - 1))) == 0) {
        d.erase(static_cast<size_t>(pos - 1));  // a zero group at the end goes with its "."
      } else {
        trailing = false;
      }
    }
    end = pos;
    pos -= 4;
  }
  return TextValue(d) != 0 ? d : std::string();
}

}  // namespace format
