// Dates: the packed date, typed date text, and the calendar arithmetic.
//
// A date is the packed form (packed.h) of the eight digits YYYYMMDD: four
// bytes holding the century, the year in the century, the month and the day
// (5 January 2025 = 94 99 81 85 hex). Packed dates compare chronologically
// byte by byte. The zero date, four bytes 0x80, means "no date".
//
// Calendar rules:
//   - Julian leap years: divisible by 4. Gregorian: divisible by 4 and not
//     by 100, or by 400.
//   - The calendar changed after 15821004; 15821005..15821014 do not exist.
//     The routines place the change differently, and deliberately so (dates
//     stored by the suite's other programs depend on it):
//       DateInvalid  Gregorian rule for every year; rejects the ten days.
//       DateAdd      Julian rule for the whole call when the start date is
//                    before 15821005, else Gregorian.
//       DateDiff     Julian rule for years before 1582, Gregorian from 1582;
//                    the ten days are not skipped.
//       Weekday      Julian weekdays before 15821005, Gregorian after.
//   - Two-digit years: a year typed with at most three characters is
//     completed with the current century and moved by a hundred years into
//     a window around the current year C (platform::Today()): ParseDate and
//     DateToInput use C-50..C+49, DateInvalid C-50..C+50.
//
// Typed date text ("5.1.25", "05/01/2025", "050125", "05012025"): digits and
// spaces form the parts; ".", "/" and "-" separate day, month and year
// (exactly two of them, or none: then the characters 1-2, 3-4 and 5-end are
// day, month and year). Anything else is unreadable. A part's value is its
// leading number after leading spaces ("1 2" reads 1; an empty part is 0);
// a value beyond 16 bits makes the text unreadable.
//
// Units of DateAdd and DateDiff: "D" days, "M" months, "A" years (any case).
//
// State: none (the current year is read from the clock at each call).
#pragma once

#include <cstdint>
#include <string>

namespace dates {

// The zero date: no date.
extern const std::string kZeroDate;

// The date as the operator types it: DDMMYY when the year lies in C-50..
// C+49, else DDMMYYYY; "" when day and month are both 0 (the zero date).
std::string DateToInput(const std::string& packed);

// The packed date of typed text, the zero date when it cannot be read. Two-
// digit years are completed (window C-50..C+49). The date is not checked:
// "31/02/25" gives 20250231 (use DateInvalid).
std::string ParseDate(const std::string& text);

// -1 when the typed text is not a valid date (unreadable, day or month out
// of range by the Gregorian calendar, or one of the ten dropped days of
// October 1582), 0 when it is valid.
int16_t DateInvalid(const std::string& text);

// The date moved by n units. A day beyond the end of the resulting month
// becomes its last day (20250131 + 1 "M" = 20250228). n = 0 returns the
// argument unchanged; an unknown unit only brings a day beyond the end of
// its month back to the last day.
// A year beyond 9999 gives 99991231. Never fails.
std::string DateAdd(const std::string& packed, int32_t n, const std::string& unit);

// The distance between two dates, whichever comes first: days, calendar
// months (days ignored) or completed years; 0 for an unknown unit.
int32_t DateDiff(const std::string& a, const std::string& b, const std::string& unit);

// The day of the week: 1 = Monday ... 7 = Sunday.
int16_t Weekday(const std::string& packed);

// Whether the year has a February 29 by the Gregorian rule: divisible by 4
// and not by 100, or by 400.
bool GregorianLeap(int64_t year);

// Days of month m in a year with (leap = true) or without February 29.
int MonthLength(int64_t m, bool leap);

}  // namespace dates
