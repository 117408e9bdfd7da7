#include "tools/zudavivi/device.h"

#include "platform/codepage.h"
#include "platform/paths.h"

namespace zudavivi {

Device ParseDevice(const std::string& deviceText, const std::string& tempDir,
                   const std::string& documentName) {
  const std::string base = documentName.empty() ? "zudavivi" : documentName;
  const print::DeviceName name = print::ClassifyDevice(deviceText);
  Device d;
  d.kind = name.kind;
  switch (name.kind) {
    case DeviceKind::Screen:
      break;
    case DeviceKind::Printer:
      d.printer = platform::Cp850ToUtf8(name.path);
      break;
    case DeviceKind::Pdf:
    case DeviceKind::Text:
    case DeviceKind::PdfEach:
    case DeviceKind::TextEach: {
      const char* extension = name.kind == DeviceKind::Pdf    ? ".pdf"
                              : name.kind == DeviceKind::Text ? ".txt"
                                                              : "";
      d.path = platform::SuitePath(name.path.empty() ? tempDir + base + extension : name.path);
      break;
    }
  }
  return d;
}

}  // namespace zudavivi
