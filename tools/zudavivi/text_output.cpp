#include "tools/zudavivi/text_output.h"

#include "format/text_utils.h"
#include "platform/codepage.h"
#include "tools/zudavivi/print_messages.h"
#include "tools/zudavivi/output_file.h"
#include "tools/zudavivi/page_layout.h"

namespace zudavivi {

int RenderText(const std::string& spool, const std::string& path, long* pages,
               std::string* error) {
  platform::StagedFile out;
  if (!BeginOutput(path, &out, error)) return 2;
  // UTF-8 of every code page 850 byte, taken once from the code page table.
  std::string utf8[256];
  for (int b = 0; b < 256; ++b) platform::AppendUtf8(platform::Cp850ToUnicode(b), &utf8[b]);

  std::string buffer;
  bool first = true;
  auto emit = [&](const Page& page) {
    buffer.clear();
    if (!first) buffer += '\f';
    first = false;
    size_t used = page.lines.size();
    while (used > 0 && format::IsAllChar(page.lines[used - 1], ' ') != 0) --used;
    for (size_t i = 0; i < used; ++i) {
      for (char c : format::TrimTrailingBlanks(page.lines[i])) {
        buffer += utf8[static_cast<unsigned char>(c)];
      }
      buffer += '\n';
    }
    return platform::StagedWrite(&out, buffer.data(), buffer.size());
  };
  int laid = LayoutSpool(spool, emit, pages, error);
  if (laid == -1) {
    platform::AbandonStaged(&out);
    return 1;
  }
  if (laid == -2) {
    *error = CannotWriteDocument(path, out.error);
    platform::AbandonStaged(&out);
    return 2;
  }
  return CommitOutput(&out, error) ? 0 : 2;
}

}  // namespace zudavivi
