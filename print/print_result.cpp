#include "print/print_result.h"

#include <cstdio>

#include "config/session.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "print/spool_format.h"

namespace print {
namespace {

std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\r' || c == '\n') c = ' ';
  return text;
}

}  // namespace

std::string PrintResultPath() {
  return platform::SuitePath(config::session.TempDir + kResultName);
}

bool WritePrintResult(const PrintResult& result) {
  if (result.document.empty() && result.message.empty()) {
    DiscardPrintResult();
    return true;
  }
  std::string bytes;
  if (!result.document.empty())
    bytes += kResultDocumentTag + OneLine(result.document) + kRecordEnd;
  if (!result.message.empty()) bytes += kResultMessageTag + OneLine(result.message) + kRecordEnd;
  return platform::WriteFile(PrintResultPath(), bytes);
}

PrintResult TakePrintResult() {
  PrintResult result;
  std::string bytes;
  const std::string path = PrintResultPath();
  if (!platform::ReadFile(path, &bytes)) return result;
  DiscardPrintResult();
  size_t at = 0;
  while (at < bytes.size()) {
    size_t end = bytes.find('\n', at);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    at = end + 1;
    const std::string document = kResultDocumentTag, message = kResultMessageTag;
    if (line.compare(0, document.size(), document) == 0 && result.document.empty())
      result.document = line.substr(document.size());
    else if (line.compare(0, message.size(), message) == 0 && result.message.empty())
      result.message = line.substr(message.size());
  }
  return result;
}

void DiscardPrintResult() { platform::RemoveFile(PrintResultPath()); }

}  // namespace print
