// The interactive program in-process, on the headless console, over a demo
// root laid down by `zuldata demo`: the operator's keys come from the
// console's queue and the print program is a script that keeps a copy of
// every spool it is handed.
#include "report/interactive.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "config/session.h"
#include "forms/form.h"
#include "forms/form_file.h"
#include "forms/form_hooks.h"
#include "forms/form_layer_reset.h"
#include "console/keyboard.h"
#include "console/screen.h"
#include "console/screen_test_support.h"
#include "datafile/data_open.h"
#include "dates/date_format.h"
#include "format/format_state.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/key_codes.h"
#include "platform/paths.h"
#include "print/spool.h"
#include "platform/process.h"
#include "platform/test_dir.h"
#include "platform/wait_hooks.h"
#include "report/batch_run.h"
#include "report/selection_hooks.h"
#include "report/report_state.h"
#include "report/selection.h"

namespace report {
namespace {

const std::string kSource = ZUL_SOURCE_DIR;

std::string Read(const std::string& path) {
  std::string bytes;
  platform::ReadFile(path, &bytes);
  return bytes;
}

// Keys typed once the program waits on a message (a window open, nothing
// queued): a message drops the keys typed before it. Waits for the print
// program run the hook too, with no window open.
std::function<void()> afterMessage;
void TypeAfterMessage() {
  if (!afterMessage || !platform::console.queue.empty() || console::screen.WindowDepth == 0)
    return;
  std::function<void()> keys = afterMessage;
  afterMessage = nullptr;
  keys();
}

class InteractiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    cwd_ = cwd;
    root_ = dir_.file("root");
    ASSERT_EQ(platform::RunProgram(ZUL_ZULDATA, {"demo", root_, "--suite", kSource + "/suite"}), 0);
    // The print program: keeps spool N as copies/spoolN.
    ASSERT_TRUE(platform::MakeDirs(dir_.file("copies")));
    const std::string printer = root_ + "/BIN/ZUDAVIVI";
    ASSERT_TRUE(platform::WriteFile(
        printer, "#!/bin/sh\nn=$(ls '" + dir_.file("copies") + "' | wc -l)\n"
                 "cp \"${ZULTMP}zudavivi.tmp\" '" + dir_.file("copies") + "/spool'$n\n"));
    ASSERT_EQ(chmod(printer.c_str(), 0755), 0);
    setenv("ZULROOT", (root_ + "/").c_str(), 1);
    setenv("ZULEXE", (root_ + "/BIN/").c_str(), 1);
    setenv("ZULTMP", (root_ + "/TERM01/").c_str(), 1);
    setenv("ZULTODAY", "20261208", 1);
    config::session = config::SessionState();
    state = ReportState();
    console::ResetFormLayer();
    format::state = format::FormatState();
    dates::state = dates::DatesState();
    platform::console = platform::ConsoleState();
    platform::ConsoleStartWith(platform::ConsoleBackendKind::kHeadless);
    afterMessage = nullptr;
    platform::waitHooks = platform::WaitHookState();
    platform::AddWaitHook(TypeAfterMessage);
  }
  void TearDown() override {
    platform::waitHooks = platform::WaitHookState();
    ASSERT_EQ(chdir(cwd_.c_str()), 0);
    for (const char* v : {"ZULROOT", "ZULEXE", "ZULTMP", "ZULTODAY"}) unsetenv(v);
    config::session = config::SessionState();
    console::ResetFormLayer();
    if (HasFailure()) dir_.Keep();
  }
  static void Key(int16_t code) { console::testing::QueueKeyCode(code); }
  static void Keys(int16_t code, int times) {
    for (int k = 0; k < times; ++k) Key(code);
  }
  std::string Copy(int n) { return Read(dir_.file("copies/spool" + std::to_string(n))); }

  platform::TestDir dir_;
  std::string root_, cwd_;
};

TEST_F(InteractiveTest, TwoSelectionsGiveTwoSpoolsEachHandedOverBeforeTheFormReturns) {
  std::string message;
  ASSERT_TRUE(StartSession(&message)) << message;
  // The defaults (the working date 31/12/2026, communities 1 to 999),
  // confirmed with "S".
  Keys(platform::kKeyEnter, 5);
  platform::ConsoleQueueText("s");
  Key(platform::kKeyEnter);
  // The form comes back with the values kept: community 3 only.
  Key(platform::kKeyDown);
  platform::ConsoleQueueText("3");
  Keys(platform::kKeyEnter, 2);
  Key(platform::kKeyCtrlY);
  platform::ConsoleQueueText("3");
  Keys(platform::kKeyEnter, 2);
  platform::ConsoleQueueText("s");
  Key(platform::kKeyEnter);
  Key(platform::kKeyEsc);
  EXPECT_EQ(RunInteractive(), 0);
  EXPECT_EQ(platform::console.starvedWaits, 0);  // every key was used, none more needed
  EXPECT_EQ(platform::console.bells, 0);

  // The first is what `torbelan --batch 31/12/2026 1.0 999.999` writes.
  EXPECT_EQ(Copy(0), Read(kSource + "/report/testdata/expected_ca.spool"));
  const std::string second = Copy(1);
  EXPECT_NE(second.find("RAMBLA NOVA"), std::string::npos);
  EXPECT_EQ(second.find("PUJOL"), std::string::npos);
  EXPECT_EQ(Read(dir_.file("copies/spool2")), "");
  EXPECT_EQ(console::FieldAt(1, 2)->Value, "3   ");
  EXPECT_EQ(console::FieldAt(1, 4)->Value, "3   ");
  EXPECT_EQ(datafile::FindSlot(kFinquesH), -40);  // every data file closed again
}

TEST_F(InteractiveTest, RefusedSelectionsPrintNothing) {
  std::string message;
  ASSERT_TRUE(StartSession(&message)) << message;
  // An impossible date: the bell, and the field edited again.
  platform::ConsoleQueueText("310226");
  Key(platform::kKeyEnter);
  Key(platform::kKeyCtrlY);
  Key(platform::kKeyEnter);  // blank: the working date again
  // First community 3 after the last 2: said, with the bell; screen 1 stays.
  Key(platform::kKeyCtrlY);
  platform::ConsoleQueueText("3");
  Keys(platform::kKeyEnter, 2);
  Key(platform::kKeyCtrlY);
  platform::ConsoleQueueText("2");
  Keys(platform::kKeyEnter, 2);
  // A key for the message; back on the first field: down to the last
  // community, 9 this time, and "N" on the confirmation; the form comes
  // back; Esc.
  afterMessage = [] {
    Key(platform::kKeyEnter);
    Keys(platform::kKeyDown, 3);
    Key(platform::kKeyCtrlY);
    platform::ConsoleQueueText("9");
    Keys(platform::kKeyEnter, 2);
    platform::ConsoleQueueText("n");
    Key(platform::kKeyEnter);
    Key(platform::kKeyEsc);
  };
  EXPECT_EQ(RunInteractive(), 0);
  EXPECT_EQ(platform::console.bells, 2);
  EXPECT_EQ(platform::console.starvedWaits, 0);
  EXPECT_EQ(Copy(0), "");  // the print program never ran
  EXPECT_EQ(console::FieldAt(1, 1)->Value, "311226    ");
  EXPECT_EQ(console::FieldAt(1, 2)->Value, "3   ");
  EXPECT_EQ(console::FieldAt(1, 4)->Value, "9   ");
}

TEST_F(InteractiveTest, UnusableFormFileStopsBeforeAnyDataFileIsOpened) {
  for (const std::string& bytes : {std::string(), std::string("2, 12\r\n\"d\", 12, 0, 0, 0\r\n"),
                                   std::string("1, 1\r\n\"d\", 1, 0, 0, 0, 0, 0\r\n"
                                               "1, 1, A, 1, 0, 0, 0, 0, 0, \"\"\r\n0\r\n"),
                                   std::string("40000, 12\r\n")}) {
    platform::console.bells = 0;
    platform::console.starvedWaits = 0;
    const std::string form = root_ + "/FORMS/TORBELAN.JPN";
    if (bytes.empty()) {
      unlink(form.c_str());
    } else {
      ASSERT_TRUE(platform::WriteFile(form, bytes));
    }
    std::string message;
    ASSERT_TRUE(StartSession(&message)) << message;
    EXPECT_EQ(RunInteractive(), kExitDataError);  // nothing useful happened
    EXPECT_EQ(platform::console.bells, 1);
    EXPECT_EQ(platform::console.starvedWaits, 1);  // one key waited for
    EXPECT_EQ(datafile::FindSlot(kTDespesa), -40);  // nothing opened
    EXPECT_EQ(console::screen.WindowDepth, 0);
  }
}

TEST_F(InteractiveTest, TheDemoFormHoldsWhatTheHooksAndTheBrowseListsNeed) {
  const std::string bytes = Read(root_ + "/FORMS/TORBELAN.JPN");
  EXPECT_NE(bytes.find("\"DATA LIQUIDACI\xE0\""), std::string::npos);  // code page 850
  EXPECT_NE(bytes.find("0, 0, 4, 0, 0, \"\"\r\n"), std::string::npos);  // CR LF
  EXPECT_EQ(bytes.find("\xC3\x93"), std::string::npos);                  // no UTF-8 left
  std::string message;
  ASSERT_TRUE(StartSession(&message)) << message;
  ASSERT_EQ(console::LoadForm(), console::FormFileStatus::kOk);
  ASSERT_TRUE(FormHasSelectionFields());
  const int16_t types[] = {1, 2, 2, 2, 2}, lists[] = {0, 1, 2, 1, 3};
  for (int16_t f = 1; f <= 5; ++f) {
    const console::FormField& field = *console::FieldAt(1, f);
    EXPECT_EQ(field.Type, types[f - 1]) << f;
    EXPECT_EQ(field.BrowseList, lists[f - 1]) << f;
    EXPECT_EQ(field.Flags & console::kFieldDisplayOnly, 0) << f;
  }
  EXPECT_GE(console::FieldAt(1, 1)->Width, 10);  // "31/12/2026" as the calendar types it
  for (int16_t f : {2, 3, 4, 5}) {
    EXPECT_GE(console::FieldAt(1, f)->Width, 3);
    EXPECT_LE(console::FieldAt(1, f)->Width, 4);
  }
  // Every other field of screen 1 is display-only; one is the keys' line.
  bool keysLine = false;
  for (int16_t f = 6; f <= console::ScreenAt(1)->FieldCount; ++f) {
    EXPECT_NE(console::FieldAt(1, f)->Flags & console::kFieldDisplayOnly, 0) << f;
    keysLine = keysLine || console::FieldAt(1, f)->Label.find("ESC") != std::string::npos;
  }
  EXPECT_TRUE(keysLine);
  const console::FormScreen& confirmation = *console::ScreenAt(2);
  EXPECT_GT(confirmation.Top, 0);
  EXPECT_EQ(console::FieldAt(2, 1)->Options, "|N,NO|S,S\xD6");
  // Windows on the 80 x 25 console; the lists over their files, by key 0.
  EXPECT_TRUE(confirmation.Bottom <= 25 && confirmation.Right <= 80);
  ASSERT_EQ(console::form.ListCount, 3);
  const int16_t files[] = {kFinquesH, kPropietH, kPropietH};
  for (int16_t k = 1; k <= 3; ++k) {
    const console::BrowseListDef& list = *console::ListAt(k);
    EXPECT_EQ(list.DataFile, files[k - 1]);
    EXPECT_EQ(list.KeyNumber, 0);
    EXPECT_TRUE(list.Top >= 1 && list.Bottom <= 25 && list.Left >= 1 && list.Right <= 80) << k;
    EXPECT_FALSE(list.Heading.empty());
  }
}

TEST_F(InteractiveTest, TheDemoFormFitsTheScreenInEveryLanguage) {
  std::string message;
  ASSERT_TRUE(StartSession(&message)) << message;
  for (const char* language : {"CAT", "SPA", "GLG", "OCI"}) {
    config::session.Language = language;
    EXPECT_EQ(console::LoadForm(), console::FormFileStatus::kOk) << language;
  }
}

TEST_F(InteractiveTest, AReadThatFailsDuringThePassStopsItAndNothingIsPrinted) {
  std::string message;
  ASSERT_TRUE(StartSession(&message)) << message;
  ASSERT_EQ(BuildSelection("31/12/2026", "1.0", "999.999"), SelectionStatus::kOk);
  // Every file but CobramH: each of its reads fails with status 3.
  for (const ReportFileLayout& file : kLayouts) {
    if (file.fileNumber == kCobramH) continue;
    RecordBuffer buffer = RecordBufferOf(file.fileNumber);
    int16_t status = 0;
    datafile::DataOpen(file.fileNumber, config::session.RootDir + "DADES\\" + file.name,
                       buffer.data, status, int32_t(buffer.size));
    ASSERT_EQ(status, 0) << file.name;
  }
  ReadSettings();
  EXPECT_EQ(RunReportPass(&message), PassResult::ReadFailed);
  EXPECT_EQ(state.FailedFile, kCobramH);
  EXPECT_EQ(state.FailedStatus, 3);
  EXPECT_EQ(state.Settlements, 0);
  EXPECT_EQ(message, "ERROR DE LECTURA AL FITXER " + root_ + "/DADES/CobramH.dat (3): NO "
                     "S'IMPRIMEIX RES");
  EXPECT_FALSE(platform::PathExists(print::SpoolPath()));
  EXPECT_EQ(Copy(0), "");  // the print program never ran
  // The next pass starts clean: with every file open it prints.
  RecordBuffer buffer = RecordBufferOf(kCobramH);
  int16_t status = 0;
  datafile::DataOpen(kCobramH, config::session.RootDir + "DADES\\CobramH", buffer.data, status,
                     int32_t(buffer.size));
  EXPECT_EQ(RunReportPass(&message), PassResult::Printed);
  EXPECT_EQ(state.FailedFile, 0);
  EXPECT_EQ(Copy(0), Read(kSource + "/report/testdata/expected_ca.spool"));
  CloseReportFiles();
}

TEST_F(InteractiveTest, AFeeRateThatIsNotAPercentageIsToldAndNothingIsPrinted) {
  std::string ini = Read(root_ + "/Brol.ini");
  size_t at = ini.find("Ret0=15");
  ASSERT_NE(at, std::string::npos);
  ASSERT_TRUE(platform::WriteFile(root_ + "/Brol.ini", ini.replace(at, 7, "Ret0=115")));
  std::string message;
  ASSERT_TRUE(StartSession(&message)) << message;
  platform::console.bells = 0;
  EXPECT_EQ(RunInteractive(), kExitSettings);
  EXPECT_EQ(RateProblem(), "PERCENTATGE NO V\xB7LID A " + root_ + "/Brol.ini [Honoraris] Ret0=115");
  EXPECT_EQ(platform::console.bells, 1);
  EXPECT_EQ(platform::console.starvedWaits, 1);  // one key for the message, no form
  EXPECT_EQ(Copy(0), "");
  EXPECT_EQ(datafile::FindSlot(kFinquesH), -40);  // the data files closed again
}

TEST_F(InteractiveTest, OperatorMessagesNameTheFileInTheSessionLanguage) {
  const std::string name = "C:\\ZUL\\FORMS\\TORBELAN.JPN";
  config::session.Language = "CAT";
  EXPECT_EQ(FormFileMessage(console::FormFileStatus::kMissing, name),
            "NO ES POT LLEGIR EL FITXER DE FORMULARI " + name);
  EXPECT_EQ(FormFileMessage(console::FormFileStatus::kTruncated, name),
            "EL FITXER DE FORMULARI " + name + " \x90S INCOMPLET");
  EXPECT_EQ(FormFileMessage(console::FormFileStatus::kOutOfRange, name, 14),
            "EL FITXER DE FORMULARI " + name + " T\x90 UN VALOR FORA DE L\xD6MITS A LA L\xD6NIA 14");
  config::session.Language = "SPA";
  EXPECT_EQ(FormFileMessage(console::FormFileStatus::kTruncated, name),
            "EL FICHERO DE FORMULARIO " + name + " EST\xB5 INCOMPLETO");
  config::session.Language = "GLG";
  EXPECT_EQ(FormFileMessage(console::FormFileStatus::kMissing, name),
            "NOM SE PODE LER O FICHEIRO DE FORMUL\xB5RIO " + name);
  config::session.Language = "OCI";
  config::session.ExeDir = "C:\\ZUL\\BIN\\";
  EXPECT_EQ(PassMessage(PassResult::NoPrinter),
            "NON SE P\xE3T EXECUTAR ETH PROGRAMA D'IMPRESSION /ZUL/BIN/ZUDAVIVI");
  EXPECT_EQ(PassMessage(PassResult::Printed), "");
}

}  // namespace
}  // namespace report
