#include "dates/date_format.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "config/session.h"
#include "dates/packed.h"
#include "platform/test_dir.h"

namespace dates {
namespace {

class FormatDateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state = DatesState();
    config::session = config::SessionState();
    setenv("ZULROOT", root_.path().c_str(), 1);
  }
  void TearDown() override {
    unsetenv("ZULROOT");
    state = DatesState();
    config::session = config::SessionState();
  }
  // As a program started afresh: the date settings and the parsed INI files
  // forgotten.
  void Restart() {
    state = DatesState();
    config::session = config::SessionState();
  }
  std::string F(const char* digits, int16_t style, const char* parts, const char* language) {
    config::session.Language = language;
    return FormatDate(Pack(digits), style, parts);
  }
  platform::TestDir root_;
};

TEST_F(FormatDateTest, TableWithDefaultSettings) {
  struct Row {
    const char* date;
    int16_t style;
    const char* parts;
    const char* language;
    const char* want;
  } rows[] = {
      {"20250105", 0, "dma", "CAT", "5/1/2025  "},
      {"20250105", 0, "dma", "SPA", "5/1/2025  "},
      {"20251231", 0, "dma", "CAT", "31/12/2025"},
      {"20250105", 1, "dma", "CAT", "5/gen/2025 "},
      {"20250105", 1, "dma", "SPA", "5/ene/2025 "},
      {"20250105", 2, "dma", "CAT", "5 de gener del 2025"},
      {"20250401", 2, "dma", "CAT", "1 d'abril del 2025"},
      {"20251015", 2, "dma", "CAT", "15 d'octubre del 2025"},
      {"20250105", 2, "dma", "SPA", "5 de enero de 2025"},
      {"20250401", 2, "dma", "SPA", "1 de abril de 2025"},
      {"20250901", 2, "dma", "SPA", "1 de septiembre de 2025"},
      {"20250105", 2, "dma", "GLG", "5 de janeiro do 2025"},
      {"20250301", 2, "dma", "GLG", "1 de mar\x87o do 2025"},
      {"20250401", 2, "dma", "OCI", "1 d'abriu deth 2025"},
      {"20250105", 2, "dma", "OCI", "5 de g\x8Ar deth 2025"},
      {"20250801", 2, "ma", "CAT", "agost del 2025"},
      {"20250801", 3, "MA", "CAT", "agost del 2025"},
      {"20250105", -1, "dma", "SPA", "2025-01-05"},
      {"20250105", -1, "", "CAT", "2025-01-05"},
      {"00000000", 0, "dma", "CAT", "          "},
      {"00000000", 1, "dma", "CAT", "           "},
      {"00000000", 2, "dma", "CAT", ""},
      {"00000000", -1, "dma", "CAT", "0000-00-00"},
      {"20250105", 0, "ma", "CAT", "1/2025 "},  // 2 + 4 + 1
      {"20250105", 1, "d", "CAT", "5 "},
      {"20250105", 0, "da", "CAT", "5/2025 "},
      {"20250105", 2, "dma", "spa", "5 de gener del 2025"},  // small letters: Catalan
      {"20250105", 2, "dma", "   ", "5 de gener del 2025"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(F(r.date, r.style, r.parts, r.language), r.want)
        << r.date << " style " << r.style << " " << r.parts << " " << r.language;
  }
}

TEST_F(FormatDateTest, OrderAndSeparatorFromBrolIni) {
  root_.Write("Brol.ini", "[Usuari]\r\nDatCaracter=-.\r\nDatOrdre=MDA\r\n");
  EXPECT_EQ(F("20250105", 2, "dma", "CAT"), "gener del 5 del 2025");
  EXPECT_EQ(F("20250105", 0, "dma", "CAT"), "1-5-2025  ");
  // Kept for the life of the process: a changed file is not read again.
  root_.Write("Brol.ini", "[Usuari]\r\nDatCaracter=.\r\nDatOrdre=AMD\r\n");
  EXPECT_EQ(F("20250105", 0, "dma", "CAT"), "1-5-2025  ");
  Restart();
  EXPECT_EQ(F("20250105", 0, "dma", "CAT"), "2025.1.5  ");
}

TEST_F(FormatDateTest, BlankOrSmallLetterSettings) {
  root_.Write("Brol.ini", "[Usuari]\r\nDatCaracter= \r\nDatOrdre=dma\r\n");
  EXPECT_EQ(F("20250105", 0, "dma", "CAT"), "          ");
  EXPECT_EQ(state.DateSeparator, "/");
  Restart();
  root_.Write("Brol.ini", "[Usuari]\r\nDatOrdre=AM\r\n");
  EXPECT_EQ(F("20250105", 2, "dma", "CAT"), "2025 de gener");
  EXPECT_EQ(state.DateOrder, "AM ");
}

}  // namespace
}  // namespace dates
