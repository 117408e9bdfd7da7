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

// Only the shortest form of a code point is UTF-8: over-long forms would
// smuggle a NUL or a control byte past a check for them, surrogates and
// code points past U+10FFFF are no characters.
TEST(Codepage, OverLongFormsSurrogatesAndBeyondU10FFFFAreRefused) {
  struct Case {
    const char* bytes;
    const char* why;
  };
  for (const Case& c : {Case{"\xC0\x80", "NUL in two bytes"}, Case{"\xC1\xBF", "DEL in two bytes"},
                        Case{"\xE0\x80\x80", "NUL in three"}, Case{"\xE0\x9F\xBF", "U+07FF in three"},
                        Case{"\xF0\x80\x80\x80", "NUL in four"},
                        Case{"\xF0\x8F\xBF\xBF", "U+FFFF in four"},
                        Case{"\xED\xA0\x80", "U+D800"}, Case{"\xED\xBF\xBF", "U+DFFF"},
                        Case{"\xF4\x90\x80\x80", "U+110000"}, Case{"\xF5\x80\x80\x80", "lead F5"},
                        Case{"\x80", "a lone continuation byte"}}) {
    const std::string bytes = c.bytes;
    char32_t cp = 0;
    size_t length = 0;
    EXPECT_EQ(DecodeUtf8(bytes, 0, &cp, &length), Utf8Status::kInvalid) << c.why;
    EXPECT_EQ(length, 1u) << c.why;
    bool lossy = false;
    std::string out = Utf8ToCp850(bytes, '?', &lossy);
    EXPECT_TRUE(lossy) << c.why;
    EXPECT_EQ(out.find('\0'), std::string::npos) << c.why;
    EXPECT_EQ(out, std::string(bytes.size(), '?')) << c.why;
  }
  // The edges that are well formed.
  struct Good {
    const char* bytes;
    char32_t cp;
  };
  for (const Good& g : {Good{"\xC2\x80", 0x80}, Good{"\xDF\xBF", 0x7FF}, Good{"\xE0\xA0\x80", 0x800},
                        Good{"\xED\x9F\xBF", 0xD7FF}, Good{"\xEE\x80\x80", 0xE000},
                        Good{"\xF0\x90\x80\x80", 0x10000},
                        Good{"\xF4\x8F\xBF\xBF", 0x10FFFF}}) {
    const std::string bytes = g.bytes;
    char32_t cp = 0;
    size_t length = 0;
    EXPECT_EQ(DecodeUtf8(bytes, 0, &cp, &length), Utf8Status::kOk) << std::hex << g.cp;
    EXPECT_EQ(cp, g.cp);
    EXPECT_EQ(length, bytes.size());
  }
  char32_t cp = 0;
  size_t length = 0;
  EXPECT_EQ(DecodeUtf8("\xF0\x90\x80", 0, &cp, &length), Utf8Status::kIncomplete);
  EXPECT_EQ(DecodeUtf8("\xF0\x80", 0, &cp, &length), Utf8Status::kInvalid);  // over-long already
}

// A text file of the suite as an editor saves it (UTF-8, with or without its
// byte-order mark) or as the suite writes it (code page 850).
TEST(Codepage, TextFilesInUtf8OrCodePage850) {
  struct Case {
    std::string bytes;
    bool ok;
    std::string text;  // ok: the code page 850 text
    char32_t missing;  // refused: the character and its line
    int line;
  };
  const Case cases[] = {
      {"L1=COL\xC2\xB7LEGIAT N\xC3\x9AM.\r\n", true, "L1=COL\xFALEGIAT N\xE9M.\r\n", 0, 0},
      {"\xEF\xBB\xBF[Menu]\nA=\xE2\x82\xAC", true, "[Menu]\nA=\xD5", 0, 0},  // mark, euro
      {"\xEF\xBB\xBF" "A=B\n", true, "A=B\n", 0, 0},
      {"L1=COL\xFALEGIAT\r\n", true, "L1=COL\xFALEGIAT\r\n", 0, 0},  // not UTF-8
      {"\xEF\xBB\xBF" "A=\xA2", true, "A=\xA2", 0, 0},  // a mark before code page 850
      {"\xC3\xA9\r\nX\rY\n\xE6\x97\xA5", false, "", 0x65E5, 4},
      {"A=\xE2\x80\x99", false, "", 0x2019, 1},
  };
  for (const Case& c : cases) {
    std::string text = "old";
    char32_t missing = 0;
    int line = 0;
    EXPECT_EQ(TextFileToCp850(c.bytes, &text, &missing, &line), c.ok) << c.bytes;
    EXPECT_EQ(text, c.text) << c.bytes;
    if (!c.ok) EXPECT_EQ(std::make_pair(missing, line), std::make_pair(c.missing, c.line));
  }
}

}  // namespace
}  // namespace platform
