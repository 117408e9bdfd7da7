#include "dates/date_math.h"

#include <gtest/gtest.h>

#include <random>

#include "dates/packed.h"
#include "platform/env.h"

namespace dates {
namespace {

std::string D(const char* digits) { return Pack(digits); }
std::string Digits(const std::string& packed) { return Unpack(packed); }

// Days since 1970-01-01 of a proleptic Gregorian date (the civil-date
// algorithm of H. Hinnant), an independent reference for the routines.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int* y, int* m, int* d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  *d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  *m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  *y = static_cast<int>(yoe + era * 400 + (*m <= 2));
}

std::string PackYmd(int y, int m, int d) {
  return Pack(ZeroPad(y * 10000.0 + m * 100 + d, 8));
}

class DateMathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::clock = platform::ClockState();
    platform::clock.overridden = true;
    platform::clock.date = {2026, 6, 15};
  }
  void TearDown() override { platform::clock = platform::ClockState(); }
};

TEST_F(DateMathTest, DateToInputUsesTwoDigitsInsideTheWindow) {
  EXPECT_EQ(DateToInput(kZeroDate), "");
  EXPECT_EQ(DateToInput(D("20250105")), "050125");
  EXPECT_EQ(DateToInput(D("20750105")), "050175");   // C + 49
  EXPECT_EQ(DateToInput(D("20760105")), "05012076"); // C + 50
  EXPECT_EQ(DateToInput(D("19760105")), "050176");   // C - 50
  EXPECT_EQ(DateToInput(D("19750105")), "05011975");
  EXPECT_EQ(DateToInput(D("19500105")), "05011950");
  EXPECT_EQ(DateToInput(D("20250100")), "000125");   // day 0 alone still shows
  platform::clock.date.year = 2100;
  EXPECT_EQ(DateToInput(D("20760105")), "050176");
}

TEST_F(DateMathTest, ParseDateReadsTheTypedForms) {
  for (const char* typed : {"5.1.25", "05/01/2025", "050125", "05012025", "5-1-25",
                            " 5/ 1/ 25", "5/1/2025 "}) {
    EXPECT_EQ(Digits(ParseDate(typed)), "20250105") << typed;
  }
  EXPECT_EQ(Digits(ParseDate("31/02/25")), "20250231");  // not checked here
  EXPECT_EQ(Digits(ParseDate("1 2/3/25")), "20250301");  // "1 2" reads 1
}

TEST_F(DateMathTest, ParseDateRejectsUnreadableText) {
  for (const char* typed : {"5/1", "5/1/25/1", "5a/1/25", "5,1,25", "5/1/99999",
                            "99999/1/25"}) {
    EXPECT_EQ(ParseDate(typed), kZeroDate) << typed;
  }
  EXPECT_EQ(ParseDate(""), kZeroDate);
}

TEST_F(DateMathTest, ParseDateCompletesShortYearsAroundTheCurrentYear) {
  EXPECT_EQ(Digits(ParseDate("1/1/25")), "20250101");
  EXPECT_EQ(Digits(ParseDate("1/1/75")), "20750101");
  EXPECT_EQ(Digits(ParseDate("1/1/76")), "19760101");
  EXPECT_EQ(Digits(ParseDate("1/1/999")), "28990101");
  EXPECT_EQ(Digits(ParseDate("1/1/ 25 ")), "20250101");  // short after trimming
  EXPECT_EQ(Digits(ParseDate("1/1/0025")), "00250101");  // four digits: as typed
  EXPECT_EQ(Digits(ParseDate("0/1/25")), "00250100");    // no day: not completed
  platform::clock.date.year = 2080;
  EXPECT_EQ(Digits(ParseDate("1/1/25")), "21250101");
  EXPECT_EQ(Digits(ParseDate("1/1/31")), "20310101");
}

TEST_F(DateMathTest, DateInvalid) {
  EXPECT_EQ(DateInvalid("29/02/2024"), 0);
  EXPECT_EQ(DateInvalid("29/02/2023"), -1);
  EXPECT_EQ(DateInvalid("29/02/1900"), -1);
  EXPECT_EQ(DateInvalid("29/02/2000"), 0);
  EXPECT_EQ(DateInvalid("10/10/1582"), -1);
  EXPECT_EQ(DateInvalid("5/10/1582"), -1);
  EXPECT_EQ(DateInvalid("14/10/1582"), -1);
  EXPECT_EQ(DateInvalid("4/10/1582"), 0);
  EXPECT_EQ(DateInvalid("15/10/1582"), 0);
  EXPECT_EQ(DateInvalid("29/02/1500"), -1);  // Gregorian rule for every year
  EXPECT_EQ(DateInvalid("0/1/25"), -1);
  EXPECT_EQ(DateInvalid("1/13/25"), -1);
  EXPECT_EQ(DateInvalid("1/0/25"), -1);
  EXPECT_EQ(DateInvalid("31/04/25"), -1);
  EXPECT_EQ(DateInvalid("31/12/25"), 0);
  EXPECT_EQ(DateInvalid("290224"), 0);
  EXPECT_EQ(DateInvalid("5/1"), -1);
  EXPECT_EQ(DateInvalid("x"), -1);
  EXPECT_EQ(DateInvalid(""), -1);
  EXPECT_EQ(DateInvalid("1/1/40000"), -1);
}

TEST_F(DateMathTest, DateInvalidKeepsAYearFiftyYearsBack) {
  // Only 2000 and 1900/2100 tell the windows apart by their leap years.
  platform::clock.date.year = 2050;
  EXPECT_EQ(DateInvalid("29/02/00"), 0);   // 2000 = C - 50 stays: leap
  EXPECT_EQ(Digits(ParseDate("29/02/00")), "20000229");
  platform::clock.date.year = 2051;
  EXPECT_EQ(DateInvalid("29/02/00"), -1);  // moved to 2100: not leap
  EXPECT_EQ(Digits(ParseDate("29/02/00")), "21000229");
  EXPECT_EQ(DateInvalid("29/02/1600"), 0);
}

TEST_F(DateMathTest, DateAddExamples) {
  EXPECT_EQ(Digits(DateAdd(D("20250131"), 1, "M")), "20250228");
  EXPECT_EQ(Digits(DateAdd(D("20240229"), 1, "A")), "20250228");
  EXPECT_EQ(Digits(DateAdd(D("20251231"), 1, "D")), "20260101");
  EXPECT_EQ(Digits(DateAdd(D("20250301"), -1, "D")), "20250228");
  EXPECT_EQ(Digits(DateAdd(D("20250331"), -1, "M")), "20250228");
  EXPECT_EQ(Digits(DateAdd(D("99991231"), 1, "D")), "99991231");
  EXPECT_EQ(Digits(DateAdd(D("20250115"), -1, "m")), "20241215");
  EXPECT_EQ(Digits(DateAdd(D("20250115"), -12, "M")), "20240115");
  EXPECT_EQ(Digits(DateAdd(D("20250115"), -13, "M")), "20231215");
  EXPECT_EQ(Digits(DateAdd(D("20250115"), 23, "M")), "20261215");
  EXPECT_EQ(Digits(DateAdd(D("20250115"), 24, "M")), "20270115");
  EXPECT_EQ(Digits(DateAdd(D("20250115"), -366, "d")), "20240115");
  EXPECT_EQ(Digits(DateAdd(D("20250115"), 5, "X")), "20250115");
  EXPECT_EQ(Digits(DateAdd(D("99990101"), 1, "A")), "99991231");
}

TEST_F(DateMathTest, DateAddZeroReturnsTheArgumentAsItIs) {
  std::string odd = D("20251345");
  EXPECT_EQ(DateAdd(odd, 0, "D"), odd);
  std::string junk("\x01\x02\x03", 3);
  EXPECT_EQ(DateAdd(junk, 0, "M"), junk);
}

TEST_F(DateMathTest, DateAddChoosesTheLeapRuleByTheStartDate) {
  EXPECT_EQ(Digits(DateAdd(D("15820228"), 1, "D")), "15820301");
  EXPECT_EQ(Digits(DateAdd(D("15000228"), 1, "D")), "15000229");  // Julian
  EXPECT_EQ(Digits(DateAdd(D("19000228"), 1, "D")), "19000301");  // Gregorian
  EXPECT_EQ(Digits(DateAdd(D("15821004"), 1, "D")), "15821005");  // gap not skipped
  // Julian start date: 1700 (not a Gregorian leap year) gets its 29 February.
  EXPECT_EQ(Digits(DateAdd(D("15000101"), 365 * 200 + 50 + 58, "D")), "17000228");
  EXPECT_EQ(Digits(DateAdd(D("15000101"), 365 * 200 + 50 + 59, "D")), "17000229");
}

TEST_F(DateMathTest, DateAddHugeCountsEndQuickly) {
  EXPECT_EQ(Digits(DateAdd(D("20250101"), 2147483647, "D")), "99991231");
  EXPECT_EQ(Digits(DateAdd(D("20250101"), 2147483647, "M")), "99991231");
  EXPECT_EQ(Digits(DateAdd(D("20250101"), 2147483647, "A")), "99991231");
  // Far backwards the result is unspecified but must come back.
  DateAdd(D("20250101"), -2147483647 - 1, "D");
  DateAdd(D("20250101"), -2147483647 - 1, "M");
}

TEST_F(DateMathTest, DateAddDaysAgreesWithACivilDayCount) {
  std::mt19937 gen(7);
  const int64_t first = DaysFromCivil(1582, 10, 15);
  const int64_t last = DaysFromCivil(9999, 12, 31);
  for (int i = 0; i < 5000; ++i) {
    int64_t a = first + gen() % (last - first + 1);
    int64_t b = first + gen() % (last - first + 1);
    int y, m, d, y2, m2, d2;
    CivilFromDays(a, &y, &m, &d);
    CivilFromDays(b, &y2, &m2, &d2);
    ASSERT_EQ(DateAdd(PackYmd(y, m, d), static_cast<int32_t>(b - a), "D"), PackYmd(y2, m2, d2))
        << y << "-" << m << "-" << d << " + " << (b - a);
  }
}

TEST_F(DateMathTest, DateDiffExamples) {
  EXPECT_EQ(DateDiff(D("20250101"), D("20250101"), "D"), 0);
  EXPECT_EQ(DateDiff(D("20251231"), D("20250101"), "D"), 364);
  EXPECT_EQ(DateDiff(D("20240301"), D("20230301"), "D"), 366);
  EXPECT_EQ(DateDiff(D("20250131"), D("20250201"), "M"), 1);
  EXPECT_EQ(DateDiff(D("20000615"), D("20250614"), "A"), 24);
  EXPECT_EQ(DateDiff(D("20000615"), D("20250615"), "a"), 25);
  EXPECT_EQ(DateDiff(D("20001215"), D("20250115"), "A"), 24);
  EXPECT_EQ(DateDiff(D("20250101"), D("20260101"), "X"), 0);
  // The ten days of October 1582 are counted; 1500 is a Julian leap year.
  EXPECT_EQ(DateDiff(D("15821004"), D("15821015"), "D"), 11);
  EXPECT_EQ(DateDiff(D("15000101"), D("15010101"), "D"), 366);
  EXPECT_EQ(DateDiff(D("17000101"), D("17010101"), "D"), 365);
}

TEST_F(DateMathTest, DateDiffAgreesWithAPlainDayCountInEitherOrder) {
  std::mt19937 gen(2026);
  const int64_t first = DaysFromCivil(1582, 10, 15);
  const int64_t last = DaysFromCivil(9999, 12, 31);
  for (int i = 0; i < 20000; ++i) {
    int64_t a = first + gen() % (last - first + 1);
    int64_t b = first + gen() % (last - first + 1);
    int y, m, d, y2, m2, d2;
    CivilFromDays(a, &y, &m, &d);
    CivilFromDays(b, &y2, &m2, &d2);
    std::string pa = PackYmd(y, m, d), pb = PackYmd(y2, m2, d2);
    int32_t want = static_cast<int32_t>(a > b ? a - b : b - a);
    ASSERT_EQ(DateDiff(pa, pb, "D"), want) << Digits(pa) << " " << Digits(pb);
    ASSERT_EQ(DateDiff(pb, pa, "D"), want);
    ASSERT_EQ(DateDiff(pa, pb, "M"), DateDiff(pb, pa, "M"));
  }
}

TEST_F(DateMathTest, WeekdayAroundTheCalendarChange) {
  EXPECT_EQ(Weekday(D("20000101")), 6);
  EXPECT_EQ(Weekday(D("15821004")), 4);
  EXPECT_EQ(Weekday(D("15821015")), 5);
  EXPECT_EQ(Weekday(D("20260615")), 1);
  EXPECT_EQ(Weekday(D("15000101")), 3);  // Julian: 1 January 1500, a Wednesday
}

TEST_F(DateMathTest, WeekdayIsTheIsoWeekdayFrom1583To9999) {
  int64_t z = DaysFromCivil(1583, 1, 1);
  const int64_t last = DaysFromCivil(9999, 12, 31);
  for (; z <= last; ++z) {
    int y, m, d;
    CivilFromDays(z, &y, &m, &d);
    int iso = static_cast<int>(((z % 7) + 7 + 3) % 7) + 1;  // 1970-01-01: Thursday
    ASSERT_EQ(Weekday(PackYmd(y, m, d)), iso) << y << "-" << m << "-" << d;
  }
}

TEST_F(DateMathTest, MonthLengths) {
  const int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  for (int m = 1; m <= 12; ++m) {
    EXPECT_EQ(MonthLength(m, false), lengths[m - 1]);
    EXPECT_EQ(MonthLength(m, true), lengths[m - 1] + (m == 2));
  }
}

}  // namespace
}  // namespace dates
