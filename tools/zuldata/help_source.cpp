#include "tools/zuldata/help_source.h"

#include <vector>

#include "console/help_format.h"
#include "platform/codepage.h"

namespace zuldata {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    pos = end + 1;
  }
  return lines;
}

}  // namespace

bool BuildHelpFile(const std::string& utf8, std::string* hlp, std::string* problem) {
  hlp->clear();
  const std::vector<std::string> lines = Lines(utf8.substr(platform::Utf8MarkLength(utf8)));
  for (size_t n = 0; n < lines.size(); ++n) {
    const std::string where = "line " + std::to_string(n + 1) + ": ";
    bool lossy = false;
    const std::string text = platform::Utf8ToCp850(lines[n], '?', &lossy);
    if (lossy) {
      *problem = where + "a character that code page 850 does not have";
      return false;
    }
    std::string record;
    int shown = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      const char c = text[i];
      if (c == '{' && i + 2 < text.size() && text[i + 2] == '}' &&
          (text[i + 1] == 'h' || text[i + 1] == 'u' || text[i + 1] == 'r')) {
        record += text[i + 1] == 'h'   ? console::kHelpHighlight
                  : text[i + 1] == 'u' ? console::kHelpUnderline
                                       : console::kHelpReverse;
        i += 2;
        continue;
      }
      if (c == console::kHelpHighlight || c == console::kHelpUnderline ||
          c == console::kHelpReverse || static_cast<unsigned char>(c) < 32) {
        *problem = where + "a control character (write the marks {h} {u} {r})";
        return false;
      }
      record += c;
      ++shown;
    }
    if (shown > console::kHelpLineWidth) {
      *problem = where + std::to_string(shown) + " characters; at most " +
                 std::to_string(console::kHelpLineWidth) + " are shown";
      return false;
    }
    if (record.size() > size_t(kHelpRecordLength)) {
      *problem = where + "with its marks longer than " + std::to_string(kHelpRecordLength) +
                 " bytes";
      return false;
    }
    record.resize(size_t(kHelpRecordLength), ' ');
    *hlp += record;
  }
  return true;
}

}  // namespace zuldata
