// Help text files (.HLP) as the console help viewer reads them
// (forms/help_text.h): LoadHelpText, every line through HelpLine and
// HelpLineRuns.
// Input: one byte, the record length (0 counts as 80), then the file's bytes.
#include <cstdlib>

#include "forms/help_text.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzInput in(data, size);
  int32_t recordLength = in.Byte();
  if (recordLength == 0) recordLength = 80;
  const std::string path = fuzz::WriteScratch("AJUDA/FUZZ.HLP", in.Rest());
  console::HelpText text;
  if (!console::LoadHelpText(path, recordLength, text)) std::abort();
  // Line count: the length in records, rounded to the nearest.
  const size_t bytes = text.Bytes.size();
  if (size_t(text.LineCount) * size_t(recordLength) + size_t(recordLength) / 2 + 1 < bytes) {
    std::abort();
  }
  for (int32_t n = 0; n <= text.LineCount + 1; ++n) {
    const std::string line = console::HelpLine(text, n);
    if (line.size() != size_t(recordLength)) std::abort();
    size_t shown = 0;
    for (const console::HelpRun& run : console::HelpLineRuns(line)) {
      if (run.Role != 'n' && run.Role != 'h' && run.Role != 'u' && run.Role != 'r') std::abort();
      // A line shows at most 76 characters; the codes are never shown,
      // unless the line has none at all.
      shown += run.Text.size();
      if (run.Text.find_first_of("\x1E\x1F\x10") != std::string::npos) std::abort();
    }
    if (shown > size_t(console::kHelpLineWidth)) std::abort();
  }
  return 0;
}
