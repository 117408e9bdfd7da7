#include "platform/key_codes.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

// A click's place comes back from its code at every corner of the screen;
// keys that are not negative are no click; F11 and the other negative key
// codes name places no 80 x 25 screen has.
TEST(KeyCodes, ClickCodesRoundTripAndOnlyNegativeKeysAreClicks) {
  struct Case {
    int16_t row, column, key;
  } cases[] = {{1, 1, -101}, {25, 1, -125}, {1, 80, -8001}, {25, 80, -8025}, {12, 40, -4012}};
  for (const Case& c : cases) {
    EXPECT_EQ(ClickKey(c.row, c.column), c.key);
    int row = 0, column = 0;
    ASSERT_TRUE(ClickPlace(c.key, &row, &column));
    EXPECT_EQ(row, c.row);
    EXPECT_EQ(column, c.column);
  }
  for (int16_t key : {int16_t(0), int16_t(13), kKeyF1, kKeyCtrlRight}) {
    int row = 7, column = 7;
    EXPECT_FALSE(ClickPlace(key, &row, &column));
    EXPECT_EQ(row, 7);
  }
  for (int16_t key : {kKeyF11, kKeyF12, kKeyShiftF11, kKeyAltF12}) {
    int row = 0, column = 0;
    ASSERT_TRUE(ClickPlace(key, &row, &column));
    EXPECT_GT(column, 80);
  }
  EXPECT_EQ(MouseEventKey(kMouseLeft, 7, 30), 256 * 30 + 64 + 7);
  EXPECT_EQ(MouseEventKey(kMouseRight, 12, 200), int16_t(256 * 200 + 128 + 12));
}

}  // namespace
}  // namespace platform
