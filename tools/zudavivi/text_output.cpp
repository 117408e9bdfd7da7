#include "tools/zudavivi/text_output.h"

#include <cerrno>
#include <cstdio>

#include "format/text_utils.h"
#include "platform/codepage.h"
#include "tools/zudavivi/print_messages.h"
#include "tools/zudavivi/output_file.h"
#include "tools/zudavivi/page_layout.h"

namespace zudavivi {

int RenderText(const std::string& spool, const std::string& path, long* pages,
               std::string* error) {
  OutputFile out{path, PartPath(path)};
  std::FILE* f = std::fopen(out.part.c_str(), "wb");
  if (!f) {
    *error = CannotCreateDocument(out.target, errno);
    return 2;
  }
  // UTF-8 of every code page 850 byte, taken once from the code page table.
  std::string utf8[256];
  for (int b = 0; b < 256; ++b) platform::AppendUtf8(platform::Cp850ToUnicode(b), &utf8[b]);

  std::string buffer;
  bool first = true;
  int failure = 0;  // errno of the failed write
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
    if (std::fwrite(buffer.data(), 1, buffer.size(), f) == buffer.size()) return true;
    failure = errno;
    return false;
  };
  int laid = LayoutSpool(spool, emit, pages, error);
  bool closed = std::fclose(f) == 0;
  if (!closed && failure == 0) failure = errno;
  if (laid == -1) {
    AbandonOutput(out);
    return 1;
  }
  if (laid == -2 || !closed) {
    *error = CannotWriteDocument(out.target, failure);
    AbandonOutput(out);
    return 2;
  }
  return CommitOutput(out, error) ? 0 : 2;
}

}  // namespace zudavivi
