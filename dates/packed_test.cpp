#include "dates/packed.h"

#include <gtest/gtest.h>

#include <random>

namespace dates {
namespace {

TEST(PackTest, DigitsTwoPerByte) {
  EXPECT_EQ(Pack("20250105"), std::string("\x94\x99\x81\x85"));
  EXPECT_EQ(Pack("00000000"), std::string(4, '\x80'));
  EXPECT_EQ(Pack("99"), std::string("\xE3"));
  EXPECT_EQ(Pack(""), "");
}

TEST(PackTest, OddLengthGetsTrailingZero) {
  EXPECT_EQ(Pack("123"), std::string("\x8C\x9E"));  // "12" "30"
}

TEST(PackTest, SpacesAreTrimmedAndTheTextRightJustified) {
  EXPECT_EQ(Pack(" 12"), std::string("\x81\x94"));      // "01" "20"
  EXPECT_EQ(Pack("12  "), std::string("\x80\x8C"));     // "00" "12"
  EXPECT_EQ(Pack("1 2"), std::string("\x8A\x94"));      // inner space -> "102"
  EXPECT_EQ(Pack("    "), std::string("\x80\x80"));
}

TEST(PackTest, NonDigitsCountAsZero) {
  EXPECT_EQ(Pack("1a"), std::string("\x8A"));
  EXPECT_EQ(Pack("\xA4" "5"), std::string("\x85"));
}

TEST(UnpackTest, LowSevenBitsAsTwoDigits) {
  EXPECT_EQ(Unpack(std::string(4, '\x80')), "00000000");
  EXPECT_EQ(Unpack(std::string("\x94\x99\x81\x85")), "20250105");
  EXPECT_EQ(Unpack(std::string("\x05")), "05");   // high bit missing
  EXPECT_EQ(Unpack(std::string("\xFF")), "27");   // 127 -> last two digits
  EXPECT_EQ(Unpack(""), "");
}

TEST(PackTest, RoundTripOverRandomDigitStrings) {
  std::mt19937 gen(12345);
  for (int i = 0; i < 20000; ++i) {
    int len = 2 * static_cast<int>(gen() % 10);
    std::string digits;
    for (int k = 0; k < len; ++k) digits.push_back(static_cast<char>('0' + gen() % 10));
    std::string packed = Pack(digits);
    ASSERT_EQ(packed.size(), digits.size() / 2);
    ASSERT_EQ(Unpack(packed), digits);
    // Packed values of equal length sort as the numbers they hold.
    std::string other;
    for (int k = 0; k < len; ++k) other.push_back(static_cast<char>('0' + gen() % 10));
    ASSERT_EQ(Pack(other) < packed, other < digits);
  }
}

TEST(ZeroPadTest, FillsAndCutsOnTheLeft) {
  EXPECT_EQ(ZeroPad(5, 2), "05");
  EXPECT_EQ(ZeroPad(2025, 4), "2025");
  EXPECT_EQ(ZeroPad(123, 2), "23");
  EXPECT_EQ(ZeroPad(0, 3), "000");
  EXPECT_EQ(ZeroPad(-7, 3), "007");
  EXPECT_EQ(ZeroPad(20250105, 8), "20250105");
  EXPECT_EQ(ZeroPad(5, 0), "");
  EXPECT_EQ(ZeroPad(5, -2), "");
}

}  // namespace
}  // namespace dates
