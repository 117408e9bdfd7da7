#include "console/windows.h"

#include <gtest/gtest.h>

#include <string>

#include "console/colours.h"
#include "console/screen_test_support.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/wait_hooks.h"

namespace console {
namespace {

using testing::ScreenTest;

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

// What the screen showed at the last key wait.
std::string shownAtWait;
void KeepScreen() {
  shownAtWait.clear();
  for (int r = 1; r <= 25; ++r) shownAtWait += platform::ConsoleReadRow(int16_t(r)) + "\n";
}

// A stack file the terminal's folder cannot take: the windows are kept in
// memory, above those of the file, and popped in reverse order; the
// operator is told (a box, the bell, one key) before the first of them is
// drawn, and the caller's colours are given back.
TEST_F(ScreenTest, WindowsTheStackFileCannotTakeAreKeptInMemoryAfterSayingSo) {
  platform::waitHooks = platform::WaitHookState();
  platform::AddWaitHook(KeepScreen);
  Put(1, 1, std::string(80, '.'));
  const std::string empty = Snapshot();
  ASSERT_TRUE(PushWindow(2, 2, 10, 40));  // into the file
  DrawFrame(1);
  const std::string first = Snapshot();

  config::session.TempDir = dir_.file("gone/");
  platform::ConsoleSetColours(3, 4);
  ASSERT_TRUE(PushWindow(1, 30, 6, 60));  // its box waits for a key (Esc)
  EXPECT_NE(shownAtWait.find("NO ES POT ESCRIURE EL FITXER " + dir_.file("gone/WinPush.tmp")),
            std::string::npos)
      << shownAtWait;
  EXPECT_EQ(platform::console.bells, 1);
  EXPECT_EQ(Snapshot(), first);
  EXPECT_EQ(platform::console.foreground * 16 + platform::console.background, 3 * 16 + 4);
  EXPECT_EQ(screen.WindowTop, 1);
  EXPECT_EQ(screen.InMemory.size(), 1u);
  DrawFrame(2);
  const std::string second = Snapshot();

  // The folder works again, but a window above one in memory goes there
  // too, and without a word.
  config::session.TempDir = dir_.path();
  ASSERT_TRUE(PushWindow(20, 1, 22, 10));
  DrawFrame(1);
  EXPECT_EQ(screen.InMemory.size(), 2u);
  EXPECT_EQ(platform::console.bells, 1);

  EXPECT_TRUE(PopWindow());
  EXPECT_EQ(Snapshot(), second);
  EXPECT_TRUE(PopWindow());
  EXPECT_EQ(Snapshot(), first);
  EXPECT_EQ(screen.WindowTop, 2);
  EXPECT_TRUE(PopWindow());  // from the file
  EXPECT_EQ(Snapshot(), empty);
  EXPECT_FALSE(platform::PathExists(StackFile()));
  platform::waitHooks = platform::WaitHookState();
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

TEST_F(ScreenTest, ClearScreenBlanksEveryCellInTheCurrentColours) {
  Put(1, 1, "first");
  Put(25, 76, "last!");
  platform::ConsoleSetColours(7, 1);
  ClearScreen();
  EXPECT_EQ(Row(1, 1, 80), std::string(80, ' '));
  EXPECT_EQ(Row(25, 1, 80), std::string(80, ' '));
  EXPECT_EQ(Attr(25, 80), 0x17);
  EXPECT_EQ(platform::ConsoleCursorRow(), 1);
  EXPECT_EQ(platform::ConsoleCursorColumn(), 1);
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
