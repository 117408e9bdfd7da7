// The calendar pop-up: the quarter's layout and the key loop.
#include "forms/calendar.h"

#include <cstdint>
#include <cstdio>

#include "config/session.h"
#include "console/colours.h"
#include "console/keyboard.h"
#include "forms/popups.h"
#include "console/windows.h"
#include "dates/date_format.h"
#include "dates/date_math.h"
#include "dates/packed.h"
#include "format/text_utils.h"
#include "platform/console.h"
#include "platform/env.h"
#include "platform/key_codes.h"

namespace console {
namespace {

// Right, Left, Down, Up, PgDn, PgUp, Home, End, Alt+F, Esc.
const char kCalendarKeys[] = "4d00,4b00,5000,4800,5100,4900,4700,4f00,2100,1b";

// The window, frame included.
constexpr int16_t kTop = 1, kLeft = 59, kBottom = 24, kRight = 80;

constexpr int kFirstYear = 1, kLastYear = 9999;

// A day of the calendar.
struct Day {
  int year = 0;
  int month = 0;
  int day = 0;
};

// What the window shows: the year, the first month of the quarter and the
// tables of that year, each indexed from 1.
struct Quarter {
  int year = 0;
  int first = 0;
  int length[13] = {};
  int weekday[13][32] = {};  // 1 Monday .. 7 Sunday, for days 1..31 of every month
};

int MonthLength(int year, int month) {
  return dates::MonthLength(month, dates::GregorianLeap(year));
}

std::string Packed(int year, int month, int day) {
  return dates::Pack(dates::ZeroPad(double(year) * 10000 + month * 100 + day, 8));
}

int FirstOfQuarter(int month) { return (month - 1) / 3 * 3 + 1; }

int Number(const std::string& digits) {
  int v = 0;
  for (char c : digits) v = v * 10 + (c - '0');
  return v;
}

// The working date of the session, or today when it is not a date; a day
// beyond the month's end becomes its last day.
Day StartingDay() {
  const std::string& work = config::session.WorkDate;
  Day d;
  if (work.size() == 4) {
    d.year = Number(dates::Unpack(work.substr(0, 2)));
    d.month = Number(dates::Unpack(work.substr(2, 1)));
    d.day = Number(dates::Unpack(work.substr(3, 1)));
  }
  if (d.year < kFirstYear || d.month < 1 || d.month > 12 || d.day < 1) {
    platform::LocalDate today = platform::Today();
    d.year = today.year;
    d.month = today.month;
    d.day = today.day;
  }
  if (d.day > MonthLength(d.year, d.month)) d.day = MonthLength(d.year, d.month);
  return d;
}

std::string WeekdayHeader() {
  const std::string& language = config::session.Language;
  if (language == "SPA" || language == "GLG") return " L  M  X  J  V  S  D";
  if (language == "OCI") return "DL DT DC DJ DD DS DG";
  return "DL DT DC DJ DV DS DG";
}

void PrintAt(int row, int column, const std::string& text) {
  LocateInWindow(static_cast<int16_t>(row), static_cast<int16_t>(column));
  platform::ConsoleWrite(text);
}

std::string TwoPlaces(int day) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%2d", day);
  return buf;
}

int InnerWidth() { return InnerRight() - InnerLeft(); }

// Draws the quarter of `at` and fills the tables of its year.
void LayOut(Quarter& q, const Day& at) {
  const int width = InnerWidth();
  q.year = at.year;
  SetColourRole("n");
  char year[16];
  std::snprintf(year, sizeof year, " %4d ", at.year);
  PrintAt(0, (width - 6 + 1) / 2 + 1, year);
  PrintAt(1, 1, WeekdayHeader());

  for (int m = 1; m <= 12; ++m) {
    q.length[m] = MonthLength(at.year, m);
    for (int d = 1; d <= 31; ++d) q.weekday[m][d] = dates::Weekday(Packed(at.year, m, d));
  }
  q.first = FirstOfQuarter(at.month);

  for (int k = 0; k < 3; ++k) {
    const int m = q.first + k;
    const int b = 7 * k + 2;
    const int w1 = q.weekday[m][1];
    SetColourRole("n");
    PrintAt(b, 1, std::string(width + 1, ' '));
    std::string name = format::UpperText(dates::FormatDate(Packed(at.year, m, 1), 2, "m"));
    PrintAt(b, (width - static_cast<int>(name.size()) + 1) / 2 + 1, name);
    SetColourRole("h");
    for (int d = 2 - w1; d <= 0; ++d) PrintAt(b + (w1 + d - 2) / 7 + 1, 3 * (w1 + d - 1) - 2, "  ");
    for (int d = 1; d <= q.length[m]; ++d) {
      PrintAt(b + (w1 + d - 2) / 7 + 1, 3 * q.weekday[m][d] - 2, TwoPlaces(d));
    }
    for (int d = q.length[m] + 1; d <= 43 - w1; ++d) {
      PrintAt(b + (w1 + d - 2) / 7 + 1, 3 * ((w1 + d - 2) % 7 + 1) - 2, "  ");
    }
  }
}

// The day moved by `delta` days (at most a week either way), and whether
// the quarter shown changes. False when the move would leave the years the
// calendar shows.
bool MoveDays(const Quarter& q, Day& at, int delta, bool* newQuarter) {
  Day to = at;
  int first = q.first;
  to.day += delta;
  if (to.day < 1) to.month -= 1;
  if (to.month < first) {
    if (to.month < 1) {
      to.month += 12;
      to.year -= 1;
    }
    first = FirstOfQuarter(to.month);
    *newQuarter = true;
  }
  if (to.day < 1) to.day += MonthLength(to.year, to.month);
  if (to.day > MonthLength(to.year, to.month)) {
    to.day -= MonthLength(to.year, to.month);
    to.month += 1;
  }
  if (to.month > first + 2) {
    if (to.month > 12) {
      to.month -= 12;
      to.year += 1;
    }
    *newQuarter = true;
  }
  if (to.year < kFirstYear || to.year > kLastYear) return false;
  at = to;
  return true;
}

// Three months on (+3) or back (-3), the day cut to the new month's length.
bool MoveMonths(Day& at, int delta) {
  Day to = at;
  to.month += delta;
  if (to.month > 12) {
    to.month -= 12;
    to.year += 1;
  } else if (to.month < 1) {
    to.month += 12;
    to.year -= 1;
  }
  if (to.year < kFirstYear || to.year > kLastYear) return false;
  if (to.day > MonthLength(to.year, to.month)) to.day = MonthLength(to.year, to.month);
  at = to;
  return true;
}

}  // namespace

std::string Calendar() {
  PopupSaved saved = BeginPopup(kCalendarKeys);
  if (!PushWindow(kTop, kLeft, kBottom, kRight)) {
    EndPopup(saved);
    return "";
  }
  DrawFrame(1);

  Day at = StartingDay();
  Quarter q;
  LayOut(q, at);

  std::string result;
  for (;;) {
    const int w1 = q.weekday[at.month][1];
    const int row = 7 * (at.month - q.first) + 2 + (w1 + at.day - 2) / 7 + 1;
    const int column = 3 * q.weekday[at.month][at.day] - 2;
    SetColourRole("+u");
    PrintAt(row, column, TwoPlaces(at.day));
    int16_t key = WaitKey();
    SetColourRole("-");
    PrintAt(row, column, TwoPlaces(at.day));

    bool newQuarter = false;
    bool moved = true;
    switch (key) {
      case kKeyRight: moved = MoveDays(q, at, 1, &newQuarter); break;
      case kKeyLeft: moved = MoveDays(q, at, -1, &newQuarter); break;
      case kKeyDown: moved = MoveDays(q, at, 7, &newQuarter); break;
      case kKeyUp: moved = MoveDays(q, at, -7, &newQuarter); break;
      case kKeyPgDn: moved = newQuarter = MoveMonths(at, 3); break;
      case kKeyPgUp: moved = newQuarter = MoveMonths(at, -3); break;
      case kKeyHome:
        at.month = 1;
        newQuarter = 1 < q.first;
        break;
      case kKeyEnd:
        at.month = 12;
        newQuarter = 12 > q.first + 2;
        break;
      case 'F': case 'f': case kKeyAltF:
        result = dates::FormatDate(Packed(at.year, at.month, at.day), dates::kDateNumeric, "dma");
        break;
      default:
        break;
    }
    if (key == 'F' || key == 'f' || key == kKeyAltF || key == kKeyEsc) break;
    if (moved && newQuarter) LayOut(q, at);
  }

  PopWindow();
  EndPopup(saved);
  return result;
}

}  // namespace console
