// The start-up pieces of the main flow that need no data files: the pop-ups
// registered and the settings of Brol.ini.
#include "report/main_flow.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

#include "config/session.h"
#include "forms/calculator.h"
#include "forms/calendar.h"
#include "console/keyboard.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/test_dir.h"
#include "platform/wait_hooks.h"
#include "dates/packed.h"
#include "format/text_utils.h"
#include "report/batch_run.h"
#include "report/pass_messages.h"
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
  EXPECT_EQ(TorbelanMain({}), kExitDataError);  // the form file is not there
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
  EXPECT_EQ(state.WithholdingRate[1], 0.0f);  // not a number (RateProblem refuses it)
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

// A rate is read with either decimal mark; what is not a number is refused
// and shown as written, as a rate outside 0..100 is.
TEST_F(Settings, RatesTakeEitherDecimalMarkAndWhatIsNotANumberIsRefused) {
  struct Case {
    const char* text;
    float value;
    bool refused;
  } const cases[] = {
      {"21,5", 21.5f, false}, {" 7.25 % ", 7.25f, false}, {"", 0.0f, false},
      {"abc", 0.0f, true},    {"1e20", 0.0f, true},       {"1.234,5", 0.0f, true},
      {"150", 150.0f, true},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(platform::WriteFile(dir_.file("Brol.ini"), "[Honoraris]\r\nIva0=21\r\n"
                                                           "Ret1=" + std::string(c.text) +
                                                           "\r\n"));
    platform::RunBeforeWaitHooks();  // the file is read again, not its parsed copy
    ReadSettings();
    EXPECT_EQ(state.WithholdingRate[1], c.value) << c.text;
    const std::string shown = format::TrimBlanks(c.text);
    EXPECT_EQ(RateProblem(), c.refused ? "PERCENTATGE NO V\xB7LID A " + dir_.file("Brol.ini") +
                                             " [Honoraris] Ret1=" + shown
                                       : "")
        << c.text;
  }
}

TEST_F(Settings, RatesOutsideZeroToAHundredAreNamedInOrder) {
  ASSERT_TRUE(platform::WriteFile(dir_.file("Brol.ini"),
                                  "[Honoraris]\r\nIva0=21\r\nIva1=100\r\nRet0=-0.5\r\n"
                                  "Ret1=250\r\n"));
  ReadSettings();
  config::session.Language = "SPA";
  EXPECT_EQ(RateProblem(), "PORCENTAJE NO V\xB5LIDO EN " + dir_.file("Brol.ini") +
                               " [Honoraris] Ret0=-0.5");
  state.WithholdingRate[0] = 0.0f;
  EXPECT_EQ(RateProblem().substr(RateProblem().size() - 8), "Ret1=250");
  state.WithholdingRate[1] = 100.0f;
  EXPECT_EQ(RateProblem(), "");  // 0 and 100 are percentages
}

TEST_F(Settings, AUtf8TextFileWithACharacterOutsideTheCodePageIsNamed) {
  ASSERT_TRUE(platform::WriteFile(dir_.file("Brol.ini"),
                                  "[Administrador]\nLinia1=COL\xC2\xB7LEGIAT\n"));
  EXPECT_EQ(RefusedTextFileMessage(), "");
  ReadSettings();
  EXPECT_EQ(state.Identity[1], "COL\xFALEGIAT");  // converted to code page 850
  ASSERT_TRUE(platform::WriteFile(dir_.file("Brol.ini"),
                                  "[Administrador]\nLinia1=COL\xE2\x80\x99LEGIAT N\xC3\x9AM.\n"));
  config::session.IniCache.clear();  // read as changed
  config::session.Language = "CAT";
  EXPECT_EQ(RefusedTextFileMessage(),
            "EL FITXER " + dir_.file("Brol.ini") +
                " T\x90 UN CAR\xB7" "CTER QUE EL CODI DE P\xB7GINA 850 NO T\x90 (U+2019, L\xD6NIA 2)");
  ReadSettings();
  EXPECT_EQ(state.Identity[1], "");  // nothing of the file is used garbled
}

TEST(BatchArguments, DepartmentsCommunitiesAndTheDevice) {
  BatchArguments a;
  std::string message;
  ASSERT_TRUE(ParseBatchArguments({"--batch", "31/12/2026", "1.0", "999.999"}, &a, &message));
  EXPECT_EQ(a.first, "1.0");
  EXPECT_EQ(a.last, "999.999");
  EXPECT_FALSE(a.hasDevice);
  ASSERT_TRUE(ParseBatchArguments({"--batch", "311226", "2"}, &a, &message));
  EXPECT_EQ(a.date, "311226");
  EXPECT_EQ(a.first, "2.0");
  EXPECT_EQ(a.last, "2.9999");
  ASSERT_TRUE(ParseBatchArguments({"--batch", "--device", "PDF:/tmp/a b.pdf", "311226", "2", "5"},
                                  &a, &message));
  EXPECT_EQ(a.first, "2.0");
  EXPECT_EQ(a.last, "5.9999");
  EXPECT_TRUE(a.hasDevice);
  EXPECT_EQ(a.device, "PDF:/tmp/a b.pdf");
  // A relative document file is named from the directory started in; other
  // devices and absolute files stay as given.
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  const std::string here = cwd;
  for (const auto& [given, kept] : std::vector<std::pair<std::string, std::string>>{
           {"pdf:liq.pdf", "pdf:" + here + "/liq.pdf"},
           {"TXT: out/l.txt", "TXT: " + here + "/out/l.txt"},
           {"PDF:C:\\INF\\L.PDF", "PDF:C:\\INF\\L.PDF"},
           {"TXT:\\INF\\L.TXT", "TXT:\\INF\\L.TXT"},
           {"PDF", "PDF"},
           {"PDF:", "PDF:"},
           {"LASER:1", "LASER:1"},
           {"HP_LaserJet", "HP_LaserJet"}}) {
    ASSERT_TRUE(ParseBatchArguments({"--batch", "311226", "2", "--device", given}, &a, &message));
    EXPECT_EQ(a.device, kept) << given;
  }
  // One department alone is a range of one.
  ASSERT_TRUE(ParseBatchArguments({"--batch", "311226", "2.5"}, &a, &message));
  EXPECT_EQ(a.first, "2.5");
  EXPECT_EQ(a.last, "2.5");
  for (const std::vector<std::string>& bad :
       std::vector<std::vector<std::string>>{{"--batch"},
                                             {"--batch", "311226"},
                                             {"--batch", "311226", "1", "2.0"},
                                             {"--batch", "311226", "1.0", "2"},
                                             {"--batch", "311226", "1", "2", "3"},
                                             {"--batch", "311226", "1", "--device"}}) {
    BatchArguments kept = a;
    EXPECT_FALSE(ParseBatchArguments(bad, &a, &message)) << bad.size();
    EXPECT_FALSE(message.empty());
    EXPECT_EQ(a.first, kept.first);  // nothing changed
  }
}

TEST(BatchArguments, HelpAndVersionExitZeroAndUnknownOptionsTwo) {
  EXPECT_EQ(TorbelanMain({"--help"}), 0);
  EXPECT_EQ(TorbelanMain({"--version"}), 0);
  EXPECT_EQ(TorbelanMain({"--what"}), kExitArguments);
  EXPECT_EQ(TorbelanMain({"--help", "x"}), kExitArguments);
  EXPECT_NE(UsageText().find("5  a data file cannot be opened"), std::string::npos);
}

TEST(PassMessages, WhereThePrintoutWentInTheSessionLanguage) {
  config::session = config::SessionState();
  EXPECT_EQ(OutputPlace(""), "A LA PANTALLA");
  EXPECT_EQ(OutputPlace(" pantalla "), "A LA PANTALLA");
  EXPECT_EQ(OutputPlace("PDF"), "DOCUMENT PDF");
  EXPECT_EQ(OutputPlace("pdf:/tmp/x.pdf"), "DOCUMENT PDF /tmp/x.pdf");
  EXPECT_EQ(OutputPlace("TXT:C:\\INFORMES\\LIQ.TXT"), "DOCUMENT DE TEXT /INFORMES/LIQ.TXT");
  EXPECT_EQ(OutputPlace("PDFCREATOR"), "IMPRESSORA PDFCREATOR");  // a printer's name
  EXPECT_EQ(PrintedMessage(3, 4, "LASER"), "3 LIQUIDACIONS, 4 P\xB7GINES: IMPRESSORA LASER");
  // One document per department: the folder the print program wrote and
  // the count, or the device's folder until it has said.
  EXPECT_EQ(OutputPlace("PDF-EACH:/srv/LIQ", "", "/srv/LIQ", 25),
            "25 DOCUMENTS PDF A LA CARPETA /srv/LIQ");
  EXPECT_EQ(OutputPlace("txt-each", "", "/srv/T1/LIQ", 1),
            "1 DOCUMENT DE TEXT A LA CARPETA /srv/T1/LIQ");
  EXPECT_EQ(OutputPlace("TXT-EACH:/srv/LIQ"), "DOCUMENTS DE TEXT A LA CARPETA /srv/LIQ");
  EXPECT_EQ(OutputPlace("PDF-EACH"), "DOCUMENTS PDF");
  config::session.Language = "SPA";
  EXPECT_EQ(OutputPlace("PDF-EACH", "", "/srv/LIQ", 2), "2 DOCUMENTOS PDF EN LA CARPETA /srv/LIQ");
  EXPECT_EQ(PrintedMessage(1, 2, "TXT:/tmp/l.txt"),
            "1 LIQUIDACI\xE0N, 2 P\xB5GINAS: DOCUMENTO DE TEXTO /tmp/l.txt");
  EXPECT_EQ(CommunitiesNotSettledMessage({{dates::Pack("0002"), dates::Pack("20260930")},
                                          {dates::Pack("0015"), dates::Pack("20261231")}}),
            "COMUNIDADES NO LIQUIDADAS, LA FECHA NO ES POSTERIOR A SU \xE9LTIMA LIQUIDACI\xE0N: "
            "2 (30/9/2026), 15 (31/12/2026)");
  EXPECT_EQ(CommunitiesNotSettledMessage({}), "");
  config::session.Language = "GLG";
  EXPECT_EQ(PrintFailedMessage(2).substr(0, 24), "O PROGRAMA DE IMPRESSOM ");
  config::session = config::SessionState();
}

// One settlement or one page in the singular, in every language.
TEST(PassMessages, OneIsSingular) {
  const std::pair<const char*, const char*> cases[] = {
      {"CAT", "1 LIQUIDACI\xE0, 1 P\xB7GINA: IMPRESSORA L"},
      {"SPA", "1 LIQUIDACI\xE0N, 1 P\xB5GINA: IMPRESORA L"},
      {"GLG", "1 LIQUIDA\x80OM, 1 P\xB5GINA: IMPRESSORA L"},
      {"OCI", "1 LIQUIDACION, 1 PAGINA: IMPRIMIDORA L"},
  };
  for (const auto& [language, said] : cases) {
    config::session.Language = language;
    EXPECT_EQ(PrintedMessage(1, 1, "L"), said) << language;
  }
  config::session = config::SessionState();
}

}  // namespace
}  // namespace report
