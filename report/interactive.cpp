#include "report/interactive.h"

#include "config/language.h"
#include "config/session.h"
#include "console/colours.h"
#include "forms/form.h"
#include "forms/form_engine.h"
#include "console/message.h"
#include "console/windows.h"
#include "datafile/data_open.h"
#include "dates/date_math.h"
#include "platform/key_codes.h"
#include "report/batch_run.h"
#include "report/selection_hooks.h"
#include "report/pass_messages.h"
#include "report/report_state.h"

namespace report {
namespace {

void SetValue(int16_t field, const std::string& text) {
  console::FormField* f = console::FieldAt(1, field);
  if (f == nullptr) return;
  std::string value = text.substr(0, f->Value.size());
  value.resize(f->Value.size(), ' ');
  f->Value = value;
}

// After a pass: what went wrong, or where a document went, and the
// communities the pass left out; each in a message that waits for a key.
void TellPass(PassResult result, const std::string& message) {
  if (result == PassResult::Printed) {
    // A preview or a printer shows for itself; a document, or a folder of
    // them, is named.
    if (!state.PrintedDocument.empty() || !state.PrintedFolder.empty())
      console::ShowMessageAndWait(kMessageRow,
                                  PrintedMessage(state.Settlements, state.Pages,
                                                 config::session.OutputDevice,
                                                 state.PrintedDocument, state.PrintedFolder,
                                                 state.PrintedFiles),
                                  false);
  } else {
    console::ShowMessageAndWait(kMessageRow, message);
  }
  if (result != PassResult::Empty && !state.CommunitiesNotSettled.empty())
    console::ShowMessageAndWait(kMessageRow,
                                CommunitiesNotSettledMessage(state.CommunitiesNotSettled));
}

// The report cycle: the form until Esc, a report pass for every confirmed
// selection.
void ReportCycle() {
  for (;;) {
    console::SetColourRole("n");
    console::ClearScreen();
    int16_t screen = 1, noPageUp = 0, noPageDown = 0, key = 0;
    console::RunForm(screen, noPageUp, noPageDown, key);
    if (key == platform::kKeyEsc) return;
    std::string message;
    // An empty selection is told here, as the batch run tells it: the
    // print program would only say it has nothing to print.
    TellPass(RunReportPass(&message, false), message);
  }
}

}  // namespace

// Accented capitals are code page 850 bytes: 0x90 "É", 0xB5 "Á", 0xD4 "È",
// 0xE0 "Ó", 0xE3 "Ò".
std::string FormFileMessage(console::FormFileStatus status, const std::string& name,
                            int32_t line) {
  if (status == console::FormFileStatus::kOutOfRange) {
    // 0xD6 is "Í", 0xE3 "Ò".
    return config::ByLanguage("EL FITXER DE FORMULARI ", "O FICHEIRO DE FORMUL\xB5RIO ",
                              "ETH FICH\xD4R DE FORMULARI ", "EL FICHERO DE FORMULARIO ") +
           name +
           config::ByLanguage(" T\x90 UN VALOR FORA DE L\xD6MITS A LA L\xD6NIA ",
                              " TEM UM VALOR FORA DOS LIMITES NA LINHA ",
                              " A UNA VALOR F\xE3RA DE L\xD6MITS ENA LINHA ",
                              " TIENE UN VALOR FUERA DE L\xD6MITES EN LA L\xD6NEA ") +
           std::to_string(line);
  }
  if (status == console::FormFileStatus::kMissing) {
    return config::ByLanguage("NO ES POT LLEGIR EL FITXER DE FORMULARI ",
                              "NOM SE PODE LER O FICHEIRO DE FORMUL\xB5RIO ",
                              "NON SE P\xE3T L\x90GER ETH FICH\xD4R DE FORMULARI ",
                              "NO SE PUEDE LEER EL FICHERO DE FORMULARIO ") +
           name;
  }
  return config::ByLanguage("EL FITXER DE FORMULARI ", "O FICHEIRO DE FORMUL\xB5RIO ",
                            "ETH FICH\xD4R DE FORMULARI ", "EL FICHERO DE FORMULARIO ") +
         name +
         config::ByLanguage(" \x90S INCOMPLET", " EST\xB5 INCOMPLETO", " \x90S INCOMPLET",
                            " EST\xB5 INCOMPLETO");
}

void SetInitialValues() {
  SetValue(1, dates::DateToInput(config::session.WorkDate));
  SetValue(2, "1");
  SetValue(3, "0");
  SetValue(4, "999");
  SetValue(5, "999");
}

int RunInteractive() {
  // A data file that cannot be opened ends the program with its message.
  datafile::openFailure.ExitCode = kExitDataError;
  const std::string refused = RefusedTextFileMessage();
  if (!refused.empty()) {
    console::ShowMessageAndWait(kMessageRow, refused);
    return kExitSettings;
  }
  int32_t line = 0;
  console::FormFileStatus status = console::LoadForm(&line);
  if (status == console::FormFileStatus::kOk && !FormHasSelectionFields())
    status = console::FormFileStatus::kTruncated;
  if (status != console::FormFileStatus::kOk) {
    console::ShowMessageAndWait(
        kMessageRow, FormFileMessage(status, NativeName(console::FormFileName()), line));
    return kExitDataError;
  }
  RegisterFormHooks();
  SetInitialValues();
  OpenReportFiles();
  ReadSettings();
  // Fees from a rate that is not a percentage would be wrong on every
  // settlement: nothing is printed with it.
  std::string rates = RateProblem();
  if (!rates.empty()) {
    console::ShowMessageAndWait(kMessageRow, rates);
    CloseReportFiles();
    return kExitSettings;
  }
  ReportCycle();
  CloseReportFiles();
  return kExitPrinted;
}

}  // namespace report
