#include "format/mask_format.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "config/ini_reader.h"
#include "config/session.h"
#include "format/format_state.h"
#include "format/text_utils.h"

namespace format {

namespace {

// Defaults when Brol.ini gives no separator.
constexpr char kDefaultDecimal = '\'';
constexpr char kDefaultThousands = '.';

bool IsDigitPosition(char c) { return c == '9' || c == 'Z' || c == 'z' || c == '*'; }
bool IsZ(char c) { return c == 'Z' || c == 'z'; }

// |v| * 10^fd rounded to a whole number, halves to the even neighbour, as
// its decimal digits without leading zeros ("" for 0). The scaling is one
// binary multiplication, so the rounding sees the binary value.
// Returns false when the scaled value is not a finite number.
bool RoundedDigits(double magnitude, int fd, std::string* digits) {
  digits->clear();
  if (magnitude == 0.0) return true;
  // Powers of ten up to 10^22 are exact doubles: the table gives what pow
  // gives, without its cost on every amount.
  static const double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  double scale = fd >= 0 && fd <= 22 ? kPowers[fd] : std::pow(10.0, fd);
  double x = magnitude * scale;
  if (!std::isfinite(x)) return false;
  double whole = std::floor(x);
  double rest = x - whole;
  if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
  if (whole == 0.0) return true;
  if (whole < 9007199254740992.0) {  // 2^53: exact in a 64-bit integer
    *digits = std::to_string(static_cast<uint64_t>(whole));
    return true;
  }
  char buf[400];  // a double has at most 309 integer digits
  auto r = std::to_chars(buf, buf + sizeof buf, whole, std::chars_format::fixed, 0);
  digits->assign(buf, r.ptr);
  return true;
}

// What the last digit position showed, for the "." and "," positions to its
// left: after a "9" nothing (the separators show), else the character shown
// and whether a digit of the number was placed there.
struct Fill {
  bool afterNine = true;  // also the state before any digit position
  char shown = ' ';       // what the position showed
  bool gotDigit = false;  // it showed a digit (of the number, or a "0")
  bool star = false;      // a "*" position: the fill to its left is "*"
};

// The plain form of a number that does not fit its mask: "-", the integer
// digits, the decimal separator and the fraction digits, right-justified in
// `width`; cut to `width` when longer unless `keepAll`; a row of "!" when
// the sign and integer digits alone (or, with `keepAll`, the whole form) do
// not fit.
std::string PlainForm(const std::string& digits, int fd, bool neg, size_t width, bool keepAll) {
  std::string integer, fraction;
  if (static_cast<int>(digits.size()) > fd) {
    integer = digits.substr(0, digits.size() - fd);
    fraction = digits.substr(digits.size() - fd);
  } else {
    integer = "0";
    fraction = std::string(fd - digits.size(), '0') + digits;
  }
  std::string head = (neg ? "-" : "") + integer;
  std::string plain = head;
  if (fd > 0) plain += state.DecCaracter + fraction;
  if (head.size() > width || (keepAll && plain.size() > width)) return std::string(width, '!');
  if (plain.size() > width) return plain.substr(0, width);
  return std::string(width - plain.size(), ' ') + plain;
}

char FirstNonBlank(const std::string& value) {
  const std::string rest = TrimLeadingBlanks(value);
  return rest.empty() ? '\0' : rest[0];
}

}  // namespace

void LoadSeparators() {
  if (state.DecCaracter != '\0' && state.MilCaracter != '\0') return;
  const std::string file = config::EnvRootDir() + "Brol.ini";
  if (state.DecCaracter == '\0') {
    char c = FirstNonBlank(config::IniRead(file, "Usuari", "DecCaracter"));
    state.DecCaracter = c != '\0' ? c : kDefaultDecimal;
  }
  if (state.MilCaracter == '\0') {
    char c = FirstNonBlank(config::IniRead(file, "Usuari", "MilCaracter"));
    state.MilCaracter = c != '\0' ? c : kDefaultThousands;
  }
}

std::string MaskFormat(const std::string& mask, double v) {
  LoadSeparators();
  std::string m = mask;
  const long L = static_cast<long>(m.size());
  if (!std::isfinite(v)) return std::string(m.size(), '!');

  // decs: the digit and sign positions after the first "."; fd: the digit
  // positions directly after it; hasSign: a "-" or "+" anywhere.
  long decs = 0;
  int fd = 0;
  size_t point = m.find('.');
  if (point != std::string::npos) {
    for (size_t i = point + 1; i < m.size(); ++i) {
      if (IsDigitPosition(m[i]) || m[i] == '-' || m[i] == '+') ++decs;
    }
    if (decs != 0) {
      for (size_t i = point + 1; i < m.size() && IsDigitPosition(m[i]); ++i) ++fd;
    }
  }
  bool hasSign = false;
  for (char c : m) hasSign = hasSign || c == '-' || c == '+';

  std::string D;
  if (!RoundedDigits(std::fabs(v), fd, &D)) return std::string(m.size(), '!');
  const long lenD = static_cast<long>(D.size());
  bool neg = v < 0;  // a negative value that rounds to 0 stays negative

  // q: the digit of D placed next, counted from 1 at the left.
  long q = decs + lenD - fd;
  auto digitAt = [&D, lenD](long k) -> char { return (k >= 1 && k <= lenD) ? D[k - 1] : '\0'; };
  // Whether the digits of D from k to the end read as more than 0.
  auto restNonZero = [&D, lenD](long k) -> bool {
    for (long j = std::max(1L, k); j <= lenD; ++j) {
      if (D[j - 1] != '0') return true;
    }
    return false;
  };

  // First pass, right to left, while digits remain to be placed.
  Fill fill;
  long i = L;
  for (; i >= 1 && q > 0; --i) {
    char& c = m[i - 1];
    switch (c) {
      case '9': {
        char d = digitAt(q);
        c = d ? d : '0';
        fill = Fill{};
        --q;
        break;
      }
      case 'Z':
      case 'z': {
        char d = digitAt(q);
        bool show = i < L - decs ? d != '\0' : (decs == 0 || restNonZero(q));
        c = show ? (d ? d : '0') : ' ';
        fill = Fill{false, c, show, false};
        --q;
        break;
      }
      case '*': {
        char d = digitAt(q);
        c = d ? d : '*';
        fill = Fill{false, c, d != '\0', true};
        --q;
        break;
      }
      case '.':
        c = (fill.afterNine || fill.gotDigit) ? state.DecCaracter : fill.shown;
        decs = 0;
        break;
      case ',':
        c = state.MilCaracter;
        break;
      case '-':
        c = neg ? '-' : ' ';
        if (decs > 0) --q;
        break;
      case '+':
        c = neg ? '-' : '+';
        if (decs > 0) --q;
        break;
      default:
        break;
    }
  }

  // Overflow: digits left over, or a negative number with no sign position
  // and no position left for its "-".
  if (q > 0 || (neg && !hasSign && i < 1)) return PlainForm(D, fd, neg, m.size(), false);

  // Second pass over the positions not reached, right to left.
  const bool signLeft = neg && !hasSign;
  bool minusPending = signLeft;
  for (long k = i; k >= 1; --k) {
    char& c = m[k - 1];
    if (minusPending && (IsZ(c) || c == '*' || c == ',')) {
      // The "-" takes the place of the fill; positions further left fill
      // as they would after this one.
      bool star = c == '*' || (c == ',' && fill.star);
      c = '-';
      minusPending = false;
      fill = Fill{false, '-', true, star};
      continue;
    }
    switch (c) {
      case '9':
        c = '0';
        fill = Fill{};
        break;
      case 'Z':
      case 'z':
        c = (k < L - decs || v == 0) ? ' ' : '0';
        fill = Fill{false, c, c != ' ', false};
        break;
      case '*':
        c = k < L - decs ? '*' : '0';
        fill = Fill{false, c, c != '*', true};
        break;
      case ',':
        c = fill.afterNine ? state.MilCaracter : (fill.star ? '*' : ' ');
        break;
      case '.':
        c = (!fill.afterNine && fill.shown == ' ') ? ' ' : state.DecCaracter;
        break;
      case '-':
        c = neg ? '-' : ' ';
        break;
      case '+':
        c = neg ? '-' : '+';
        break;
      default:
        break;
    }
  }

  // A negative number whose "-" found no place (only "9"s to the left of its
  // digits): show it plainly rather than lose the sign.
  if (minusPending) return PlainForm(D, fd, true, m.size(), true);
  return m;
}

}  // namespace format
