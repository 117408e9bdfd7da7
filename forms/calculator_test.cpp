#include "forms/calculator.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "forms/calculator_state.h"
#include "console/keyboard.h"
#include "forms/popup_test_support.h"
#include "forms/popups.h"
#include "console/screen.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"

namespace console {
namespace {

using testing::Captures;
using testing::PopupTest;

constexpr unsigned char kLeft = 0x4B, kRight = 0x4D, kAltX = 0x2D, kAltC = 0x2E;

const std::string kRule = "+" + std::string(24, '-') + "+";

// A tape or entry row: the value right-aligned in 21 places, then the
// operator (or blank) between blanks.
std::string TapeRow(const std::string& value, char op) {
  return "|" + std::string(21 - value.size(), ' ') + value + " " + op + " |";
}

class CalculatorTest : public PopupTest {
 protected:
  void SetUp() override {
    PopupTest::SetUp();
    keyboard.Calendar = testing::CaptureScreen;
  }
  static void Look() { Key(kAltC); }
  std::string StateFile() { return dir_.file(kCalculatorFileName); }
  std::string StateBytes() {
    std::string b;
    platform::ReadFile(StateFile(), &b);
    return b;
  }
  // Columns `left`..`left`+25 of rows `top`..25 as the last look saw them.
  static std::vector<std::string> Window(int top, int left) {
    return Captures().back().Region(top, left, 25, left + 25);
  }
};

TEST_F(CalculatorTest, FivePlusThreeEqualsOnTheTapeAndInTheStateFile) {
  FillScreen();
  platform::ConsoleLocate(9, 40);
  platform::ConsoleHideCursor();
  const std::string before = Snapshot();
  Keys("5+3=");
  Look();
  Keys("F");
  EXPECT_EQ(Calculator(), "800");

  ASSERT_EQ(Captures().size(), 1u);
  const std::vector<std::string> want = {
      kRule, TapeRow("5", '+'), TapeRow("3", '='), TapeRow("8", ' '), kRule, TapeRow("8", ' '), kRule,
  };
  EXPECT_EQ(Window(19, 1), want);
  const testing::Capture& c = Captures().back();
  EXPECT_EQ(c.Attr(21, 21), 0x07);  // colour role "n"
  EXPECT_EQ(c.Attr(25, 26), 0x07);
  // Above the tape and right of the calculator: the screen as it was.
  for (int r = 1; r <= 18; ++r) EXPECT_EQ(c.rows[r - 1], testing::Ascii(platform::ConsoleReadRow(int16_t(r))));
  EXPECT_EQ(c.rows[20].substr(26), testing::Ascii(platform::ConsoleReadRow(21)).substr(26));

  EXPECT_EQ(Snapshot(), before);
  EXPECT_FALSE(platform::console.cursorVisible);  // hidden before, hidden after
  EXPECT_EQ(platform::ConsoleCursorRow(), 9);
  EXPECT_EQ(screen.ColourStack, "");
  EXPECT_EQ(screen.WindowDepth, 0);
  EXPECT_EQ(keyboard.SavedCount, 0);

  std::string tape;
  for (int k = 1; k <= 19; ++k) tape += "0,0,0,\"\"\r\n";
  EXPECT_EQ(StateBytes(),
            "1,20,8,8\r\n0,0,0,0\r\n\"F\",\"\"\r\n" + tape +
                "5,0,0,\"+\"\r\n3,0,0,\"=\"\r\n8,0,0,\"\"\r\n");
}

TEST_F(CalculatorTest, TheTapeIsThereAtTheNextOpening) {
  Keys("12.5*2=\x1b");
  EXPECT_EQ(Calculator(), "");
  Look();
  Keys("+1=");
  Look();
  Keys("F");
  EXPECT_EQ(Calculator(), "2600");
  EXPECT_EQ(Captures()[0].Region(19, 1, 25, 26),
            (std::vector<std::string>{kRule, TapeRow("12'5", '*'), TapeRow("2", '='), TapeRow("25", ' '), kRule,
                                      TapeRow("25", ' '), kRule}));
  EXPECT_EQ(Window(16, 1),
            (std::vector<std::string>{kRule, TapeRow("12'5", '*'), TapeRow("2", '='), TapeRow("25", ' '),
                                      TapeRow("25", '+'), TapeRow("1", '='), TapeRow("26", ' '), kRule,
                                      TapeRow("26", ' '), kRule}));
}

TEST_F(CalculatorTest, MovingWrapsAtBothEdgesAndTheColumnIsKept) {
  FillScreen();
  const std::string before = Snapshot();
  Key(kLeft);
  Look();
  Key(kRight);
  Look();
  Key(kLeft);
  Keys("\x1b");
  Calculator();
  EXPECT_EQ(Captures()[0].Region(23, 55, 25, 80),
            (std::vector<std::string>{kRule, TapeRow("0", ' '), kRule}));
  // Where the calculator was, the screen is back.
  EXPECT_EQ(Captures()[0].rows[24].substr(0, 54), testing::Ascii(platform::ConsoleReadRow(25)).substr(0, 54));
  EXPECT_EQ(Captures()[1].Region(25, 1, 25, 26)[0], kRule);
  EXPECT_EQ(Captures()[1].rows[24].substr(26), testing::Ascii(platform::ConsoleReadRow(25)).substr(26));
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(StateBytes().substr(0, 3), "55,");

  Look();
  Keys("\x1b");
  Calculator();
  EXPECT_EQ(Window(23, 55)[2], kRule);
}

TEST_F(CalculatorTest, DivisionByZeroShowsTheErrorUntilClear) {
  Keys("5/0=F");
  Look();
  Keys("C");
  Look();
  Keys("\x1b");
  EXPECT_EQ(Calculator(), "");
  ASSERT_EQ(Captures().size(), 2u);  // "F" did not end it
  EXPECT_EQ(Captures()[0].Region(24, 1, 24, 26)[0], "|" + std::string(16, ' ') + "ERROR   |");
  EXPECT_EQ(Captures()[1].Region(24, 1, 24, 26)[0], TapeRow("0", ' '));
  EXPECT_EQ(Captures()[1].Region(22, 1, 22, 26)[0], TapeRow("5", '/'));
  const std::string bytes = StateBytes();
  EXPECT_EQ(bytes.find("inf"), std::string::npos);
  EXPECT_EQ(bytes.find("nan"), std::string::npos);
  EXPECT_EQ(bytes.substr(0, 20), "1,22,0,0\r\n-1,0,0,0\r\n");
}

TEST_F(CalculatorTest, ADamagedStateFileOpensAsNew) {
  dir_.Write(kCalculatorFileName, "\xFF\xFE,,,\r\n1e999,nan\r\n\"\r\n0,0,0,\"?\"\r\n");
  Look();
  Keys("7\x1b");
  EXPECT_EQ(Calculator(), "");
  EXPECT_EQ(Window(23, 1), (std::vector<std::string>{kRule, TapeRow("0", ' '), kRule}));
  EXPECT_EQ(StateBytes().substr(0, 24), "1,23,7,0\r\n-1,-1,0,0\r\n\"\x1b\"");
}

TEST_F(CalculatorTest, AMissingStateFileIsCreated) {
  ASSERT_FALSE(platform::PathExists(StateFile()));
  Keys("\x1b");
  Calculator();
  EXPECT_TRUE(platform::PathExists(StateFile()));
  EXPECT_EQ(StateBytes().substr(0, 10), "1,23,0,0\r\n");
}

TEST_F(CalculatorTest, WithoutATerminalDirectoryItStillCalculates) {
  config::session.TermDir = dir_.file("missing\\");
  Keys("5+3=F");
  EXPECT_EQ(Calculator(), "800");
  EXPECT_FALSE(platform::PathExists(dir_.file("missing")));
}

TEST_F(CalculatorTest, WithoutAWindowStackItDoesNotOpen) {
  config::session.TempDir = dir_.file("missing/");
  dir_.Write(kCalculatorFileName, "3,23,4,4\r\n");
  FillScreen();
  const std::string before = Snapshot();
  Keys("5+3=F");
  EXPECT_EQ(Calculator(), "");
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(StateBytes(), "3,23,4,4\r\n");
  EXPECT_EQ(screen.ColourStack, "");
  EXPECT_EQ(keyboard.SavedCount, 0);
}

TEST_F(CalculatorTest, TheKeyReaderTypesTheResultAndAltXInsideDoesNothing) {
  RegisterPopups();
  keyboard.Calendar = testing::CaptureScreen;
  Key(kAltX);  // opens the calculator ...
  Key(kAltX);  // ... and is nothing inside it
  Keys("5+3=F");
  EXPECT_EQ(ReadKeys(), std::string("\0", 1) + "\x2d" + "800");
  EXPECT_EQ(keyboard.CalculatorOpen, 0);
  EXPECT_EQ(platform::console.starvedWaits, 0);
}

TEST_F(CalculatorTest, ANewProcessReadsTheStateBack) {
  Keys("5+3=\x1b");
  Calculator();
  // The next program of the terminal: the probe, on the headless console,
  // with this terminal directory as its session's.
  dir_.Write("Sessio.ini", "[Terminal]\r\nDir=" + dir_.path() + "\r\n");
  setenv("ZULCONSOLE", "headless", 1);
  setenv("ZULTMP", dir_.path().c_str(), 1);
  const std::string out = dir_.file("probe.out");
  int rc = platform::RunProgram(ZUL_POPUP_PROBE, {out, "^2d", "*2=F"});
  unsetenv("ZULTMP");
  unsetenv("ZULCONSOLE");
  ASSERT_EQ(rc, 0);
  std::string typed;
  platform::ReadFile(out, &typed);
  EXPECT_EQ(typed, "DATA=1600\nIMPORT=\n");  // 8 * 2, from the tape of this process
  const std::string bytes = StateBytes();
  EXPECT_EQ(bytes.substr(0, 11), "1,17,16,16\r");
  EXPECT_NE(bytes.find("8,0,0,\"\"\r\n8,0,0,\"*\"\r\n2,0,0,\"=\"\r\n16,0,0,\"\"\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace console
