#include "forms/help_text.h"

#include <cstdint>

#include "platform/files.h"

namespace console {

bool LoadHelpText(const std::string& nativePath, int32_t recordLength, HelpText& text) {
  text = HelpText();
  if (recordLength < 1) return false;
  std::string bytes;
  if (!platform::ReadFile(nativePath, &bytes)) return false;
  text.RecordLength = recordLength;
  const int64_t size = int64_t(bytes.size());
  int64_t count = size / recordLength;
  const int64_t rest = size % recordLength;
  if (2 * rest > recordLength || (2 * rest == recordLength && count % 2 == 1)) ++count;
  if (count > INT32_MAX) count = INT32_MAX;
  text.LineCount = int32_t(count);
  text.Bytes = std::move(bytes);
  return true;
}

std::string HelpLine(const HelpText& text, int32_t n) {
  std::string line;
  if (n >= 1 && n <= text.LineCount) {
    const size_t at = size_t(n - 1) * size_t(text.RecordLength);
    if (at < text.Bytes.size()) line = text.Bytes.substr(at, size_t(text.RecordLength));
  }
  line.resize(size_t(text.RecordLength), ' ');
  return line;
}

std::vector<HelpRun> HelpLineRuns(const std::string& line) {
  std::vector<HelpRun> runs;
  if (line.find_first_of(std::string{kHelpHighlight, kHelpUnderline, kHelpReverse}) ==
      std::string::npos) {
    runs.push_back(HelpRun{'n', line.substr(0, kHelpLineWidth)});
    return runs;
  }
  bool highlight = false, underline = false, reverse = false;
  char role = 'n';
  int written = 0;
  for (char c : line) {
    if (c == kHelpHighlight) {
      if (underline) continue;
      highlight = !highlight;
      role = highlight ? 'h' : 'n';
    } else if (c == kHelpUnderline) {
      underline = !underline;
      role = underline ? 'u' : 'n';
    } else if (c == kHelpReverse) {
      reverse = !reverse;
      role = reverse ? 'r' : 'n';
    } else if (written < kHelpLineWidth) {
      if (runs.empty() || runs.back().Role != role) runs.push_back(HelpRun{role, ""});
      runs.back().Text += c;
      ++written;
    }
  }
  return runs;
}

}  // namespace console
