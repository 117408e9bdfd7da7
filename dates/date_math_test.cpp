#include "dates/date_math.h"

#include <gtest/gtest.h>

#include <random>

#include "dates/packed.h"
#include "platform/env.h"

namespace dates {
namespace {

std::string D(const char* digits) { return Pack(digits); }
std::string Digits(const std::string& packed) { return Unpack(packed); }

// Independent reference: days since 1970-01-01 of a proleptic Gregorian
// date and back (H. Hinnant's civil-date algorithms).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
}

std::string PackedFromDays(int64_t z) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp < 10 ? mp + 3 : mp - 9;
  const int64_t y = yoe + era * 400 + (m <= 2);
  return Pack(ZeroPad(static_cast<double>(y * 10000 + m * 100 + d), 8));
}

class DateMathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::clock.overridden = true;
    platform::clock.date = {2026, 6, 15};
  }
  void TearDown() override { platform::clock = platform::ClockState(); }
};

TEST_F(DateMathTest, DateToInputShowsTwoDigitYearsInsideTheWindow) {
  EXPECT_EQ(DateToInput(kZeroDate), "");
  EXPECT_EQ(DateToInput(D("20250105")), "050125");
  EXPECT_EQ(DateToInput(D("20750105")), "050175");    // C + 49
  EXPECT_EQ(DateToInput(D("20760105")), "05012076");  // C + 50
  EXPECT_EQ(DateToInput(D("19760105")), "050176");    // C - 50
  EXPECT_EQ(DateToInput(D("19500105")), "05011950");
}

TEST_F(DateMathTest, ParseDate) {
  for (const char* typed : {"5.1.25", "05/01/2025", "050125", "05012025", " 5-1/ 25 "}) {
    EXPECT_EQ(Digits(ParseDate(typed)), "20250105") << typed;
  }
  for (const char* typed : {"5/1", "5/1/25/1", "5a/1/25", "5,1,25", "5/1/99999", ""}) {
    EXPECT_EQ(ParseDate(typed), kZeroDate) << typed;
  }
  EXPECT_EQ(Digits(ParseDate("31/02/25")), "20250231");  // not checked here
  EXPECT_EQ(Digits(ParseDate("1 2/3/25")), "20250301");  // "1 2" reads 1
  EXPECT_EQ(Digits(ParseDate("1/1/75")), "20750101");
  EXPECT_EQ(Digits(ParseDate("1/1/76")), "19760101");
  EXPECT_EQ(Digits(ParseDate("1/1/999")), "28990101");
  EXPECT_EQ(Digits(ParseDate("1/1/0025")), "00250101");  // four characters: as typed
  EXPECT_EQ(Digits(ParseDate("0/1/25")), "00250100");    // no day: not completed
}

TEST_F(DateMathTest, DateInvalid) {
  struct { const char* text; int16_t want; } rows[] = {
      {"29/02/2024", 0}, {"29/02/2023", -1}, {"29/02/1900", -1}, {"29/02/2000", 0},
      {"5/10/1582", -1}, {"14/10/1582", -1}, {"4/10/1582", 0},   {"15/10/1582", 0},
      {"29/02/1500", -1},  // Gregorian rule for every year
      {"0/1/25", -1},    {"1/13/25", -1},    {"31/04/25", -1},   {"290224", 0},
      {"5/1", -1},       {"x", -1},          {"1/1/40000", -1},
  };
  for (const auto& r : rows) EXPECT_EQ(DateInvalid(r.text), r.want) << r.text;
  // Its window reaches C - 50, one year further than ParseDate's; only
  // 2000 against 2100 shows it through a leap day.
  platform::clock.date.year = 2050;
  EXPECT_EQ(DateInvalid("29/02/00"), 0);  // 2000
  platform::clock.date.year = 2051;
  EXPECT_EQ(DateInvalid("29/02/00"), -1);  // 2100
}

TEST_F(DateMathTest, DateAdd) {
  struct { const char* from; int32_t n; const char* unit; const char* want; } rows[] = {
      {"20250131", 1, "M", "20250228"},   {"20240229", 1, "A", "20250228"},
      {"20251231", 1, "D", "20260101"},   {"20250301", -1, "D", "20250228"},
      {"20250331", -1, "M", "20250228"},  {"99991231", 1, "D", "99991231"},
      {"20250115", -13, "m", "20231215"}, {"20250115", 24, "M", "20270115"},
      {"20250115", -12, "M", "20240115"}, {"20250115", 5, "X", "20250115"},
      {"15820228", 1, "D", "15820301"},
      {"15000228", 1, "D", "15000229"},   // Julian rule for an early start
      {"15821004", 1, "D", "15821005"},   // the gap is not skipped
      {"15000101", 73050 + 59, "D", "17000229"},  // Julian throughout the call
      {"20250101", 2147483647, "D", "99991231"},
      {"20250101", 2147483647, "M", "99991231"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(Digits(DateAdd(D(r.from), r.n, r.unit)), r.want) << r.from << " " << r.n << r.unit;
  }
  std::string odd("\x01\x02\x03", 3);
  EXPECT_EQ(DateAdd(odd, 0, "D"), odd);  // a count of 0 returns the argument
  DateAdd(D("20250101"), -2147483647 - 1, "D");  // unspecified, but it returns
}

TEST_F(DateMathTest, DateDiff) {
  EXPECT_EQ(DateDiff(D("20250101"), D("20250101"), "D"), 0);
  EXPECT_EQ(DateDiff(D("20251231"), D("20250101"), "D"), 364);
  EXPECT_EQ(DateDiff(D("20240301"), D("20230301"), "D"), 366);
  EXPECT_EQ(DateDiff(D("20250131"), D("20250201"), "M"), 1);
  EXPECT_EQ(DateDiff(D("20000615"), D("20250614"), "A"), 24);
  EXPECT_EQ(DateDiff(D("20250615"), D("20000615"), "a"), 25);
  EXPECT_EQ(DateDiff(D("20250101"), D("20260101"), "X"), 0);
  EXPECT_EQ(DateDiff(D("15821004"), D("15821015"), "D"), 11);  // ten days counted
  EXPECT_EQ(DateDiff(D("15000101"), D("15010101"), "D"), 366);  // Julian 1500
}

// Random dates after the calendar change: DateDiff in days (both orders) and
// DateAdd in days agree with the reference day count.
TEST_F(DateMathTest, DaysAgreeWithACivilDayCount) {
  std::mt19937 gen(2026);
  const int64_t first = DaysFromCivil(1582, 10, 15);
  const int64_t span = DaysFromCivil(9999, 12, 31) - first + 1;
  for (int i = 0; i < 20000; ++i) {
    int64_t a = first + gen() % span, b = first + gen() % span;
    std::string pa = PackedFromDays(a), pb = PackedFromDays(b);
    ASSERT_EQ(DateDiff(pa, pb, "D"), std::llabs(a - b)) << Digits(pa) << " " << Digits(pb);
    ASSERT_EQ(DateDiff(pb, pa, "D"), std::llabs(a - b));
    ASSERT_EQ(DateAdd(pa, static_cast<int32_t>(b - a), "D"), pb) << Digits(pa) << " " << b - a;
  }
}

TEST_F(DateMathTest, WeekdayAroundTheCalendarChange) {
  EXPECT_EQ(Weekday(D("20000101")), 6);
  EXPECT_EQ(Weekday(D("15821004")), 4);  // Thursday, Julian
  EXPECT_EQ(Weekday(D("15821015")), 5);  // Friday, Gregorian
  EXPECT_EQ(Weekday(D("15000101")), 3);  // Wednesday, Julian
}

TEST_F(DateMathTest, WeekdayIsTheIsoWeekdayFrom1583To9999) {
  const int64_t last = DaysFromCivil(9999, 12, 31);
  for (int64_t z = DaysFromCivil(1583, 1, 1); z <= last; ++z) {
    int iso = static_cast<int>(((z % 7) + 7 + 3) % 7) + 1;  // 1970-01-01: Thursday
    ASSERT_EQ(Weekday(PackedFromDays(z)), iso) << Digits(PackedFromDays(z));
  }
}

}  // namespace
}  // namespace dates
