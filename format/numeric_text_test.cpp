#include "format/numeric_text.h"

#include <cfloat>

#include <gtest/gtest.h>

namespace format {
namespace {

TEST(TextValue, ReadsSignDigitsPointAndExponent) {
  EXPECT_EQ(TextValue("12"), 12.0);
  EXPECT_EQ(TextValue("-12.5"), -12.5);
  EXPECT_EQ(TextValue("+.5"), 0.5);
  EXPECT_EQ(TextValue("7."), 7.0);
  EXPECT_EQ(TextValue("1.5E3"), 1500.0);
  EXPECT_EQ(TextValue("1.5e-2"), 0.015);
  EXPECT_EQ(TextValue("25D+1"), 250.0);
  EXPECT_EQ(TextValue("25d2"), 2500.0);
}

TEST(TextValue, SkipsLeadingBlanksTabsAndLineEnds) {
  EXPECT_EQ(TextValue(" \t\r\n 42"), 42.0);
  EXPECT_EQ(TextValue(" 1500"), 1500.0);  // an INI value after "Key = "
}

TEST(TextValue, StopsAtTheFirstCharacterThatDoesNotFit) {
  EXPECT_EQ(TextValue("1 2"), 1.0);
  EXPECT_EQ(TextValue("12a"), 12.0);
  EXPECT_EQ(TextValue("1.5.3"), 1.5);
  EXPECT_EQ(TextValue("2e"), 2.0);    // exponent letter without digits
  EXPECT_EQ(TextValue("2e+"), 2.0);
  EXPECT_EQ(TextValue("3,5"), 3.0);   // the comma is not a decimal point
  EXPECT_EQ(TextValue("- 5"), 0.0);   // no blanks after the sign
}

TEST(TextValue, TextWithoutDigitsReadsZero) {
  EXPECT_EQ(TextValue(""), 0.0);
  EXPECT_EQ(TextValue("   "), 0.0);
  EXPECT_EQ(TextValue("-"), 0.0);
  EXPECT_EQ(TextValue("."), 0.0);
  EXPECT_EQ(TextValue("E5"), 0.0);
  EXPECT_EQ(TextValue("&H1F"), 0.0);
  EXPECT_EQ(TextValue("abc"), 0.0);
}

TEST(TextValue, IsCorrectlyRoundedAndLocaleFree) {
  EXPECT_EQ(TextValue("0.1"), 0.1);
  EXPECT_EQ(TextValue("166.386"), 166.386);
  EXPECT_EQ(TextValue("123456789012.34"), 123456789012.34);
}

TEST(TextValue, OutOfRangeExponentsSaturate) {
  EXPECT_EQ(TextValue("1e999"), DBL_MAX);
  EXPECT_EQ(TextValue("-1e999"), -DBL_MAX);
  EXPECT_EQ(TextValue("0.0001e-400"), 0.0);
  EXPECT_EQ(TextValue("1e-99999999999999999999"), 0.0);
  EXPECT_EQ(TextValue("1000e-310") > 0.0, true);  // subnormal, still read
}

}  // namespace
}  // namespace format

namespace format {
namespace {

TEST(NumberInvalid, WithoutPointOrSignOnlyDigitsAndBlanks) {
  EXPECT_EQ(NumberInvalid("123", ""), 0);
  EXPECT_EQ(NumberInvalid(" 12 ", ""), 0);
  EXPECT_EQ(NumberInvalid("", ""), 0);
  EXPECT_EQ(NumberInvalid("1.5", ""), -1);
  EXPECT_EQ(NumberInvalid("-3", ""), -1);
  EXPECT_EQ(NumberInvalid("1a", ""), -1);
  EXPECT_EQ(NumberInvalid("1e5", "ZZ9.99-"), -1);
}

TEST(NumberInvalid, OneLeadingSignAndOnePoint) {
  const std::string mask = "ZZ9.99-";
  EXPECT_EQ(NumberInvalid("-12.5", mask), 0);
  EXPECT_EQ(NumberInvalid("12.5", mask), 0);
  EXPECT_EQ(NumberInvalid(" +12", "+ZZ9"), 0);
  EXPECT_EQ(NumberInvalid("12.5-", mask), -1);  // sign after a digit
  EXPECT_EQ(NumberInvalid("1.2.3", mask), -1);  // a second point
  EXPECT_EQ(NumberInvalid("x-1", mask), -1);
  EXPECT_EQ(NumberInvalid("--1", mask), -1);
  EXPECT_EQ(NumberInvalid(".-5", mask), -1);    // sign after the point
  EXPECT_EQ(NumberInvalid("-12", "ZZ9.99"), -1);
}

}  // namespace
}  // namespace format
