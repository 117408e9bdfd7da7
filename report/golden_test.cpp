// The whole report over the demo suite: `zuldata demo` lays down a root in a
// temporary folder, `torbelan --batch` runs a pass there, and the spool it
// writes is compared line by line with the expected spools in testdata/,
// whose figures were worked out by hand (testdata/NOTES.md). The print
// program then renders the spool to a text document.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/process.h"
#include "platform/test_dir.h"

#ifndef ZUL_SOURCE_DIR
#error "ZUL_SOURCE_DIR must name the repository"
#endif

namespace {

const std::string kSource = ZUL_SOURCE_DIR;
const std::string kZuldata = ZUL_ZULDATA;
const std::string kTorbelan = ZUL_TORBELAN;
const std::string kZudavivi = ZUL_ZUDAVIVI;

std::string Read(const std::string& path) {
  std::string bytes;
  platform::ReadFile(path, &bytes);
  return bytes;
}

std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> out;
  std::istringstream in(bytes);
  std::string line;
  while (std::getline(in, line)) out.push_back(line);
  return out;
}

// Replaces one "Key=value" line of an INI file laid down in code page 850.
void SetIni(const std::string& path, const std::string& key, const std::string& value) {
  std::string text = Read(path);
  size_t at = text.find("\r\n" + key + "=");
  ASSERT_NE(at, std::string::npos) << key << " in " << path;
  size_t end = text.find("\r\n", at + 2);
  text.replace(at + 2, end - at - 2, key + "=" + value);
  ASSERT_TRUE(platform::WriteFile(path, text));
}

class DemoRoot : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = dir_.file("root");
    ASSERT_EQ(platform::RunProgram(kZuldata, {"demo", root_, "--suite", kSource + "/suite",
                                              "--zudavivi", kZudavivi}),
              0);
    setenv("ZULROOT", (root_ + "/").c_str(), 1);
    setenv("ZULEXE", (root_ + "/BIN/").c_str(), 1);
    setenv("ZULTMP", (root_ + "/TERM01/").c_str(), 1);
    setenv("ZULTODAY", "20261208", 1);
  }
  void TearDown() override {
    if (HasFailure()) dir_.Keep();  // left for a look at what went wrong
  }

  int Batch(const std::string& date, const std::string& first, const std::string& last) {
    return platform::RunProgram(kTorbelan, {"--batch", date, first, last});
  }
  std::string Spool() { return Read(root_ + "/TERM01/zudavivi.tmp"); }

  // Compares the spool with an expected file, line by line.
  void ExpectSpool(const std::string& expectedName) {
    std::vector<std::string> want = Lines(Read(kSource + "/report/testdata/" + expectedName));
    std::vector<std::string> got = Lines(Spool());
    ASSERT_FALSE(want.empty());
    for (size_t i = 0; i < want.size() && i < got.size(); ++i)
      ASSERT_EQ(got[i], want[i]) << expectedName << " line " << i + 1;
    EXPECT_EQ(got.size(), want.size()) << expectedName;
  }

  platform::TestDir dir_;
  std::string root_;
};

TEST_F(DemoRoot, CatalanSpoolMatchesTheHandWorkedFiguresAndIsPrinted) {
  ASSERT_EQ(Batch("31/12/2026", "1.0", "999.999"), 0);
  ExpectSpool("expected_ca.spool");
  if (access(kZudavivi.c_str(), X_OK) == 0) {
    std::string text = Read(root_ + "/TERM01/LIQUIDACIO.TXT");
    EXPECT_NE(text.find("DETALL DE LIQUIDACIÓ DES DEL 1 D'OCTUBRE DEL 2026"), std::string::npos);
    EXPECT_NE(text.find("L'ERA D'EN PUJOL"), std::string::npos);
  }
}

TEST_F(DemoRoot, SpanishSpoolTranslatesEveryCaption) {
  SetIni(root_ + "/TERM01/BrolTerm.ini", "Idioma", "SPA");
  ASSERT_EQ(Batch("311226", "1.0", "999.999"), 0);
  ExpectSpool("expected_es.spool");
}

TEST_F(DemoRoot, LetterheadSettingNLeavesTheTopFree) {
  SetIni(root_ + "/Brol.ini", "Membret", "N");
  ASSERT_EQ(Batch("31.12.26", "1.0", "999.999"), 0);
  ExpectSpool("expected_ca_n.spool");
}

TEST_F(DemoRoot, UnselectedDepartmentsStillCountInTheFees) {
  // Only departments 3 and 4 of community 1: the fees are still those of
  // its ten departments, so department 3's general share stays 68,06.
  ASSERT_EQ(Batch("31/12/2026", "1.3", "1.4"), 0);
  std::string spool = Spool();
  EXPECT_NE(spool.find("DEL DEPARTAMENT (3) 1r 1a JOAN PUJOL I FERRER"), std::string::npos);
  EXPECT_NE(spool.find(" 64 ,     68,06, 2 "), std::string::npos);
  EXPECT_EQ(spool.find("DEL DEPARTAMENT (2)"), std::string::npos);
  EXPECT_EQ(spool.find("DEL DEPARTAMENT (5)"), std::string::npos);
  EXPECT_EQ(spool.find("MOL\xD6 VELL"), std::string::npos);
}

TEST_F(DemoRoot, UnreadableArgumentsExitWithTwo) {
  EXPECT_EQ(Batch("31/02/2026", "1.0", "999.999"), 2);  // no such day
  EXPECT_EQ(Batch("31/12", "1.0", "999.999"), 2);
  EXPECT_EQ(Batch("31/12/2026", "1", "999.999"), 2);    // not community.department
  EXPECT_EQ(Batch("31/12/2026", "1.0", "999.x"), 2);
  EXPECT_EQ(Batch("31/12/2026", "2.0", "1.999"), 2);    // first after last
  EXPECT_EQ(platform::RunProgram(kTorbelan, {"--batch", "31/12/2026"}), 2);
  EXPECT_TRUE(Spool().empty());
}

TEST_F(DemoRoot, SpoolThatCannotBeWrittenIsReportedAndNotPrinted) {
  setenv("ZULTMP", dir_.file("missing/").c_str(), 1);
  // The terminal files are not there either; the device is then empty.
  EXPECT_EQ(Batch("31/12/2026", "1.0", "999.999"), 1);
}

TEST_F(DemoRoot, AMissingDataFileIsReportedWithoutAScreen) {
  ASSERT_EQ(platform::RunProgram("/bin/rm", {"-f", root_ + "/DADES/THRebut.dat",
                                             root_ + "/ddf/THRebut.xdf"}),
            0);
  EXPECT_EQ(Batch("31/12/2026", "1.0", "999.999"), 5);  // a data file cannot be opened
  EXPECT_TRUE(Spool().empty());
}

}  // namespace
