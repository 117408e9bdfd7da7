#include "print/spool.h"

#include <gtest/gtest.h>
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
    if (state.spool) std::fclose(state.spool);
    state = PrintState();
  }
  // The spool file's bytes.
  std::string Spool() {
    std::string bytes;
    platform::ReadFile(dir_.file("zudavivi.tmp"), &bytes);
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
  for (int i = 0; i < 2000 && Spool().empty(); ++i) PrintLine(1, std::string(90, 'x'), 1);
  EXPECT_EQ(Spool().size(), 64u * 1024);
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

TEST_F(SpoolTest, FailedWritesAreReportedAndTheTruncatedSpoolRemoved) {
  // The spool name points at a device that is always full.
  ASSERT_EQ(symlink("/dev/full", dir_.file("zudavivi.tmp").c_str()), 0);
  ASSERT_EQ(PrintOpen("PDF"), PrintStatus::Ok);  // buffered: not yet known
  PrintPage(66);
  for (int i = 0; i < 20000; ++i) PrintLine(1, "TOTAL DESPESES", 1);
  EXPECT_EQ(PrintClose(), PrintStatus::WriteFailed);
  EXPECT_FALSE(platform::PathExists(dir_.file("zudavivi.tmp")));
  // A later good run is not haunted by the old failure.
  ASSERT_EQ(PrintOpen("PDF"), PrintStatus::Ok);
  EXPECT_EQ(PrintClose(), PrintStatus::Ok);
}

}  // namespace
}  // namespace print
