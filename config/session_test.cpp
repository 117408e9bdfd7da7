#include "config/session.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include "config/test_dir.h"
#include "dates/packed.h"
#include "format/format_state.h"

namespace config {
namespace {

const char* const kVariables[] = {"ZULROOT", "ZULEXE", "ZULTMP", "TERM",
                                  "HTTP_USER_AGENT", "HTTP_ACCEPT", "WINDIR",
                                  "SYSTEMROOT"};

// Runs SessionInit with only the environment variables a test sets, inside
// a temporary directory as the current directory.
class SessionInitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : kVariables) {
      const char* v = getenv(name);
      saved_.push_back(v ? std::make_pair(true, std::string(v)) : std::make_pair(false, std::string()));
      unsetenv(name);
    }
    char buf[4096];
    oldCwd_ = getcwd(buf, sizeof buf) ? buf : "/";
    ASSERT_EQ(chdir(dir_.path().c_str()), 0);
    session = SessionState();
    format::state = format::FormatState();
  }
  void TearDown() override {
    for (size_t i = 0; i < saved_.size(); ++i) {
      if (saved_[i].first) setenv(kVariables[i], saved_[i].second.c_str(), 1);
      else unsetenv(kVariables[i]);
    }
    if (chdir(oldCwd_.c_str()) != 0) ADD_FAILURE() << "cannot go back to " << oldCwd_;
    session = SessionState();
    format::state = format::FormatState();
  }
  // A terminal directory "TERM01/" holding its Sessio.ini and BrolTerm.ini,
  // named by ZULTMP.
  void Terminal(const std::string& sessio, const std::string& brolTerm) {
    if (!sessio.empty()) dir_.Write("TERM01/Sessio.ini", sessio);
    if (!brolTerm.empty()) dir_.Write("TERM01/BrolTerm.ini", brolTerm);
    setenv("ZULTMP", (dir_.path() + "TERM01").c_str(), 1);
  }
  void Colours(const std::string& pantalla) {
    Terminal("", "[Pantalla]\r\n" + pantalla);
    SessionInit();
  }
  TestDir dir_;
  std::string oldCwd_;
  std::vector<std::pair<bool, std::string>> saved_;
};

TEST_F(SessionInitTest, NothingSetGivesTheDefaults) {
  SessionInit();
  EXPECT_EQ(session.RootDir, "");
  EXPECT_EQ(session.ExeDir, "");
  EXPECT_EQ(session.TempDir, "");
  EXPECT_EQ(session.TermDir, "");
  EXPECT_EQ(session.SessionTitle, "  ");
  EXPECT_EQ(session.MenuName, "");
  EXPECT_EQ(session.OperatorType, 0);
  EXPECT_EQ(session.WorkDate, "");
  EXPECT_EQ(session.OutputDevice, "");
  EXPECT_EQ(session.Language, "   ");
  EXPECT_EQ(session.RunMode, "DOS");
  const int16_t want[5][2] = {{15, 0}, {7, 0}, {0, 7}, {0, 7}, {0, 7}};
  for (int r = 0; r < 5; ++r) {
    EXPECT_EQ(session.ColourTable[r][0], want[r][0]) << r;
    EXPECT_EQ(session.ColourTable[r][1], want[r][1]) << r;
  }
  EXPECT_EQ(format::state.MainCurrency, "E");
  EXPECT_EQ(format::state.DisplayCurrency, "E");
}

TEST_F(SessionInitTest, TempDirGetsASeparatorUnlessItEndsInOne) {
  setenv("ZULTMP", "C:\\TMP", 1);
  SessionInit();
  EXPECT_EQ(session.TempDir, "C:\\TMP\\");
  setenv("ZULTMP", "C:", 1);
  SessionInit();
  EXPECT_EQ(session.TempDir, "C:");
  setenv("ZULTMP", "C:\\TMP\\", 1);
  SessionInit();
  EXPECT_EQ(session.TempDir, "C:\\TMP\\");
}

TEST_F(SessionInitTest, RootAndProgramDirectoriesAreTakenAsTheyAre) {
  setenv("ZULROOT", "/srv/brol", 1);
  setenv("ZULEXE", "/srv/brol/BIN/", 1);
  SessionInit();
  EXPECT_EQ(session.RootDir, "/srv/brol");
  EXPECT_EQ(session.ExeDir, "/srv/brol/BIN/");
}

TEST_F(SessionInitTest, SessionFileMenuValues) {
  Terminal("[Menu]\r\nTitol=REBUTS\r\nNomMenu=TORBELAN\r\nMenu=PRINCIP\r\nChnMenu=A,B\r\n"
           "Operador=Jordi Pe\xA4" "a\r\nZulTipOper=  3\r\n",
           "");
  SessionInit();
  EXPECT_EQ(session.SessionTitle, " REBUTS ");
  EXPECT_EQ(session.MenuName, "TORBELAN");
  EXPECT_EQ(session.ParentMenu, "PRINCIP");
  EXPECT_EQ(session.MenuChain, "A,B");
  EXPECT_EQ(session.OperatorName, "Jordi Pe\xA4" "a");
  EXPECT_EQ(session.OperatorType, 3);
  EXPECT_EQ(session.TempDir, dir_.path() + "TERM01\\");
  // With a temporary directory and no terminal directory, TermDir stays empty.
  EXPECT_EQ(session.TermDir, "");
}

TEST_F(SessionInitTest, OperatorTypeReadsTheLeadingNumber) {
  for (auto [text, want] : std::vector<std::pair<std::string, int16_t>>{
           {"7x", 7}, {"abc", 0}, {"", 0}, {"-2", -2}, {"1 2", 1}, {"99999", 32767}}) {
    Terminal("[Menu]\r\nZulTipOper=" + text + "\r\n", "");
    SessionInit();
    EXPECT_EQ(session.OperatorType, want) << text;
  }
}

TEST_F(SessionInitTest, WithoutZulTmpTheSessionFileIsInTheCurrentDirectory) {
  dir_.Write("Sessio.ini", "[Terminal]\r\nDir=T1\r\n");
  dir_.Write("T1/BrolTerm.ini", "[Sistema]\r\nSortida=PDF\r\nData=20250105\r\n");
  SessionInit();
  EXPECT_EQ(session.TermDir, "T1\\");
  EXPECT_EQ(session.TempDir, "T1\\");
  EXPECT_EQ(session.OutputDevice, "PDF");
  EXPECT_EQ(session.WorkDate, dates::Pack("20250105"));
}

TEST_F(SessionInitTest, EmptyDirFallsBackToTerm) {
  setenv("TERM", "X:", 1);
  SessionInit();
  EXPECT_EQ(session.TermDir, "X:");
  EXPECT_EQ(session.TempDir, "X:");
  setenv("TERM", "xterm", 1);
  SessionInit();
  EXPECT_EQ(session.TermDir, "xterm\\");
}

TEST_F(SessionInitTest, ColourSchemeChosenBySeleccio) {
  Colours("Seleccio=2\r\nCol0=01020304050607080910\r\nCol2=14011302120311041005\r\n");
  EXPECT_EQ(session.ColourTable[0][0], 14);
  EXPECT_EQ(session.ColourTable[0][1], 1);
  EXPECT_EQ(session.ColourTable[4][0], 10);
  EXPECT_EQ(session.ColourTable[4][1], 5);
  Colours("Col0=01020304050607080910\r\n");
  EXPECT_EQ(session.ColourTable[0][0], 1);
  EXPECT_EQ(session.ColourTable[4][1], 10);
  // A missing Col2 gives the default scheme, not Col0.
  Colours("Seleccio=2\r\nCol0=01020304050607080910\r\n");
  EXPECT_EQ(session.ColourTable[0][0], 15);
  EXPECT_EQ(session.ColourTable[2][1], 7);
  Colours("Seleccio=-1\r\nCol-1=00010002000300040005\r\n");
  EXPECT_EQ(session.ColourTable[4][1], 5);
  Colours("Seleccio= 1\r\nCol1=09010000000000000000\r\n");
  EXPECT_EQ(session.ColourTable[0][0], 9);
}

TEST_F(SessionInitTest, ShortOrOddColourStrings) {
  Colours("Col0=140113021203\r\n");
  EXPECT_EQ(session.ColourTable[2][0], 12);
  EXPECT_EQ(session.ColourTable[2][1], 3);
  for (int r = 3; r < 5; ++r) {
    EXPECT_EQ(session.ColourTable[r][0], 0);
    EXPECT_EQ(session.ColourTable[r][1], 0);
  }
  Colours("Col0=1x 5ab99\r\n");  // slices "1x", " 5", "ab", "99"
  EXPECT_EQ(session.ColourTable[0][0], 1);
  EXPECT_EQ(session.ColourTable[0][1], 5);
  EXPECT_EQ(session.ColourTable[1][0], 0);
  EXPECT_EQ(session.ColourTable[1][1], 99);  // not checked against 0..15
  Colours("Col0=150\r\n");  // a slice cut by the end of the text
  EXPECT_EQ(session.ColourTable[0][0], 15);
  EXPECT_EQ(session.ColourTable[0][1], 0);
}

TEST_F(SessionInitTest, LanguageIsFixedToThreeCharacters) {
  Terminal("", "[Sistema]\r\nIdioma=spa\r\n");
  SessionInit();
  EXPECT_EQ(session.Language, "spa");
  Terminal("", "[Sistema]\r\nIdioma=SPANISH\r\n");
  SessionInit();
  EXPECT_EQ(session.Language, "SPA");
  Terminal("", "[Sistema]\r\nIdioma=OC\r\n");
  SessionInit();
  EXPECT_EQ(session.Language, "OC ");
}

TEST_F(SessionInitTest, BlankLanguageFallsBackToBrolIni) {
  dir_.Write("ROOT/brol.ini", "[Usuari]\r\nIdioma=GLG\r\n");
  setenv("ZULROOT", (dir_.path() + "ROOT/").c_str(), 1);
  Terminal("", "[Sistema]\r\nIdioma=   \r\n");
  SessionInit();
  EXPECT_EQ(session.Language, "GLG");
  Terminal("", "[Sistema]\r\nIdioma=OCI\r\n");
  SessionInit();
  EXPECT_EQ(session.Language, "OCI");
}

TEST_F(SessionInitTest, RunMode) {
  setenv("WINDIR", "C:\\WINDOWS", 1);
  SessionInit();
  EXPECT_EQ(session.RunMode, "WIN");
  setenv("HTTP_ACCEPT", "text/html", 1);
  SessionInit();
  EXPECT_EQ(session.RunMode, "CGI");
  unsetenv("HTTP_ACCEPT");
  unsetenv("WINDIR");
  setenv("SYSTEMROOT", "", 1);
  setenv("HTTP_USER_AGENT", "", 1);
  SessionInit();
  EXPECT_EQ(session.RunMode, "DOS");
  setenv("SYSTEMROOT", "C:\\WINNT", 1);
  SessionInit();
  EXPECT_EQ(session.RunMode, "WIN");
}

TEST_F(SessionInitTest, EnvironmentTextBecomesCodePage850) {
  setenv("ZULROOT", "/srv/administraci\xC3\xB3/", 1);  // UTF-8 o-acute
  SessionInit();
  EXPECT_EQ(session.RootDir, "/srv/administraci\xA2/");
}

}  // namespace
}  // namespace config
