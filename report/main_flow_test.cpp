// The start-up pieces of the main flow that need no data files: the pop-ups
// registered and the settings of Brol.ini.
#include "report/main_flow.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "config/session.h"
#include "console/calculator.h"
#include "console/calendar.h"
#include "console/keyboard.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/test_dir.h"
#include "report/report_state.h"

namespace report {
namespace {

class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    config::session = config::SessionState();
    config::session.RootDir = dir_.path();
    state = ReportState();
  }
  platform::TestDir dir_;
};

TEST_F(Settings, ThePopUpsAnswerTheirHotKeysFromTheStart) {
  const char* root = getenv("ZULROOT");
  const std::string saved = root ? root : "";
  unsetenv("ZULROOT");  // the current directory stays
  console::keyboard = console::KeyboardState();
  // Without a form file here the program tells the operator and waits for
  // one key: the headless console answers it.
  platform::console = platform::ConsoleState();
  platform::ConsoleStartWith(platform::ConsoleBackendKind::kHeadless);
  EXPECT_EQ(TorbelanMain({}), 0);
  EXPECT_EQ(console::keyboard.Calendar, &console::Calendar);
  EXPECT_EQ(console::keyboard.Calculator, &console::Calculator);
  if (root) setenv("ZULROOT", saved.c_str(), 1);
  console::keyboard = console::KeyboardState();
}

TEST_F(Settings, RatesIdentityAndLetterheadComeFromBrolIni) {
  ASSERT_TRUE(platform::WriteFile(dir_.file("Brol.ini"),
                                  "[Administrador]\r\nLinia1=ADMINISTRACIONS X\r\n"
                                  "Linia7=ES40123456T\r\nLinia8=Vic  \r\n"
                                  "[Rebut]\r\nMembret=N\r\n"
                                  "[Honoraris]\r\nIva0=21\r\nIva1= 10.5%\r\nRet1=cap\r\n"));
  ReadSettings();
  EXPECT_EQ(state.Identity[1], "ADMINISTRACIONS X");
  EXPECT_EQ(state.Identity[6], "");
  EXPECT_EQ(state.Identity[8], "Vic  ");  // kept as read; trimmed where printed
  EXPECT_EQ(state.Letterhead, "N");
  EXPECT_EQ(state.VatRate[0], 21.0f);
  EXPECT_EQ(state.WithholdingRate[0], 0.0f);  // no key Ret0
  EXPECT_EQ(state.VatRate[1], 10.5f);
  EXPECT_EQ(state.WithholdingRate[1], 0.0f);  // not a number
}

TEST_F(Settings, ABrolIniWithLfLineEndsGivesItsRates) {
  // Brol.ini as an ordinary editor of this platform saves it.
  ASSERT_TRUE(platform::WriteFile(dir_.file("Brol.ini"),
                                  "[Administrador]\nLinia1=ADMINISTRACIONS X\n\n"
                                  "[Honoraris]\n; percentatges\nIva0=21\nRet0=15\n"
                                  "Iva1=10\nRet1=7\n"));
  ReadSettings();
  EXPECT_EQ(state.Identity[1], "ADMINISTRACIONS X");
  EXPECT_EQ(state.VatRate[0], 21.0f);
  EXPECT_EQ(state.WithholdingRate[0], 15.0f);
  EXPECT_EQ(state.VatRate[1], 10.0f);
  EXPECT_EQ(state.WithholdingRate[1], 7.0f);
}

TEST_F(Settings, WithoutBrolIniEverythingIsEmptyOrZero) {
  ReadSettings();
  EXPECT_EQ(state.Letterhead, "");
  EXPECT_EQ(state.VatRate[0], 0.0f);
  EXPECT_EQ(state.Identity[7], "");
}

}  // namespace
}  // namespace report
