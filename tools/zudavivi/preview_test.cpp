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
  EXPECT_EQ(Row(1), "FIRST PAGE");            // the page number is past column 80
  EXPECT_EQ(Row(25).find(" P\x85gina 1/2   L\xA1nies 1-24/66   Columnes 1-80/96   "), 0u);

  Key(0x4d);  // Right, twice: columns 17-96
  Key(0x4d);
  Key(0x4d);  // a third time stays at the right edge
  for (int i = 0; i < 10; ++i) Key(0x50);  // Down: lines 11-34
  ASSERT_EQ(RunPreview(kSpool, &error), 0);
  EXPECT_EQ(Row(20), "");                          // line 30 starts at column 1
  EXPECT_NE(Row(25).find("L\xA1nies 11-34/66   Columnes 17-96/96"), std::string::npos);

  Key(0x51);  // PgDn
  Key(0x51);  // past the last page: stays
  Key(0x4b);  // Left, twice: back to column 1
  Key(0x4b);
  ASSERT_EQ(RunPreview(kSpool, &error), 0);
  EXPECT_EQ(Row(1), "  SECOND PAGE");
  EXPECT_NE(Row(25).find("P\x85gina 2/2"), std::string::npos);

  Key(0x4f);  // End, then PgUp: the first page again, from its top
  Key(0x49);
  ASSERT_EQ(RunPreview(kSpool, &error), 0);
  EXPECT_EQ(Row(1), "FIRST PAGE");
}

}  // namespace
}  // namespace zudavivi
