#include "format/money.h"

#include <gtest/gtest.h>

#include "format/format_state.h"

namespace format {
namespace {

class Currency : public ::testing::Test {
 protected:
  void SetUp() override { state = FormatState(); }
};

TEST_F(Currency, SessionStartMakesEuroMainAndDisplay) {
  SetCurrency("a,E");
  EXPECT_EQ(state.MainCurrency, "E");
  EXPECT_EQ(state.DisplayCurrency, "E");
  EXPECT_EQ(state.SecondaryCurrency, "");
}

TEST_F(Currency, LettersAreCapitalisedAndBlankPartsDefault) {
  SetCurrency("A,  p ");
  EXPECT_EQ(state.MainCurrency, "P");
  SetCurrency("A,   ");
  EXPECT_EQ(state.MainCurrency, "E");
  EXPECT_EQ(state.DisplayCurrency, "E");
}

TEST_F(Currency, SecondaryCurrencyAndSwitching) {
  SetCurrency("a,E");
  SetCurrency("s,p");
  EXPECT_EQ(state.SecondaryCurrency, "P");
  EXPECT_EQ(state.DisplayCurrency, "E");
  SetCurrency("p");
  EXPECT_EQ(state.DisplayCurrency, "P");
  SetCurrency("");
  EXPECT_EQ(state.DisplayCurrency, "E");
  SetCurrency("x, ");  // blank part: the secondary becomes the main currency
  EXPECT_EQ(state.SecondaryCurrency, "E");
}

TEST_F(Currency, SwitchWithoutSecondaryShowsMain) {
  SetCurrency("a,E");
  SetCurrency("p");
  EXPECT_EQ(state.DisplayCurrency, "E");
}

}  // namespace
}  // namespace format
