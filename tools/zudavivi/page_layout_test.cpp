#include "tools/zudavivi/page_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/session.h"
#include "format/text_utils.h"
#include "tools/zudavivi/spool_reader.h"

namespace zudavivi {
namespace {

// Lays out the records (joined with CR LF after a DEVICE record) and returns
// the pages, each line without trailing spaces.
std::vector<std::vector<std::string>> Lay(const std::vector<std::string>& records,
                                          int* result = nullptr, std::string* error = nullptr) {
  std::string spool = "DEVICETXT\r\n";
  for (const std::string& r : records) spool += r + "\r\n";
  std::vector<std::vector<std::string>> pages;
  long count = 0;
  std::string why;
  int got = LayoutSpool(
      spool,
      [&pages](const Page& p) {
        std::vector<std::string> lines;
        for (const std::string& l : p.lines) lines.push_back(format::TrimTrailingBlanks(l));
        pages.push_back(lines);
        return true;
      },
      &count, &why);
  if (result) *result = got;
  if (error) *error = why;
  if (got == 0) {
    EXPECT_EQ(count, static_cast<long>(pages.size()));
  }
  return pages;
}

using Lines = std::vector<std::string>;

TEST(PageLayoutTest, ColumnsAdvancesAndFollowOnText) {
  // Later text overwrites earlier cells; control characters show as spaces.
  auto pages = Lay({"PAGE 66 ", " 3 ,abc, 0 ", " 0 ,def, 1 ", " 0 ,x, 2 ", "-5 ,neg,-1 ",
                    " 2 ,Z, 1 ", " 1 ,----------, 0 ", " 4 ,AB, 0 ", " 0 ,a\tb\x7f" "c, 1 "});
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages[0], (Lines{"  abcdef", "x", "", "nZg", "---ABa b c"}));
}

TEST(PageLayoutTest, RightJustifiedAmountsEndInTheirColumn) {
  // "D" leaves a text where its column puts it: ten-character amounts at
  // column 64 all end at column 73, trailing sign positions included.
  auto pages = Lay({"JUSD", " 64 ,  1.234'56, 1 ", "JUSD", " 64 ,    -12'00, 1 ", "JUSD",
                    " 64 ,  123'45- , 1 ", "JUSD", " 64 ,  123'45  , 1 "});
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages[0][0], std::string(63, ' ') + "  1.234'56");
  EXPECT_EQ(pages[0][1].size(), 73u);
  EXPECT_EQ(pages[0][2].substr(63), "  123'45-");
  EXPECT_EQ(pages[0][3].substr(63), "  123'45");
}

TEST(PageLayoutTest, FillCodeHoldsForTheNextTextOnly) {
  auto pages = Lay({"JUSN 12 \\.\\", " 3 ,AB , 0 ", " 0 ,|, 1 ",  // filled to column 12
                    " 3 ,AB , 1 ",                                // not filled
                    "JUSN 6 \\-=\\", " 1 ,x, 1 ",                  // pattern by column
                    "JUSN 6 ", " 1 ,y, 0 ", " 0 ,|, 1 ",           // no fill part: spaces
                    "JUSN 3 \\.\\", " 1 ,long text, 1 "});         // already past column 3
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages[0], (Lines{"  AB .......|", "  AB", "x=-=-=", "y     |", "long text"}));
}

TEST(PageLayoutTest, PageRecordsBreakPagesExceptTheFirst) {
  auto pages = Lay({"PAGE 66 ", "*@e", " 1 ,one, 1 ", "PAGE 66 ", "PAGE 66 ", " 1 ,three, 1 ",
                    "PAGE 66 "});
  ASSERT_EQ(pages.size(), 3u);  // a blank page between, no trailing blank page
  EXPECT_EQ(pages[0], (Lines{"one"}));
  EXPECT_TRUE(pages[1].empty());
  EXPECT_EQ(pages[2], (Lines{"three"}));
}

TEST(PageLayoutTest, TextPastThePageLengthGoesOnANewPage) {
  auto pages = Lay({"PAGE 3 ", " 1 ,a, 2 ", " 1 ,b, 1 ", " 1 ,c, 0 ", " 1 ,d, 40 ", " 1 ,e, 1 "});
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_EQ(pages[0], (Lines{"a", "", "b"}));
  EXPECT_EQ(pages[1], (Lines{"d"}));  // "c" was overwritten on the same line
  EXPECT_EQ(pages[2], (Lines{"e"}));
}

TEST(PageLayoutTest, ZeroPageLengthNeitherBreaksNorLimits) {
  // What the writer produces when the caller never set a length.
  std::vector<std::string> records;
  for (int i = 0; i < 70; ++i) {
    records.push_back("PAGE 0 ");
    records.push_back(" 1 ,l" + std::to_string(i) + ", 1 ");
  }
  auto pages = Lay(records);
  ASSERT_EQ(pages.size(), 2u);  // 66 lines, then 4: the default length
  EXPECT_EQ(pages[0].size(), 66u);
  EXPECT_EQ(pages[1], (Lines{"l66", "l67", "l68", "l69"}));
}

TEST(PageLayoutTest, BadSpoolsAreRefused) {
  config::session = config::SessionState();  // the messages in Catalan
  int result = 0;
  std::string error;
  Lay({"PAGE 66 ", " 1 ,a, 1 ", "HELLO"}, &result, &error);
  EXPECT_EQ(result, -1);
  EXPECT_EQ(error, "l\xC3\xADnia 4: registre desconegut: \"HELLO\"");
  Lay({"PAGE 66 ", "DEVICEPDF"}, &result, &error);
  EXPECT_EQ(result, -1);
  EXPECT_EQ(error, "l\xC3\xADnia 3: un segon registre DEVICE");
  Lay({"PAGE 66 ", "*@e"}, &result, &error);
  EXPECT_EQ(result, -1);
  EXPECT_EQ(error, "no t\xC3\xA9 cap text per imprimir");

  long pages = 0;
  auto keep = [](const Page&) { return true; };
  EXPECT_EQ(LayoutSpool("", keep, &pages, &error), -1);
  EXPECT_EQ(error, "\xC3\xA9s buit");
  EXPECT_EQ(LayoutSpool("PAGE 66 \r\n 1 ,a, 1 \r\n", keep, &pages, &error), -1);
  EXPECT_EQ(error,
            "no comen\xC3\xA7" "a amb el registre DEVICE");

  // In the session's language, the record and its line as they are.
  config::session.Language = "SPA";
  Lay({"PAGE 66 ", " 1 ,a, 1 ", "HELLO"}, &result, &error);
  EXPECT_EQ(error, "l\xC3\xADnea 4: registro desconocido: \"HELLO\"");
  EXPECT_EQ(LayoutSpool("", keep, &pages, &error), -1);
  EXPECT_EQ(error, "est\xC3\xA1 vac\xC3\xADo");
  config::session = config::SessionState();
}

TEST(PageLayoutTest, APageHoldsAtMostItsColumnsAndLines) {
  config::session = config::SessionState();  // the messages in Catalan
  // Up to the last column, and blanks past it, fit; a fill column past it
  // fills to the end of the line.
  auto pages = Lay({"PAGE 255 ", " 255 ,x, 1 ", " 250 ,abcdef     , 1 ", " 300 ,    , 1 ",
                    "JUSN 32767 \\.\\", " 1 ,a, 1 ", " 253 ,yz, 0 ", " 0 ,w  , 1 "});
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages[0][0], std::string(254, ' ') + "x");
  EXPECT_EQ(pages[0][1], std::string(249, ' ') + "abcdef");
  EXPECT_EQ(pages[0][2], "");
  EXPECT_EQ(pages[0][3], "a" + std::string(254, '.'));
  EXPECT_EQ(pages[0][4], std::string(252, ' ') + "yzw");

  int result = 0;
  std::string error;
  for (const char* record : {" 256 ,x, 1 ", " 250 ,abcdefg, 1 ", " 32767 ,x, 0 "}) {
    Lay({"PAGE 66 ", " 1 ,ok, 1 ", record}, &result, &error);
    EXPECT_EQ(result, -1) << record;
    EXPECT_EQ(error,
              "l\xC3\xADnia 4: el text passa de la columna 255, l'\xC3\xBAltima que cap en una "
              "p\xC3\xA0gina")
        << record;
  }
  // Text after text that already reaches the last column.
  Lay({"PAGE 66 ", " 250 ,abcdef, 0 ", " 0 ,g, 1 "}, &result, &error);
  EXPECT_EQ(result, -1);
  Lay({"PAGE 256 ", " 1 ,a, 1 "}, &result, &error);
  EXPECT_EQ(result, -1);
  EXPECT_EQ(error,
            "l\xC3\xADnia 2: una p\xC3\xA0gina de 256 l\xC3\xADnies; una p\xC3\xA0gina en "
            "t\xC3\xA9 com a m\xC3\xA0xim 255");
}

TEST(PageLayoutTest, AHugePageOfASmallSpoolIsRefusedBeforeItIsBuilt) {
  config::session = config::SessionState();  // the messages in Catalan
  // A few hundred bytes that would name a page of 32,767 lines with text at
  // column 32,767 on each: refused at once, no page is handed on.
  std::vector<std::string> records = {"PAGE 32767 "};
  for (int i = 0; i < 20; ++i) records.push_back(" 32767 ,x, 1 ");
  int result = 0;
  std::string error;
  auto pages = Lay(records, &result, &error);
  EXPECT_EQ(result, -1);
  EXPECT_TRUE(pages.empty());
  EXPECT_EQ(error,
            "l\xC3\xADnia 2: una p\xC3\xA0gina de 32767 l\xC3\xADnies; una p\xC3\xA0gina en "
            "t\xC3\xA9 com a m\xC3\xA0xim 255");
}

TEST(SpoolReaderTest, MalformedRecordsAreNamedWithTheirLine) {
  config::session = config::SessionState();  // the messages in Catalan
  struct Case {
    const char* record;
    const char* error;
  };
  const Case cases[] = {
      {"PAGE",
       "l\xC3\xADnia 1: n\xC3\xBAmero mal format en un registre de longitud de p\xC3\xA0gina: "
       "\"PAGE\""},
      {"PAGE 99999 ",
       "l\xC3\xADnia 1: n\xC3\xBAmero mal format en un registre de longitud de p\xC3\xA0gina: "
       "\"PAGE 99999 \""},
      {"JUSQ", "l\xC3\xADnia 1: codi de justificaci\xC3\xB3 desconegut: \"JUSQ\""},
      {"JUSN x \\.\\",
       "l\xC3\xADnia 1: n\xC3\xBAmero mal format en un registre de justificaci\xC3\xB3: \"N x "
       "\\.\\\""},
      {"JUSN 5 \\.", "l\xC3\xADnia 1: farciment sense la \"\\\" que el tanca: \"N 5 \\.\""},
      {"", "l\xC3\xADnia 1: registre desconegut: \"\""},
      {" x ,a, 1 ", "l\xC3\xADnia 1: columna mal formada en un registre de text: \" x ,a, 1 \""},
      {" 1 ,a, one ",
       "l\xC3\xADnia 1: avan\xC3\xA7 mal format en un registre de text: \" 1 ,a, one \""},
      {"\x90S,a,b", "l\xC3\xADnia 1: registre desconegut: \"\xC3\x89S,a,b\""},  // shown in UTF-8
  };
  for (const Case& c : cases) {
    std::string spool = std::string(c.record) + "\r\n";
    SpoolReader reader;
    StartReading(spool, &reader);
    SpoolRecord r;
    std::string error;
    EXPECT_EQ(NextRecord(&reader, &r, &error), -1) << c.record;
    EXPECT_EQ(error, c.error);
  }
}

}  // namespace
}  // namespace zudavivi
