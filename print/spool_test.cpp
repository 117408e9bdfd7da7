#include "print/spool.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "config/session.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/test_dir.h"
#include "print/spool_format.h"

namespace print {
namespace {

class SpoolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    config::session = config::SessionState();
    config::session.TempDir = dir_.path();
    state = PrintState();
  }
  void TearDown() override {
    platform::AbandonStaged(&state.spool);
    state = PrintState();
  }
  // The spool file's bytes.
  std::string Spool() {
    std::string bytes;
    platform::ReadFile(dir_.file("zudavivi.tmp"), &bytes);
    return bytes;
  }
  // The bytes of the file an open spool is written under.
  std::string Written() {
    std::string bytes;
    platform::ReadFile(dir_.file("zudavivi.tmp.part"), &bytes);
    return bytes;
  }
  platform::TestDir dir_;
};

TEST(SpoolNumberTest, ParseAcceptsWrittenFormAndRejectsGarbage) {
  int16_t v = 99;
  EXPECT_TRUE(ParseSpoolNumber(" 66 ", &v));
  EXPECT_EQ(v, 66);
  EXPECT_TRUE(ParseSpoolNumber("-1 ", &v));
  EXPECT_EQ(v, -1);
  EXPECT_TRUE(ParseSpoolNumber("-32768 ", &v));
  EXPECT_EQ(v, -32768);
  v = 99;
  for (const char* bad : {"", "-", " 6 6 ", "1x", "32768", "99999999999"}) {
    EXPECT_FALSE(ParseSpoolNumber(bad, &v)) << bad;
  }
  EXPECT_EQ(v, 99);
}

TEST_F(SpoolTest, DeviceRecordFirstWithCrLf) {
  ASSERT_EQ(PrintOpen("LPT1"), PrintStatus::Ok);
  EXPECT_EQ(PrintClose(), PrintStatus::Ok);
  EXPECT_EQ(Spool(), "DEVICELPT1\r\n");
}

TEST_F(SpoolTest, ReportPageRecordsExactly) {
  ASSERT_EQ(PrintOpen(""), PrintStatus::Ok);
  PrintPage(66);
  PrintCommand("@e");
  PrintJustify("N 73 \\.\\");
  PrintLine(31, "TOTAL DESPESES ", 0);
  PrintJustify("d");
  PrintLine(75, "  1.234'56", 1);
  PrintLine(-3, "x", -2);
  ASSERT_EQ(PrintClose(), PrintStatus::Ok);
  EXPECT_EQ(Spool(),
            "DEVICE\r\n"
            "PAGE 66 \r\n"
            "*@e\r\n"
            "JUSN 73 \\.\\\r\n"
            " 31 ,TOTAL DESPESES , 0 \r\n"
            "JUSD\r\n"
            " 75 ,  1.234'56, 1 \r\n"
            "-3 ,x,-2 \r\n");
  EXPECT_EQ(state.PrintPageLength, 66);
  EXPECT_EQ(state.PrintLineCount, -1);
}

TEST_F(SpoolTest, DocumentTitleAndNameAreDeviceCommandsOnOneRecordEach) {
  ASSERT_EQ(PrintOpen("PDF"), PrintStatus::Ok);
  PrintDocument("DETALL DE LIQUIDACI\xE0\r\nFINS AL 31", "LIQUIDACIO_2026-12-31\n");
  PrintPage(66);
  PrintLine(1, "a", 1);
  ASSERT_EQ(PrintClose(), PrintStatus::Ok);
  EXPECT_EQ(Spool(),
            "DEVICEPDF\r\n"
            "*@TITOL DETALL DE LIQUIDACI\xE0  FINS AL 31\r\n"
            "*@NOM LIQUIDACIO_2026-12-31 \r\n"
            "PAGE 66 \r\n"
            " 1 ,a, 1 \r\n");
  EXPECT_EQ(state.PrintLineCount, 1);  // the commands are no lines
}

TEST_F(SpoolTest, OpenEmptiesTheOldSpoolButKeepsCounters) {
  ASSERT_EQ(PrintOpen("PDF"), PrintStatus::Ok);
  PrintPage(10);
  PrintLine(1, "a", 3);
  ASSERT_EQ(PrintClose(), PrintStatus::Ok);
  ASSERT_EQ(PrintOpen("TXT"), PrintStatus::Ok);
  ASSERT_EQ(PrintClose(), PrintStatus::Ok);
  EXPECT_EQ(Spool(), "DEVICETXT\r\n");
  EXPECT_EQ(state.PrintPageLength, 10);
  EXPECT_EQ(state.PrintLineCount, 3);
}

TEST(NormaliseJustifyTest, Codes) {
  EXPECT_EQ(NormaliseJustify(" r"), "D");
  EXPECT_EQ(NormaliseJustify("Dreta"), "D");
  EXPECT_EQ(NormaliseJustify("c"), "C");
  EXPECT_EQ(NormaliseJustify("b"), "A");
  EXPECT_EQ(NormaliseJustify("A"), "A");
  EXPECT_EQ(NormaliseJustify("x"), "E");
  EXPECT_EQ(NormaliseJustify(""), "E");
  EXPECT_EQ(NormaliseJustify("   "), "E");
  EXPECT_EQ(NormaliseJustify("n8"), "N 8 ");
  EXPECT_EQ(NormaliseJustify("N 73 \\.\\"), "N 73 \\.\\");
  // Magnitude, truncated; the fill part comes from the untrimmed code.
  EXPECT_EQ(NormaliseJustify("  N -7.9 \\-=\\ tail"), "N 7 \\-=\\");
  EXPECT_EQ(NormaliseJustify("N"), "N 0 ");
  // A single backslash opens no fill part.
  EXPECT_EQ(NormaliseJustify("N 5 \\."), "N 5 ");
  EXPECT_EQ(NormaliseJustify("N 1e9"), "N 32767 ");
}

TEST_F(SpoolTest, ControlCharactersBecomeSpacesCommasStay) {
  ASSERT_EQ(PrintOpen("A\r\nB"), PrintStatus::Ok);
  PrintPage(66);
  PrintLine(1, std::string("a\tb\nc") + char(127) + char(255) + char(0) + "\x82", 0);
  PrintLine(1, "1,234,56", 0);
  PrintCommand("@\r\nPAGE 1 ");
  PrintJustify("N 5 \\\n\\");
  ASSERT_EQ(PrintClose(), PrintStatus::Ok);
  EXPECT_EQ(Spool(),
            "DEVICEA  B\r\nPAGE 66 \r\n"
            " 1 ,a b c   \x82, 0 \r\n"
            " 1 ,1,234,56, 0 \r\n"
            "*@  PAGE 1 \r\n"
            "JUSN 5 \\ \\\r\n");
}

TEST_F(SpoolTest, PageBreaksWhenTheCountReachesTheLength) {
  ASSERT_EQ(PrintOpen(""), PrintStatus::Ok);
  PrintPage(3);
  PrintLine(1, "a", 1);
  PrintLine(1, "b", 1);
  PrintLine(1, "c", 1);
  EXPECT_EQ(state.PrintLineCount, 3);
  PrintLine(1, "d", 1);
  EXPECT_EQ(state.PrintLineCount, 1);
  ASSERT_EQ(PrintClose(), PrintStatus::Ok);
  EXPECT_EQ(Spool(),
            "DEVICE\r\nPAGE 3 \r\n"
            " 1 ,a, 1 \r\n 1 ,b, 1 \r\n 1 ,c, 1 \r\n"
            "PAGE 3 \r\n 1 ,d, 1 \r\n");
}

TEST_F(SpoolTest, WithoutPageLengthEveryTextGetsAZeroPageRecord) {
  ASSERT_EQ(PrintOpen(""), PrintStatus::Ok);
  PrintLine(1, "a", 0);
  PrintLine(1, "b", 1);
  ASSERT_EQ(PrintClose(), PrintStatus::Ok);
  EXPECT_EQ(Spool(), "DEVICE\r\nPAGE 0 \r\n 1 ,a, 0 \r\nPAGE 0 \r\n 1 ,b, 1 \r\n");
  EXPECT_EQ(state.PrintPageLength, 0);
  EXPECT_EQ(state.PrintLineCount, 1);
}

// The spool reaches the file in blocks of 64 KiB: the file stays empty
// until the records fill the first block, which then goes out whole.
TEST_F(SpoolTest, RecordsReachTheFileInBlocksOf64KiB) {
  ASSERT_EQ(PrintOpen(""), PrintStatus::Ok);
  PrintPage(66);
  // While open, the records go to the file the spool is written under.
  for (int i = 0; i < 2000 && Written().empty(); ++i) PrintLine(1, std::string(90, 'x'), 1);
  EXPECT_EQ(Written().size(), 64u * 1024);
  EXPECT_EQ(PrintClose(), PrintStatus::Ok);
}

TEST_F(SpoolTest, MissingDirectoryIsReportedNotIgnored) {
  config::session.TempDir = dir_.file("no/such/dir/");
  EXPECT_EQ(PrintOpen("PDF"), PrintStatus::CannotCreate);
  PrintPage(66);
  PrintLine(1, "lost", 1);  // must not crash; the line still counts
  EXPECT_EQ(state.PrintLineCount, 1);
  EXPECT_EQ(PrintClose(), PrintStatus::NotOpen);
}

// A link planted at the name the spool is written under is replaced, never
// written through (a failed write is the file-size limit's case below).
TEST_F(SpoolTest, ALinkAtTheCompanionNameIsNotWrittenThrough) {
  ASSERT_TRUE(platform::WriteFile(dir_.file("victim"), "keep"));
  ASSERT_EQ(symlink(dir_.file("victim").c_str(), dir_.file("zudavivi.tmp.part").c_str()), 0);
  ASSERT_EQ(PrintOpen("PDF"), PrintStatus::Ok);
  PrintPage(66);
  for (int i = 0; i < 20000; ++i) PrintLine(1, "TOTAL DESPESES", 1);
  EXPECT_EQ(PrintClose(), PrintStatus::Ok);
  std::string victim;
  ASSERT_TRUE(platform::ReadFile(dir_.file("victim"), &victim));
  EXPECT_EQ(victim, "keep");
  EXPECT_TRUE(platform::PathExists(dir_.file("zudavivi.tmp")));
  EXPECT_FALSE(platform::PathExists(dir_.file("zudavivi.tmp.part")));
}

// How a pass in a child process ended.
struct ChildEnd {
  bool exited = false;
  int code = 0;    // exit code when exited
  int signal = 0;  // the signal that ended it otherwise
};

// Runs a report pass in a child process: PrintOpen, `lines` text records,
// then PrintClose unless the child dies first. `fileLimit` > 0 sets the
// file-size limit of the child (RLIMIT_FSIZE) in bytes; with `ignoreXfsz`
// a write past it fails with EFBIG instead of ending the child by SIGXFSZ.
// With `killBeforeClose` the child sends itself SIGKILL after the records.
// The child exits 0 when PrintClose said Ok, 3 when it said WriteFailed.
ChildEnd PassInChild(int lines, rlim_t fileLimit, bool ignoreXfsz, bool killBeforeClose) {
  pid_t pid = fork();
  if (pid == 0) {
    if (fileLimit > 0) {
      struct rlimit limit = {fileLimit, fileLimit};
      if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(10);
    }
    if (ignoreXfsz) signal(SIGXFSZ, SIG_IGN);
    if (PrintOpen("PDF") != PrintStatus::Ok) _exit(11);
    PrintPage(66);
    for (int i = 0; i < lines; ++i) PrintLine(1, "TOTAL DESPESES  1.234'56", 1);
    if (killBeforeClose) raise(SIGKILL);
    _exit(PrintClose() == PrintStatus::Ok ? 0 : 3);
  }
  ChildEnd end;
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return end;
  end.exited = WIFEXITED(status);
  end.code = end.exited ? WEXITSTATUS(status) : 0;
  end.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  return end;
}

TEST_F(SpoolTest, APassCutShortLeavesNoSpoolToPrint) {
  const std::string spool = dir_.file("zudavivi.tmp");
  // A whole pass: the spool is there under its name, and nothing else.
  ChildEnd end = PassInChild(100, 0, false, false);
  ASSERT_TRUE(end.exited);
  ASSERT_EQ(end.code, 0);
  std::string whole;
  ASSERT_TRUE(platform::ReadFile(spool, &whole));
  EXPECT_EQ(whole.rfind("DEVICEPDF\r\nPAGE 66 \r\n", 0), 0u);
  EXPECT_FALSE(platform::PathExists(dir_.file("zudavivi.tmp.part")));

  // Ended by the file-size limit (SIGXFSZ) while writing: neither the cut
  // spool nor the earlier pass's spool is left to print.
  end = PassInChild(20000, 16384, false, false);
  EXPECT_EQ(end.signal, SIGXFSZ);
  EXPECT_FALSE(platform::PathExists(spool));

  // The same limit with SIGXFSZ ignored: the writes fail and PrintClose
  // says so; the cut file is removed.
  ASSERT_EQ(PassInChild(100, 0, false, false).code, 0);
  end = PassInChild(20000, 16384, true, false);
  ASSERT_TRUE(end.exited);
  EXPECT_EQ(end.code, 3);
  EXPECT_FALSE(platform::PathExists(spool));
  EXPECT_FALSE(platform::PathExists(dir_.file("zudavivi.tmp.part")));

  // Killed before PrintClose, every record written and flushed or not.
  ASSERT_EQ(PassInChild(100, 0, false, false).code, 0);
  end = PassInChild(20000, 0, false, true);
  EXPECT_EQ(end.signal, SIGKILL);
  EXPECT_FALSE(platform::PathExists(spool));

  // The next pass is not troubled by what a broken one left behind.
  ASSERT_EQ(PassInChild(100, 0, false, false).code, 0);
  std::string again;
  ASSERT_TRUE(platform::ReadFile(spool, &again));
  EXPECT_EQ(again, whole);
}

// Records go only between PrintOpen and PrintClose, checked in every build;
// a PrintOpen that failed still opens the pair (its records are lost and
// PrintClose says so).
TEST_F(SpoolTest, RecordsOutsideOpenAndCloseStopTheProgram) {
  EXPECT_DEATH(PrintLine(1, "a", 1), "check failed: state.betweenOpenAndClose");
  ASSERT_EQ(PrintOpen(""), PrintStatus::Ok);
  PrintPage(66);
  ASSERT_EQ(PrintClose(), PrintStatus::Ok);
  EXPECT_DEATH(PrintCommand("x"), "check failed");
  config::session.TempDir = dir_.file("missing") + "/";
  ASSERT_EQ(PrintOpen(""), PrintStatus::CannotCreate);
  PrintLine(1, "lost", 1);
  EXPECT_EQ(PrintClose(), PrintStatus::NotOpen);
}

}  // namespace
}  // namespace print
