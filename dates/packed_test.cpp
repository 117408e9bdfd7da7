#include "dates/packed.h"

#include <gtest/gtest.h>

#include <random>

namespace dates {
namespace {

TEST(PackTest, TrimsRightJustifiesAndPacksTwoDigitsPerByte) {
  EXPECT_EQ(Pack("20250105"), std::string("\x94\x99\x81\x85"));
  EXPECT_EQ(Pack("123"), std::string("\x8C\x9E"));   // "12" "30"
  EXPECT_EQ(Pack(" 12"), std::string("\x81\x94"));   // "01" "20"
  EXPECT_EQ(Pack("1 2"), std::string("\x8A\x94"));   // inner space is 0
  EXPECT_EQ(Pack("1a"), std::string("\x8A"));        // other characters too
  EXPECT_EQ(Pack(""), "");
  EXPECT_EQ(Unpack(std::string(4, '\x80')), "00000000");
  EXPECT_EQ(Unpack(std::string("\x05\xFF")), "0527");  // low 7 bits, last 2 digits
}

TEST(PackTest, RoundTripAndOrderOverRandomDigitStrings) {
  std::mt19937 gen(12345);
  auto digits = [&gen](int len) {
    std::string s;
    for (int k = 0; k < len; ++k) s.push_back(static_cast<char>('0' + gen() % 10));
    return s;
  };
  for (int i = 0; i < 20000; ++i) {
    int len = 2 * static_cast<int>(gen() % 10);
    std::string a = digits(len), b = digits(len);
    ASSERT_EQ(Unpack(Pack(a)), a);
    ASSERT_EQ(Pack(a) < Pack(b), a < b);  // packed values sort as numbers
  }
}

TEST(ZeroPadTest, FillsAndCutsOnTheLeft) {
  EXPECT_EQ(ZeroPad(5, 2), "05");
  EXPECT_EQ(ZeroPad(2025, 4), "2025");
  EXPECT_EQ(ZeroPad(123, 2), "23");
  EXPECT_EQ(ZeroPad(-7, 3), "007");
  EXPECT_EQ(ZeroPad(5, 0), "");
}

}  // namespace
}  // namespace dates
