#include "console/screen.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "config/session.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/test_dir.h"

namespace console {
namespace {

class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    config::session = config::SessionState();
    config::session.TempDir = dir_.path();
    screen = ScreenState();
    platform::console = platform::ConsoleState();
    platform::ConsoleStartWith(platform::ConsoleBackendKind::kHeadless);
  }
  std::string StackFile() { return dir_.file("WinPush.tmp"); }
  std::string StackBytes() {
    std::string b;
    platform::ReadFile(StackFile(), &b);
    return b;
  }
  static std::string Row(int row, int from, int to) {
    return platform::ConsoleReadRow(int16_t(row)).substr(size_t(from - 1), size_t(to - from + 1));
  }
  static unsigned char Attr(int row, int column) {
    unsigned char ch, attr;
    platform::ConsoleReadCell(int16_t(row), int16_t(column), &ch, &attr);
    return attr;
  }
  static void Put(int row, int column, const std::string& text, int fg = 7, int bg = 0) {
    platform::ConsoleSetColours(int16_t(fg), int16_t(bg));
    platform::ConsoleLocate(int16_t(row), int16_t(column));
    platform::ConsoleWrite(text);
  }
  // The whole screen as text, for before/after comparisons.
  static std::string Snapshot() {
    std::string s;
    for (int r = 1; r <= 25; ++r) {
      for (int c = 1; c <= 80; ++c) {
        unsigned char ch, attr;
        platform::ConsoleReadCell(int16_t(r), int16_t(c), &ch, &attr);
        s += char(ch);
        s += char(attr);
      }
    }
    return s;
  }

  platform::TestDir dir_;
};

TEST_F(ScreenTest, PushWritesTheStackRecordAndPopRestoresEverything) {
  for (int r = 5; r <= 7; ++r) Put(r, 8, "abcdefghijklmnop", 2 + r, 1);
  platform::ConsoleLocate(3, 4);
  std::string before = Snapshot();

  ASSERT_TRUE(PushWindow(5, 10, 7, 20));
  std::string b = StackBytes();
  ASSERT_EQ(b.size(), 95u);  // header + one record of 20 + 2 x 33 + 5
  EXPECT_EQ(b.substr(0, 4), std::string("\x60\0\0\0", 4));  // stack top 96
  EXPECT_EQ(b.substr(4, 20), "03040000000005100720");
  EXPECT_EQ(b.substr(24, 4), std::string("c\x17" "d\x17"));  // row 5 from column 10
  EXPECT_EQ(b.substr(24 + 22, 2), std::string("c\x18"));     // row 6, column 10
  EXPECT_EQ(b.substr(90, 5), "00091");
  EXPECT_EQ(screen.WindowDepth, 1);
  EXPECT_EQ(screen.WindowTop, 5);
  EXPECT_EQ(screen.WindowRight, 20);
  EXPECT_EQ(Snapshot(), before);  // a push draws nothing

  SetColourRole("n");
  DrawFrame(2);
  LocateInWindow(1, 1);
  platform::ConsoleWrite("zz");
  EXPECT_NE(Snapshot(), before);

  EXPECT_TRUE(PopWindow());
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(platform::ConsoleCursorRow(), 3);
  EXPECT_EQ(platform::ConsoleCursorColumn(), 4);
  EXPECT_EQ(screen.WindowDepth, 0);
  EXPECT_EQ(screen.WindowTop, 0);
  EXPECT_FALSE(platform::PathExists(StackFile()));
  // The colours in force are those of the last cell restored (row 7).
  EXPECT_EQ(platform::console.foreground, 9);
  EXPECT_EQ(platform::console.background, 1);
}

TEST_F(ScreenTest, NestedWindowsPopInReverseOrder) {
  Put(1, 1, std::string(80, '.'));
  std::string empty = Snapshot();
  ASSERT_TRUE(PushWindow(2, 2, 10, 40));
  DrawFrame(1);
  std::string first = Snapshot();
  ASSERT_TRUE(PushWindow(1, 30, 6, 60));
  DrawFrame(2);
  EXPECT_EQ(screen.WindowDepth, 2);
  EXPECT_EQ(StackBytes().substr(4 + 25 + 2 * 9 * 39 + 4, 8), "02021040");

  EXPECT_TRUE(PopWindow());
  EXPECT_EQ(Snapshot(), first);
  EXPECT_EQ(screen.WindowDepth, 1);
  EXPECT_EQ(screen.WindowTop, 2);
  EXPECT_EQ(screen.WindowLeft, 2);
  EXPECT_EQ(screen.WindowBottom, 10);
  EXPECT_EQ(screen.WindowRight, 40);
  EXPECT_TRUE(platform::PathExists(StackFile()));
  EXPECT_TRUE(PopWindow());
  EXPECT_EQ(Snapshot(), empty);
  EXPECT_FALSE(platform::PathExists(StackFile()));
}

TEST_F(ScreenTest, PushOffTheScreenIsIgnored) {
  EXPECT_FALSE(PushWindow(0, 10, 7, 20));
  EXPECT_FALSE(PushWindow(5, 10, 26, 20));
  EXPECT_FALSE(PushWindow(5, 10, 7, 81));
  EXPECT_EQ(screen.WindowDepth, 0);
  EXPECT_FALSE(platform::PathExists(StackFile()));
}

TEST_F(ScreenTest, PopWithoutARecordChangesNothingAndDeletesTheFile) {
  EXPECT_FALSE(PopWindow());  // no file at all
  ASSERT_TRUE(platform::WriteFile(StackFile(), "abc"));
  Put(1, 1, "keep");
  std::string before = Snapshot();
  EXPECT_FALSE(PopWindow());
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(screen.WindowDepth, 0);
  EXPECT_FALSE(platform::PathExists(StackFile()));
}

TEST_F(ScreenTest, DamagedStackFileRestoresNothing) {
  ASSERT_TRUE(PushWindow(5, 10, 7, 20));
  std::string b = StackBytes();
  b[90] = 'x';  // the record length is no longer decimal
  ASSERT_TRUE(platform::WriteFile(StackFile(), b));
  Put(6, 12, "drawn");
  std::string before = Snapshot();
  EXPECT_FALSE(PopWindow());
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(screen.WindowDepth, 0);
  EXPECT_FALSE(platform::PathExists(StackFile()));

  // A header pointing past the end of the file: a new push starts over.
  ASSERT_TRUE(platform::WriteFile(StackFile(), std::string("\xff\x7f\0\0", 4)));
  ASSERT_TRUE(PushWindow(1, 1, 1, 1));
  EXPECT_EQ(StackBytes().size(), 4u + 27u);
}

TEST_F(ScreenTest, LocateAndInnerEdgesFollowTheWindow) {
  LocateInWindow(1, 1);
  EXPECT_EQ(platform::ConsoleCursorRow(), 1);
  EXPECT_EQ(platform::ConsoleCursorColumn(), 1);
  EXPECT_EQ(InnerTop(), 1);
  EXPECT_EQ(InnerLeft(), 1);
  EXPECT_EQ(InnerRight(), 80);
  ASSERT_TRUE(PushWindow(5, 10, 7, 20));
  LocateInWindow(1, 1);
  EXPECT_EQ(platform::ConsoleCursorRow(), 6);
  EXPECT_EQ(platform::ConsoleCursorColumn(), 11);
  LocateInWindow(0, 0);
  EXPECT_EQ(platform::ConsoleCursorRow(), 5);
  EXPECT_EQ(platform::ConsoleCursorColumn(), 10);
  EXPECT_EQ(InnerTop(), 6);
  EXPECT_EQ(InnerLeft(), 11);
  EXPECT_EQ(InnerRight(), 19);
  EXPECT_TRUE(PopWindow());
}

TEST_F(ScreenTest, FramesInTheCodePageBoxCharacters) {
  DrawFrame(1);  // no window: nothing
  EXPECT_EQ(Row(1, 1, 2), "  ");
  Put(3, 3, "xxxxxx");
  ASSERT_TRUE(PushWindow(2, 2, 4, 6));
  SetColourRole("r");
  DrawFrame(1);
  EXPECT_EQ(Row(2, 2, 6), "\xDA\xC4\xC4\xC4\xBF");
  EXPECT_EQ(Row(3, 2, 7), "\xB3   \xB3x");
  EXPECT_EQ(Row(4, 2, 6), "\xC0\xC4\xC4\xC4\xD9");
  EXPECT_EQ(Attr(3, 3), 0x70);  // role 2 of the default table: 0 on 7
  DrawFrame(2);
  EXPECT_EQ(Row(2, 2, 6), "\xC9\xCD\xCD\xCD\xBB");
  EXPECT_EQ(Row(3, 2, 6), "\xBA   \xBA");
  EXPECT_EQ(Row(4, 2, 6), "\xC8\xCD\xCD\xCD\xBC");
  DrawFrame(0);
  EXPECT_EQ(Row(2, 2, 6), "     ");
  DrawFrame(3);
  EXPECT_EQ(Row(2, 2, 6), "     ");
  EXPECT_TRUE(PopWindow());
}

TEST_F(ScreenTest, ColourRolesAndTheirStack) {
  config::session.ColourTable = {{{15, 1}, {7, 0}, {0, 7}, {14, 4}, {0, 3}}};
  SetColourRole("n");
  EXPECT_EQ(screen.ColourRole, 1);
  SetColourRole("+u");
  EXPECT_EQ(screen.ColourRole, 4);
  EXPECT_EQ(platform::console.foreground, 0);
  EXPECT_EQ(platform::console.background, 3);
  EXPECT_EQ(screen.ColourStack, std::string(1, '\x01'));
  SetColourRole("-");
  EXPECT_EQ(screen.ColourRole, 1);
  EXPECT_EQ(platform::console.foreground, 7);
  EXPECT_TRUE(screen.ColourStack.empty());
  SetColourRole("-");  // empty stack: role 0
  EXPECT_EQ(screen.ColourRole, 0);
  EXPECT_EQ(platform::console.background, 1);
  SetColourRole("RN");
  EXPECT_EQ(screen.ColourRole, 3);
  SetColourRole("rh");
  EXPECT_EQ(screen.ColourRole, 2);
  SetColourRole("i");
  EXPECT_EQ(screen.ColourRole, 0);
  SetColourRole("   ");  // blank: nothing
  EXPECT_EQ(screen.ColourRole, 0);
  SetColourRole("u");
  SetColourRole("+rh");
  SetColourRole("+n");
  EXPECT_EQ(screen.ColourStack, std::string("\x04\x02", 2));
}

TEST_F(ScreenTest, ThreeLineMessageIsCentredAndLeftOpen) {
  SetColourRole("n");
  std::string text = std::string(70, 'a') + " " + std::string(74, 'b') + " ccc";
  ASSERT_TRUE(ShowMessage(12, text));
  EXPECT_EQ(screen.WindowDepth, 1);
  EXPECT_EQ(screen.WindowTop, 8);
  EXPECT_EQ(screen.WindowBottom, 12);
  // Widest line 74: columns 41 - 37 - 2 = 2 to 37 + 42 = 79.
  EXPECT_EQ(screen.WindowLeft, 2);
  EXPECT_EQ(screen.WindowRight, 79);
  EXPECT_EQ(Row(8, 2, 3), "\xDA\xC4");
  EXPECT_EQ(Row(9, 2, 6), "\xB3 aaa");
  EXPECT_EQ(Row(10, 76, 79), "bb \xB3");
  EXPECT_EQ(Row(11, 2, 8), "\xB3 ccc  ");
  EXPECT_EQ(Row(12, 79, 79), "\xD9");
  EXPECT_EQ(Attr(9, 6), 0x70);  // role "rh" = 2
  EXPECT_EQ(screen.ColourRole, 1);  // the caller's role is back
  EXPECT_TRUE(PopWindow());
}

TEST_F(ScreenTest, ShortMessageAndOneThatDoesNotFit) {
  ASSERT_TRUE(ShowMessage(24, "Espereu"));
  // One line of 7: columns 41 - 4 - 2 = 35 to 3 + 42 = 45; rows 21-23.
  EXPECT_EQ(screen.WindowTop, 21);
  EXPECT_EQ(screen.WindowBottom, 23);
  EXPECT_EQ(screen.WindowLeft, 35);
  EXPECT_EQ(screen.WindowRight, 45);
  EXPECT_EQ(Row(22, 35, 45), "\xB3 Espereu \xB3");
  EXPECT_TRUE(PopWindow());

  std::string five;
  for (int k = 0; k < 5; ++k) five += std::string(75, char('a' + k)) + " ";
  ASSERT_TRUE(ShowMessage(25, five));  // would end on row 26: moved up
  EXPECT_EQ(screen.WindowBottom, 25);
  EXPECT_EQ(screen.WindowTop, 19);
  EXPECT_EQ(Row(24, 4, 5), "ee");
  EXPECT_TRUE(PopWindow());

  std::string huge;
  for (int k = 0; k < 24; ++k) huge += std::string(75, 'w') + " ";
  std::string before = Snapshot();
  EXPECT_FALSE(ShowMessage(12, huge));
  EXPECT_EQ(screen.WindowDepth, 0);
  EXPECT_TRUE(screen.ColourStack.empty());
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(ScreenTest, ScrollRegionTakesZeroBasedCoordinates) {
  Put(1, 1, "aaaa");
  Put(2, 1, "bbbb");
  Put(3, 1, "cccc");
  ScrollRegion(0, 1, 2, 2, 1);  // rows 1-3, columns 2-3
  EXPECT_EQ(Row(1, 1, 4), "abba");
  EXPECT_EQ(Row(2, 1, 4), "bccb");
  EXPECT_EQ(Row(3, 1, 4), "c  c");
  ScrollRegion(0, 1, 2, 2, -1);
  EXPECT_EQ(Row(1, 1, 4), "a  a");
  EXPECT_EQ(Row(2, 1, 4), "bbbb");
  EXPECT_EQ(Row(3, 1, 4), "cccc");
}

}  // namespace
}  // namespace console
