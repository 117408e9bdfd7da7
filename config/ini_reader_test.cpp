#include "config/ini_reader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "config/session.h"
#include "platform/env.h"
#include "platform/test_dir.h"
#include "platform/wait_hooks.h"

namespace config {
namespace {

class IniReadTest : public ::testing::Test {
 protected:
  void SetUp() override { session = SessionState(); }
  void TearDown() override {
    session = SessionState();
    platform::clock = platform::ClockState();
  }
  // Writes the file as changed between two report passes: the program
  // waited for a key in between (ini_reader.h).
  std::string Ini(const std::string& bytes) {
    std::string path = dir_.Write("T.INI", bytes);
    platform::RunBeforeWaitHooks();
    return path;
  }
  platform::TestDir dir_;
};

TEST_F(IniReadTest, NamesCompareTrimmedInCapitals) {
  // Section "Configuració" (c-cedilla 0x87, o-acute 0xA2), key "Año" (0xA4).
  std::string f = Ini(
      "Idioma=CAT\r\n[menu]\r\n  Idioma  =SPA\r\n[ Configuraci\x87\xA2 ]\r\nA\xA4o=1\r\n"
      "[\x84\x94\x81\x82\xA4\x86\x87]\r\nk=3\r\n");
  EXPECT_EQ(IniRead(f, " MENU ", "idioma"), "SPA");
  EXPECT_EQ(IniRead(f, "CONFIGURACI\x80\xA2", "A\xA5O"), "1");
  EXPECT_EQ(IniRead(f, "CONFIGURACI\x80\xE0", "A\xA5O"), "");  // o-acute has no capital here
  EXPECT_EQ(IniRead(f, "\x8E\x99\x9A\x90\xA5\x8F\x80", "K"), "3");
  EXPECT_EQ(IniRead(f, "", "Idioma"), "");  // keys before any section
}

TEST_F(IniReadTest, ValuesAreCutAtTheFirstSemicolonButNotTrimmed) {
  std::string f = Ini(
      "[Menu]\r\nTitol=Rebuts ; comentari\r\nCol = 1500\r\nQ=\"A;B\"\r\nEq=a=b\r\nTab=\tx\r\n"
      "A=\"\"\r\nB=\"\r\nC=\"x y\"\r\nD= \"x\"\r\n");
  EXPECT_EQ(IniRead(f, "Menu", "Titol"), "Rebuts ");
  EXPECT_EQ(IniRead(f, "Menu", "Col"), " 1500");
  EXPECT_EQ(IniRead(f, "Menu", "Q"), "\"A");
  EXPECT_EQ(IniRead(f, "Menu", "Eq"), "a=b");
  EXPECT_EQ(IniRead(f, "Menu", "Tab"), "\tx");
  EXPECT_EQ(IniRead(f, "Menu", "A"), "");
  EXPECT_EQ(IniRead(f, "Menu", "B"), "\"");
  EXPECT_EQ(IniRead(f, "Menu", "C"), "x y");
  EXPECT_EQ(IniRead(f, "Menu", "D"), " \"x\"");
}

TEST_F(IniReadTest, OnlyTheFirstSectionOfANameAndTheFirstKeyCount) {
  std::string f = Ini(
      "[Sistema]\r\nData=20250105\r\nData=20260101\r\n[Pantalla ; no bracket\r\nsoroll\r\n"
      "   ;nota\r\nSeleccio=2\r\n[Sistema]\r\nSortida=PDF\r\n");
  EXPECT_EQ(IniRead(f, "Sistema", "Data"), "20250105");
  EXPECT_EQ(IniRead(f, "Sistema", "Sortida"), "");
  EXPECT_EQ(IniRead(f, "Pantalla", "Seleccio"), "2");
}

TEST_F(IniReadTest, LineEndsAndTheEndOfFileMark) {
  std::string f = Ini("[S]\rA=1\r\nB=2\r\n\r\nC=3\x1A\r\nD=4\r\n");
  EXPECT_EQ(IniRead(f, "S", "A"), "1");
  EXPECT_EQ(IniRead(f, "S", "B"), "2");
  EXPECT_EQ(IniRead(f, "S", "C"), "3");
  EXPECT_EQ(IniRead(f, "S", "D"), "");
  EXPECT_EQ(IniRead(dir_.Write("N.INI", "[S]\r\nA=1"), "S", "A"), "1");
}

TEST_F(IniReadTest, LfAloneEndsALineToo) {
  // As an editor of this platform saves it: LF line ends, blank lines,
  // comments, a last line without its end.
  std::string f = Ini("; tarifes\n[Honoraris]\nIva0=21\n\nRet0=15 ; IRPF\nIva1=10\n"
                      "[Usuari]\nIdioma=SPA");
  EXPECT_EQ(IniRead(f, "Honoraris", "Iva0"), "21");
  EXPECT_EQ(IniRead(f, "Honoraris", "Ret0"), "15 ");
  EXPECT_EQ(IniRead(f, "Honoraris", "Iva1"), "10");
  EXPECT_EQ(IniRead(f, "Usuari", "Idioma"), "SPA");
  EXPECT_EQ(IniRead(f, "Honoraris", "Idioma"), "");  // the next header still ends the section
  // Line ends of every kind in one file; LF CR is two line ends.
  f = Ini("[S]\nA=1\r\nB=2\rC=3\n\rD=4\r\n");
  EXPECT_EQ(IniRead(f, "S", "A"), "1");
  EXPECT_EQ(IniRead(f, "S", "B"), "2");
  EXPECT_EQ(IniRead(f, "S", "C"), "3");
  EXPECT_EQ(IniRead(f, "S", "D"), "4");
}

TEST_F(IniReadTest, MissingFilesAndOtherCases) {
  EXPECT_EQ(IniRead(dir_.path() + "NOWHERE/X.INI", "S", "A"), "");
  EXPECT_EQ(IniRead("", "S", "A"), "");
  dir_.Write("term01/brolterm.ini", "[Sistema]\r\nIdioma=SPA\r\n");
  EXPECT_EQ(IniRead(dir_.path() + "TERM01\\BrolTerm.ini", "Sistema", "Idioma"), "SPA");
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
  EXPECT_EQ(IniRead(f, "S", "A"), "2");  // from the parsed copy
  FILE* out = fopen(f.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  fputs("[S]\r\nA=3\r\n", out);
  fclose(out);
  platform::RunBeforeWaitHooks();
  EXPECT_EQ(IniRead(f, "S", "A"), "3");
  remove(f.c_str());
  platform::RunBeforeWaitHooks();
  EXPECT_EQ(IniRead(f, "S", "A"), "");
  for (int i = 0; i < 3 * static_cast<int>(kIniCacheFiles); ++i) {
    std::string n = std::to_string(i % 12);
    EXPECT_EQ(IniRead(dir_.Write("F" + n + ".INI", "[S]\r\nN=" + n + "\r\n"), "S", "N"), n);
  }
  EXPECT_LE(session.IniCache.size(), kIniCacheFiles);
}

// Between waits the file is looked at once per kRecheckNs, and the suite
// name is not resolved again either: a change within that time is not seen
// yet; after the interval, or after a wait, it is.
TEST_F(IniReadTest, TheFileIsLookedAtOncePerIntervalAndAfterEveryWait) {
  platform::clock.coarseFixed = true;
  platform::clock.coarseNs = 1000000000;
  dir_.Write("term01/brolterm.ini", "[Sistema]\r\nIdioma=CAT\r\n");
  const std::string name = dir_.path() + "TERM01\\BrolTerm.ini";
  EXPECT_EQ(IniRead(name, "Sistema", "Idioma"), "CAT");
  dir_.Write("term01/brolterm.ini", "[Sistema]\r\nIdioma=SPA\r\n");
  EXPECT_EQ(IniRead(name, "Sistema", "Idioma"), "CAT");
  platform::clock.coarseNs += kRecheckNs;
  EXPECT_EQ(IniRead(name, "Sistema", "Idioma"), "SPA");
  ASSERT_EQ(remove((dir_.path() + "term01/brolterm.ini").c_str()), 0);
  dir_.Write("TERM01/BROLTERM.INI", "[Sistema]\r\nIdioma=GLG\r\n");
  EXPECT_EQ(IniRead(name, "Sistema", "Idioma"), "SPA");
  platform::RunBeforeWaitHooks();
  EXPECT_EQ(IniRead(name, "Sistema", "Idioma"), "GLG");  // resolved afresh
}

}  // namespace
}  // namespace config
