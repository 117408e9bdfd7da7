#include "forms/calendar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/keyboard.h"
#include "forms/popup_test_support.h"
#include "forms/popups.h"
#include "console/screen.h"
#include "dates/packed.h"
#include "format/text_utils.h"
#include "platform/env.h"

namespace console {
namespace {

using testing::Captures;
using testing::OnCapture;
using testing::PopupTest;

constexpr unsigned char kRight = 0x4D, kLeft = 0x4B, kUp = 0x48, kDown = 0x50, kPgUp = 0x49,
                        kPgDn = 0x51, kHome = 0x47, kEnd = 0x4F, kAltF = 0x21, kAltX = 0x2D,
                        kAltC = 0x2E;

class CalendarTest : public PopupTest {
 protected:
  void SetUp() override {
    PopupTest::SetUp();
    keyboard.Calculator = testing::CaptureScreen;
  }
  void TearDown() override {
    PopupTest::TearDown();
    platform::clock = platform::ClockState();
  }
  static void Look() { Key(kAltX); }
  static void OpenOn(const std::string& yyyymmdd) { config::session.WorkDate = dates::Pack(yyyymmdd); }
  // The window as the last look saw it (rows 1-24, columns 59-80).
  static std::vector<std::string> Window() { return Captures().back().Region(1, 59, 24, 80); }
  // The month names of the quarter shown.
  static std::string Months() {
    std::vector<std::string> w = Window();
    return format::TrimBlanks(w[2].substr(1, 20)) + "/" + format::TrimBlanks(w[9].substr(1, 20)) +
           "/" + format::TrimBlanks(w[16].substr(1, 20));
  }
  static std::string Year() { return Window()[0].substr(8, 6); }
  // A mark in the window, between the first two weekdays of the header,
  // which survives as long as nothing is laid out again.
  static void MarkOnEachLook() {
    OnCapture() = [] {
      platform::ConsoleSetColours(7, 0);
      platform::ConsoleLocate(2, 62);
      platform::ConsoleWrite("#");
    };
  }
  static bool Marked(size_t capture) { return Captures()[capture].rows[1][61] == '#'; }
  // The day shown in the input colour (the highlighted one), as text.
  static std::string Highlighted() {
    const testing::Capture& c = Captures().back();
    std::string found;
    for (int r = 2; r <= 23; ++r)
      for (int col = 60; col <= 79; ++col)
        if (c.Attr(r, col) == 0x70) found += c.rows[r - 1][col - 1];
    return format::TrimBlanks(found);
  }
};

TEST_F(CalendarTest, TheQuarterAndItsDays) {
  OpenOn("20250131");
  FillScreen();
  platform::ConsoleLocate(7, 9);
  std::string before = Snapshot();
  const std::string keysBefore("\x0d\x00", 2);
  KeySet("a", "d");
  Look();
  Key(0x01);  // any other key is ignored
  Look();
  Keys("\x1b");
  EXPECT_EQ(Calendar(), "");

  ASSERT_EQ(Captures().size(), 2u);
  const std::vector<std::string> want = {
      "+------- 2025 -------+",
      "|DL DT DC DJ DV DS DG|",
      "|       GENER        |",
      "|       1  2  3  4  5|",
      "| 6  7  8  9 10 11 12|",
      "|13 14 15 16 17 18 19|",
      "|20 21 22 23 24 25 26|",
      "|27 28 29 30 31      |",
      "|                    |",
      "|       FEBRER       |",
      "|                1  2|",
      "| 3  4  5  6  7  8  9|",
      "|10 11 12 13 14 15 16|",
      "|17 18 19 20 21 22 23|",
      "|24 25 26 27 28      |",
      "|                    |",
      "|        MAR\x80        |",
      "|                1  2|",
      "| 3  4  5  6  7  8  9|",
      "|10 11 12 13 14 15 16|",
      "|17 18 19 20 21 22 23|",
      "|24 25 26 27 28 29 30|",
      "|31                  |",
      "+--------------------+",
  };
  EXPECT_EQ(Window(), want);
  EXPECT_EQ(Captures()[0].rows, Captures()[1].rows);
  // Colour roles: the day chosen "u", the other days "h", names "n".
  const testing::Capture& c = Captures().back();
  EXPECT_EQ(c.Attr(8, 72), 0x70);
  EXPECT_EQ(c.Attr(8, 73), 0x70);
  EXPECT_EQ(c.Attr(8, 69), 0x0F);
  EXPECT_EQ(c.Attr(3, 67), 0x07);
  EXPECT_EQ(Highlighted(), "31");
  // What the window covered is to the left as it was.
  EXPECT_EQ(c.rows[4].substr(0, 58), testing::Ascii(platform::ConsoleReadRow(5)).substr(0, 58));

  // Everything as before: screen, cursor, colour role, key set.
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(platform::ConsoleCursorRow(), 7);
  EXPECT_EQ(platform::ConsoleCursorColumn(), 9);
  EXPECT_TRUE(platform::console.cursorVisible);
  EXPECT_EQ(screen.ColourStack, "");
  EXPECT_EQ(keyboard.KeyCodes, keysBefore);
  EXPECT_EQ(keyboard.SavedCount, 0);
  EXPECT_EQ(screen.WindowDepth, 0);
}

TEST_F(CalendarTest, PageUpAndDownFromTheThirtyFirstOfJanuary) {
  OpenOn("20250131");
  Key(kPgUp);
  Look();
  Keys("F");
  EXPECT_EQ(Calendar(), "31/10/2024");
  EXPECT_EQ(Months(), "OCTUBRE/NOVEMBRE/DESEMBRE");
  EXPECT_EQ(Year(), " 2024 ");
  EXPECT_EQ(Highlighted(), "31");

  Key(kPgDn);
  Look();
  Keys("f");
  EXPECT_EQ(Calendar(), "30/4/2025 ");  // the day cut to April's length
  EXPECT_EQ(Months(), "ABRIL/MAIG/JUNY");
  EXPECT_EQ(Highlighted(), "30");

  Key(kPgDn);
  Key(kPgDn);
  Key(kPgDn);
  Key(kPgDn);
  Key(kAltF);
  EXPECT_EQ(Calendar(), "30/1/2026 ");  // a year on, the day as it was cut
}

TEST_F(CalendarTest, LeftFromTheFirstOfMarch) {
  OpenOn("20240301");
  MarkOnEachLook();
  Look();
  Key(kLeft);
  Look();
  Keys("F");
  EXPECT_EQ(Calendar(), "29/2/2024 ");
  EXPECT_TRUE(Marked(1));  // February is in the quarter shown: no new layout
  EXPECT_EQ(Highlighted(), "29");
  EXPECT_EQ(Months(), "GENER/FEBRER/MAR\x80");

  OpenOn("20250301");
  Key(kLeft);
  Keys("F");
  EXPECT_EQ(Calendar(), "28/2/2025 ");
  // From the first of a quarter the previous quarter is laid out.
  OpenOn("20250401");
  Look();
  Key(kLeft);
  Look();
  Keys("F");
  EXPECT_EQ(Calendar(), "31/3/2025 ");
  EXPECT_FALSE(Marked(3));
  EXPECT_EQ(Months(), "GENER/FEBRER/MAR\x80");
}

TEST_F(CalendarTest, RightFromTheThirtyFirstOfDecember) {
  OpenOn("20251231");
  Key(kRight);
  Look();
  Keys("F");
  EXPECT_EQ(Calendar(), "1/1/2026  ");
  EXPECT_EQ(Year(), " 2026 ");
  EXPECT_EQ(Months(), "GENER/FEBRER/MAR\x80");
  EXPECT_EQ(Highlighted(), "1");
}

TEST_F(CalendarTest, WeeksUpAndDown) {
  OpenOn("20250128");
  Key(kDown);
  Keys("F");
  EXPECT_EQ(Calendar(), "4/2/2025  ");
  OpenOn("20250103");
  Key(kUp);
  Look();
  Keys("F");
  EXPECT_EQ(Calendar(), "27/12/2024");
  EXPECT_EQ(Months(), "OCTUBRE/NOVEMBRE/DESEMBRE");
  OpenOn("20250326");
  Key(kDown);
  Look();
  Keys("F");
  EXPECT_EQ(Calendar(), "2/4/2025  ");
  EXPECT_EQ(Months(), "ABRIL/MAIG/JUNY");
}

TEST_F(CalendarTest, HomeAndEndLayOutOnlyWhenTheQuarterChanges) {
  OpenOn("20250215");
  MarkOnEachLook();
  Look();
  Key(kHome);
  Look();
  Keys("F");
  EXPECT_EQ(Calendar(), "15/1/2025 ");
  EXPECT_TRUE(Marked(1));

  OpenOn("20251210");
  Look();
  Key(kEnd);
  Look();
  Key(kHome);
  Look();
  Keys("F");
  EXPECT_EQ(Calendar(), "10/1/2025 ");
  EXPECT_TRUE(Marked(3));   // End from December: the same quarter
  EXPECT_FALSE(Marked(4));  // Home from December: January to March again
  EXPECT_EQ(Months(), "GENER/FEBRER/MAR\x80");
}

TEST_F(CalendarTest, WeekdayHeaderAndMonthNamesFollowTheLanguage) {
  struct Case {
    const char* language;
    const char* header;
    const char* months;
  };
  const Case cases[] = {
      {"OCI", "|DL DT DC DJ DD DS DG|", "OCTOBRE/NOVEME/DESEME"},
      {"SPA", "| L  M  X  J  V  S  D|", "OCTUBRE/NOVIEMBRE/DICIEMBRE"},
      {"GLG", "| L  M  X  J  V  S  D|", "OUTUBRO/NOVEMBRO/DEZEMBRO"},
      {"cat", "|DL DT DC DJ DV DS DG|", "OCTUBRE/NOVEMBRE/DESEMBRE"},  // not a language: Catalan
  };
  OpenOn("20251015");
  for (const Case& c : cases) {
    config::session.Language = c.language;
    Look();
    Keys("\x1b");
    Calendar();
    EXPECT_EQ(Window()[1], c.header) << c.language;
    EXPECT_EQ(Months(), c.months) << c.language;
  }
}

TEST_F(CalendarTest, WithoutAWorkingDateItOpensOnToday) {
  platform::clock.overridden = true;
  platform::clock.date = {2026, 2, 14};
  config::session.WorkDate = "";
  Keys("F");
  EXPECT_EQ(Calendar(), "14/2/2026 ");
  config::session.WorkDate = dates::Pack("20251300");
  Keys("F");
  EXPECT_EQ(Calendar(), "14/2/2026 ");
  OpenOn("20250231");  // a day beyond the month: its last day
  Keys("F");
  EXPECT_EQ(Calendar(), "28/2/2025 ");
}

TEST_F(CalendarTest, TheYearsStopAtOneAndNineThousandNineHundredNinetyNine) {
  OpenOn("99991231");
  Key(kRight);
  Key(kPgDn);
  Key(kDown);
  Keys("F");
  EXPECT_EQ(Calendar(), "31/12/9999");
  OpenOn("00010101");
  Key(kLeft);
  Key(kPgUp);
  Key(kUp);
  Key(kRight);
  Keys("F");
  EXPECT_EQ(Calendar(), "2/1/0001  ");
}

TEST_F(CalendarTest, AltCInsideTheCalendarDoesNothing) {
  RegisterPopups();
  keyboard.Calculator = testing::CaptureScreen;
  OpenOn("20250131");
  Key(kAltC);  // opens the calendar ...
  Key(kAltC);  // ... and is nothing inside it
  Look();
  Key(kRight);
  Keys("F");
  EXPECT_EQ(ReadKeys(), std::string("\0", 1) + "\x2e" + "1/2/2025  ");
  EXPECT_EQ(keyboard.CalendarOpen, 0);
  // One calendar only: Right and F reached it, and its date was typed.
  EXPECT_EQ(Highlighted(), "31");
  EXPECT_EQ(platform::console.starvedWaits, 0);
}

TEST_F(CalendarTest, WithoutAWindowStackItDoesNotOpen) {
  config::session.TempDir = dir_.file("missing/");
  OpenOn("20250131");
  FillScreen();
  std::string before = Snapshot();
  Keys("F");
  EXPECT_EQ(Calendar(), "");
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(screen.ColourStack, "");
  EXPECT_EQ(keyboard.SavedCount, 0);
}

}  // namespace
}  // namespace console
