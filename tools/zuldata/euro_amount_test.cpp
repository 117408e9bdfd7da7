// Amounts in euros as CSV text: what administrators write, what is refused,
// and that every written amount reads back.
#include "tools/zuldata/euro_amount.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace zuldata {
namespace {

int32_t Read(const std::string& text) {
  int32_t v = -777;
  std::string problem = ReadEuros(text, &v);
  EXPECT_EQ(problem, "") << text;
  return v;
}

std::string Problem(const std::string& text) {
  int32_t v = 0;
  return ReadEuros(text, &v);
}

TEST(ReadEuros, BothDecimalMarksAndThousandsSeparators) {
  EXPECT_EQ(Read("123,45"), 12345);
  EXPECT_EQ(Read("123.45"), 12345);
  EXPECT_EQ(Read("12,5"), 1250);
  EXPECT_EQ(Read("1500"), 150000);
  EXPECT_EQ(Read("0,07"), 7);
  EXPECT_EQ(Read("1.234,56"), 123456);
  EXPECT_EQ(Read("1,234.56"), 123456);
  EXPECT_EQ(Read("1.234.567"), 123456700);
  EXPECT_EQ(Read("1,234,567.8"), 123456780);
  EXPECT_EQ(Read("1 234,56"), 123456);
  EXPECT_EQ(Read("1\xC2\xA0" "234,56"), 123456);  // no-break space
  EXPECT_EQ(Read(""), 0);
  EXPECT_EQ(Read("  "), 0);
  EXPECT_EQ(Read(" 7,00 "), 700);
  EXPECT_EQ(Read("007"), 700);
}

TEST(ReadEuros, NegativeFormsAndTheEuroSign) {
  EXPECT_EQ(Read("-123,45"), -12345);
  EXPECT_EQ(Read("123,45-"), -12345);
  EXPECT_EQ(Read("(123,45)"), -12345);
  EXPECT_EQ(Read("+5"), 500);
  EXPECT_EQ(Read("12,50 \xE2\x82\xAC"), 1250);
  EXPECT_EQ(Read("\xE2\x82\xAC" "12.50"), 1250);
  EXPECT_EQ(Read("-12,50\xE2\x82\xAC"), -1250);
  EXPECT_EQ(Read("-\xE2\x82\xAC" "1,234.50"), -123450);
  EXPECT_EQ(Read("(1.234,50 \xE2\x82\xAC)"), -123450);
  EXPECT_EQ(Read("-0,00"), 0);
}

TEST(ReadEuros, TheLimitsOfAnInt32OfHundredths) {
  EXPECT_EQ(Read("21474836,47"), INT32_MAX);
  EXPECT_EQ(Read("-21.474.836,48"), INT32_MIN);
  EXPECT_NE(Problem("21474836,48").find("beyond"), std::string::npos);
  EXPECT_NE(Problem("-21474836,49").find("beyond"), std::string::npos);
  EXPECT_NE(Problem("99999999999999999999").find("beyond"), std::string::npos);
  EXPECT_EQ(Read("0000000000000012,00"), 1200);  // leading zeros are no size
}

TEST(ReadEuros, WhatItDoesNotGuess) {
  // One mark and three digits: a thousand, or one euro and a fraction of a
  // cent. Refused, with the way to write either.
  EXPECT_NE(Problem("1.234").find("three digits after its only mark"), std::string::npos);
  EXPECT_NE(Problem("1,234").find("three digits after its only mark"), std::string::npos);
  EXPECT_EQ(Problem("1.234,567"), "has more than two decimals");
  EXPECT_EQ(Problem("12,3456"), "has more than two decimals");
  EXPECT_EQ(Problem("1.23.4"), "has its thousands separators out of place");
  EXPECT_EQ(Problem("12.34.567"), "has its thousands separators out of place");
  EXPECT_EQ(Problem("1,234,56"), "has its thousands separators out of place");
  EXPECT_EQ(Problem("1 234.567,5"), "mixes two thousands separators");
  EXPECT_EQ(Problem("--5"), "has more than one sign");
  EXPECT_EQ(Problem("-5-"), "has more than one sign");
  EXPECT_EQ(Problem("(-5)"), "has more than one sign");
  EXPECT_EQ(Problem("\xE2\x82\xAC" "5\xE2\x82\xAC"), "has more than one euro sign");
  for (const char* bad : {"12,", ",50", "1.2.3,4,5", "12a", "abc", "-", "\xE2\x82\xAC", "1e3",
                          "12 EUR", "0x10", "1.000.00"}) {
    std::string p = Problem(bad);
    EXPECT_NE(p, "") << bad;
  }
}

TEST(WriteEuros, TwoDecimalsAndReadsBack) {
  EXPECT_EQ(WriteEuros(0, '.'), "0.00");
  EXPECT_EQ(WriteEuros(1500, '.'), "15.00");
  EXPECT_EQ(WriteEuros(-7, ','), "-0,07");
  EXPECT_EQ(WriteEuros(123456, ','), "1234,56");
  EXPECT_EQ(WriteEuros(INT32_MAX, '.'), "21474836.47");
  EXPECT_EQ(WriteEuros(INT32_MIN, ','), "-21474836,48");
  for (int32_t v : {0, 1, -1, 99, -100, 123456, -987654321, INT32_MAX, INT32_MIN,
                    INT32_MIN + 1}) {
    for (char mark : {'.', ','}) {
      int32_t back = 0;
      EXPECT_EQ(ReadEuros(WriteEuros(v, mark), &back), "") << v;
      EXPECT_EQ(back, v) << WriteEuros(v, mark);
    }
  }
}

}  // namespace
}  // namespace zuldata
