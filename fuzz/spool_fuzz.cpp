// The print spool as the print program reads it: the device record, the
// device it names, and every page laid out (what the PDF, text and preview
// outputs are drawn from). Pages must stay within what a page can hold.
// Input: the spool's bytes.
#include <cstdlib>

#include "fuzz/fuzz_support.h"
#include "tools/zudavivi/device.h"
#include "tools/zudavivi/page_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzInput in(data, size);
  const std::string spool = in.Rest();
  std::string device, error;
  if (zudavivi::ReadDevice(spool, &device, &error)) zudavivi::ParseDevice(device, "C:\\TMP\\");
  long pages = 0;
  auto check = [](const zudavivi::Page& page) {
    if (page.length > zudavivi::kMaxPageLines ||
        page.lines.size() > static_cast<size_t>(zudavivi::kMaxPageLines)) {
      std::abort();
    }
    for (const std::string& line : page.lines) {
      if (line.size() > static_cast<size_t>(zudavivi::kMaxPageColumns)) std::abort();
    }
    return true;
  };
  int laid = zudavivi::LayoutSpool(spool, check, &pages, &error);
  if (laid == -1 && error.empty()) std::abort();
  return 0;
}
