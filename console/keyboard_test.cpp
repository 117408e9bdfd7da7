#include "console/keyboard.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/console.h"

namespace console {
namespace {

using platform::ConsoleQueueKey;
using platform::kLeftAltPressed;
using platform::kLeftCtrlPressed;
using platform::kRightAltPressed;
using platform::kShiftPressed;

std::string Ext(unsigned char scan) { return std::string(1, '\0') + char(scan); }

class KeyboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    keyboard = KeyboardState();
    platform::console = platform::ConsoleState();
    platform::ConsoleStartWith(platform::ConsoleBackendKind::kHeadless);
  }
  static int16_t Read() {
    int16_t key, event, row, column;
    ReadKey(key, event, row, column);
    return key;
  }
  static uint16_t ReadU() { return static_cast<uint16_t>(Read()); }
};

TEST_F(KeyboardTest, KeySetAddSaveAndRestore) {
  KeySet("a", "4f00");
  KeySet("+ea", "d,1b,4800");
  EXPECT_EQ(keyboard.KeyCodes, std::string("\x0d\x00\x1b\x00\x00\x48", 6));
  EXPECT_EQ(keyboard.KeyResults, keyboard.KeyCodes);
  EXPECT_EQ(keyboard.SavedCount, 1);
  KeySet("+", "");  // the slot is taken: nothing
  KeySet("E", "");
  KeySet("-", "");
  EXPECT_EQ(keyboard.KeyCodes, std::string("\x00\x4f", 2));
  EXPECT_EQ(keyboard.SavedCount, 0);
  KeySet("-", "");  // nothing saved: nothing changes
  EXPECT_EQ(keyboard.KeyCodes, std::string("\x00\x4f", 2));
}

TEST_F(KeyboardTest, KeyReportedAsAnotherCode) {
  KeySet("a", "1b=4f00,d");
  int16_t result = 0;
  ASSERT_TRUE(FindKeyInSet(27, result));
  EXPECT_EQ(result, 0x4f00);
  ASSERT_TRUE(FindKeyInSet(13, result));
  EXPECT_EQ(result, 13);
  EXPECT_FALSE(FindKeyInSet(0x4f00, result));
}

TEST_F(KeyboardTest, DeleteMatchesOnlyWholeEntries) {
  KeySet("a", "4800,48");
  // "48" is 48 00; inside 4800 (00 48) followed by 48 00 the bytes 48 00
  // first appear at an odd offset, which is not an entry.
  KeySet("d", "48");
  EXPECT_EQ(keyboard.KeyCodes, std::string("\x00\x48", 2));
  KeySet("d", "48");  // no entry 48 left; 4800 stays
  EXPECT_EQ(keyboard.KeyCodes, std::string("\x00\x48", 2));
  int16_t result = 0;
  EXPECT_FALSE(FindKeyInSet(0x48, result));
  KeySet("d", "4800");
  EXPECT_TRUE(keyboard.KeyCodes.empty());
  EXPECT_TRUE(keyboard.KeyResults.empty());
}

TEST_F(KeyboardTest, HexadecimalEntries) {
  KeySet("a", "zz, 1B ,,8500,7fff");
  EXPECT_EQ(keyboard.KeyCodes, std::string("\x00\x00\x1b\x00\x00\x00\x00\x00\xff\x7f", 10));
  KeySet("h", "");
  EXPECT_EQ(keyboard.EchoChar, 88);
  KeySet("xV", "");
  EXPECT_EQ(keyboard.EchoChar, 0);
}

TEST_F(KeyboardTest, ModifiersOfFunctionAndCursorKeys) {
  ConsoleQueueKey(Ext(0x3B));
  ConsoleQueueKey(Ext(0x3B), kShiftPressed);
  ConsoleQueueKey(Ext(0x3E), kLeftCtrlPressed);
  ConsoleQueueKey(Ext(0x3C), kLeftAltPressed);
  ConsoleQueueKey(Ext(0x44), kRightAltPressed);
  ConsoleQueueKey(Ext(0x85), kShiftPressed);
  ConsoleQueueKey(Ext(0x86), kLeftCtrlPressed);
  ConsoleQueueKey(Ext(0x86), kRightAltPressed);
  ConsoleQueueKey(Ext(0x47), kLeftCtrlPressed);
  ConsoleQueueKey(Ext(0x4D), kLeftCtrlPressed);
  ConsoleQueueKey(Ext(0x4B), kLeftCtrlPressed);
  ConsoleQueueKey(Ext(0x47), kShiftPressed);
  ConsoleQueueKey(Ext(0x0F), kShiftPressed);
  ConsoleQueueKey(Ext(0x12), kLeftAltPressed);
  ConsoleQueueKey("a");
  EXPECT_EQ(ReadU(), 0x3B00);
  EXPECT_EQ(ReadU(), 0x5400);
  EXPECT_EQ(ReadU(), 0x6100);  // Ctrl+F4
  EXPECT_EQ(ReadU(), 0x6900);  // Alt+F2 is not keypad entry
  EXPECT_EQ(ReadU(), 0x7100);  // Alt+F10
  EXPECT_EQ(ReadU(), 0x8700);
  EXPECT_EQ(ReadU(), 0x8A00);
  EXPECT_EQ(Read(), static_cast<int16_t>(0x8C00));  // negative as a signed code
  EXPECT_EQ(ReadU(), 0x7700);
  EXPECT_EQ(ReadU(), 0x7400);
  EXPECT_EQ(ReadU(), 0x7300);
  EXPECT_EQ(ReadU(), 0x4700);
  EXPECT_EQ(ReadU(), 0x0F00);
  EXPECT_EQ(ReadU(), 0xD5);  // Alt+E types the euro sign
  EXPECT_EQ(ReadU(), 'a');
  EXPECT_EQ(Read(), 0);
}

TEST_F(KeyboardTest, KeypadCharacterEntryWithLeftAlt) {
  ConsoleQueueKey(Ext(0x4F), kLeftAltPressed);  // 1
  ConsoleQueueKey(Ext(0x51), kLeftAltPressed);  // 3
  ConsoleQueueKey(Ext(0x52), kLeftAltPressed);  // 0
  EXPECT_EQ(ReadU(), 130);  // nothing more pending: Alt released
  EXPECT_EQ(Read(), 0);

  // The key that ends the entry is dropped; the code wraps at 256.
  ConsoleQueueKey(Ext(0x51), kLeftAltPressed);   // 3
  ConsoleQueueKey(Ext(0x4B), kLeftAltPressed);   // 4
  ConsoleQueueKey(Ext(0x4B), kLeftAltPressed);   // 4
  ConsoleQueueKey(Ext(0x3B), kLeftAltPressed);   // Alt+F1 ends it
  ConsoleQueueKey("y");
  EXPECT_EQ(ReadU(), 344 % 256);
  EXPECT_EQ(ReadU(), 'y');

  // Right Alt is not keypad entry: the arrow comes through.
  ConsoleQueueKey(Ext(0x50), kRightAltPressed);
  EXPECT_EQ(ReadU(), 0x5000);
}

std::string CalculatorResult() {
  // A nested Alt+X inside the pop-up does not open it again.
  ConsoleQueueKey(Ext(0x2D), kLeftAltPressed);
  int16_t key, event, row, column;
  ReadKey(key, event, row, column);
  EXPECT_EQ(key, 0x2D00);
  EXPECT_EQ(keyboard.CalculatorOpen, -1);
  return "12,5";
}

TEST_F(KeyboardTest, TypeaheadAndHotKeys) {
  keyboard.Typeahead = "ok";
  ConsoleQueueKey("z");
  EXPECT_EQ(ReadU(), 'o');
  EXPECT_EQ(ReadU(), 'k');
  EXPECT_EQ(ReadU(), 'z');

  ConsoleQueueKey(Ext(0x2D), kLeftAltPressed);  // no calculator yet: a plain key
  EXPECT_EQ(ReadU(), 0x2D00);
  EXPECT_EQ(Read(), 0);

  keyboard.Calculator = CalculatorResult;
  ConsoleQueueKey(Ext(0x2D), kLeftAltPressed);
  EXPECT_EQ(ReadU(), 0x2D00);
  EXPECT_EQ(keyboard.CalculatorOpen, 0);
  EXPECT_EQ(ReadU(), '1');
  EXPECT_EQ(ReadU(), '2');
  EXPECT_EQ(ReadU(), ',');
  EXPECT_EQ(ReadU(), '5');
  EXPECT_EQ(Read(), 0);
}

TEST_F(KeyboardTest, MouseEvents) {
  platform::ConsoleQueueMouse(7, 30, kMouseLeft);
  int16_t key, event, row, column;
  ReadKey(key, event, row, column);
  EXPECT_EQ(key, 0);
  EXPECT_EQ(event, kMouseLeft);
  EXPECT_EQ(row, 7);
  EXPECT_EQ(column, 30);
  EXPECT_EQ(keyboard.Mouse, MouseMode::kEventsOff);  // off again until the next read

  platform::ConsoleQueueMouse(7, 30, kMouseRight);
  EXPECT_EQ(WaitKey(), 256 * 30 + 64 * 2 + 7);
  platform::ConsoleQueueMouse(12, 200, kMouseLeft);  // beyond 16 bits: wraps
  EXPECT_EQ(WaitKey(), static_cast<int16_t>(uint16_t(256 * 200 + 64 + 12)));
}

TEST_F(KeyboardTest, NoMouseMeansNoMouseEvents) {
  platform::console.mouseButtons = 0;
  platform::ConsoleQueueMouse(7, 30, kMouseLeft);
  ConsoleQueueKey("k");
  EXPECT_EQ(WaitKey(), 'k');
  EXPECT_EQ(keyboard.Mouse, MouseMode::kNoMouse);
}

TEST_F(KeyboardTest, WaitKeyWithNothingQueuedEndsOnEsc) {
  EXPECT_EQ(WaitKey(), 27);
  EXPECT_EQ(platform::console.starvedWaits, 1);
}

TEST_F(KeyboardTest, DiscardKeys) {
  keyboard.Typeahead = "abc";
  platform::ConsoleQueueText("def");
  DiscardKeys();
  EXPECT_EQ(Read(), 0);
}

}  // namespace
}  // namespace console
