#include "report/main_flow.h"

#include <unistd.h>

#include <cstdio>

#include "config/catalogue.h"
#include "config/ini_reader.h"
#include "config/session.h"
#include "config/session_init.h"
#include "console/popups.h"
#include "datafile/data_open.h"
#include "datafile/record_ops.h"
#include "dates/date_format.h"
#include "format/money.h"
#include "format/numeric_text.h"
#include "format/text_utils.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "print/spool.h"
#include "recman/creation_layout_file.h"
#include "report/captions.h"
#include "report/interactive.h"
#include "report/report_state.h"
#include "report/selection.h"
#include "report/settlement.h"

namespace report {
bool StartSession(std::string* message) {
  config::SessionInit();
  const std::string& root = config::session.RootDir;
  if (!root.empty() && chdir(platform::SuitePath(root).c_str()) != 0) {
    *message = "cannot enter the suite's root directory " + root;
    return false;
  }
  config::session.ModuleName = kModuleName;
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

void ReadSettings() {
  const std::string ini = config::session.RootDir + "Brol.ini";
  for (int i = 1; i <= 8; ++i)
    state.Identity[i] = config::IniRead(ini, "Administrador", "Linia" + std::to_string(i));
  state.Letterhead = config::IniRead(ini, "Rebut", "Membret");
  state.VatRate[0] = float(format::TextValue(config::IniRead(ini, "Honoraris", "Iva0")));
  state.VatRate[1] = float(format::TextValue(config::IniRead(ini, "Honoraris", "Iva1")));
  state.WithholdingRate[0] = float(format::TextValue(config::IniRead(ini, "Honoraris", "Ret0")));
  state.WithholdingRate[1] = float(format::TextValue(config::IniRead(ini, "Honoraris", "Ret1")));
}

PassResult RunReportPass(std::string* message) {
  if (print::PrintOpen(config::session.OutputDevice) != print::PrintStatus::Ok) {
    *message = "the print spool " + print::SpoolPath() + " cannot be written";
    print::PrintClose();
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
  if (print::PrintClose() != print::PrintStatus::Ok) {
    *message = "the print spool " + print::SpoolPath() + " could not be written completely";
    return PassResult::SpoolFailed;
  }
  if (platform::RunProgram(config::session.ExeDir + "ZUDAVIVI", {}) < 0) {
    *message = "the print program " + config::session.ExeDir + "ZUDAVIVI could not be started";
    return PassResult::NoPrinter;
  }
  return PassResult::Printed;
}

void CloseReportFiles() {
  int16_t status = 0;
  datafile::DataCloseAll(status);
}

int TorbelanMain(const std::vector<std::string>& args) {
  const bool batch = !args.empty() && args[0] == "--batch";
  if (!args.empty() && !(batch && args.size() == 4)) {
    std::fprintf(stderr, "usage: torbelan\n       torbelan --batch DATE FIRST LAST\n"
                         "  DATE as typed in the date field (31/12/2026, 311226),\n"
                         "  FIRST and LAST as community.department (1.0, 999.999)\n");
    return 2;
  }
  // The calendar and the calculator answer Alt+C and Alt+X at every key wait.
  console::RegisterPopups();
  std::string message;
  if (!StartSession(&message)) {
    std::fprintf(stderr, "torbelan: %s\n", message.c_str());
    return batch ? 1 : 0;
  }
  if (!batch) return RunInteractive();
  if (!SetSelection(args[1], args[2], args[3], &message)) {
    std::fprintf(stderr, "torbelan: %s\n", message.c_str());
    return 2;
  }
  // Without a terminal the data-file layer's message could not be seen.
  std::string missing = MissingReportFile();
  if (!missing.empty()) {
    std::fprintf(stderr, "torbelan: the data file %s is missing and has no creation "
                         "layout under ddf\\ (is ZULROOT the suite's root?)\n",
                 missing.c_str());
    return 1;
  }
  OpenReportFiles();
  ReadSettings();
  PassResult result = RunReportPass(&message);
  CloseReportFiles();
  if (result != PassResult::Printed) std::fprintf(stderr, "torbelan: %s\n", message.c_str());
  return result == PassResult::SpoolFailed ? 1 : 0;
}

}  // namespace report
