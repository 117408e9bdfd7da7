// The text of a CSV file: encodings named, characters refused by name and
// place, the separator found from the header.
#include "tools/zuldata/csv_text.h"

#include <gtest/gtest.h>

#include <string>

namespace zuldata {
namespace {

std::string Refusal(const std::string& bytes) {
  std::string text, error;
  EXPECT_FALSE(CheckCsvText(bytes, &text, &error)) << bytes;
  return error;
}

bool Has(const std::string& message, const std::string& part) {
  return message.find(part) != std::string::npos;
}

TEST(CheckCsvText, Utf8WithOrWithoutItsMarkIsTheTextWithoutTheMark) {
  std::string text, error;
  ASSERT_TRUE(CheckCsvText("\xEF\xBB\xBF" "code,name\n1,MOL\xC3\x8D\n", &text, &error)) << error;
  EXPECT_EQ(text, "code,name\n1,MOL\xC3\x8D\n");
  ASSERT_TRUE(CheckCsvText("code\n1\n", &text, &error));
  EXPECT_EQ(text, "code\n1\n");
  // The euro sign is in the suite's code page (byte 0xD5), and so stays.
  ASSERT_TRUE(CheckCsvText("text\nREPARACI\xC3\x93 100 \xE2\x82\xAC\n", &text, &error)) << error;
}

TEST(CheckCsvText, Utf16AndUtf32AreNamed) {
  EXPECT_TRUE(Has(Refusal(std::string("\xFF\xFE" "c\0o\0", 6)), "is UTF-16, little-endian"));
  EXPECT_TRUE(Has(Refusal(std::string("\xFE\xFF\0c\0o", 6)), "is UTF-16, big-endian"));
  EXPECT_TRUE(Has(Refusal(std::string("\xFF\xFE\0\0c\0\0\0", 8)), "is UTF-32, little-endian"));
  // Without a mark, NUL bytes at one parity are UTF-16 all the same.
  EXPECT_TRUE(Has(Refusal(std::string("c\0o\0d\0e\0", 8)), "looks like UTF-16 (little-endian)"));
  EXPECT_TRUE(Has(Refusal(std::string("\0c\0o\0d\0e", 8)), "looks like UTF-16 (big-endian)"));
  EXPECT_TRUE(Has(Refusal(std::string("code\0\0,x", 8)), "NUL bytes, which no CSV text holds"));
  EXPECT_TRUE(Has(Refusal(std::string("\xFF\xFE" "c\0", 4)), "save it again as CSV in UTF-8"));
}

TEST(CheckCsvText, EightBitFilesAreNamedNotTheirFirstOddCharacter) {
  // "MOLÍ VELL" and "L’ERA" as a spreadsheet saves "CSV" on Windows: the
  // quotation mark 0x92 is Windows-1252's own.
  std::string w1252 = "code,name\n2,MOL\xCD VELL\n1,L\x92" "ERA\n";
  std::string m = Refusal(w1252);
  EXPECT_TRUE(Has(m, "is not UTF-8 (line 2, column 6 has the byte 0xCD)")) << m;
  EXPECT_TRUE(Has(m, "it looks like Windows-1252;")) << m;
  // Only bytes from 0xA0: Windows-1252 and ISO-8859-1 read them alike.
  m = Refusal("code,name\n2,MOL\xCD VELL\n3,PLA\xC7" "A\n");
  EXPECT_TRUE(Has(m, "it looks like Windows-1252 or ISO-8859-1;")) << m;
  // The suite's own code page: "PLAÇA DE L'ESGLÉSIA", "ÀNGEL".
  m = Refusal("code,name\n3,PLA\x80" "A DE L'ESGL\x90SIA\n4,\xB7NGEL\n");
  EXPECT_TRUE(Has(m, "it looks like code page 850")) << m;
  EXPECT_TRUE(Has(m, "line 2, column 6 has the byte 0x80")) << m;
  // A file cut inside a UTF-8 sequence is no UTF-8 either.
  EXPECT_TRUE(Has(Refusal("code,name\n1,MOL\xC3"), "is not UTF-8 (line 2, column 6"));
}

TEST(CheckCsvText, CharactersTheCodePageLacksAreRefusedByNameAndPlace) {
  std::string m = Refusal("code,name\n1,ERA D\xE2\x80\x99" "EN PUJOL\n");
  EXPECT_EQ(m,
            "line 2, column 8: RIGHT SINGLE QUOTATION MARK U+2019 (\xE2\x80\x99) is not in code "
            "page 850, the suite's character set; write ' instead");
  // Columns count characters: "Ç" is two bytes and one column.
  // and a byte-order mark is not counted.
  m = Refusal("\xEF\xBB\xBF" "code,name\n1,PLA\xC3\x87" "A \xE2\x80\x93 NORD\n");
  EXPECT_TRUE(Has(m, "line 2, column 9: EN DASH U+2013")) << m;
  m = Refusal("\xEF\xBB\xBF" "c\xE2\x80\xA6\n");
  EXPECT_TRUE(Has(m, "line 1, column 2: HORIZONTAL ELLIPSIS U+2026")) << m;
  EXPECT_TRUE(Has(Refusal("a\n1,COL\xC5\x80" "EGI\n"),
                  "LATIN SMALL LETTER L WITH MIDDLE DOT U+0140 (\xC5\x80)"));
  // A decomposed accent: "e" followed by the combining acute accent.
  m = Refusal("a\nCAFE\xCC\x81\n");
  EXPECT_TRUE(Has(m, "line 2, column 5: COMBINING ACUTE ACCENT U+0301 is not")) << m;
  EXPECT_TRUE(Has(m, "write the accented letter as one character")) << m;
  // A character without a name in the table still gets its code point.
  EXPECT_TRUE(Has(Refusal("a\n\xE4\xB8\xAD\n"), "line 2, column 1: the character U+4E2D ("));
  EXPECT_TRUE(Has(Refusal("a\nX\xE2\x80\x8B" "Y\n"), "ZERO WIDTH SPACE U+200B is not in code page "
                                                       "850, the suite's character set; leave it out"));
  EXPECT_STREQ(CharacterName(0x2026), "HORIZONTAL ELLIPSIS");
  EXPECT_STREQ(CharacterName('A'), "");
}

TEST(CsvSeparator, FromTheHeaderOrTheSepLine) {
  std::string t = "code;name;fee\n1;A,B;12,50\n";
  EXPECT_EQ(CsvSeparator(&t), ';');
  t = "code,name\n1;2\n";
  EXPECT_EQ(CsvSeparator(&t), ',');
  t = "code\n1\n";
  EXPECT_EQ(CsvSeparator(&t), ',');
  // Quoted names do not count, blank lines before the header are passed.
  t = "\r\n\"co;de\",\"na;me\",fee\n";
  EXPECT_EQ(CsvSeparator(&t), ',');
  t = "\"code\";\"name\"\n";
  EXPECT_EQ(CsvSeparator(&t), ';');
  // The "sep=" line names it and is emptied; its line end stays.
  t = "sep=;\r\ncode,name;x\n";
  EXPECT_EQ(CsvSeparator(&t), ';');
  EXPECT_EQ(t, "\r\ncode,name;x\n");
}

}  // namespace
}  // namespace zuldata
