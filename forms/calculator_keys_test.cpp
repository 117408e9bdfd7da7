#include "forms/calculator_keys.h"

#include <gtest/gtest.h>

#include <string>

#include "console/keyboard.h"
#include "format/format_state.h"

namespace console {
namespace {

class CalculatorKeysTest : public ::testing::Test {
 protected:
  void SetUp() override { format::state = format::FormatState(); }
  // Types each character of `keys` as a key; returns the last action.
  CalculatorAction Type(const std::string& keys) {
    CalculatorAction a = CalculatorAction::kNone;
    for (char c : keys) a = CalculatorKey(s, static_cast<unsigned char>(c));
    return a;
  }
  const TapeLine& Line(int k) const { return s.tape[k]; }
  CalculatorState s;
};

TEST_F(CalculatorKeysTest, FivePlusThreeEquals) {
  EXPECT_EQ(Type("5+"), CalculatorAction::kRedraw);
  EXPECT_EQ(s.firstVisible, 22);
  EXPECT_EQ(Type("3="), CalculatorAction::kRedraw);
  EXPECT_EQ(s.firstVisible, 20);
  EXPECT_EQ(Line(20).value, 5);
  EXPECT_EQ(Line(20).op, '+');
  EXPECT_EQ(Line(21).value, 3);
  EXPECT_EQ(Line(21).op, '=');
  EXPECT_EQ(Line(22).value, 8);
  EXPECT_EQ(Line(22).op, ' ');
  EXPECT_EQ(s.entry, 8);
  EXPECT_EQ(s.result, 8);
  EXPECT_EQ(s.entering, 0);
  EXPECT_EQ(s.cleared, 0);
  EXPECT_EQ(s.pending, "");
  EXPECT_EQ(Type("F"), CalculatorAction::kFinish);
  EXPECT_EQ(CalculatorResultText(s), "800");
  EXPECT_EQ(s.keyText, "F");
  // "=" (or Enter) does nothing unless a number is being typed.
  EXPECT_EQ(Type("="), CalculatorAction::kNone);
  EXPECT_EQ(CalculatorKey(s, kKeyEnter), CalculatorAction::kNone);
  EXPECT_EQ(s.firstVisible, 20);
  Type("2*3");
  EXPECT_EQ(CalculatorKey(s, kKeyEnter), CalculatorAction::kRedraw);
  EXPECT_EQ(s.entry, 6);
}

TEST_F(CalculatorKeysTest, PercentTakesTheShareOfTheRunningResult) {
  Type("200+10%");
  EXPECT_EQ(s.entry, 20);
  EXPECT_EQ(Line(21).value, 200);
  EXPECT_EQ(Line(21).op, '+');
  EXPECT_EQ(Line(22).value, 10);
  EXPECT_EQ(Line(22).op, '%');
  Type("=");
  EXPECT_EQ(s.entry, 220);
  EXPECT_EQ(Line(21).value, 20);
  EXPECT_EQ(Line(21).op, '=');
  // Without "+" or "-" pending, a plain hundredth.
  CalculatorState fresh;
  s = fresh;
  Type("50*3%");
  EXPECT_EQ(s.entry, 0.03);
  EXPECT_EQ(s.decimals, 2);
}

TEST_F(CalculatorKeysTest, RoundGoesToTheEvenHundredthAndTowardsZeroBelowZero) {
  Type(".125R");
  EXPECT_EQ(s.entry, 0.12);
  EXPECT_EQ(s.result, 0.12);
  EXPECT_EQ(s.decimalPoint, -1);
  EXPECT_EQ(s.decimals, 2);
  EXPECT_EQ(Line(22).value, 0.12);
  EXPECT_EQ(Line(22).op, 'R');
  Type("C0.375R");
  EXPECT_EQ(s.entry, 0.38);
  Type("C0.376T");
  Type("R");
  EXPECT_EQ(s.entry, -0.37);
  Type("C2.5R");
  EXPECT_EQ(s.entry, 2.5);
}

TEST_F(CalculatorKeysTest, BackspaceTakesDecimalsThenThePointThenDigits) {
  Type("12.3");
  Type("\b");
  EXPECT_EQ(s.entry, 12);
  EXPECT_EQ(s.decimalPoint, -1);
  EXPECT_EQ(s.decimals, 0);
  Type("\b");
  EXPECT_EQ(s.entry, 12);
  EXPECT_EQ(s.decimalPoint, 0);
  Type("\b");
  EXPECT_EQ(s.entry, 1);
  EXPECT_EQ(s.entering, -1);
  Type("\b");
  EXPECT_EQ(s.entry, 0);
  EXPECT_EQ(s.entering, 0);
  // 0.580 is held as a double a little below 0.58: the digit typed stays.
  Type("0.580\b");
  EXPECT_EQ(s.entry, 0.58);
  EXPECT_EQ(s.decimals, 2);
}

TEST_F(CalculatorKeysTest, ResultTextIsInHundredthsWithoutSign) {
  Type("12.5");
  EXPECT_EQ(CalculatorResultText(s), "1250");
  Type("C0.05");
  EXPECT_EQ(CalculatorResultText(s), "5");
  Type("C1.234");
  EXPECT_EQ(CalculatorResultText(s), "123.4");
  Type("C0.0001");
  EXPECT_EQ(CalculatorResultText(s), ".01");
  CalculatorState fresh;
  s = fresh;
  EXPECT_EQ(CalculatorResultText(s), "0");
  Type("3-5=");
  EXPECT_EQ(s.result, -2);
  EXPECT_EQ(CalculatorResultText(s), "200");
  Type("7T");
  EXPECT_EQ(s.entry, -7);
  EXPECT_EQ(CalculatorResultText(s), "700");
}

TEST_F(CalculatorKeysTest, ClearEntryClearAllAndEmptyingTheView) {
  Type("5+3C");
  EXPECT_EQ(s.entering, 0);
  EXPECT_EQ(s.entry, 5);  // the result shows again
  EXPECT_EQ(s.pending, "+");
  EXPECT_EQ(Type("="), CalculatorAction::kNone);  // nothing typed: "=" waits for a number
  EXPECT_EQ(s.entry, 5);
  Type("4=");
  EXPECT_EQ(s.entry, 9);

  // Clear all forgets the pending operator: 5 - C 3 = gives 3.
  CalculatorState fresh;
  s = fresh;
  Type("5-");
  EXPECT_EQ(Type("C"), CalculatorAction::kNone);
  EXPECT_EQ(s.cleared, -1);
  EXPECT_EQ(s.result, 0);
  EXPECT_EQ(s.pending, "");
  Type("3=");
  EXPECT_EQ(s.entry, 3);

  // Already cleared: the view is emptied, the tape kept.
  Type("C");
  EXPECT_EQ(s.cleared, -1);
  EXPECT_EQ(Type("C"), CalculatorAction::kReopen);
  EXPECT_EQ(s.firstVisible, kTapeViewEmpty);
  EXPECT_EQ(Line(22).value, 3);
  EXPECT_EQ(Line(21).op, '=');
}

TEST_F(CalculatorKeysTest, DivisionByZeroIsAnErrorThatOnlyClearEnds) {
  Type("5/0");
  const int16_t view = s.firstVisible;
  EXPECT_EQ(Type("="), CalculatorAction::kNone);
  EXPECT_TRUE(s.error);
  EXPECT_EQ(s.firstVisible, view);  // nothing on the tape
  EXPECT_EQ(Line(22).value, 5);
  EXPECT_EQ(Line(22).op, '/');
  EXPECT_EQ(s.entry, 0);
  EXPECT_EQ(s.result, 0);
  EXPECT_EQ(s.pending, "");
  // Digits, operators and "F" are ignored while the error is shown.
  EXPECT_EQ(Type("7+F"), CalculatorAction::kNone);
  EXPECT_TRUE(s.error);
  EXPECT_EQ(s.entry, 0);
  EXPECT_EQ(CalculatorKey(s, kKeyLeft), CalculatorAction::kMove);
  Type("C");
  EXPECT_FALSE(s.error);
  Type("2+2=");
  EXPECT_EQ(s.entry, 4);
  // 0 / 0 too, and 0 / 0 as a percentage chain.
  Type("0/0=");
  EXPECT_TRUE(s.error);
  EXPECT_EQ(CalculatorKey(s, kKeyEsc), CalculatorAction::kCancel);
}

TEST_F(CalculatorKeysTest, NumbersStayBelowTheLimit) {
  s.entry = 1e60;
  s.entering = -1;
  Type("*");
  s.entry = 1e60;
  s.entering = -1;
  Type("=");
  EXPECT_TRUE(s.error);
  EXPECT_EQ(s.result, 0);
  Type("C");
  // Typing: a digit that would reach the limit is not taken.
  s.entry = 1e99;
  s.entering = -1;
  Type("5");
  EXPECT_EQ(s.entry, 1e99);
  // Decimals stop at the fifteenth.
  Type("C.");
  Type(std::string(20, '1'));
  EXPECT_EQ(s.decimals, kMaxDecimals);
  EXPECT_NEAR(s.entry, 0.111111111111111, 1e-15);
}

TEST_F(CalculatorKeysTest, NormalisingKeepsFifteenSignificantDigits) {
  Type("1/3=");
  EXPECT_EQ(s.entry, 0.333333333333333);
  EXPECT_EQ(s.decimals, 15);
  Type("100/3=");
  EXPECT_EQ(s.entry, 33.3333333333333);
  EXPECT_EQ(s.decimals, 13);
  // A negative number keeps as many digits as its positive counterpart.
  Type("100T/3=");
  EXPECT_EQ(s.entry, -33.3333333333333);
  EXPECT_EQ(s.decimals, 13);
  Type(".1+.2=");
  EXPECT_EQ(s.entry, 0.3);
  EXPECT_EQ(s.decimals, 1);
  EXPECT_EQ(s.decimalPoint, -1);
  Type("2.50*2=");
  EXPECT_EQ(s.entry, 5);
  EXPECT_EQ(s.decimals, 0);
  EXPECT_EQ(s.decimalPoint, 0);
  Type("10000000000*10000000000=");
  EXPECT_EQ(s.entry, 1e20);
}

TEST_F(CalculatorKeysTest, TheTapeKeepsTwentyTwoLinesAndShowsTwentyOne) {
  for (int i = 1; i <= 30; ++i) Type(std::to_string(i) + "+");
  EXPECT_EQ(s.firstVisible, 2);
  EXPECT_EQ(Line(22).value, 30);
  EXPECT_EQ(Line(1).value, 9);
}

TEST_F(CalculatorKeysTest, TheSessionsDecimalMarkIsAPointKeyToo) {
  format::state.DecCaracter = ',';
  format::state.MilCaracter = '.';
  Type("12,5");
  EXPECT_EQ(s.entry, 12.5);
  EXPECT_EQ(CalculatorResultText(s), "1250");
  Type("+1.25=");
  EXPECT_EQ(s.result, 13.75);
  format::state.DecCaracter = '-';  // a mark that is a key keeps the key's meaning
  Type("3-");
  EXPECT_EQ(s.pending, "-");
}

TEST_F(CalculatorKeysTest, KeyTexts) {
  EXPECT_EQ(CalculatorKeyText(kKeyLeft), "19200");
  EXPECT_EQ(CalculatorKeyText(kKeyAltF), "8448");
  EXPECT_EQ(CalculatorKeyText('f'), "F");
  EXPECT_EQ(CalculatorKeyText(kKeyF11), "-31488");
  EXPECT_EQ(CalculatorKeyText(-203), "-203");  // a mouse code, never a digit
  EXPECT_EQ(CalculatorKey(s, kKeyAltF), CalculatorAction::kFinish);
  EXPECT_EQ(Type("x"), CalculatorAction::kNone);
}

TEST_F(CalculatorKeysTest, ValueTexts) {
  EXPECT_EQ(CalculatorValueText(5, 0, 0), std::string(20, ' ') + "5");
  EXPECT_EQ(CalculatorValueText(1234567.5, -1, 1), "          1.234.567'5");
  EXPECT_EQ(CalculatorValueText(-12.3, -1, 2), "               -12'30");
  EXPECT_EQ(CalculatorValueText(0.333333333333333, -1, 15), "    0'333333333333333");
  EXPECT_EQ(CalculatorValueText(1e20, 0, 0), "100000000000000000000");  // plainly, as it fits
  EXPECT_EQ(CalculatorValueText(1e21, 0, 0), std::string(21, '!'));
}

}  // namespace
}  // namespace console
