#include "platform/console.h"

#include <gtest/gtest.h>

#include "platform/wait_hooks.h"

namespace platform {
namespace {

class ConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    console = ConsoleState();
    ConsoleStartWith(ConsoleBackendKind::kHeadless);
  }
  std::string Row(int row, int from, int to) {
    return ConsoleReadRow(int16_t(row)).substr(size_t(from - 1), size_t(to - from + 1));
  }
  unsigned char Attr(int row, int column) {
    unsigned char ch, attr;
    ConsoleReadCell(static_cast<int16_t>(row), static_cast<int16_t>(column), &ch, &attr);
    return attr;
  }
};

TEST_F(ConsoleTest, ARowReadsAsTextOfTheScreensWidth) {
  ConsoleLocate(3, 79);
  ConsoleWrite("ab\xB3" "c");  // runs on into row 4
  std::string row3 = ConsoleReadRow(3);
  ASSERT_EQ(row3.size(), 80u);
  EXPECT_EQ(row3.substr(76), "  ab");
  EXPECT_EQ(ConsoleReadRow(4).substr(0, 3), "\xB3" "c ");
  for (int16_t off : {0, 26, -1}) EXPECT_EQ(ConsoleReadRow(off), std::string(80, ' ')) << off;
}

TEST_F(ConsoleTest, ANewSizeClearsTheModelAndIsKeptWithinBounds) {
  ConsoleLocate(5, 5);
  ConsoleWrite("x");
  ConsoleSetSize(40, 120);
  EXPECT_EQ(ConsoleRows(), 40);
  EXPECT_EQ(ConsoleColumns(), 120);
  EXPECT_EQ(ConsoleReadRow(5), std::string(120, ' '));
  EXPECT_EQ(ConsoleCursorRow(), 1);
  ConsoleLocate(40, 120);  // the last cell is there and writable
  ConsoleWrite("yz");
  EXPECT_EQ(ConsoleReadRow(40).substr(119), "y");
  int16_t rows = 0, columns = 0;
  ConsoleDeviceSize(&rows, &columns);  // headless: the model's own size
  EXPECT_EQ(rows, 40);
  EXPECT_EQ(columns, 120);

  ConsoleSetSize(0, 32767);
  EXPECT_EQ(ConsoleRows(), 1);
  EXPECT_EQ(ConsoleColumns(), kConsoleMaxColumns);
  ConsoleSetSize(-5, -5);
  EXPECT_EQ(ConsoleRows(), 1);
  EXPECT_EQ(ConsoleColumns(), 1);
  EXPECT_EQ(ConsoleReadRow(1), " ");
}

TEST_F(ConsoleTest, LocateKeepsCoordinatesOffTheScreen) {
  unsigned char ch, attr;
  EXPECT_FALSE(ConsoleReadCell(26, 1, &ch, &attr));
  EXPECT_FALSE(ConsoleReadCell(1, 0, &ch, &attr));
  ConsoleLocate(5, 10);
  ConsoleLocate(0, 30);
  EXPECT_EQ(ConsoleCursorRow(), 5);
  EXPECT_EQ(ConsoleCursorColumn(), 30);
  ConsoleLocate(7, 81);
  EXPECT_EQ(ConsoleCursorRow(), 7);
  EXPECT_EQ(ConsoleCursorColumn(), 30);
}

TEST_F(ConsoleTest, WriteUsesCurrentColoursAndWrapsAtTheEdge) {
  ConsoleSetColours(14, 1);
  ConsoleLocate(3, 78);
  ConsoleWrite("abcd");
  EXPECT_EQ(Row(3, 78, 80), "abc");
  EXPECT_EQ(Row(4, 1, 1), "d");
  EXPECT_EQ(Attr(3, 78), 0x1E);
  EXPECT_EQ(ConsoleCursorRow(), 4);
  EXPECT_EQ(ConsoleCursorColumn(), 2);
  ConsoleSetColours(7, 0);
  ConsoleWriteSpaces(2);
  EXPECT_EQ(Row(4, 1, 3), "d  ");
}

TEST_F(ConsoleTest, WriteStopsAtTheLastCell) {
  ConsoleLocate(25, 79);
  ConsoleWrite("xyz");
  EXPECT_EQ(Row(25, 79, 80), "xy");
  EXPECT_EQ(Row(1, 1, 1), " ");
  EXPECT_EQ(ConsoleCursorRow(), 25);
  EXPECT_EQ(ConsoleCursorColumn(), 80);
}

TEST_F(ConsoleTest, ScrollMovesARectangleAndBlanksUncoveredRows) {
  for (int r = 1; r <= 5; ++r) {
    ConsoleLocate(static_cast<int16_t>(r), 1);
    ConsoleWrite(std::string(6, char('0' + r)));
  }
  ConsoleSetColours(0, 7);
  ConsoleScroll(2, 2, 4, 4, 1);
  EXPECT_EQ(Row(1, 1, 6), "111111");
  EXPECT_EQ(Row(2, 1, 6), "233322");
  EXPECT_EQ(Row(3, 1, 6), "344433");
  EXPECT_EQ(Row(4, 1, 6), "4   44");
  EXPECT_EQ(Attr(4, 2), 0x70);
  EXPECT_EQ(Row(5, 1, 6), "555555");
  ConsoleScroll(2, 2, 4, 4, -2);
  EXPECT_EQ(Row(2, 1, 6), "2   22");
  EXPECT_EQ(Row(3, 1, 6), "3   33");
  EXPECT_EQ(Row(4, 1, 6), "433344");
  ConsoleScroll(1, 1, 5, 6, 9);  // more lines than the rectangle: all blank
  EXPECT_EQ(Row(3, 1, 6), "      ");
}

TEST_F(ConsoleTest, MouseEventsOnlyWhileMouseInputIsOn) {
  ConsoleQueueMouse(3, 40, kMouseLeft);
  ConsoleQueueKey("x");
  ConsoleEvent e;
  ASSERT_TRUE(ConsoleReadEvent(&e));
  EXPECT_EQ(e.text, "x");
  ConsoleMouseInput(true);
  ConsoleQueueMouse(3, 40, kMouseLeft);
  ASSERT_TRUE(ConsoleReadEvent(&e));
  EXPECT_EQ(e.text, std::string("\0\0\x08\x01", 4));
  EXPECT_EQ(e.mouseRow, 3);
  EXPECT_EQ(e.mouseColumn, 40);
}

int hookRuns = 0;
void CountHook() { ++hookRuns; }

TEST_F(ConsoleTest, AKeyWaitRunsTheBeforeWaitHooks) {
  waitHooks = WaitHookState();
  AddWaitHook(CountHook);
  hookRuns = 0;
  ConsoleEvent e;
  EXPECT_FALSE(ConsoleReadEvent(&e));  // a read that finds nothing does not wait
  EXPECT_EQ(hookRuns, 0);
  ConsoleWaitInput(10);
  EXPECT_EQ(hookRuns, 1);
  waitHooks = WaitHookState();
}

TEST_F(ConsoleTest, TakingAWaitingKeyTakesOnlyThatKeyAndKeepsTheOthersInOrder) {
  ConsoleEvent e;
  EXPECT_FALSE(ConsoleTakeKeyIfWaiting("\x1b"));  // nothing pending
  EXPECT_EQ(console.starvedWaits, 0);            // and no wait for one
  ConsoleQueueKey("a");
  ConsoleQueueKey("\x1b");
  EXPECT_FALSE(ConsoleTakeKeyIfWaiting("\x1b"));  // "a" comes first
  EXPECT_FALSE(ConsoleTakeKeyIfWaiting("\x1b"));  // asking again loses nothing
  ConsoleWaitInput(10);                          // "a" is pending: no starved wait
  EXPECT_EQ(console.starvedWaits, 0);
  ASSERT_TRUE(ConsoleReadEvent(&e));
  EXPECT_EQ(e.text, "a");
  EXPECT_TRUE(ConsoleTakeKeyIfWaiting("\x1b"));
  EXPECT_FALSE(ConsoleReadEvent(&e));

  ConsoleQueueMouse(3, 4, kMouseLeft);    // mouse input off: dropped
  ConsoleQueueKey(std::string("\0\x48", 2), kShiftPressed);
  EXPECT_TRUE(ConsoleTakeKeyIfWaiting(std::string("\0\x48", 2)));
  EXPECT_EQ(console.lastControlState, kShiftPressed);
}

}  // namespace
}  // namespace platform
