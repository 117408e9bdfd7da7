#include "format/dotted_code.h"

#include <random>
#include <string>

#include <gtest/gtest.h>

#include "dates/packed.h"

namespace format {
namespace {

std::string Digits(const std::string& code) { return dates::Unpack(PackCode(code)); }

TEST(PackCode, GroupsAreFilledToTheirWidths) {
  EXPECT_EQ(Digits("12"), "0012");
  EXPECT_EQ(PackCode("12").size(), 2u);
  EXPECT_EQ(Digits("12.34"), "00120034");
  EXPECT_EQ(PackCode("12.34").size(), 4u);
  EXPECT_EQ(Digits("5.0"), "00050000");
  EXPECT_EQ(Digits("12."), "0012");
  EXPECT_EQ(Digits("123456"), "123456");
  EXPECT_EQ(Digits("123456.1234"), "1234561234");
  EXPECT_EQ(PackCode(""), "");
  EXPECT_EQ(Digits("999.999"), "09990999");
  EXPECT_EQ(PackCode("0.5"), PackCode("00.0005"));
  EXPECT_EQ(Digits(" 7. 3 "), "00070003");
}

TEST(PackCode, OddGroupsAreReadByTheNumberRule) {
  EXPECT_EQ(Digits("-12.x"), "00120000");   // no sign, no digits = 0
  EXPECT_EQ(Digits("12345.1"), "23450001"); // too long: cut on the left
  EXPECT_EQ(Digits("1e2.3"), "01000003");
  EXPECT_EQ(Digits("1e4"), "0000");
  EXPECT_EQ(Digits("1.2.3"), "000100020003");
}

TEST(CodeText, GroupsWithoutLeadingZerosAndNoTrailingZeroGroup) {
  auto text = [](const std::string& digits) { return CodeText(dates::Pack(digits)); };
  EXPECT_EQ(text("0012"), "12");
  EXPECT_EQ(text("00120034"), "12.34");
  EXPECT_EQ(text("00120000"), "12");
  EXPECT_EQ(text("00000000"), "");
  EXPECT_EQ(text("0000"), "");
  EXPECT_EQ(text("001234"), "1234");
  EXPECT_EQ(text("1234560012"), "123456.12");
  EXPECT_EQ(text("000000050000"), "0.5");
  EXPECT_EQ(text("001200000005"), "12.0.5");
  EXPECT_EQ(CodeText(PackCode("999.999")), "999.999");
  EXPECT_EQ(CodeText(""), "");
  EXPECT_EQ(CodeText(std::string(4, '\xFF')), "2727.2727");  // odd bytes: two digits each
}

TEST(CodeText, RoundTripsWithPackCode) {
  std::mt19937 gen(20261208);
  std::uniform_int_distribution<int> number(0, 9999);
  for (int n = 0; n < 20000; ++n) {
    int c = number(gen);
    int d = number(gen);
    std::string code = n % 2 ? std::to_string(c) : std::to_string(c) + "." + std::to_string(d);
    std::string packed = PackCode(code);
    ASSERT_EQ(packed.size(), n % 2 ? 2u : 4u) << code;
    // The display form drops a zero department and shows nothing for 0.
    std::string expected;
    if (n % 2 == 0 && d != 0) expected = std::to_string(c) + "." + std::to_string(d);
    else if (c != 0) expected = std::to_string(c);
    ASSERT_EQ(CodeText(packed), expected) << code;
    if (!expected.empty()) {
      // Packing the display form again gives the same key, widened to the
      // original length when a zero department was dropped.
      std::string again = PackCode(expected);
      ASSERT_EQ(again + std::string(packed.size() - again.size(), '\x80'), packed) << code;
    }
  }
}

TEST(PackCode, PackedCodesSortInNumericOrder) {
  std::mt19937 gen(7);
  std::uniform_int_distribution<int> number(0, 9999);
  for (int n = 0; n < 5000; ++n) {
    int c1 = number(gen), d1 = number(gen), c2 = number(gen), d2 = number(gen);
    std::string a = PackCode(std::to_string(c1) + "." + std::to_string(d1));
    std::string b = PackCode(std::to_string(c2) + "." + std::to_string(d2));
    bool less = c1 < c2 || (c1 == c2 && d1 < d2);
    ASSERT_EQ(a < b, less) << c1 << "." << d1 << " vs " << c2 << "." << d2;
  }
}

}  // namespace
}  // namespace format
