#include "console/message.h"

#include <gtest/gtest.h>

#include <string>

#include "config/session.h"
#include "console/colours.h"
#include "console/keyboard.h"
#include "console/screen_test_support.h"
#include "console/windows.h"

namespace console {
namespace {

using testing::ScreenTest;

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

TEST_F(ScreenTest, MessageAndWaitRingsDropsEarlierKeysWaitsAndLeavesNoTrace) {
  keyboard = KeyboardState();
  Put(12, 30, "under the box");
  std::string before = Snapshot();
  platform::ConsoleQueueText("yn");  // typed before the message: not an answer
  ShowMessageAndWait(12, "NO ES POT LLEGIR EL FITXER FORMS\\TORBELAN.JPN");
  EXPECT_EQ(platform::console.bells, 1);
  EXPECT_TRUE(platform::console.queue.empty());
  EXPECT_EQ(platform::console.starvedWaits, 1);  // it waited for a key of its own
  EXPECT_EQ(screen.WindowDepth, 0);
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(ScreenTest, TheTerminalTooSmallTextIsInTheSessionLanguage) {
  config::session.Language = "SPA";
  EXPECT_EQ(TerminalTooSmallText(), "TERMINAL DEMASIADO PEQUE\xA5O: SE NECESITA 80 x 25");
  config::session.Language = "OCI";
  EXPECT_EQ(TerminalTooSmallText(), "TERMINAU MASSA PETIT: CAU 80 x 25");
  config::session.Language = "spa";  // not "SPA": Catalan
  EXPECT_EQ(TerminalTooSmallText(), "TERMINAL MASSA PETIT: CAL 80 x 25");
  config::session = config::SessionState();
}

}  // namespace
}  // namespace console
