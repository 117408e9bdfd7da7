#include "platform/coding.h"

#include <gtest/gtest.h>

#include <string>

namespace platform {
namespace {

TEST(Coding, ExactBytesLeastSignificantFirst) {
  std::string s;
  PutFixed16(&s, 0x1234);
  PutFixed32(&s, 0x89ABCDEFu);
  EXPECT_EQ(s, std::string("\x34\x12\xEF\xCD\xAB\x89", 6));

  char b[4] = {};
  EncodeFixed16(b, 0xFF01);
  EXPECT_EQ(std::string(b, 2), std::string("\x01\xFF", 2));
  EncodeFixed32(b, 0x00000080u);
  EXPECT_EQ(std::string(b, 4), std::string("\x80\x00\x00\x00", 4));
}

TEST(Coding, PutAppendsAndLeavesWhatWasThere) {
  std::string s = "ab";
  PutFixed16(&s, 0);
  PutFixed32(&s, 0);
  EXPECT_EQ(s, std::string("ab\0\0\0\0\0\0", 8));
}

// Bytes at and above 0x80 must not sign-extend into the other bytes when
// read through plain (signed) char.
TEST(Coding, HighBytesDecodeWithoutSignExtension) {
  const char c16[] = {'\xFE', '\x7F'};
  EXPECT_EQ(DecodeFixed16(c16), 0x7FFE);
  const char c32[] = {'\x80', '\xFF', '\x00', '\x81'};
  EXPECT_EQ(DecodeFixed32(c32), 0x8100FF80u);
  const unsigned char u32[] = {0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(DecodeFixed32(u32), 0xFFFFFFFFu);
  EXPECT_EQ(static_cast<int16_t>(DecodeFixed16(u32)), -1);
}

TEST(Coding, EveryValueAtTheEdgesRoundTrips) {
  for (uint32_t v : {0u, 1u, 0x7Fu, 0x80u, 0xFFu, 0x100u, 0x7FFFu, 0x8000u, 0xFFFFu}) {
    unsigned char b[2];
    EncodeFixed16(b, static_cast<uint16_t>(v));
    EXPECT_EQ(DecodeFixed16(b), v);
    std::string s;
    PutFixed16(&s, static_cast<uint16_t>(v));
    EXPECT_EQ(DecodeFixed16(s.data()), v);
  }
  for (uint32_t v : {0u, 0xFFu, 0x10000u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 0x01020304u}) {
    char b[4];
    EncodeFixed32(b, v);
    EXPECT_EQ(DecodeFixed32(b), v);
    std::string s;
    PutFixed32(&s, v);
    EXPECT_EQ(DecodeFixed32(reinterpret_cast<const unsigned char*>(s.data())), v);
  }
  // Signed values travel as their two's-complement form.
  std::string s;
  PutFixed32(&s, static_cast<uint32_t>(int32_t{-2}));
  EXPECT_EQ(s, std::string("\xFE\xFF\xFF\xFF", 4));
  EXPECT_EQ(static_cast<int32_t>(DecodeFixed32(s.data())), -2);
}

}  // namespace
}  // namespace platform
