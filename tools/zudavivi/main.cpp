// ZUDAVIVI, the suite's print program.
//
// Started without arguments, in the environment of the program that wrote
// the spool (the report starts it and waits for it). It finds the session's
// TempDir as every program of the suite does (SessionInit), reads the spool
// TempDir + "zudavivi.tmp" and renders it on the device its DEVICE record
// names (device.h).
//
// Exit codes: 0 printed; 1 the spool is missing, empty or not well formed;
// 2 the document cannot be written or shown; 3 the print service is missing
// or refused the job. Every failure is explained on stderr.
#include <cstdio>
#include <string>

#include "config/session.h"
#include "config/session_init.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "print/spool.h"
#include "tools/zudavivi/device.h"
#include "tools/zudavivi/page_layout.h"
#include "tools/zudavivi/pdf_output.h"
#include "tools/zudavivi/preview.h"
#include "tools/zudavivi/printer_output.h"
#include "tools/zudavivi/text_output.h"

namespace {

int Fail(int code, const std::string& message) {
  std::fprintf(stderr, "ZUDAVIVI: %s\n", message.c_str());
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  (void)argv;
  if (argc > 1) {
    return Fail(1, "takes no arguments: it prints the spool zudavivi.tmp of the session's "
                   "temporary directory (ZULTMP)");
  }
  config::SessionInit();
  std::string spoolPath = print::SpoolPath();
  std::string spool;
  if (!platform::PathExists(spoolPath)) {
    return Fail(1, "there is no print spool to print (" + spoolPath + " does not exist)");
  }
  if (!platform::ReadFile(spoolPath, &spool)) {
    return Fail(1, "cannot read the print spool " + spoolPath);
  }
  std::string deviceText;
  std::string error;
  if (!zudavivi::ReadDevice(spool, &deviceText, &error)) {
    return Fail(1, "print spool " + spoolPath + ": " + error);
  }
  zudavivi::Device device = zudavivi::ParseDevice(deviceText, config::session.TempDir);
  long pages = 0;
  int code = 0;
  switch (device.kind) {
    case zudavivi::DeviceKind::Pdf:
      code = zudavivi::RenderPdf(spool, device.path, &pages, &error);
      break;
    case zudavivi::DeviceKind::Text:
      code = zudavivi::RenderText(spool, device.path, &pages, &error);
      break;
    case zudavivi::DeviceKind::Printer:
      code = zudavivi::RenderPrinter(spool, device.printer,
                                     platform::SuitePath(config::session.TempDir), &pages,
                                     &error);
      break;
    case zudavivi::DeviceKind::Screen:
      code = zudavivi::RunPreview(spool, &error);
      platform::ConsoleEnd();  // the terminal goes back to the caller
      break;
  }
  if (code == 1) return Fail(1, "print spool " + spoolPath + ": " + error);
  if (code != 0) return Fail(code, error);
  return 0;
}
