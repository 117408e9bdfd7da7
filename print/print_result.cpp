#include "print/print_result.h"

#include <cstdio>
#include <cstdlib>

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
  if (result.document.empty() && result.message.empty() && result.folder.empty()) {
    DiscardPrintResult();
    return true;
  }
  std::string bytes;
  if (!result.document.empty())
    bytes += kResultDocumentTag + OneLine(result.document) + kRecordEnd;
  if (!result.message.empty()) bytes += kResultMessageTag + OneLine(result.message) + kRecordEnd;
  if (!result.folder.empty()) {
    bytes += kResultFolderTag + OneLine(result.folder) + kRecordEnd;
    bytes += kResultFilesTag + std::to_string(result.files) + kRecordEnd;
  }
  return platform::WriteFile(PrintResultPath(), bytes);
}

PrintResult TakePrintResult() {
  PrintResult result;
  std::string bytes;
  const std::string path = PrintResultPath();
  if (!platform::ReadFile(path, &bytes)) return result;
  DiscardPrintResult();
  bool haveFiles = false;
  size_t at = 0;
  while (at < bytes.size()) {
    size_t end = bytes.find('\n', at);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    at = end + 1;
    const std::string document = kResultDocumentTag, message = kResultMessageTag,
                      folder = kResultFolderTag, files = kResultFilesTag;
    if (line.compare(0, document.size(), document) == 0 && result.document.empty())
      result.document = line.substr(document.size());
    else if (line.compare(0, message.size(), message) == 0 && result.message.empty())
      result.message = line.substr(message.size());
    else if (line.compare(0, folder.size(), folder) == 0 && result.folder.empty())
      result.folder = line.substr(folder.size());
    else if (line.compare(0, files.size(), files) == 0 && !haveFiles) {
      haveFiles = true;
      result.files = std::strtol(line.c_str() + files.size(), nullptr, 10);
    }
  }
  return result;
}

void DiscardPrintResult() { platform::RemoveFile(PrintResultPath()); }

}  // namespace print
