#include "print/device_name.h"

namespace print {
namespace {

bool IsBlank(char c) { return c == ' '; }

char Upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

// True when `text` from `at` on starts with `word`, ASCII case ignored.
bool WordAt(const std::string& text, size_t at, const std::string& word) {
  if (text.size() - at < word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i)
    if (Upper(text[at + i]) != word[i]) return false;
  return true;
}

}  // namespace

DeviceName ClassifyDevice(const std::string& deviceText) {
  DeviceName d;
  size_t start = 0, end = deviceText.size();
  while (start < end && IsBlank(deviceText[start])) ++start;
  while (end > start && IsBlank(deviceText[end - 1])) --end;
  const size_t length = end - start;
  if (length == 0 || (length == 8 && WordAt(deviceText, start, "PANTALLA"))) return d;
  struct Word {
    const char* word;
    DeviceKind kind;
  };
  // The longer words first: "PDF-EACH" is not "PDF" followed by a path.
  static const Word kWords[] = {{"PDF-EACH", DeviceKind::PdfEach},
                                {"TXT-EACH", DeviceKind::TextEach},
                                {"PDF", DeviceKind::Pdf},
                                {"TXT", DeviceKind::Text}};
  for (const Word& w : kWords) {
    const std::string word = w.word;
    if (!WordAt(deviceText, start, word)) continue;
    const size_t after = start + word.size();
    if (after != end && deviceText[after] != ':') continue;
    d.kind = w.kind;
    if (after == end) return d;
    size_t path = after + 1;
    while (path < end && IsBlank(deviceText[path])) ++path;
    if (path < end) {
      d.path = deviceText.substr(path, end - path);
      d.pathOffset = path;
    }
    return d;
  }
  d.kind = DeviceKind::Printer;
  d.path = deviceText.substr(start, length);
  d.pathOffset = start;
  return d;
}

bool WritesFiles(DeviceKind kind) {
  return kind != DeviceKind::Screen && kind != DeviceKind::Printer;
}

bool OnePerDepartment(DeviceKind kind) {
  return kind == DeviceKind::PdfEach || kind == DeviceKind::TextEach;
}

}  // namespace print
