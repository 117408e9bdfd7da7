// ZUDAVIVI, the suite's print program.
//
// Started without arguments, in the environment of the program that wrote
// the spool (the report starts it and waits for it). It finds the session's
// TempDir as every program of the suite does (SessionInit), reads the spool
// TempDir + "zudavivi.tmp" and renders it on the device its DEVICE record
// names (device.h). A document written to a file, or the folder of the
// documents of one department each, is named on stderr when stderr is not
// a terminal (a batch run, a log). Every message is in the session's
// language (print_messages.h); --help is in English.
//
// Arguments: none to print; "--help" or "--version" (exit 0) say what the
// program is; anything else is refused with exit code 1.
//
// Exit codes: 0 printed; 1 the spool is missing, empty or not well formed;
// 2 the document cannot be written or shown; 3 the print service is missing
// or refused the job. Every failure is explained on stderr.

#include <cstdio>
#include <string>

#include "config/session.h"
#include "config/session_init.h"
#include "platform/codepage.h"
#include "platform/console.h"
#include "platform/env.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "print/print_result.h"
#include "print/spool.h"
#include "tools/zudavivi/device.h"
#include "tools/zudavivi/document_info.h"
#include "tools/zudavivi/each_output.h"
#include "tools/zudavivi/print_messages.h"
#include "tools/zudavivi/page_layout.h"
#include "tools/zudavivi/pdf_output.h"
#include "tools/zudavivi/preview.h"
#include "tools/zudavivi/printer_output.h"
#include "tools/zudavivi/text_output.h"

#ifndef ZUDAVIVI_VERSION
#define ZUDAVIVI_VERSION "unknown"
#endif

namespace {

const char kHelp[] =
    "Usage: ZUDAVIVI [--help | --version]\n"
    "\n"
    "The print program of the suite. Without arguments it prints the spool\n"
    "zudavivi.tmp of the session's temporary directory (ZULTMP) on the device\n"
    "named in the spool's first record (the terminal's Sortida setting):\n"
    "  PANTALLA or empty   preview on the terminal (PgUp/PgDn pages, arrows\n"
    "                      scroll, Home/End first/last page, Esc leaves)\n"
    "  PDF[:path]          an A4 PDF document\n"
    "  TXT[:path]          plain UTF-8 text pages\n"
    "  PDF-EACH[:folder]   one PDF document per department in the folder,\n"
    "                      with their index, index.csv\n"
    "  TXT-EACH[:folder]   the same as plain text documents\n"
    "  anything else       a printer of the system's print service (lp)\n"
    "Without a path the document (or the folder) is written to the temporary\n"
    "directory under the name the report gives it (LIQUIDACIO_2026-12-31.pdf).\n"
    "\n"
    "Exit codes: 0 printed; 1 no spool or a spool not well formed, or a bad\n"
    "argument; 2 the document cannot be written or shown (the preview without\n"
    "a terminal); 3 the print service is missing or refused the job.\n"
    "\n"
    "  --help      show this text and exit\n"
    "  --version   show the program's version and exit\n";

// A failure: said on stderr and left in the result file. `message` and
// `detail` are UTF-8; the detail (the print service's own words) goes to
// the result file only, stderr has had it from the print service itself.
int Fail(int code, const std::string& message, const std::string& detail = "") {
  std::fprintf(stderr, "ZUDAVIVI: %s\n", message.c_str());
  print::PrintResult result;
  result.message = platform::Utf8ToCp850(detail.empty() ? message : message + ": " + detail);
  print::WritePrintResult(result);
  return code;
}

// Starts the console on the terminal for the preview; false when there is
// no terminal to show it on.
bool PreviewPossible() {
  return platform::ConsoleStartWith(platform::ConsoleBackendKind::kTerminal);
}

// Where a document went, for a run whose stderr is a log or a pipe.
void TellDocument(const std::string& nativePath) {
  if (platform::StandardErrorIsTerminal()) return;
  std::fprintf(stderr, "ZUDAVIVI: %s\n", zudavivi::DocumentSaved(nativePath).c_str());
}

// Where the documents of one department each went, likewise.
void TellFolder(const std::string& nativePath, long files) {
  if (platform::StandardErrorIsTerminal()) return;
  std::fprintf(stderr, "ZUDAVIVI: %s\n", zudavivi::DocumentsSaved(nativePath, files).c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "--help") {
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (argc == 2 && std::string(argv[1]) == "--version") {
    std::printf("ZUDAVIVI %s\n", ZUDAVIVI_VERSION);
    return 0;
  }
  config::SessionInit();  // the session's language, for every message below
  if (argc > 1) return Fail(1, zudavivi::ArgumentsRefused());
  std::string spoolPath = print::SpoolPath();
  std::string spool;
  if (!platform::PathExists(spoolPath)) {
    return Fail(1, zudavivi::NoSpool(spoolPath));
  }
  if (!platform::ReadFile(spoolPath, &spool)) {
    return Fail(1, zudavivi::SpoolUnreadable(spoolPath));
  }
  std::string deviceText;
  std::string error;
  if (!zudavivi::ReadDevice(spool, &deviceText, &error)) {
    return Fail(1, zudavivi::SpoolNotWellFormed(spoolPath, error));
  }
  zudavivi::DocumentInfo info = zudavivi::ReadDocumentInfo(spool);
  std::string title = platform::Cp850ToUtf8(info.title);
  zudavivi::Device device = zudavivi::ParseDevice(deviceText, config::session.TempDir,
                                                  zudavivi::DocumentFileName(info.name));
  long pages = 0;
  long files = 0;
  int code = 0;
  std::string detail;
  switch (device.kind) {
    case zudavivi::DeviceKind::Pdf:
      code = zudavivi::RenderPdf(spool, device.path, title, &pages, &error);
      break;
    case zudavivi::DeviceKind::Text:
      code = zudavivi::RenderText(spool, device.path, &pages, &error);
      break;
    case zudavivi::DeviceKind::PdfEach:
    case zudavivi::DeviceKind::TextEach:
      code = zudavivi::RenderEach(spool, device, title, zudavivi::DocumentFileName(info.name),
                                  &files, &pages, &error);
      break;
    case zudavivi::DeviceKind::Printer:
      code = zudavivi::RenderPrinter(spool, device.printer,
                                     platform::SuitePath(config::session.TempDir), title, &pages,
                                     &error, &detail);
      break;
    case zudavivi::DeviceKind::Screen:
      if (!PreviewPossible()) return Fail(2, zudavivi::PreviewNeedsTerminal());
      code = zudavivi::RunPreview(spool, &error);
      platform::ConsoleEnd();  // the terminal goes back to the caller
      break;
  }
  if (code == 1) return Fail(1, zudavivi::SpoolNotWellFormed(spoolPath, error));
  if (code != 0) return Fail(code, error, detail);
  print::PrintResult result;
  if (device.kind == zudavivi::DeviceKind::Pdf || device.kind == zudavivi::DeviceKind::Text) {
    TellDocument(device.path);
    result.document = platform::Utf8ToCp850(device.path);
  } else if (print::OnePerDepartment(device.kind)) {
    TellFolder(device.path, files);
    result.folder = platform::Utf8ToCp850(device.path);
    result.files = files;
  }
  print::WritePrintResult(result);
  return 0;
}
