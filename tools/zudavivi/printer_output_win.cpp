// The printer device of the Windows build: the pages handed to the Windows
// print spooler (platform/print_spooler.h) on the named printer, 96 columns
// by the page's lines (66, or more for a longer page). The contract is
// printer_output.h's with the spooler in the place of `lp`: 3 when the
// spooler does not know the printer or refuses the job. The temporary
// folder is not used: the spooler keeps the job.
#include "tools/zudavivi/printer_output.h"

#include "platform/print_spooler.h"
#include "platform/process.h"
#include "tools/zudavivi/page_layout.h"
#include "tools/zudavivi/print_messages.h"

namespace zudavivi {

int RunFromPath(const std::string& program, const std::vector<std::string>& args,
                std::string* error, std::string* errorOutput) {
  int startError = 0;
  int code = platform::RunSystemProgram(program, args, &startError, errorOutput);
  if (code == -1) *error = CannotStart(program, startError);
  return code;
}

int RenderPrinter(const std::string& spool, const std::string& printer, const std::string&,
                  const std::string& title, long* pages, std::string* error,
                  std::string* detail) {
  if (detail != nullptr) detail->clear();
  // The layout first: a spool that is not well formed never reaches the
  // spooler.
  long counted = 0;
  if (LayoutSpool(spool, [](const Page&) { return true; }, &counted, error) != 0) return 1;
  platform::SpoolerJob job;
  if (!platform::StartSpoolerJob(printer, title.empty() ? "ZUDAVIVI" : title, &job)) {
    *error = PrinterRefused(printer, job.error);
    return 3;
  }
  auto draw = [&job](const Page& p) {
    int lines = p.length > kDefaultPageLength ? p.length : kDefaultPageLength;
    return platform::SpoolerPage(&job, p.lines, kPageColumns, lines);
  };
  int laid = LayoutSpool(spool, draw, pages, error);
  if (!platform::EndSpoolerJob(&job, laid == 0) || laid != 0) {
    if (laid == -1) return 1;
    *error = PrinterRefused(printer, job.error);
    return 3;
  }
  return 0;
}

}  // namespace zudavivi
