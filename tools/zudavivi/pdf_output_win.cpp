// The PDF device of the Windows build, which has no PDF library: it says
// so, and names the printer Windows provides for PDF (contract in
// pdf_output.h; the result is that of a document that cannot be written).
#include "tools/zudavivi/pdf_output.h"

#include "tools/zudavivi/print_messages.h"

namespace zudavivi {

int RenderPdf(const std::string&, const std::string&, const std::string&, long* pages,
              std::string* error) {
  *pages = 0;
  *error = PdfNotInThisBuild();
  return 2;
}

}  // namespace zudavivi
