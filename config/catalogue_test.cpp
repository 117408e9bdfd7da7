#include "config/catalogue.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "config/session.h"
#include "config/test_dir.h"
#include "platform/paths.h"

namespace config {
namespace {

class TranslateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session = SessionState();
    session.RootDir = root_.path();
    session.ModuleName = "TORBELAN";
  }
  void TearDown() override { session = SessionState(); }
  void Catalogue(const std::string& bytes) { root_.Write("LOCALE/TORBELAN.LNG", bytes); }
  std::string In(const char* language, const std::string& text) {
    session.Language = language;
    return Translate(text);
  }
  TestDir root_;
};

const char kEntries[] =
    "\"TOTAL FONS \",\"TOTAL FONDOS GLG\",\"TOTAL FONS OCI\",\"TOTAL FONDOS \"\r\n"
    "PERIODE,PER\xA1ODO G,PERIODE O,PER\xA1ODO\r\n"
    "\" DES DEL \",\" DENDE O \",\" DEMPUS DETH \",\" DESDE EL \"\r\n"
    "Buit,,,\r\n"
    "PERIODE,segon,segon,segon\r\n";

TEST_F(TranslateTest, PicksTheFieldOfTheLanguage) {
  Catalogue(kEntries);
  EXPECT_EQ(In("SPA", "TOTAL FONS "), "TOTAL FONDOS ");
  EXPECT_EQ(In("GLG", "TOTAL FONS "), "TOTAL FONDOS GLG");
  EXPECT_EQ(In("OCI", "TOTAL FONS "), "TOTAL FONS OCI");
  EXPECT_EQ(In("SPA", " DES DEL "), " DESDE EL ");
  EXPECT_EQ(In("SPA", "PERIODE"), "PER\xA1ODO");  // the first entry wins
  EXPECT_EQ(In("SPA", "Buit"), "");                // no fallback to the key
  EXPECT_EQ(In("SPA", "periode"), "periode");      // exact bytes only
  EXPECT_EQ(In("SPA", "DES DEL"), "DES DEL");
  EXPECT_EQ(In("SPA", "NO HI \x90S"), "NO HI \x90S");
  EXPECT_EQ(session.CatalogueName, "TORBELAN");
}

TEST_F(TranslateTest, CatalanAndUnknownLanguagesKeepTheText) {
  Catalogue(kEntries);
  EXPECT_EQ(In("CAT", "TOTAL FONS "), "TOTAL FONS ");
  EXPECT_EQ(In("   ", "TOTAL FONS "), "TOTAL FONS ");
  EXPECT_EQ(In("spa", "TOTAL FONS "), "TOTAL FONS ");
  EXPECT_EQ(In("ENG", "TOTAL FONS "), "TOTAL FONS ");
}

TEST_F(TranslateTest, UnquotedFieldsKeepTrailingSpacesAndDropTabs) {
  Catalogue("TOTAL FONS ,g,o,TOTAL FONDOS \r\n  A\tB,g,o,s\r\nC,g,o,   x y  \r\n");
  EXPECT_EQ(In("SPA", "TOTAL FONS "), "TOTAL FONDOS ");
  EXPECT_EQ(In("SPA", "AB"), "s");
  EXPECT_EQ(In("SPA", "C"), "x y  ");
}

TEST_F(TranslateTest, QuotedFieldsTakeCommasAndSkipToTheNextComma) {
  Catalogue("\"A, B\" \t ,\"g\",\"o\",\"s, t\"\r\n\r\n\"C\"\r\n,g,o,s2\r\n");
  EXPECT_EQ(In("SPA", "A, B"), "s, t");
  EXPECT_EQ(In("SPA", "C"), "s2");
}

TEST_F(TranslateTest, OnlyTheCountOfFieldsMatters) {
  Catalogue("A,ga,oa,sa,B\r\ngb\r\nob\r\nsb\r\n");
  EXPECT_EQ(In("SPA", "A"), "sa");
  EXPECT_EQ(In("SPA", "B"), "sb");
  EXPECT_EQ(In("OCI", "B"), "ob");
}

TEST_F(TranslateTest, LfOnlyLineEndsRunFieldsTogether) {
  Catalogue("A,ga,oa,sa\nB,gb,ob,sb\nC,gc,oc,sc\n");
  EXPECT_EQ(In("SPA", "A"), "saB");
  EXPECT_EQ(In("SPA", "B"), "B");
  EXPECT_EQ(In("SPA", "gb"), "gc");  // entries are now out of step
  EXPECT_EQ(In("SPA", "oc"), "oc");  // and the last one is incomplete
}

TEST_F(TranslateTest, AnIncompleteLastEntryIsAbsent) {
  Catalogue("A,ga,oa,sa\r\nB,gb,ob");
  EXPECT_EQ(In("SPA", "A"), "sa");
  EXPECT_EQ(In("SPA", "B"), "B");
  Catalogue("A,ga,oa,sa\r\nB,gb,ob,");
  EXPECT_EQ(In("SPA", "B"), "B");
  Catalogue("A,ga,oa,sa\r\nB");
  EXPECT_EQ(In("SPA", "B"), "B");
  Catalogue("A,ga,oa,\"unterminated");
  EXPECT_EQ(In("SPA", "A"), "unterminated");
  Catalogue("A,ga,oa,sa");  // no line end after the last field
  EXPECT_EQ(In("SPA", "A"), "sa");
}

TEST_F(TranslateTest, MissingCatalogueIsCreatedEmpty) {
  ASSERT_TRUE(platform::MakeDirs(root_.path() + "LOCALE"));
  EXPECT_EQ(In("SPA", "TOTAL FONS "), "TOTAL FONS ");
  struct stat st;
  ASSERT_EQ(stat((root_.path() + "LOCALE/TORBELAN.LNG").c_str(), &st), 0);
  EXPECT_EQ(st.st_size, 0);
}

TEST_F(TranslateTest, CatalanTouchesNoFile) {
  ASSERT_TRUE(platform::MakeDirs(root_.path() + "LOCALE"));
  EXPECT_EQ(In("CAT", "TOTAL FONS "), "TOTAL FONS ");
  EXPECT_FALSE(platform::PathExists(root_.path() + "LOCALE/TORBELAN.LNG"));
}

TEST_F(TranslateTest, MissingLocaleDirectoryKeepsTheTextAndCreatesNothing) {
  EXPECT_EQ(In("SPA", "TOTAL FONS "), "TOTAL FONS ");
  EXPECT_FALSE(platform::PathExists(root_.path() + "LOCALE"));
}

TEST_F(TranslateTest, CatalogueNameIsFixedOnTheFirstLookup) {
  root_.Write("LOCALE/ALTRE.LNG", "A,g,o,altre\r\n");
  Catalogue("A,g,o,torbelan\r\n");
  EXPECT_EQ(In("SPA", "A"), "torbelan");
  session.ModuleName = "ALTRE";
  EXPECT_EQ(In("SPA", "A"), "torbelan");
}

TEST_F(TranslateTest, FilesOfOtherCaseAreFound) {
  root_.Write("locale/torbelan.lng", "A,g,o,s\r\n");
  EXPECT_EQ(In("SPA", "A"), "s");
}

TEST_F(TranslateTest, ARewrittenCatalogueIsSeenByTheNextCall) {
  Catalogue("A,g,o,primer\r\n");
  EXPECT_EQ(In("SPA", "A"), "primer");
  Catalogue("A,g,o,segon\r\n");  // same size, within the same clock tick
  EXPECT_EQ(In("SPA", "A"), "segon");
  std::string path = root_.path() + "LOCALE/TORBELAN.LNG";
  struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), old, 0), 0);
  EXPECT_EQ(In("SPA", "A"), "segon");
  EXPECT_EQ(In("SPA", "A"), "segon");  // settled: from the parsed copy
  FILE* out = fopen(path.c_str(), "wb");  // in place: same inode and size
  ASSERT_NE(out, nullptr);
  fputs("A,g,o,tercr\r\n", out);
  fclose(out);
  EXPECT_EQ(In("SPA", "A"), "tercr");
  remove(path.c_str());
  rmdir((root_.path() + "LOCALE").c_str());
  EXPECT_EQ(In("SPA", "A"), "A");
}

}  // namespace
}  // namespace config
