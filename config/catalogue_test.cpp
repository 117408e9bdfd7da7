#include "config/catalogue.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "config/session.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/env.h"
#include "platform/test_dir.h"
#include "platform/wait_hooks.h"

namespace config {
namespace {

class TranslateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session = SessionState();
    session.RootDir = root_.path();
    session.ModuleName = "TORBELAN";
  }
  void TearDown() override {
    session = SessionState();
    platform::clock = platform::ClockState();
  }
  // Writes the catalogue as changed between two report passes: the program
  // waited for a key in between (catalogue.h).
  void Catalogue(const std::string& bytes) {
    root_.Write("LOCALE/TORBELAN.LNG", bytes);
    platform::RunBeforeWaitHooks();
  }
  std::string In(const char* language, const std::string& text) {
    session.Language = language;
    return Translate(text);
  }
  std::string Lng() const { return root_.path() + "LOCALE/TORBELAN.LNG"; }
  platform::TestDir root_;
};

TEST_F(TranslateTest, PicksTheFieldOfTheLanguage) {
  Catalogue(
      "\"TOTAL FONS \",\"TOTAL FONDOS GLG\",\"TOTAL FONS OCI\",\"TOTAL FONDOS \"\r\n"
      "PER\xD6ODE ,G,O,PER\xD6ODO \r\n\" DES DEL \",g,o,\" DESDE EL \"\r\n"
      "Buit,,,\r\nPER\xD6ODE ,2,2,2\r\n");
  EXPECT_EQ(In("SPA", "TOTAL FONS "), "TOTAL FONDOS ");
  EXPECT_EQ(In("GLG", "TOTAL FONS "), "TOTAL FONDOS GLG");
  EXPECT_EQ(In("OCI", "TOTAL FONS "), "TOTAL FONS OCI");
  EXPECT_EQ(In("SPA", "PER\xD6ODE "), "PER\xD6ODO ");  // unquoted: trailing space kept; first wins
  EXPECT_EQ(In("SPA", " DES DEL "), " DESDE EL ");
  EXPECT_EQ(In("SPA", "Buit"), "");                  // no fallback to the key
  EXPECT_EQ(In("SPA", "total fons "), "total fons ");  // exact bytes only
  for (const char* other : {"CAT", "   ", "spa", "ENG"}) {
    EXPECT_EQ(In(other, "TOTAL FONS "), "TOTAL FONS ") << other;
  }
}

TEST_F(TranslateTest, FieldSyntax) {
  Catalogue(
      "\"A, B\" \t ,\"g\",\"o\",\"s, t\"\r\n\r\n\"C\"\r\n,g,o,s2\r\n"  // quoted
      "  D\tE,g,o,   x y  \r\n"                                      // tabs dropped
      "F,gf,of,sf,G\r\ngg\r\nog\r\nsg\r\n");                          // fields only count
  EXPECT_EQ(In("SPA", "A, B"), "s, t");
  EXPECT_EQ(In("SPA", "C"), "s2");
  EXPECT_EQ(In("SPA", "DE"), "x y  ");
  EXPECT_EQ(In("SPA", "G"), "sg");
  EXPECT_EQ(In("OCI", "G"), "og");
}

TEST_F(TranslateTest, CatalogueSavedAsUtf8) {
  Catalogue("\xEF\xBB\xBF\"PER\xC3\x8DODE \",G,O,\"PER\xC3\x8DODO \"\n");
  EXPECT_EQ(In("SPA", "PER\xD6ODE "), "PER\xD6ODO ");
  EXPECT_EQ(session.Refusal.name, "");
  Catalogue("PER\xC3\x8DODE,G,O,PER\xC3\x8DODO\nA,B,C,\xE2\x80\x9C" "D\xE2\x80\x9D\n");
  EXPECT_EQ(In("SPA", "PER\xD6ODE"), "PER\xD6ODE");  // refused: read as empty
  EXPECT_EQ(session.Refusal.name, root_.path() + "LOCALE\\TORBELAN.LNG");
  EXPECT_EQ(session.Refusal.line, 2);
}

TEST_F(TranslateTest, LfOnlyLineEndsKeepTheEntriesInStep) {
  Catalogue("A,ga,oa,sa\nB,gb,ob,sb \n\" C\",gc,oc,sc\nD,gd,od,sd");
  EXPECT_EQ(In("SPA", "A"), "sa");
  EXPECT_EQ(In("SPA", "B"), "sb ");  // trailing spaces kept up to the LF
  EXPECT_EQ(In("GLG", " C"), "gc");
  EXPECT_EQ(In("OCI", "D"), "od");
  EXPECT_EQ(In("SPA", "gb"), "gb");  // no entry is out of step
}

TEST_F(TranslateTest, AnIncompleteLastEntryIsAbsent) {
  for (const char* tail : {"B,gb,ob", "B,gb,ob,", "B"}) {
    Catalogue(std::string("A,ga,oa,sa\r\n") + tail);
    EXPECT_EQ(In("SPA", "A"), "sa") << tail;
    EXPECT_EQ(In("SPA", "B"), "B") << tail;
  }
  Catalogue("A,ga,oa,\"unterminated");
  EXPECT_EQ(In("SPA", "A"), "unterminated");
}

TEST_F(TranslateTest, MissingCatalogueIsCreatedEmptyUnlessCatalanOrNoLocale) {
  EXPECT_EQ(In("SPA", "X"), "X");
  EXPECT_FALSE(platform::PathExists(root_.path() + "LOCALE"));
  ASSERT_TRUE(platform::MakeDirs(root_.path() + "LOCALE"));
  EXPECT_EQ(In("CAT", "X"), "X");
  EXPECT_FALSE(platform::PathExists(Lng()));
  EXPECT_EQ(In("SPA", "X"), "X");
  struct stat st;
  ASSERT_EQ(stat(Lng().c_str(), &st), 0);
  EXPECT_EQ(st.st_size, 0);
}

TEST_F(TranslateTest, NameFixedOnFirstLookupAndFoundInAnyCase) {
  root_.Write("locale/torbelan.lng", "A,g,o,torbelan\r\n");
  root_.Write("locale/ALTRE.LNG", "A,g,o,altre\r\n");
  EXPECT_EQ(In("SPA", "A"), "torbelan");
  session.ModuleName = "ALTRE";
  EXPECT_EQ(In("SPA", "A"), "torbelan");
}

TEST_F(TranslateTest, ARewrittenCatalogueIsSeenByTheNextCall) {
  Catalogue("A,g,o,primer\r\n");
  EXPECT_EQ(In("SPA", "A"), "primer");
  Catalogue("A,g,o,segon\r\n");  // same size, within the same clock tick
  EXPECT_EQ(In("SPA", "A"), "segon");
  struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, Lng().c_str(), old, 0), 0);
  EXPECT_EQ(In("SPA", "A"), "segon");
  EXPECT_EQ(In("SPA", "A"), "segon");  // settled: from the parsed copy
  FILE* out = fopen(Lng().c_str(), "wb");  // in place: same inode and size
  ASSERT_NE(out, nullptr);
  fputs("A,g,o,tercr\r\n", out);
  fclose(out);
  platform::RunBeforeWaitHooks();
  EXPECT_EQ(In("SPA", "A"), "tercr");
}

TEST_F(TranslateTest, AResolvedCatalogueThatGoesAwayIsResolvedAgain) {
  root_.Write("locale/torbelan.lng", "A,g,o,petita\r\n");
  const std::string lower = root_.path() + "locale/torbelan.lng";
  struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, lower.c_str(), old, 0), 0);
  EXPECT_EQ(In("SPA", "A"), "petita");
  EXPECT_EQ(In("SPA", "A"), "petita");  // settled: from the parsed copy
  ASSERT_EQ(unlink(lower.c_str()), 0);
  root_.Write("locale/Torbelan.LNG", "A,g,o,nova\r\n");
  platform::RunBeforeWaitHooks();
  EXPECT_EQ(In("SPA", "A"), "nova");
}

// Between waits the stamp is looked at once per kRecheckNs: a change within
// that time is not seen yet, the first lookup after it sees it, and so does
// the first lookup after a wait for a key or a child program.
TEST_F(TranslateTest, TheStampIsLookedAtOncePerIntervalAndAfterEveryWait) {
  platform::clock.coarseFixed = true;
  platform::clock.coarseNs = 1000000000;
  Catalogue("A,g,o,primer\r\n");
  EXPECT_EQ(In("SPA", "A"), "primer");
  root_.Write("LOCALE/TORBELAN.LNG", "A,g,o,segon\r\n");
  platform::clock.coarseNs += kRecheckNs - 1;
  EXPECT_EQ(In("SPA", "A"), "primer");  // no look yet
  platform::clock.coarseNs += 1;
  EXPECT_EQ(In("SPA", "A"), "segon");
  root_.Write("LOCALE/TORBELAN.LNG", "A,g,o,tercer\r\n");
  EXPECT_EQ(In("SPA", "A"), "segon");
  platform::RunBeforeWaitHooks();
  EXPECT_EQ(In("SPA", "A"), "tercer");
  platform::clock = platform::ClockState();
}

}  // namespace
}  // namespace config
