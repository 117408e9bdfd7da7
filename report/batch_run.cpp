#include "report/batch_run.h"

#include <cctype>
#include <cstdio>

#include "config/language.h"
#include "config/session.h"
#include "datafile/data_open.h"
#include "datafile/data_messages.h"
#include "platform/codepage.h"
#include "platform/directory.h"
#include "print/device_name.h"
#include "report/main_flow.h"
#include "report/pass_messages.h"
#include "report/report_state.h"
#include "report/selection.h"

namespace report {
namespace {

// The highest department number a key holds: four packed digits.
constexpr const char* kLastDepartment = ".9999";

bool HasDot(const std::string& s) { return s.find('.') != std::string::npos; }

// A file named on the command line, relative to the directory the program
// was started in; the program works in the suite's root, so the directory
// is put in front. Absolute names ("/...", "\\...", "C:...") are kept.
std::string AnchoredPath(const std::string& path) {
  const char first = path.empty() ? '\0' : path[0];
  const bool drive =
      path.size() > 1 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(first));
  if (path.empty() || first == '/' || first == '\\' || drive) return path;
  const std::string cwd = platform::CurrentDirectory();
  if (cwd.empty()) return path;
  return cwd + "/" + path;
}

// A document device with a relative file or folder ("PDF:liq.pdf",
// "TXT:x/y.txt", "PDF-EACH:liq") names it from the directory the program was
// started in, as any file given on a command line does. Every other device
// is kept as given.
std::string AnchoredDevice(const std::string& device) {
  const print::DeviceName name = print::ClassifyDevice(device);
  if (!print::WritesFiles(name.kind) || name.path.empty()) return device;
  return device.substr(0, name.pathOffset) + AnchoredPath(device.substr(name.pathOffset));
}

// One line for the operator on standard error (`text` in code page 850).
void Tell(const std::string& text) {
  std::fprintf(stderr, "torbelan: %s\n", platform::Cp850ToUtf8(text).c_str());
}

}  // namespace

namespace {

// One to four digits: a whole community as the command line gives it.
bool IsCommunityNumber(const std::string& s) {
  if (s.empty() || s.size() > 4) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

bool ParseBatchArguments(const std::vector<std::string>& args, BatchArguments* out,
                         std::string* message) {
  std::vector<std::string> positional;
  BatchArguments parsed;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--device") {
      if (i + 1 >= args.size()) {
        *message = config::ByLanguage(
            "--device DEMANA UN DISPOSITIU (PDF:FITXER, TXT:FITXER O UNA IMPRESSORA)",
            "--device PRECISA DUM DISPOSITIVO (PDF:FICHEIRO, TXT:FICHEIRO OU UMHA IMPRESSORA)",
            "--device DEMANE UN DISPOSITIU (PDF:FICH\xD4R, TXT:FICH\xD4R O UNA IMPRIMIDORA)",
            "--device NECESITA UN DISPOSITIVO (PDF:FICHERO, TXT:FICHERO O UNA IMPRESORA)");
        return false;
      }
      parsed.hasDevice = true;
      parsed.device = AnchoredDevice(args[++i]);
    } else if (args[i] == "--figures") {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        *message = config::ByLanguage("--figures DEMANA UN FITXER (XIFRES.CSV)",
                                      "--figures PRECISA DUM FICHEIRO (CIFRAS.CSV)",
                                      "--figures DEMANE UN FICH\xD4R (CHIFRES.CSV)",
                                      "--figures NECESITA UN FICHERO (CIFRAS.CSV)");
        return false;
      }
      parsed.figures = AnchoredPath(args[++i]);
    } else {
      positional.push_back(platform::Utf8ToCp850(args[i]));
    }
  }
  if (positional.size() < 2 || positional.size() > 3) {
    *message = config::ByLanguage(
        "--batch DEMANA UNA DATA I UN O DOS DEPARTAMENTS O COMUNITATS",
        "--batch PRECISA DUMHA DATA E UM OU DOUS DEPARTAMENTOS OU COMUNIDADES",
        "--batch DEMANE UNA DATA E UN O DUS DEPARTAMENTS O COMUNITATS",
        "--batch NECESITA UNA FECHA Y UNO O DOS DEPARTAMENTOS O COMUNIDADES");
    return false;
  }
  parsed.date = positional[0];
  const std::string& a = positional[1];
  const std::string& b = positional.size() == 3 ? positional[2] : positional[1];
  if (HasDot(a) != HasDot(b)) {
    *message = config::ByLanguage(
                   "DOS DEPARTAMENTS (COMUNITAT.DEPARTAMENT) O DUES COMUNITATS, NO UN DE CADA: ",
                   "DOUS DEPARTAMENTOS (COMUNIDADE.DEPARTAMENTO) OU DUAS COMUNIDADES, NOM UM DE "
                   "CADA: ",
                   "DUS DEPARTAMENTS (COMUNITAT.DEPARTAMENT) O DUES COMUNITATS, NON UN DE CADUN: ",
                   "DOS DEPARTAMENTOS (COMUNIDAD.DEPARTAMENTO) O DOS COMUNIDADES, NO UNO DE "
                   "CADA: ") +
               a + " " + b;
    return false;
  }
  // A whole community is its number alone; what is not one is named as
  // typed (a department code is checked by SetSelection, also as typed).
  for (const std::string* code : {&a, &b}) {
    if (!HasDot(*code) && !IsCommunityNumber(*code)) {
      *message = NotADepartmentMessage(*code);
      return false;
    }
  }
  parsed.first = HasDot(a) ? a : a + ".0";
  parsed.last = HasDot(b) ? b : b + kLastDepartment;
  *out = parsed;
  return true;
}

std::string UnknownArgumentMessage(const std::string& argument) {
  return config::ByLanguage("ARGUMENT DESCONEGUT: ", "ARGUMENTO DESCONHECIDO: ",
                            "ARGUMENT DESCONEISHUT: ", "ARGUMENTO DESCONOCIDO: ") +
         platform::Utf8ToCp850(argument);
}

std::string UsageText() {
  return "usage: torbelan\n"
         "       torbelan --batch DATE FIRST LAST [--device DEVICE] [--figures FILE.csv]\n"
         "       torbelan --batch DATE COMMUNITY [LAST_COMMUNITY] [--device DEVICE]\n"
         "                [--figures FILE.csv]\n"
         "       torbelan --help | --version\n"
         "Without arguments, the selection form on the terminal. --batch makes one\n"
         "report pass without the form:\n"
         "  DATE        as typed in the date field (31/12/2026, 311226)\n"
         "  FIRST LAST  departments as community.department (1.0 999.999)\n"
         "  COMMUNITY [LAST_COMMUNITY]\n"
         "              whole communities: 2 is 2.0 to 2.9999, 2 5 is 2.0 to 5.9999\n"
         "  --device DEVICE\n"
         "              the output device of this run instead of the terminal's\n"
         "              Sortida: PDF:FILE, TXT:FILE, PDF, TXT, PANTALLA, a printer,\n"
         "              or PDF-EACH:FOLDER, TXT-EACH:FOLDER (PDF-EACH, TXT-EACH): one\n"
         "              document per department in FOLDER, with an index.csv\n"
         "  --figures FILE.csv\n"
         "              also writes the figures of every department printed (balance\n"
         "              carried over, expenses, funds, balance) as CSV for the books\n"
         "Exit codes of --batch:\n"
         "  0  printed: the printout went to the print program\n"
         "  1  nothing printed: no department in the selection, every community\n"
         "     selected settled already up to DATE or later, or the spool or the\n"
         "     figures file could not be written\n"
         "  2  arguments that cannot be read\n"
         "  3  the print program could not be started\n"
         "  4  the print program ended with an error (its message is given;\n"
         "     PANTALLA needs a terminal)\n"
         "  5  a data file cannot be opened, or a read failed during the pass\n"
         "  6  a fee rate of Brol.ini is not a percentage from 0 to 100, or a\n"
         "     text file of the suite (Brol.ini, BrolTerm.ini, Sessio.ini, the\n"
         "     message catalogue) is UTF-8 with a character code page 850 lacks\n"
         "Without arguments the program ends with 0 when the form is left with Esc,\n"
         "or with 5 or 6 as above when it stops before the form.\n";
}

int RunBatch(const BatchArguments& batch) {
  datafile::openFailure.Report = Tell;
  datafile::openFailure.ExitCode = kExitDataError;
  std::string message = RefusedTextFileMessage();
  if (!message.empty()) {
    Tell(message);
    return kExitSettings;
  }
  if (!SetSelection(batch.date, batch.first, batch.last, &message)) {
    Tell(message);
    return kExitArguments;
  }
  if (batch.hasDevice) {
    // The spool carries the device in code page 850: a document path with a
    // character it lacks would print under another name.
    bool lossy = false;
    config::session.OutputDevice = platform::Utf8ToCp850(batch.device, '?', &lossy);
    if (lossy) {
      Tell(DeviceTextMessage(batch.device));
      return kExitArguments;
    }
  }
  state.FiguresFile = batch.figures;
  // Opening a file that has neither data nor a layout would leave an empty
  // layout file behind: it is reported before anything is opened.
  std::string missing = MissingReportFile();
  if (!missing.empty()) {
    Tell(datafile::OpenFailureMessage(NativeName(missing + ".dat"), 12));
    return kExitDataError;
  }
  OpenReportFiles();
  ReadSettings();
  std::string rates = RateProblem();
  if (!rates.empty()) {
    Tell(rates);
    CloseReportFiles();
    return kExitSettings;
  }
  PassResult result = RunReportPass(&message, false);
  CloseReportFiles();
  // An empty pass names the communities left out in its own message.
  if (result != PassResult::Empty && !state.CommunitiesNotSettled.empty())
    Tell(CommunitiesNotSettledMessage(state.CommunitiesNotSettled));
  if (result == PassResult::Printed) {
    Tell(PrintedMessage(state.Settlements, state.Pages, config::session.OutputDevice,
                        state.PrintedDocument, state.PrintedFolder, state.PrintedFiles));
    return kExitPrinted;
  }
  Tell(message);
  switch (result) {
    case PassResult::Empty:
    case PassResult::SpoolFailed:
    case PassResult::FiguresFailed:
      return kExitNothingPrinted;
    case PassResult::NoPrinter:
      return kExitNoPrintProgram;
    case PassResult::PrinterFailed:
      return kExitPrintFailed;
    case PassResult::Printed:
    case PassResult::ReadFailed:
      break;
  }
  return kExitDataError;
}

}  // namespace report
