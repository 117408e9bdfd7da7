#include "tools/zudavivi/printer_output.h"

#include "platform/files.h"
#include "platform/process.h"
#include "tools/zudavivi/print_messages.h"
#include "tools/zudavivi/pdf_output.h"

namespace zudavivi {

int RunFromPath(const std::string& program, const std::vector<std::string>& args,
                std::string* error) {
  int startError = 0;
  int code = platform::RunSystemProgram(program, args, &startError);
  if (code == -1) *error = CannotStart(program, startError);
  return code;
}

int RenderPrinter(const std::string& spool, const std::string& printer,
                  const std::string& tempDirNative, const std::string& title, long* pages,
                  std::string* error) {
  std::string dir = tempDirNative.empty() ? "." : tempDirNative;
  int failure = 0;
  std::string name = platform::MakeTemporaryFile(dir, "zudavivi-", ".pdf", &failure);
  if (name.empty()) {
    *error = CannotCreateTemporaryFile(dir, failure);
    return 2;
  }
  int made = RenderPdf(spool, name, title, pages, error);
  if (made != 0) {
    platform::RemoveFile(name);
    return made;
  }
  std::string why;
  int code = RunFromPath("lp", {"-d", printer, name}, &why);
  platform::RemoveFile(name);
  if (code == -1) {
    *error = PrintServiceMissing(why);
    return 3;
  }
  if (code != 0) {
    *error = JobRefused(printer, code);
    return 3;
  }
  return 0;
}

}  // namespace zudavivi
