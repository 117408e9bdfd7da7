#include "tools/zudavivi/preview.h"

#include "tools/zudavivi/page_layout.h"

namespace zudavivi {

int RunPreview(const std::string& spool, std::string* error) {
  long pages = 0;
  int laid = LayoutSpool(spool, [](const Page&) { return true; }, &pages, error);
  return laid == 0 ? 0 : 1;
}

}  // namespace zudavivi
