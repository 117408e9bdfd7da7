#include "forms/field_editor.h"

#include <gtest/gtest.h>

#include <string>

#include "console/keyboard.h"
#include "console/screen_test_support.h"
#include "format/format_state.h"
#include "platform/console.h"
#include "platform/key_codes.h"

namespace console {
namespace {

class EditorTest : public testing::ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    keyboard = KeyboardState();
    format::state = format::FormatState();
  }
  void TearDown() override { keyboard = KeyboardState(); }

  static void Key(int16_t code, uint32_t control = 0) { testing::QueueKeyCode(code, control); }
  static void Type(const std::string& text) { platform::ConsoleQueueText(text); }
  static void Insert(bool on) {
    platform::console.keyboardTable[platform::kVirtualKeyInsert] = on ? 1 : 0;
  }

  // Edits `value` at row 5, column 10 with the queued keys; returns the key.
  int16_t Edit(std::string& value, int16_t cursor = 1, int16_t wrap = 0) {
    int16_t row = 5, column = 10, key = 0;
    EditField(row, column, wrap, value, cursor, key);
    cursor_ = cursor;
    return key;
  }
  int16_t cursor_ = 0;
};

TEST_F(EditorTest, InsertShiftsTheRestRightAndAFullValueTakesNothing) {
  KeySet("ea", "d");
  Insert(true);
  std::string value = "abc       ";
  Type("x");
  Key(kKeyEnter);
  EXPECT_EQ(Edit(value), kKeyEnter);
  EXPECT_EQ(value, "xabc      ");
  EXPECT_EQ(cursor_, 2);
  EXPECT_EQ(Row(5, 10, 19), "xabc      ");
  EXPECT_EQ(platform::console.cursorSize, 50);

  std::string full = "abcdefghij";
  Type("xy");
  Key(kKeyEnter);
  Edit(full, 3);
  EXPECT_EQ(full, "abcdefghij");
  EXPECT_EQ(platform::console.bells, 0);  // ignored without a sound
}

TEST_F(EditorTest, InsKeyTogglesTheModeAndWritesItBack) {
  KeySet("ea", "d");
  Insert(true);
  std::string value = "abc  ";
  Key(kKeyIns);
  Type("XY");
  Key(kKeyEnter);
  Edit(value);
  EXPECT_EQ(value, "XYc  ");  // typed over
  EXPECT_EQ(platform::console.keyboardTable[platform::kVirtualKeyInsert], 0);
  EXPECT_EQ(platform::console.cursorSize, 99);

  // Overwrite with the cursor after the last character: nothing.
  std::string two = "ab";
  Type("z");
  Key(kKeyEnter);
  Edit(two, 3);
  EXPECT_EQ(two, "ab");
  EXPECT_EQ(cursor_, 3);
}

TEST_F(EditorTest, WrappedFieldMovesDownAndUpAndEndsAtItsEdges) {
  KeySet("ea", "d,4800,5000");
  std::string value = "abcdefghij";
  Key(kKeyDown);
  Key(kKeyEnter);
  Edit(value, 3, 5);
  EXPECT_EQ(cursor_, 8);
  EXPECT_EQ(Row(5, 10, 15), "abcde ");  // two lines of five
  EXPECT_EQ(Row(6, 10, 15), "fghij ");
  Key(kKeyDown);
  EXPECT_EQ(Edit(value, 8, 5), kKeyDown);
  EXPECT_EQ(cursor_, 8);
  Key(kKeyUp);
  Key(kKeyEnter);
  Edit(value, 8, 5);
  EXPECT_EQ(cursor_, 3);
  Key(kKeyUp);
  EXPECT_EQ(Edit(value, 3, 5), kKeyUp);
  // One line: Down always ends.
  std::string line = "abc";
  Key(kKeyDown);
  EXPECT_EQ(Edit(line, 1), kKeyDown);
}

TEST_F(EditorTest, EndHomeBackspaceDelAndClear) {
  KeySet("ea", "d");
  std::string value = "ab        ";
  Key(kKeyEnd);
  Key(kKeyEnter);
  Edit(value);
  EXPECT_EQ(cursor_, 3);

  Key(kKeyBackspace);  // at position 1: nothing
  Key(kKeyEnter);
  Edit(value, 1);
  EXPECT_EQ(value, "ab        ");

  std::string word = "abcd";
  Key(kKeyBackspace);  // deletes the "c" before the cursor
  Key(kKeyHome);
  Key(kKeyDel);        // deletes the "a"
  Key(kKeyEnter);
  Edit(word, 4);
  EXPECT_EQ(word, "bd  ");
  EXPECT_EQ(cursor_, 1);
  EXPECT_EQ(Row(5, 10, 13), "bd  ");

  std::string clear = "some text";
  Key(kKeyCtrlY);
  Key(kKeyEnter);
  Edit(clear, 5);
  EXPECT_EQ(clear, std::string(9, ' '));
  EXPECT_EQ(cursor_, 1);
}

TEST_F(EditorTest, WordMovesStopAtWordStartsAndEndAtTheEdges) {
  KeySet("ea", "d,7300,7400");
  std::string value = "one, two three";
  Key(kKeyRight, platform::kLeftCtrlPressed);  // Ctrl+Right: to "two"
  Key(kKeyEnter);
  Edit(value, 2);
  EXPECT_EQ(cursor_, 6);
  Key(kKeyLeft, platform::kLeftCtrlPressed);  // from inside "three" to its start
  Key(kKeyLeft, platform::kLeftCtrlPressed);  // to "two"
  Key(kKeyEnter);
  Edit(value, 13);
  EXPECT_EQ(cursor_, 6);
  Key(kKeyCtrlLeft);
  EXPECT_EQ(Edit(value, 1), kKeyCtrlLeft);  // nothing before: the input ends
  Key(kKeyCtrlRight);
  EXPECT_EQ(Edit(value, 15), kKeyCtrlRight);
}

TEST_F(EditorTest, EndOfInputMapping) {
  std::string value = "x";
  KeySet("ea", "d,1b,4f00");
  Key(kKeyEnter);
  EXPECT_EQ(Edit(value), kKeyEnd);  // Enter reported as End

  keyboard = KeyboardState();
  KeySet("ea", "d,1b,4800");
  Key(kKeyTab);
  EXPECT_EQ(Edit(value), kKeyEnter);
  Key(kKeyShiftTab);
  EXPECT_EQ(Edit(value), kKeyUp);
  Key(kKeyCtrlF4);
  EXPECT_EQ(Edit(value), kKeyEsc);
  Key(kKeyAltF4);
  EXPECT_EQ(Edit(value), kKeyEsc);
  Key(kKeyF5);  // not in the set: ignored
  Key(kKeyF11);  // negative: taken as a click far away, which ends it
  EXPECT_LT(Edit(value), 0);

  keyboard = KeyboardState();
  KeySet("ea", "1b=4f00");
  Key(kKeyEsc);
  EXPECT_EQ(Edit(value), kKeyEnd);

  keyboard = KeyboardState();  // an empty set: any key ends
  Key(kKeyF5);
  EXPECT_EQ(Edit(value), kKeyF5);
}

TEST_F(EditorTest, ChoiceFieldStepsWrapsAndPicksByFirstLetter) {
  KeySet("ea", "d");
  SetFieldOptions("|A,First|B,Second");
  std::string value = "B";
  Key(kKeyEnter);
  Edit(value);
  EXPECT_EQ(value, "B");
  EXPECT_EQ(Row(5, 9, 16), std::string(" Second ") );  // markers blanked at the end

  Key(kKeyRight);
  Key(kKeyEnter);
  Edit(value);
  EXPECT_EQ(value, "A");  // wrapped round
  EXPECT_EQ(Row(5, 10, 15), "First ");

  Type("s");
  Key(kKeyEnter);
  Edit(value);
  EXPECT_EQ(value, "B");

  Key(' ');      // Space is Right: from the last to the first
  Key(kKeyLeft);  // from the first to the last
  Key(kKeyEnter);
  Edit(value);
  EXPECT_EQ(value, "B");

  std::string none = "Z";  // no code matches: the first option
  Type("q");              // no label starts with q: nothing changes
  Key(kKeyEnter);
  Edit(none);
  EXPECT_EQ(none, "A");
}

// What the screen showed when the operator pressed Alt+C (the calendar
// hook runs inside the key wait).
std::string shownDuringWait;
std::string LookAtTheField() {
  shownDuringWait = platform::ConsoleReadRow(5).substr(8, 5);
  return "";
}

TEST_F(EditorTest, ChoiceFieldShowsItsLabelBetweenMarkersInTheInputColours) {
  KeySet("ea", "1b");
  keyboard.Calendar = LookAtTheField;
  SetFieldOptions("|N,NO|S,S\xD6");
  std::string value = " ";
  Key(kKeyAltC);
  Key(kKeyEsc);
  Edit(value);
  EXPECT_EQ(shownDuringWait, "\x11NO\x10 ");  // "◄NO►": no code matched, the first
  EXPECT_EQ(value, "N");
  EXPECT_EQ(Row(5, 9, 12), " NO ");
  EXPECT_EQ(Attr(5, 10), 0x70);  // the label in role "u"
  EXPECT_FALSE(platform::console.cursorVisible);

  // A typed letter matches labels without regard to accents.
  SetFieldOptions("|A,\x90S|B,ES");  // "ÉS", "ES"
  std::string accented = "B";
  Type("e");
  Key(kKeyEsc);
  Edit(accented);
  EXPECT_EQ(accented, "A");
}

TEST_F(EditorTest, HiddenEntryShowsOnlyTheEchoCharacter) {
  KeySet("eah", "d");
  std::string value(6, ' ');
  Type("secret!!");
  Key(kKeyEnter);
  Edit(value);
  EXPECT_EQ(value, "secret");
  EXPECT_EQ(Row(5, 10, 16), "XXXXXX ");
}

TEST_F(EditorTest, ClipboardCopiesTrimmedAndPastesCleanedWithoutLengthening) {
  KeySet("ea", "d");
  std::string value = "  abc   ";
  Key(kKeyCtrlC);
  Key(kKeyEnter);
  Edit(value);
  EXPECT_EQ(platform::ClipboardGet(), "abc");

  platform::ClipboardSet(std::string(" x\ty\x7Fz\xFF") + "12345678 ");
  std::string target = "........";
  Key(kKeyCtrlV);
  Key(kKeyEnter);
  Edit(target, 3);
  EXPECT_EQ(target, "..xyz123");
  EXPECT_EQ(cursor_, 9);
}

TEST_F(EditorTest, ClicksInsideMoveTheCursorAndOutsideEndTheInput) {
  KeySet("ea", "d");
  std::string value = "abcdefghij";
  platform::ConsoleQueueMouse(6, 12, platform::kMouseLeft);  // line 2, column 3
  Key(kKeyEnter);
  Edit(value, 1, 5);
  EXPECT_EQ(cursor_, 8);
  platform::ConsoleQueueMouse(9, 40, platform::kMouseLeft);
  EXPECT_EQ(Edit(value, 1, 5), -(100 * 40 + 9));

  SetFieldOptions("|A,One|B,Two");
  std::string choice = "A";
  platform::ConsoleQueueMouse(5, 13, platform::kMouseLeft);  // on "►"
  platform::ConsoleQueueMouse(5, 11, platform::kMouseLeft);  // on the label
  Key(kKeyEnter);
  Edit(choice);
  EXPECT_EQ(choice, "B");
  platform::ConsoleQueueMouse(5, 9, platform::kMouseLeft);  // on "◄"
  Key(kKeyEnter);
  Edit(choice);
  EXPECT_EQ(choice, "A");
}

TEST_F(EditorTest, RowAndColumnZeroTakeTheCursorPlace) {
  platform::ConsoleLocate(7, 20);
  std::string value = "ab";
  int16_t row = 0, column = 0, wrap = 0, cursor = 99, key = 0;
  Key(kKeyEnter);
  EditField(row, column, wrap, value, cursor, key);
  EXPECT_EQ(row, 7);
  EXPECT_EQ(column, 20);
  EXPECT_EQ(cursor, 3);  // clamped to n + 1
  EXPECT_EQ(Row(7, 20, 21), "ab");
}

TEST(ParseOptionsTest, EntriesCodesAndLabels) {
  std::vector<FieldOption> o = ParseOptions("x|A,First|B,Sec,ond|C");
  ASSERT_EQ(o.size(), 3u);
  EXPECT_EQ(o[0].Code, "A");
  EXPECT_EQ(o[0].Label, "First");
  EXPECT_EQ(o[1].Label, "Sec,ond");
  EXPECT_EQ(o[2].Code, "C");
  EXPECT_EQ(o[2].Label, "");
  EXPECT_TRUE(ParseOptions("").empty());
  EXPECT_TRUE(ParseOptions("no bar").empty());
}

}  // namespace
}  // namespace console
