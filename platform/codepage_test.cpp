#include "platform/codepage.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <set>

namespace platform {
namespace {

TEST(Codepage, EveryByteSurvivesARoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  bool lossy = true;
  EXPECT_EQ(Utf8ToCp850(Cp850ToUtf8(all), '?', &lossy), all);
  EXPECT_FALSE(lossy);
  std::set<char32_t> seen;
  for (int b = 0; b < 256; ++b) seen.insert(Cp850ToUnicode(static_cast<unsigned char>(b)));
  EXPECT_EQ(seen.size(), 256u);
}

TEST(Codepage, AccentsFramesAndOrdinals) {
  EXPECT_EQ(Cp850ToUtf8("LIQUIDACI\xE0"), "LIQUIDACI\xC3\x93");  // Ó
  EXPECT_EQ(Cp850ToUtf8("\x87\x8A\xFA\xA6\xA7"), "çè·ªº");
  EXPECT_EQ(Cp850ToUtf8("\xDA\xC4\xBF\xC9\xCD\xBB"), "┌─┐╔═╗");
  EXPECT_EQ(Cp850ToUtf8("\xD5"), "€");
  EXPECT_EQ(Utf8ToCp850("PÀGINA"), "P\xB7GINA");
}

// The system's table must agree with the C library's own code page 850 for
// every byte but the euro position.
TEST(Codepage, AgreesWithTheCLibraryTable) {
  iconv_t cd = iconv_open("UTF-8", "CP850");
  ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
  for (int b = 0x20; b < 256; ++b) {
    if (b == 0xD5 || b == 0x7F) continue;
    char in[1] = {static_cast<char>(b)};
    char out[8] = {};
    char* ip = in;
    char* op = out;
    size_t il = 1, ol = sizeof out;
    ASSERT_NE(iconv(cd, &ip, &il, &op, &ol), static_cast<size_t>(-1)) << b;
    EXPECT_EQ(std::string(out, op - out), Cp850ToUtf8(std::string(1, static_cast<char>(b))))
        << "byte " << b;
  }
  iconv_close(cd);
}

TEST(Codepage, UnmappableAndMalformedInputIsReplaced) {
  bool lossy = false;
  EXPECT_EQ(Utf8ToCp850("a\xE2\x82\xBD" "b", '?', &lossy), "a?b");  // rouble sign
  EXPECT_TRUE(lossy);
  EXPECT_EQ(Utf8ToCp850("x\xC3", '#'), "x#");          // truncated sequence
  EXPECT_EQ(Utf8ToCp850("\xFF\xFEz", '#'), "##z");    // bytes that start nothing
}

}  // namespace
}  // namespace platform
