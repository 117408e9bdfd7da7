#include "tools/zudavivi/printer_output.h"

#include "platform/files.h"
#include "platform/process.h"
#include "tools/zudavivi/print_messages.h"
#include "tools/zudavivi/pdf_output.h"

namespace zudavivi {

namespace {

// The first line of a text that is not blank, without its line end.
std::string FirstLine(const std::string& text) {
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (line.find_first_not_of(' ') != std::string::npos) return line;
    at = end + 1;
  }
  return "";
}

}  // namespace

int RunFromPath(const std::string& program, const std::vector<std::string>& args,
                std::string* error, std::string* errorOutput) {
  int startError = 0;
  int code = platform::RunSystemProgram(program, args, &startError, errorOutput);
  if (code == -1) *error = CannotStart(program, startError);
  return code;
}

int RenderPrinter(const std::string& spool, const std::string& printer,
                  const std::string& tempDirNative, const std::string& title, long* pages,
                  std::string* error, std::string* detail) {
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
  std::string why, said;
  int code = RunFromPath("lp", {"-d", printer, name}, &why, &said);
  platform::RemoveFile(name);
  if (code == -1) {
    *error = PrintServiceMissing(why);
    return 3;
  }
  if (code != 0) {
    *error = JobRefused(printer, code);
    if (detail != nullptr) *detail = FirstLine(said);
    return 3;
  }
  return 0;
}

}  // namespace zudavivi
