#include "report/main_flow.h"

#include <cstdio>
#include <cstdlib>

#include "config/catalogue.h"
#include "config/ini_reader.h"
#include "config/language.h"
#include "config/session.h"
#include "config/session_init.h"
#include "console/message.h"
#include "console/windows.h"
#include "forms/popups.h"
#include "datafile/data_messages.h"
#include "datafile/data_open.h"
#include "datafile/record_ops.h"
#include "dates/date_format.h"
#include "format/money.h"
#include "format/numeric_text.h"
#include "format/text_utils.h"
#include "platform/codepage.h"
#include "platform/console.h"
#include "platform/directory.h"
#include "platform/env.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/version.h"
#include "print/print_result.h"
#include "print/spool.h"
#include "print/spool_lock.h"
#include "recman/creation_layout_file.h"
#include "report/batch_run.h"
#include "report/captions.h"
#include "report/department_figures.h"
#include "report/interactive.h"
#include "report/pass_messages.h"
#include "report/report_state.h"
#include "report/selection.h"
#include "report/settlement.h"

namespace report {
namespace {

// The terminal's folder (TempDir) was found relative to the directory the
// program started in, and the program moves into the suite's root next: it
// is named from the file system's root from here on, and the programs
// started from this one (the print program) get it as ZULTMP, so they find
// the spool and the terminal's files where this one wrote them.
void AnchorTempDir() {
  std::string& temp = config::session.TempDir;
  const std::string native = platform::SuitePath(temp);
  if (!platform::IsAbsolutePath(native)) {
    const std::string cwd = platform::CurrentDirectory();
    if (cwd.empty()) return;
    temp = platform::Utf8ToCp850(cwd) + "\\" + temp;
  }
  platform::SetEnv("ZULTMP", platform::SuitePath(temp));
}

}  // namespace

bool StartSession(std::string* message) {
  config::SessionInit();
  AnchorTempDir();
  const std::string& root = config::session.RootDir;
  if (!root.empty() && !platform::ChangeDirectory(platform::SuitePath(root))) {
    *message = config::ByLanguage("NO ES POT ACCEDIR AL DIRECTORI ",
                                  "NOM SE PODE ACEDER AO DIRECT\xE0RIO ",
                                  "NON SE P\xE3T ACCEDIR ATH DIRECTORI ",
                                  "NO SE PUEDE ACCEDER AL DIRECTORIO ") +
               NativeName(root);
    return false;
  }
  config::session.ModuleName = kModuleName;
  platform::console.tooSmallText = console::TerminalTooSmallText();
  return true;
}

void OpenReportFiles() {
  for (const ReportFileLayout& file : kLayouts) {
    RecordBuffer buffer = RecordBufferOf(file.fileNumber);
    int16_t status = 0;
    datafile::DataOpen(file.fileNumber, config::session.RootDir + "DADES\\" + file.name,
                       buffer.data, status, static_cast<int32_t>(buffer.size));
  }
}

std::string MissingReportFile() {
  const std::string& root = config::session.RootDir;
  for (const ReportFileLayout& file : kLayouts) {
    const std::string name = file.name;
    if (platform::PathExists(platform::SuitePath(root + "DADES\\" + name + ".dat"))) continue;
    if (platform::PathExists(platform::SuitePath(recman::CreationLayoutFileName(root, name)))) {
      continue;
    }
    return root + "DADES\\" + name;
  }
  return "";
}

namespace {

// The INI keys of the rates, in the order of state.RateText.
constexpr const char* kRateKeys[4] = {"Iva0", "Iva1", "Ret0", "Ret1"};

// Reads a rate as an operator writes it: blanks around it, an optional sign,
// digits with at most one decimal mark ("." or the suite's ","), and an
// optional "%" after them: "21", "21,5", " 10.5%", "-0.5". Sets *value and
// returns true; the empty text is 0. Anything else (letters, "1e20",
// "1.234,5", two marks) is not a rate: false, *value 0.
bool ReadRate(const std::string& text, float* value) {
  *value = 0.0f;
  std::string t = format::TrimBlanks(text);
  if (!t.empty() && t.back() == '%') t = format::TrimBlanks(t.substr(0, t.size() - 1));
  if (t.empty()) return text.find('%') == std::string::npos;
  size_t at = (t[0] == '+' || t[0] == '-') ? 1 : 0;
  bool digits = false, mark = false;
  for (; at < t.size(); ++at) {
    const char c = t[at];
    if (c >= '0' && c <= '9') {
      digits = true;
    } else if ((c == '.' || c == ',') && !mark) {
      mark = true;
      t[at] = '.';
    } else {
      return false;
    }
  }
  if (!digits) return false;
  *value = float(format::TextValue(t));
  return true;
}

}  // namespace

void ReadSettings() {
  const std::string ini = config::session.RootDir + "Brol.ini";
  for (int i = 1; i <= 8; ++i)
    state.Identity[i] = config::IniRead(ini, "Administrador", "Linia" + std::to_string(i));
  state.Letterhead = config::IniRead(ini, "Rebut", "Membret");
  float* rates[4] = {&state.VatRate[0], &state.VatRate[1], &state.WithholdingRate[0],
                     &state.WithholdingRate[1]};
  for (int i = 0; i < 4; ++i) {
    state.RateText[i] = config::IniRead(ini, "Honoraris", kRateKeys[i]);
    ReadRate(state.RateText[i], rates[i]);
  }
}

std::string RateProblem() {
  const float rates[4] = {state.VatRate[0], state.VatRate[1], state.WithholdingRate[0],
                          state.WithholdingRate[1]};
  for (int i = 0; i < 4; ++i) {
    float read = 0.0f;
    // Written so that a value that is not a number fails too.
    if (!ReadRate(state.RateText[i], &read) || !(rates[i] >= 0.0f && rates[i] <= 100.0f))
      return RateMessage(kRateKeys[i], format::TrimBlanks(state.RateText[i]));
  }
  return "";
}

namespace {

// What is wrong with the arguments (code page 850), then the usage, on
// standard error.
void RefuseArguments(const std::string& message) {
  std::fprintf(stderr, "torbelan: %s\n%s", platform::Cp850ToUtf8(message).c_str(),
               UsageText().c_str());
}

// A spool that must not be printed: closed and removed.
void DiscardSpool() {
  print::PrintClose();
  platform::RemoveFile(print::SpoolPath());
}

// The terminal's pass lock for one report pass, the print program included
// (print/spool_lock.h): taken when made, let go when it goes out of scope.
// While another pass has the terminal's folder the data files' lock message
// is shown where they show it (and removed when the wait ends), or given to
// the report routine of a program without a screen (a batch run).
struct PassLock {
  PassLock() {
    bool shown = false;
    held = print::LockSpool([&shown] {
             if (datafile::openFailure.Report != nullptr) {
               datafile::openFailure.Report(datafile::LockMessage());
             } else {
               shown = console::ShowMessage(kLockMessageRow, datafile::LockMessage());
             }
           }) == print::PrintStatus::Ok;
    if (shown) console::PopWindow();
  }
  ~PassLock() {
    if (held) print::UnlockSpool();
  }
  static constexpr int16_t kLockMessageRow = 24;  // where the data files show theirs
  bool held = false;
};

}  // namespace

PassResult RunReportPass(std::string* message, bool printEmpty, int* printerCode) {
  ResetPass();
  // One pass at a time in a terminal's folder: they share the spool's name.
  PassLock passLock;
  if (!passLock.held) {
    *message = PassMessage(PassResult::SpoolFailed);
    return PassResult::SpoolFailed;
  }
  if (print::PrintOpen(config::session.OutputDevice) != print::PrintStatus::Ok) {
    print::PrintClose();
    *message = PassMessage(PassResult::SpoolFailed);
    return PassResult::SpoolFailed;
  }
  // The document's title and name: "DETALL DE LIQUIDACIÓ FINS AL 31 DE
  // DESEMBRE DEL 2026" (in the session's language), "LIQUIDACIO_2026-12-31".
  print::PrintDocument(config::Translate(caption::kTitle) + config::Translate(caption::kUntil) +
                           format::UpperText(dates::FormatDate(state.SelectionDate,
                                                               dates::kDateLong, "dma")),
                       "LIQUIDACIO_" + dates::FormatDate(state.SelectionDate, dates::kDateIso,
                                                         "dma"));
  format::SetCurrency("p");
  ProduceSettlements();
  format::SetCurrency("");
  if (state.FailedFile != 0) {
    DiscardSpool();
    *message = PassMessage(PassResult::ReadFailed);
    return PassResult::ReadFailed;
  }
  if (state.Settlements == 0 && !printEmpty) {
    DiscardSpool();
    *message = PassMessage(PassResult::Empty);
    return PassResult::Empty;
  }
  if (print::PrintClose() != print::PrintStatus::Ok) {
    *message = PassMessage(PassResult::SpoolFailed);
    return PassResult::SpoolFailed;
  }
  // The table for the books goes with the printout or not at all.
  if (!state.FiguresFile.empty() && !WriteFiguresFile(state.FiguresFile)) {
    platform::RemoveFile(print::SpoolPath());
    *message = PassMessage(PassResult::FiguresFailed);
    return PassResult::FiguresFailed;
  }
  // The print program leaves what it did in its result file; one from an
  // earlier run must not be taken for this one's.
  print::DiscardPrintResult();
  int code = platform::RunProgram(config::session.ExeDir + "ZUDAVIVI", {});
  const print::PrintResult said = print::TakePrintResult();
  state.PrinterCode = code;
  state.PrintedDocument = said.document;
  state.PrinterMessage = said.message;
  state.PrintedFolder = said.folder;
  state.PrintedFiles = said.files;
  if (printerCode != nullptr) *printerCode = code;
  if (code < 0) {
    *message = PassMessage(PassResult::NoPrinter);
    return PassResult::NoPrinter;
  }
  if (code != 0) {
    *message = PassMessage(PassResult::PrinterFailed);
    return PassResult::PrinterFailed;
  }
  return PassResult::Printed;
}

void CloseReportFiles() {
  int16_t status = 0;
  datafile::DataCloseAll(status);
}

int TorbelanMain(const std::vector<std::string>& args) {
  if (args.size() == 1 && args[0] == "--help") {
    std::fputs(UsageText().c_str(), stdout);
    return 0;
  }
  if (args.size() == 1 && args[0] == "--version") {
    std::printf("torbelan %s\n", platform::kVersion);
    return 0;
  }
  // The session's language, for what the program says about its arguments.
  config::SessionInit();
  BatchArguments batch;
  std::string message;
  const bool isBatch = !args.empty() && args[0] == "--batch";
  if (!args.empty() && !isBatch) {
    const bool known = args[0] == "--help" || args[0] == "--version";
    RefuseArguments(UnknownArgumentMessage(known && args.size() > 1 ? args[1] : args[0]));
    return kExitArguments;
  }
  if (isBatch && !ParseBatchArguments(args, &batch, &message)) {
    RefuseArguments(message);
    return kExitArguments;
  }
  // The calendar and the calculator answer Alt+C and Alt+X at every key wait.
  console::RegisterPopups();
  if (!StartSession(&message)) {
    std::fprintf(stderr, "torbelan: %s\n", platform::Cp850ToUtf8(message).c_str());
    return kExitDataError;
  }
  if (!isBatch) return RunInteractive();
  return RunBatch(batch);
}

}  // namespace report
