#include "console/colours.h"

#include <gtest/gtest.h>

#include <string>

#include "config/session.h"
#include "console/screen_test_support.h"
#include "platform/console.h"

namespace console {
namespace {

using testing::ScreenTest;

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

}  // namespace
}  // namespace console
