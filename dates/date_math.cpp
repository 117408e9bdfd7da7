#include "dates/date_math.h"

#include <cstdlib>

#include "dates/packed.h"
#include "format/text_utils.h"
#include "platform/env.h"

namespace dates {

const std::string kZeroDate = Pack("00000000");

namespace {

// First date of the Gregorian calendar in the arithmetic's sense.
const std::string kFirstGap = Pack("15821005");

bool JulianLeap(int64_t y) { return y % 4 == 0; }

int CurrentYear() { return platform::Today().year; }

// The digits of a packed value read as a number (at most the last 18).
int64_t DigitValue(const std::string& packed) {
  std::string d = Unpack(packed);
  if (d.size() > 18) d = d.substr(d.size() - 18);
  int64_t v = 0;
  for (char c : d) v = v * 10 + (c - '0');
  return v;
}

struct Ymd {
  int64_t year, month, day;
};

Ymd Split(const std::string& packed) {
  int64_t v = DigitValue(packed);
  return Ymd{v / 10000, (v / 100) % 100, v % 100};
}

std::string Capitals(const std::string& s) {
  std::string out = s;
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 0x20);
  }
  return out;
}

// A part's value: leading spaces skipped, then the leading digits. False
// when the value does not fit in 16 bits.
bool PartValue(const std::string& part, int16_t* value) {
  size_t i = part.find_first_not_of(' ');
  int32_t v = 0;
  for (; i < part.size() && part[i] >= '0' && part[i] <= '9'; ++i) {
    v = v * 10 + (part[i] - '0');
    if (v > 32767) return false;
  }
  *value = static_cast<int16_t>(v);
  return true;
}

struct TypedDate {
  int16_t day = 0, month = 0, year = 0;
  bool shortYear = false;
};

// Reads typed date text; false when it is unreadable.
bool ReadTyped(const std::string& text, TypedDate* out) {
  std::string parts[3];
  int separators = 0;
  for (char c : text) {
    if ((c >= '0' && c <= '9') || c == ' ') {
      parts[separators].push_back(c);
    } else if (c == '.' || c == '/' || c == '-') {
      if (++separators > 2) return false;
    } else {
      return false;
    }
  }
  std::string day, month, year;
  if (separators == 0) {
    day = text.substr(0, 2);
    month = text.size() > 2 ? text.substr(2, 2) : "";
    year = text.size() > 4 ? text.substr(4) : "";
  } else if (separators == 2) {
    day = parts[0];
    month = parts[1];
    year = parts[2];
  } else {
    return false;
  }
  out->shortYear = format::TrimBlanks(year).size() <= 3;
  return PartValue(day, &out->day) && PartValue(month, &out->month) &&
         PartValue(year, &out->year);
}

// Number of days in the years strictly between y1 and y2 (Julian leap
// rule before 1582).
int64_t DaysOfYearsBetween(int64_t y1, int64_t y2) {
  int64_t total = 0;
  for (int64_t y = y1 + 1; y < y2; ++y) {
    total += 365 + ((y < 1582 ? JulianLeap(y) : GregorianLeap(y)) ? 1 : 0);
  }
  return total;
}

bool DiffLeap(int64_t y) { return y < 1582 ? JulianLeap(y) : GregorianLeap(y); }

}  // namespace

bool GregorianLeap(int64_t y) { return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0); }

int MonthLength(int64_t m, bool leap) {
  int len = 30 + static_cast<int>((((m + 1) % 9) + 1) % 2);
  if (m == 2) len -= leap ? 1 : 2;
  return len;
}

std::string DateToInput(const std::string& packed) {
  std::string d = Unpack(packed);
  int day = d.size() >= 2 ? std::atoi(d.substr(d.size() - 2).c_str()) : 0;
  int month = d.size() >= 4 ? std::atoi(d.substr(d.size() - 4, 2).c_str()) : 0;
  int64_t year = 0;
  for (size_t i = 0; i + 4 < d.size(); ++i) {
    year = year * 10 + (d[i] - '0');
  }
  if (day <= 0 && month <= 0) return "";
  const int c = CurrentYear();
  std::string out = ZeroPad(day, 2) + ZeroPad(month, 2);
  if (year >= c - 50 && year <= c + 49) return out + ZeroPad(static_cast<double>(year % 100), 2);
  return out + ZeroPad(static_cast<double>(year), 4);
}

std::string ParseDate(const std::string& text) {
  TypedDate t;
  if (!ReadTyped(text, &t)) return kZeroDate;
  int32_t year = t.year;
  if (t.day > 0 && t.month > 0 && t.shortYear) {
    const int c = CurrentYear();
    year += 100 * (c / 100);
    if (year - c > 49) {
      year -= 100;
    } else if (c - year > 50) {
      year += 100;
    }
  }
  return Pack(ZeroPad(year, 4) + ZeroPad(t.month, 2) + ZeroPad(t.day, 2));
}

int16_t DateInvalid(const std::string& text) {
  TypedDate t;
  if (!ReadTyped(text, &t)) return -1;
  int32_t year = t.year;
  if (year < 100 && t.shortYear) {
    const int c = CurrentYear();
    year += 100 * (c / 100);
    if (std::abs(year - c) > 50) year += year > c ? -100 : 100;
  }
  int64_t v = int64_t{year} * 10000 + t.month * 100 + t.day;
  if (v >= 15821005 && v <= 15821014) return -1;
  if (t.month < 1 || t.month > 12) return -1;
  if (t.day < 1 || t.day > MonthLength(t.month, GregorianLeap(year))) return -1;
  return 0;
}

std::string DateAdd(const std::string& packed, int32_t n, const std::string& unit) {
  if (n == 0) return packed;
  Ymd d = Split(packed);
  const bool julian = packed < kFirstGap;
  auto leap = [julian](int64_t y) { return julian ? JulianLeap(y) : GregorianLeap(y); };
  // Days in 400 years under the call's rule: skipping whole cycles keeps
  // very large counts fast without changing the result.
  const int64_t cycle = julian ? 146100 : 146097;
  const std::string u = Capitals(unit);
  const bool days = u == "D";
  if (days) {
    d.day += n;
  } else if (u == "M") {
    d.month += n;
    int64_t k = d.month - 1 >= 0 ? (d.month - 1) / 12 : -((12 - d.month) / 12);
    d.year += k;
    d.month -= 12 * k;
  } else if (u == "A") {
    d.year += n;
  }
  if (n > 0) {
    while (days && d.day > cycle + 366 && d.year <= 9999) {
      d.day -= cycle;
      d.year += 400;
    }
    while (d.year <= 9999) {
      int len = MonthLength(d.month, leap(d.year));
      if (d.day <= len) break;
      if (!days) {
        d.day = len;
        break;
      }
      d.day -= len;
      if (++d.month > 12) {
        d.month = 1;
        ++d.year;
      }
    }
  } else {
    while (d.day <= -cycle) {
      d.day += cycle;
      d.year -= 400;
    }
    while (d.day <= 0) {
      if (--d.month < 1) {
        d.month = 12;
        --d.year;
      }
      d.day += MonthLength(d.month, leap(d.year));
    }
    int len = MonthLength(d.month, leap(d.year));
    if (d.day > len) d.day = len;
  }
  if (d.year > 9999) return Pack("99991231");
  return Pack(ZeroPad(static_cast<double>(d.year * 10000 + d.month * 100 + d.day), 8));
}

int32_t DateDiff(const std::string& a, const std::string& b, const std::string& unit) {
  const bool ordered = !(b < a);
  const Ymd e = Split(ordered ? a : b);  // earlier
  const Ymd l = Split(ordered ? b : a);  // later
  const std::string u = Capitals(unit);
  if (u == "D") {
    int64_t total = DaysOfYearsBetween(e.year, l.year);
    if (e.year < l.year) {
      for (int64_t m = e.month; m <= 12; ++m) total += MonthLength(m, DiffLeap(e.year));
      for (int64_t m = 1; m < l.month; ++m) total += MonthLength(m, DiffLeap(l.year));
    } else {
      for (int64_t m = e.month; m < l.month; ++m) total += MonthLength(m, DiffLeap(e.year));
    }
    return static_cast<int32_t>(total - e.day + l.day);
  }
  if (u == "M") return static_cast<int32_t>(12 * (l.year - e.year) + l.month - e.month);
  if (u == "A") {
    bool incomplete = e.month > l.month || (e.month == l.month && e.day > l.day);
    return static_cast<int32_t>(l.year - e.year - (incomplete ? 1 : 0));
  }
  return 0;
}

int16_t Weekday(const std::string& packed) {
  const std::string jan1 = packed.substr(0, 2) + Pack("0101");
  const int64_t s = DateDiff(packed, jan1, "D") - 1;
  const int64_t y = Split(packed).year - 1;
  int64_t r;
  if (packed < kFirstGap) {
    r = ((y + y / 4) % 7 + 6 + s) % 7 + 1;
  } else {
    r = ((y + y / 4 - y / 100 + y / 400) % 7 + 1 + s) % 7 + 1;
  }
  return static_cast<int16_t>(r);
}

}  // namespace dates
