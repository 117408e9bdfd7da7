#include "config/session_init.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include "config/session.h"
#include "dates/packed.h"
#include "format/format_state.h"
#include "platform/test_dir.h"
#include "platform/wait_hooks.h"

namespace config {
namespace {

const char* const kVariables[] = {"ZULROOT", "ZULEXE", "ZULTMP", "TERM", "HTTP_USER_AGENT",
                                  "HTTP_ACCEPT", "WINDIR", "SYSTEMROOT"};

// SessionInit with only the variables a test sets, run inside a temporary
// directory as the current directory.
class SessionInitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : kVariables) {
      const char* v = getenv(name);
      saved_.emplace_back(v != nullptr, v ? v : "");
      unsetenv(name);
    }
    char buf[4096];
    oldCwd_ = getcwd(buf, sizeof buf) ? buf : "/";
    ASSERT_EQ(chdir(dir_.path().c_str()), 0);
    session = SessionState();
  }
  void TearDown() override {
    for (size_t i = 0; i < saved_.size(); ++i) {
      if (saved_[i].first) setenv(kVariables[i], saved_[i].second.c_str(), 1);
      else unsetenv(kVariables[i]);
    }
    EXPECT_EQ(chdir(oldCwd_.c_str()), 0);
    session = SessionState();
    format::state = format::FormatState();
  }
  // Writes the terminal directory's files (when given), names it by ZULTMP
  // and runs SessionInit. The files count as changed since the last read
  // (as by a wait for a key in between: ini_reader.h).
  void Init(const std::string& sessio, const std::string& brolTerm) {
    if (!sessio.empty()) dir_.Write("TERM01/Sessio.ini", sessio);
    if (!brolTerm.empty()) dir_.Write("TERM01/BrolTerm.ini", brolTerm);
    setenv("ZULTMP", (dir_.path() + "TERM01").c_str(), 1);
    platform::RunBeforeWaitHooks();
    SessionInit();
  }
  std::string Roles() const {  // "fg/bg fg/bg ..."
    std::string out;
    for (const auto& role : session.ColourTable) {
      out += std::to_string(role[0]) + "/" + std::to_string(role[1]) + " ";
    }
    return out;
  }
  platform::TestDir dir_;
  std::string oldCwd_;
  std::vector<std::pair<bool, std::string>> saved_;
};

TEST_F(SessionInitTest, NothingSetGivesTheDefaults) {
  session.Language = "SPA";
  SessionInit();
  EXPECT_EQ(session.RootDir + session.TempDir + session.TermDir + session.WorkDate, "");
  EXPECT_EQ(session.SessionTitle, "  ");
  EXPECT_EQ(session.OperatorType, 0);
  EXPECT_EQ(session.Language, "   ");
  EXPECT_EQ(session.RunMode, "DOS");
  EXPECT_EQ(Roles(), "15/0 7/0 0/7 0/7 0/7 ");
  EXPECT_EQ(format::state.MainCurrency, "E");
  EXPECT_EQ(format::state.DisplayCurrency, "E");
}

TEST_F(SessionInitTest, Directories) {
  for (auto [tmp, want] : std::vector<std::pair<std::string, std::string>>{
           {"C:\\TMP", "C:\\TMP\\"}, {"C:", "C:"}, {"C:\\TMP\\", "C:\\TMP\\"}}) {
    setenv("ZULTMP", tmp.c_str(), 1);
    SessionInit();
    EXPECT_EQ(session.TempDir, want);
  }
  setenv("ZULROOT", "/srv/administraci\xC3\xB3", 1);  // UTF-8 o-acute
  setenv("ZULEXE", "/srv/BIN/", 1);
  unsetenv("ZULTMP");
  setenv("TERM", "X:", 1);
  SessionInit();
  // In code page 850, with the separator that was missing.
  EXPECT_EQ(session.RootDir, "/srv/administraci\xA2\\");
  EXPECT_EQ(session.ExeDir, "/srv/BIN/");
  setenv("ZULEXE", "/srv/BIN", 1);
  SessionInit();
  EXPECT_EQ(session.ExeDir, "/srv/BIN\\");
  EXPECT_EQ(session.TermDir, "X:");
  EXPECT_EQ(session.TempDir, "X:");
}

TEST_F(SessionInitTest, SessionFileMenuValues) {
  Init("[Menu]\r\nTitol=REBUTS\r\nNomMenu=TORBELAN\r\nMenu=PRINCIP\r\nChnMenu=A,B\r\n"
       "Operador=Pe\xA4" "a\r\nZulTipOper=  3x\r\n[Terminal]\r\nDir=C:\\T1\r\n",
       "");
  EXPECT_EQ(session.SessionTitle, " REBUTS ");
  EXPECT_EQ(session.MenuName, "TORBELAN");
  EXPECT_EQ(session.ParentMenu, "PRINCIP");
  EXPECT_EQ(session.MenuChain, "A,B");
  EXPECT_EQ(session.OperatorName, "Pe\xA4" "a");
  EXPECT_EQ(session.OperatorType, 3);
  EXPECT_EQ(session.TermDir, "C:\\T1\\");
  EXPECT_EQ(session.TempDir, dir_.path() + "TERM01\\");
  Init("[Menu]\r\nZulTipOper=99999\r\n", "");
  EXPECT_EQ(session.OperatorType, 32767);  // held in 16 bits, not wrapped
}

TEST_F(SessionInitTest, SessionAndTerminalFilesWithLfLineEnds) {
  Init("[Menu]\nTitol=REBUTS\n[Terminal]\nDir=T1\n",
       "[Sistema]\nSortida=PDF\nData=20250105\nIdioma=SPA\n");
  EXPECT_EQ(session.SessionTitle, " REBUTS ");
  EXPECT_EQ(session.TermDir, "T1\\");
  EXPECT_EQ(session.OutputDevice, "PDF");
  EXPECT_EQ(session.WorkDate, dates::Pack("20250105"));
  EXPECT_EQ(session.Language, "SPA");
}

TEST_F(SessionInitTest, WithoutZulTmpTheSessionFileIsInTheCurrentDirectory) {
  dir_.Write("Sessio.ini", "[Terminal]\r\nDir=T1\r\n");
  dir_.Write("t1/brolterm.ini", "[Sistema]\r\nSortida=PDF\r\nData=20250105\r\n");
  SessionInit();
  EXPECT_EQ(session.TermDir, "T1\\");
  EXPECT_EQ(session.TempDir, "T1\\");
  EXPECT_EQ(session.OutputDevice, "PDF");
  EXPECT_EQ(session.WorkDate, dates::Pack("20250105"));
}

TEST_F(SessionInitTest, TermIsTheTerminalDirectoryOnlyWhenItNamesOne) {
  // The terminal type this platform keeps in TERM is no directory.
  setenv("TERM", "xterm-256color", 1);
  SessionInit();
  EXPECT_EQ(session.TermDir, "");
  EXPECT_EQ(session.TempDir, "");
  // A file of that name is no directory either.
  dir_.Write("vt100", "");
  setenv("TERM", "vt100", 1);
  SessionInit();
  EXPECT_EQ(session.TermDir, "");
  // A directory, found by the suite path rule (here without regard to case).
  dir_.Write("TERM01/BrolTerm.ini", "[Sistema]\r\nSortida=PDF\r\n");
  setenv("TERM", "term01", 1);
  SessionInit();
  EXPECT_EQ(session.TermDir, "term01\\");
  EXPECT_EQ(session.TempDir, "term01\\");
  EXPECT_EQ(session.OutputDevice, "PDF");
  setenv("TERM", (dir_.path() + "TERM01\\").c_str(), 1);  // absolute, with its separator
  SessionInit();
  EXPECT_EQ(session.TermDir, dir_.path() + "TERM01\\");
  // The session file's Dir is taken as it stands, existing or not.
  dir_.Write("Sessio.ini", "[Terminal]\r\nDir=NOWHERE\r\n");
  SessionInit();
  EXPECT_EQ(session.TermDir, "NOWHERE\\");
}

TEST_F(SessionInitTest, ColourScheme) {
  const std::string col0 = "Col0=01020304050607080910\r\n";
  Init("", "[Pantalla]\r\nSeleccio=2\r\n" + col0 + "Col2=14011302120311041005\r\n");
  EXPECT_EQ(Roles(), "14/1 13/2 12/3 11/4 10/5 ");
  Init("", "[Pantalla]\r\n" + col0);
  EXPECT_EQ(Roles(), "1/2 3/4 5/6 7/8 9/10 ");
  Init("", "[Pantalla]\r\nSeleccio=2\r\n" + col0);  // missing Col2: default, not Col0
  EXPECT_EQ(Roles(), "15/0 7/0 0/7 0/7 0/7 ");
  Init("", "[Pantalla]\r\nSeleccio=-1\r\nCol-1=000100020003000400 5\r\n");
  EXPECT_EQ(Roles(), "0/1 0/2 0/3 0/4 0/5 ");
  Init("", "[Pantalla]\r\nCol0=140113021203\r\n");  // 12 characters
  EXPECT_EQ(Roles(), "14/1 13/2 12/3 0/0 0/0 ");
  Init("", "[Pantalla]\r\nCol0=1x 5ab99150\r\n");  // "1x" " 5" "ab" "99" "15" "0"
  EXPECT_EQ(Roles(), "1/5 0/99 15/0 0/0 0/0 ");
}

TEST_F(SessionInitTest, Language) {
  for (auto [idioma, want] : std::vector<std::pair<std::string, std::string>>{
           {"spa", "spa"}, {"SPANISH", "SPA"}, {"OC", "OC "}}) {
    Init("", "[Sistema]\r\nIdioma=" + idioma + "\r\n");
    EXPECT_EQ(session.Language, want);
  }
  dir_.Write("ROOT/brol.ini", "[Usuari]\r\nIdioma=GLG\r\n");
  setenv("ZULROOT", (dir_.path() + "ROOT/").c_str(), 1);
  Init("", "[Sistema]\r\nIdioma=   \r\n");
  EXPECT_EQ(session.Language, "GLG");
  setenv("ZULROOT", (dir_.path() + "ROOT").c_str(), 1);  // no separator
  dir_.Write("ROOT/brol.ini", "[Usuari]\r\nIdioma=OCI\r\n");
  Init("", "[Sistema]\r\nIdioma=   \r\n");
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
  setenv("HTTP_USER_AGENT", "", 1);  // set but empty counts as unset
  SessionInit();
  EXPECT_EQ(session.RunMode, "DOS");
}

}  // namespace
}  // namespace config
