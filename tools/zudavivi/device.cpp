#include "tools/zudavivi/device.h"

#include "format/text_utils.h"
#include "platform/codepage.h"
#include "platform/paths.h"

namespace zudavivi {
namespace {

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

}  // namespace

Device ParseDevice(const std::string& deviceText, const std::string& tempDir,
                   const std::string& documentName) {
  const std::string base = documentName.empty() ? "zudavivi" : documentName;
  std::string text = format::TrimBlanks(deviceText);
  std::string upper = Upper(text);
  Device d;
  if (text.empty() || upper == "PANTALLA") return d;
  struct Document {
    const char* word;
    DeviceKind kind;
    const char* extension;
  };
  for (const Document& doc : {Document{"PDF", DeviceKind::Pdf, ".pdf"},
                              Document{"TXT", DeviceKind::Text, ".txt"}}) {
    std::string word = doc.word;
    if (upper != word && upper.compare(0, word.size() + 1, word + ":") != 0) continue;
    d.kind = doc.kind;
    std::string path = upper == word ? std::string() : text.substr(word.size() + 1);
    path = format::TrimLeadingBlanks(path);
    d.path = platform::SuitePath(path.empty() ? tempDir + base + doc.extension : path);
    return d;
  }
  d.kind = DeviceKind::Printer;
  d.printer = platform::Cp850ToUtf8(text);
  return d;
}

}  // namespace zudavivi
