#include "config/ini_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <time.h>

#include "config/session.h"
#include "config/test_dir.h"

namespace config {
namespace {

class IniReadTest : public ::testing::Test {
 protected:
  void SetUp() override { session = SessionState(); }
  // Writes the INI bytes and returns the file's path.
  std::string Ini(const std::string& bytes) { return dir_.Write("T.INI", bytes); }
  TestDir dir_;
};

TEST_F(IniReadTest, SectionAndKeyNamesIgnoreCaseAndSpaces) {
  std::string f = Ini("[menu]\r\n  Idioma  =SPA\r\n[ Pantalla ]\r\nCol0=15000700000700070007\r\n");
  EXPECT_EQ(IniRead(f, "MENU", "idioma"), "SPA");
  EXPECT_EQ(IniRead(f, " Menu ", " IDIOMA "), "SPA");
  EXPECT_EQ(IniRead(f, "Pantalla", "Col0"), "15000700000700070007");
  EXPECT_EQ(IniRead(f, "Pantalla", "Col1"), "");
  EXPECT_EQ(IniRead(f, "Sistema", "Col0"), "");
}

TEST_F(IniReadTest, SevenCodePage850LettersHaveCapitals) {
  // [Configuració] with c-cedilla (0x87) and o-acute (0xA2); key "Año" (0xA4).
  std::string f = Ini("[CONFIGURACI\xA2]\r\nA\xA4o=1\r\n\xE4=2\r\n[\x84\x94\x81\x82\xA4\x86\x87]\r\nk=3\r\n");
  EXPECT_EQ(IniRead(f, "configuraci\xA2", "A\xA5O"), "1");
  // o-acute has no capital here: 0xA2 and its capital 0xE0 stay different.
  EXPECT_EQ(IniRead(f, "CONFIGURACI\xE0", "A\xA4o"), "");
  EXPECT_EQ(IniRead(f, "\x8E\x99\x9A\x90\xA5\x8F\x80", "K"), "3");
}

TEST_F(IniReadTest, ValueIsUntrimmedAndCutAtTheFirstSemicolon) {
  std::string f = Ini(
      "[Menu]\r\nTitol=Rebuts ; comentari\r\nCol = 1500\r\nQ=\"A;B\"\r\n"
      "Eq=a=b\r\nTab=\tx\r\n");
  EXPECT_EQ(IniRead(f, "Menu", "Titol"), "Rebuts ");
  EXPECT_EQ(IniRead(f, "Menu", "Col"), " 1500");
  EXPECT_EQ(IniRead(f, "Menu", "Q"), "\"A");
  EXPECT_EQ(IniRead(f, "Menu", "Eq"), "a=b");
  EXPECT_EQ(IniRead(f, "Menu", "Tab"), "\tx");
}

TEST_F(IniReadTest, QuotationMarksAroundTheWholeValueGo) {
  std::string f = Ini("[S]\r\nA=\"\"\r\nB=\"\r\nC=\"x y\"\r\nD= \"x\"\r\nE=\"x\"y\r\n");
  EXPECT_EQ(IniRead(f, "S", "A"), "");
  EXPECT_EQ(IniRead(f, "S", "B"), "\"");
  EXPECT_EQ(IniRead(f, "S", "C"), "x y");
  EXPECT_EQ(IniRead(f, "S", "D"), " \"x\"");
  EXPECT_EQ(IniRead(f, "S", "E"), "\"x\"y");
}

TEST_F(IniReadTest, OnlyTheFirstSectionOfANameAndTheFirstKeyCount) {
  std::string f = Ini(
      "Idioma=CAT\r\n[Sistema]\r\nData=20250105\r\nData=20260101\r\n"
      "[Altres]\r\nX=1\r\n[Sistema]\r\nSortida=PDF\r\n");
  EXPECT_EQ(IniRead(f, "Sistema", "Data"), "20250105");
  EXPECT_EQ(IniRead(f, "Sistema", "Sortida"), "");
  EXPECT_EQ(IniRead(f, "", "Idioma"), "");
}

TEST_F(IniReadTest, HeaderWithoutBracketAndLinesWithoutEquals) {
  std::string f = Ini("[Pantalla ; comentari\r\nsoroll\r\n   ;nota\r\n\r\nSeleccio=2\r\n[Buida]\r\n");
  EXPECT_EQ(IniRead(f, "Pantalla", "Seleccio"), "2");
  EXPECT_EQ(IniRead(f, "Buida", "Seleccio"), "");
}

TEST_F(IniReadTest, LineEnds) {
  // CR alone and CR LF end lines; the last line needs no line end.
  std::string f = Ini("[S]\rA=1\r\nB=2\r\n\r\nC=3");
  EXPECT_EQ(IniRead(f, "S", "A"), "1");
  EXPECT_EQ(IniRead(f, "S", "B"), "2");
  EXPECT_EQ(IniRead(f, "S", "C"), "3");
  // LF alone is an ordinary character: the whole file is one line.
  std::string lf = dir_.Write("LF.INI", "[S]\nA=1\nB=2\n");
  EXPECT_EQ(IniRead(lf, "S", "A"), "");
  EXPECT_EQ(IniRead(lf, "S", "B"), "");
  // An LF after CR LF belongs to the next line, and to its key name.
  std::string extra = dir_.Write("X.INI", "[S]\r\n\nA=1\r\n");
  EXPECT_EQ(IniRead(extra, "S", "A"), "");
  EXPECT_EQ(IniRead(extra, "S", "\nA"), "1");
}

TEST_F(IniReadTest, EndOfFileMarkEndsTheData) {
  std::string f = Ini(std::string("[S]\r\nA=1\x1A\r\nB=2\r\n"));
  EXPECT_EQ(IniRead(f, "S", "A"), "1");
  EXPECT_EQ(IniRead(f, "S", "B"), "");
}

TEST_F(IniReadTest, MissingFilesGiveEmptyText) {
  EXPECT_EQ(IniRead(dir_.path() + "NOWHERE/X.INI", "S", "A"), "");
  EXPECT_EQ(IniRead(dir_.path() + "NONE.INI", "S", "A"), "");
  EXPECT_EQ(IniRead("", "S", "A"), "");
}

TEST_F(IniReadTest, SuiteNamesFindFilesOfOtherCase) {
  dir_.Write("term01/brolterm.ini", "[Sistema]\r\nIdioma=SPA\r\n");
  EXPECT_EQ(IniRead(dir_.path() + "TERM01\\BrolTerm.ini", "Sistema", "Idioma"), "SPA");
}

TEST_F(IniReadTest, LongLinesAndNames) {
  std::string longValue(100000, 'v');
  std::string longKey(5000, 'k');
  std::string f = Ini("[S]\r\n" + longKey + "=" + longValue + "\r\n");
  EXPECT_EQ(IniRead(f, "S", longKey), longValue);
}

// A file rewritten with different content of the same size is seen by the
// next call: at once after it was written (within the same clock tick), and
// when an old, settled file is rewritten in place (same inode and size).
TEST_F(IniReadTest, ChangesOnDiskAreSeenByTheNextCall) {
  std::string f = Ini("[S]\r\nA=1\r\n");
  EXPECT_EQ(IniRead(f, "S", "A"), "1");
  Ini("[S]\r\nA=2\r\n");
  EXPECT_EQ(IniRead(f, "S", "A"), "2");
  struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, f.c_str(), old, 0), 0);
  EXPECT_EQ(IniRead(f, "S", "A"), "2");
  EXPECT_EQ(IniRead(f, "S", "A"), "2");  // served from the cache
  FILE* out = fopen(f.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  fputs("[S]\r\nA=3\r\n", out);
  fclose(out);
  EXPECT_EQ(IniRead(f, "S", "A"), "3");
  remove(f.c_str());
  EXPECT_EQ(IniRead(f, "S", "A"), "");
}

TEST_F(IniReadTest, ManyFilesInTurn) {
  std::vector<std::string> files;
  for (int i = 0; i < 20; ++i) {
    files.push_back(dir_.Write("F" + std::to_string(i) + ".INI",
                               "[S]\r\nN=" + std::to_string(i) + "\r\n"));
  }
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 20; ++i) EXPECT_EQ(IniRead(files[i], "S", "N"), std::to_string(i));
  }
  EXPECT_LE(session.IniCache.size(), kIniCacheFiles);
}

}  // namespace
}  // namespace config
