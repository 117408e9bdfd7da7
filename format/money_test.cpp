#include "format/money.h"

#include <gtest/gtest.h>

#include "format/format_state.h"

namespace format {
namespace {

TEST(SetCurrency, MainSecondaryAndDisplaySwitching) {
  state = FormatState();
  SetCurrency("p");  // nothing set yet: the display stays empty
  EXPECT_EQ(state.DisplayCurrency, "");
  SetCurrency("a,E");
  EXPECT_EQ(state.MainCurrency, "E");
  EXPECT_EQ(state.DisplayCurrency, "E");
  SetCurrency("p");  // no secondary currency: the main one
  EXPECT_EQ(state.DisplayCurrency, "E");
  SetCurrency("s,  p ");
  EXPECT_EQ(state.SecondaryCurrency, "P");
  EXPECT_EQ(state.DisplayCurrency, "E");
  SetCurrency("P");
  EXPECT_EQ(state.DisplayCurrency, "P");
  SetCurrency("");
  EXPECT_EQ(state.DisplayCurrency, "E");
  SetCurrency("x, ");  // blank part: the secondary becomes the main one
  EXPECT_EQ(state.SecondaryCurrency, "E");
  SetCurrency("A,   ");  // blank part: the euro
  EXPECT_EQ(state.MainCurrency, "E");
}

}  // namespace
}  // namespace format
