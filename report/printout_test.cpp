// Page breaks of the settlement summary, read from the spool it writes.
#include "report/printout.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "config/session.h"
#include "dates/packed.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/test_dir.h"
#include "print/spool.h"
#include "report/report_state.h"

namespace report {
namespace {

class Summary : public ::testing::Test {
 protected:
  void SetUp() override {
    unsetenv("ZULROOT");
    config::session = config::SessionState();
    config::session.TempDir = dir_.path();
    config::session.Language = "CAT";
    print::state = print::PrintState();
    state = ReportState();
    std::string name = "MOLI VELL*EL";
    name.resize(30, ' ');
    name.copy(state.FinquesH.data() + finques::kName.offset, 30);
    state.SelectionDate = dates::Pack("20261231");
    state.Identity[8] = "Vic";
    state.PageNumber = 1;  // the department's first page is out already
    ASSERT_EQ(print::PrintOpen("TXT"), print::PrintStatus::Ok);
    print::PrintPage(66);
  }
  void TearDown() override {
    print::PrintClose();
  }
  // Writes the summary starting at `count` lines and returns the spool text
  // after the first page record.
  std::string SummaryFrom(int16_t count) {
    print::state.PrintLineCount = count;
    SettlementSummary();
    print::PrintClose();
    std::string bytes;
    platform::ReadFile(dir_.file("zudavivi.tmp"), &bytes);
    return bytes.substr(bytes.find("PAGE 66 \r\n") + 10);
  }
  platform::TestDir dir_;
};

TEST_F(Summary, StartingAt59KeepsTotalExpensesAndMovesFundsToANewPage) {
  std::string s = SummaryFrom(59);
  size_t expenses = s.find("TOTAL DESPESES ");
  size_t page = s.find("PAGE 66 ");
  size_t funds = s.find("TOTAL FONS ");
  ASSERT_NE(expenses, std::string::npos);
  ASSERT_NE(page, std::string::npos);
  EXPECT_LT(expenses, page);
  EXPECT_LT(page, funds);
  // The continuation page: community name, then page 2.
  EXPECT_NE(s.find(" 1 ,EL MOLI VELL, 0 \r\nJUSD\r\n 85 ,P\xB7GINA    2, 2 \r\n", page),
            std::string::npos);
  EXPECT_EQ(state.PageNumber, 2);
}

TEST_F(Summary, StartingLowStaysOnItsPage) {
  std::string s = SummaryFrom(40);
  EXPECT_EQ(s.find("PAGE"), std::string::npos);
  // Balance 0 is in favour of the owner; the place line ends at column 96.
  EXPECT_NE(s.find("R\xE3SSEC ACTUAL A FAVOR DEL PROPIETARI"), std::string::npos);
  std::string place = "Vic, 31 de desembre del 2026";
  EXPECT_NE(s.find(" " + std::to_string(96 - place.size()) + " ," + place + ", 1 "),
            std::string::npos);
}

TEST_F(Summary, TheCurrentBalanceBlockNeedsFourLines) {
  // From 55: rule 56, expenses 57, funds 58, rule 59, sums 61 (> 57): the
  // current balance goes to a new page.
  std::string s = SummaryFrom(55);
  size_t page = s.find("PAGE 66 ");
  ASSERT_NE(page, std::string::npos);
  EXPECT_LT(s.find("SUMEN "), page);
  EXPECT_GT(s.find("R\xE3SSEC ACTUAL"), page);
}

}  // namespace
}  // namespace report
