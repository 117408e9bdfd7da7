#include "report/selection.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "config/session.h"
#include "dates/packed.h"
#include "platform/env.h"
#include "report/report_state.h"

namespace report {
namespace {

class SelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state = ReportState();
    platform::clock = platform::ClockState();
    platform::clock.overridden = true;
    platform::clock.date = {2026, 12, 8};
  }
  void TearDown() override {
    platform::clock = platform::ClockState();
    state = ReportState();
  }
};

TEST_F(SelectionTest, FieldValuesAsTheFormHoldsThem) {
  // Space-padded values of fields 4 and 3 wide, as the exit check joins them.
  ASSERT_EQ(BuildSelection("311226    ", "1   .0  ", "999 .999"), SelectionStatus::kOk);
  EXPECT_EQ(state.SelectionDate, dates::Pack("20261231"));
  EXPECT_EQ(state.FirstKey, dates::Pack("00010000"));
  EXPECT_EQ(state.LastKey, dates::Pack("09990999"));
  // Community 5, departments 0 to 999: the first is not after the last.
  ASSERT_EQ(BuildSelection("31/12/2026", "5   .0  ", "5   .999"), SelectionStatus::kOk);
  EXPECT_EQ(state.FirstKey, dates::Pack("00050000"));
}

TEST_F(SelectionTest, BlankDepartmentCountsAsZeroAndKeepsFourBytes) {
  ASSERT_EQ(BuildSelection("31/12/2026", "2   .   ", "2   .   "), SelectionStatus::kOk);
  EXPECT_EQ(state.FirstKey, dates::Pack("00020000"));
  EXPECT_EQ(state.LastKey, dates::Pack("00020000"));
  ASSERT_EQ(BuildSelection("31/12/2026", "    .   ", "3   .5  "), SelectionStatus::kOk);
  EXPECT_EQ(state.FirstKey, dates::Pack("00000000"));
}

TEST_F(SelectionTest, FirstAfterLastOrNoDepartmentChangesNothing) {
  ASSERT_EQ(BuildSelection("31/12/2026", "1.0", "9.999"), SelectionStatus::kOk);
  const ReportState before = state;
  EXPECT_EQ(BuildSelection("01/01/2027", "6   .0  ", "5   .999"),
            SelectionStatus::kFirstAfterLast);
  EXPECT_EQ(BuildSelection("01/01/2027", "5.10", "5.9"), SelectionStatus::kFirstAfterLast);
  // 11 characters with one "." pack the community six digits wide.
  EXPECT_EQ(BuildSelection("01/01/2027", "12345.12345", "99999.99999"),
            SelectionStatus::kNotADepartment);
  EXPECT_EQ(state.SelectionDate, before.SelectionDate);
  EXPECT_EQ(state.FirstKey, before.FirstKey);
  EXPECT_EQ(state.LastKey, before.LastKey);
}

TEST_F(SelectionTest, SelectionFromTheCommandLine) {
  std::string message;
  ASSERT_TRUE(SetSelection("31/12/26", "5.0", "5.999", &message)) << message;
  EXPECT_EQ(state.SelectionDate, dates::Pack("20261231"));
  EXPECT_EQ(state.FirstKey, dates::Pack("00050000"));
  EXPECT_EQ(state.LastKey, dates::Pack("00050999"));
  ASSERT_TRUE(SetSelection("010227", "1.0", "9999.9999", &message)) << message;
  EXPECT_EQ(state.SelectionDate, dates::Pack("20270201"));

  for (auto bad : {std::array<const char*, 3>{"29/02/2026", "1.0", "2.0"},
                   {"", "1.0", "2.0"},
                   {"31/12/2026", "6.0", "5.999"},
                   {"31/12/2026", "1", "2.0"},
                   {"31/12/2026", "1.0.0", "2.0"},
                   {"31/12/2026", "12345.0", "2.0"},
                   {"31/12/2026", "-1.0", "2.0"},
                   {"31/12/2026", "1.0", "2. 0"}}) {
    message.clear();
    EXPECT_FALSE(SetSelection(bad[0], bad[1], bad[2], &message)) << bad[0] << " " << bad[1];
    EXPECT_FALSE(message.empty());
  }
  EXPECT_EQ(state.SelectionDate, dates::Pack("20270201"));  // unchanged by failures
}

TEST_F(SelectionTest, RefusalsAreToldInTheSessionLanguage) {
  std::string message;
  EXPECT_FALSE(SetSelection("31/02/2026", "1.0", "2.0", &message));
  EXPECT_EQ(message, "DATA DE LIQUIDACI\xE0 NO V\xB7LIDA: 31/02/2026");
  config::session.Language = "SPA";
  EXPECT_FALSE(SetSelection("31/12/2026", "1.0", "x.0", &message));
  EXPECT_EQ(message, "NO ES UN C\xE0" "DIGO COMUNIDAD.DEPARTAMENTO: x.0");
  config::session.Language = "GLG";
  EXPECT_FALSE(SetSelection("31/12/2026", "6.0", "5.999", &message));
  EXPECT_EQ(message, "O PRIMEIRO DEPARTAMENTO 6.0 VAI DEPOIS DO \xE9LTIMO 5.999");
  config::session = config::SessionState();
}

}  // namespace
}  // namespace report
