#include "tools/zudavivi/preview.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "config/session.h"
#include "console/keyboard.h"
#include "console/screen.h"
#include "format/text_utils.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/test_dir.h"
#include "tools/zudavivi/preview_status.h"

namespace zudavivi {
namespace {

// Two pages: the first with a page number at column 85 and a line 30, the
// second with one line.
const char kSpool[] =
    "DEVICE\r\nPAGE 66 \r\n 1 ,FIRST PAGE, 0 \r\nJUSD\r\n 85 ,P\xB7GINA    1, 29 \r\n"
    " 1 ,line 30, 1 \r\nPAGE 66 \r\n 3 ,SECOND PAGE, 1 \r\n";

// A screen row without its trailing blanks.
std::string Row(int row) {
  return format::TrimTrailingBlanks(platform::ConsoleReadRow(static_cast<int16_t>(row)));
}

class PreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    config::session = config::SessionState();
    config::session.TempDir = dir_.path();
    console::keyboard = console::KeyboardState();
    console::screen = console::ScreenState();
    platform::console = platform::ConsoleState();
    platform::ConsoleStartWith(platform::ConsoleBackendKind::kHeadless);
  }
  void TearDown() override {
    platform::ConsoleEnd();
  }
  static void Key(int scan) { platform::ConsoleQueueKey(std::string(1, '\0') + char(scan)); }
  platform::TestDir dir_;
};

TEST_F(PreviewTest, ScrollAcrossAndDownAndTurnPages) {
  std::string error;
  ASSERT_EQ(RunPreview(kSpool, &error), 0);  // no keys: a starved wait reads as Esc
  // The page number lies past column 80: the line is marked as cut.
  EXPECT_EQ(Row(1), "FIRST PAGE" + std::string(69, ' ') + "\xAF");
  EXPECT_EQ(Row(25).find(" P\x85gina 1 de 2  l\xA1nies 1-24/66  columnes 1-80/96  "
                         "\x1B \x1A \x18 \x19  PgUp PgDn  Esc surt"),
            0u);
  EXPECT_EQ(platform::ConsoleReadRow(25).size(), 80u);

  Key(0x4d);  // Right, twice: columns 17-96
  Key(0x4d);
  Key(0x4d);  // a third time stays at the right edge
  for (int i = 0; i < 10; ++i) Key(0x50);  // Down: lines 11-34
  ASSERT_EQ(RunPreview(kSpool, &error), 0);
  EXPECT_EQ(Row(20), "\xAE");  // line 30 lies left of the view: marked as cut
  EXPECT_NE(Row(25).find("l\xA1nies 11-34/66  columnes 17-96/96"), std::string::npos);
  Key(0x4d);  // Right, twice, from the top: "FIRST PAGE" is left of the view
  Key(0x4d);
  ASSERT_EQ(RunPreview(kSpool, &error), 0);
  EXPECT_EQ(Row(1), "\xAE" + std::string(67, ' ') + "P\xB7GINA    1");

  Key(0x51);  // PgDn
  Key(0x51);  // past the last page: stays
  Key(0x4b);  // Left, twice: back to column 1
  Key(0x4b);
  ASSERT_EQ(RunPreview(kSpool, &error), 0);
  EXPECT_EQ(Row(1), "  SECOND PAGE");
  EXPECT_NE(Row(25).find("P\x85gina 2 de 2"), std::string::npos);

  Key(0x4f);  // End, then PgUp: the first page again, from its top
  Key(0x49);
  ASSERT_EQ(RunPreview(kSpool, &error), 0);
  EXPECT_EQ(Row(1).substr(0, 10), "FIRST PAGE");
}

TEST_F(PreviewTest, AWideScreenShowsTheWholePageWidthAndAsManyLinesAsFit) {
  platform::ConsoleSetSize(40, 120);
  std::string error;
  ASSERT_EQ(RunPreview(kSpool, &error), 0);
  EXPECT_EQ(Row(1), "FIRST PAGE" + std::string(74, ' ') + "P\xB7GINA    1");
  EXPECT_EQ(Row(30), "line 30");  // 39 page lines in view
  std::string status = Row(40);
  EXPECT_EQ(status.find(" P\x85gina 1 de 2  l\xA1nies 1-39/66  \x18 \x19  PgUp PgDn  Esc surt"),
            0u)
      << status;
  EXPECT_EQ(status.find("columnes"), std::string::npos);  // nothing is cut across
  EXPECT_EQ(platform::ConsoleReadRow(40).size(), 120u);
}

TEST_F(PreviewTest, CutMarksOnlyWhereTextGoesOn) {
  // Line 1 ends in column 80 exactly; line 2 has blanks only past it; line
  // 3 has a single character in column 81.
  const std::string spool = "DEVICE\r\nPAGE 66 \r\n 71 ,1234567890, 1 \r\n 1 ,x" +
                            std::string(90, ' ') + ", 1 \r\n 81 ,9, 1 \r\n";
  std::string error;
  ASSERT_EQ(RunPreview(spool, &error), 0);
  EXPECT_EQ(Row(1), std::string(70, ' ') + "1234567890");
  EXPECT_EQ(Row(2), "x");
  EXPECT_EQ(Row(3), std::string(79, ' ') + "\xAF");
}

TEST_F(PreviewTest, SpanishStatusLineAtPageTenOfTwelve) {
  config::session.Language = "SPA";
  std::string spool = "DEVICE\r\n";
  for (int page = 1; page <= 12; ++page) {
    spool += "PAGE 66 \r\nJUSD\r\n 85 ,P\xB5GINA   " + std::to_string(page) + ", 1 \r\n";
  }
  for (int i = 0; i < 9; ++i) Key(0x51);  // PgDn
  std::string error;
  ASSERT_EQ(RunPreview(spool, &error), 0) << error;
  std::string status = platform::ConsoleReadRow(25);
  EXPECT_EQ(status.find(" P\xA0gina 10 de 12  l\xA1neas 1-24/66  \x1B \x1A \x18 \x19  PgUp PgDn  "
                        "Esc salir"),
            0u)
      << status;
  EXPECT_EQ(status.size(), 80u);
}

TEST(PreviewStatusTest, FitsEveryWidthAtAnyPageNumber) {
  config::session = config::SessionState();
  PreviewPlace place;
  place.page = 32767;
  place.pages = 32767;
  place.firstLine = 1;
  place.lastLine = 24;
  place.pageLines = 255;
  place.firstColumn = 9;
  place.lastColumn = 88;
  place.pageColumns = 255;
  for (const char* language : {"CAT", "GLG", "OCI", "SPA"}) {
    config::session.Language = language;
    for (int width = 1; width <= 200; ++width) {
      std::string line = PreviewStatusLine(place, width);
      ASSERT_EQ(line.size(), static_cast<size_t>(width)) << language << " " << width;
      if (width >= 25) {
        EXPECT_NE(line.find("gina 32767 de 32767"), std::string::npos) << language << width;
      }
    }
  }
  config::session.Language = "CAT";
  EXPECT_EQ(PreviewStatusLine(place, 14), " 32767/32767  ");  // the page alone does not fit
  EXPECT_EQ(PreviewStatusLine(place, 5), " 3276");
  // The arrows outlast the ranges as the screen narrows; on 80 columns
  // every key shows at any page number.
  EXPECT_EQ(PreviewStatusLine(place, 50),
            " P\x85gina 32767 de 32767  \x1B \x1A \x18 \x19  Esc surt" + std::string(9, ' '));
  EXPECT_EQ(PreviewStatusLine(place, 80),
            " P\x85gina 32767 de 32767  l\xA1nies 1-24/255  \x1B \x1A \x18 \x19  PgUp PgDn  "
            "Esc surt" + std::string(11, ' '));
  EXPECT_EQ(PreviewStatusLine(place, 0), "");
}

}  // namespace
}  // namespace zudavivi
