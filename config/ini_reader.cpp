#include "config/ini_reader.h"

#include <algorithm>

#include "config/session.h"
#include "config/text_file.h"
#include "format/text_utils.h"
#include "platform/paths.h"

namespace config {
namespace {

// Capitals for name comparison: ASCII letters and seven letters of code
// page 850 (the lower-case bytes on the left, their capitals on the right).
unsigned char NameCapital(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x84: return 0x8E;  // a-umlaut
    case 0x94: return 0x99;  // o-umlaut
    case 0x81: return 0x9A;  // u-umlaut
    case 0x82: return 0x90;  // e-acute
    case 0xA4: return 0xA5;  // n-tilde
    case 0x86: return 0x8F;  // a-ring
    case 0x87: return 0x80;  // c-cedilla
    default: return c;
  }
}

// Turns one raw line into its significant form; false for a line to skip.
bool ParseLine(std::string line, IniLine* out) {
  size_t semi = line.find(';');
  if (semi != std::string::npos) line.erase(semi);
  line = format::TrimLeadingBlanks(line);
  if (line.empty()) return false;
  if (line[0] == '[') {
    size_t close = line.find(']');
    std::string name = close == std::string::npos ? line.substr(1) : line.substr(1, close - 1);
    out->kind = IniLine::kHeader;
    out->name = IniName(name);
    return true;
  }
  size_t eq = line.find('=');
  if (eq == std::string::npos) {
    out->kind = IniLine::kOther;
    return true;
  }
  out->kind = IniLine::kKey;
  out->name = IniName(line.substr(0, eq));
  out->value = line.substr(eq + 1);
  return true;
}

std::vector<IniLine> ParseIni(const std::string& bytes) {
  std::vector<IniLine> lines;
  size_t end = bytes.find('\x1A');
  if (end == std::string::npos) end = bytes.size();
  size_t pos = 0;
  while (pos < end) {
    size_t eol = bytes.find_first_of("\r\n", pos);
    if (eol == std::string::npos || eol > end) eol = end;
    IniLine line;
    if (ParseLine(bytes.substr(pos, eol - pos), &line)) lines.push_back(std::move(line));
    pos = eol + 1;
    if (eol < end && bytes[eol] == '\r' && pos < end && bytes[pos] == '\n') ++pos;
  }
  return lines;
}

// The parsed lines of the file at the native path (suite name `name`), from
// the cache while its stamp holds (the stamp then marked as checked).
// Returns nullptr when the file cannot be read.
IniFile* LoadIni(const std::string& name, const std::string& nativePath) {
  std::vector<IniFile>& cache = session.IniCache;
  FileStamp now = StampOf(nativePath);
  ++session.IniUseCounter;
  auto hit = std::find_if(cache.begin(), cache.end(),
                          [&](const IniFile& f) { return f.path == nativePath; });
  if (hit != cache.end()) {
    if (StillValid(hit->stamp, now)) {
      hit->lastUse = session.IniUseCounter;
      MarkChecked(&hit->stamp);
      return &*hit;
    }
    cache.erase(hit);
  }
  std::string text;
  if (!now.exists || !ReadTextFile(nativePath, name, &text)) return nullptr;
  if (cache.size() >= kIniCacheFiles) {
    cache.erase(std::min_element(cache.begin(), cache.end(),
                                 [](const IniFile& a, const IniFile& b) {
                                   return a.lastUse < b.lastUse;
                                 }));
  }
  IniFile file;
  file.path = nativePath;
  file.stamp = now;
  MarkChecked(&file.stamp);
  file.lines = ParseIni(text);
  file.lastUse = session.IniUseCounter;
  cache.push_back(std::move(file));
  return &cache.back();
}

// The parsed lines of the file named `name` (a suite name): without looking
// at the disk while a copy read under that name was checked recently
// (file_stamp.h), else resolved and loaded as LoadIni does.
const std::vector<IniLine>* LinesOf(const std::string& name) {
  for (IniFile& f : session.IniCache) {
    if (f.name == name && CheckedRecently(f.stamp)) {
      f.lastUse = ++session.IniUseCounter;
      return &f.lines;
    }
  }
  IniFile* file = LoadIni(name, platform::SuitePath(name));
  if (!file) return nullptr;
  file->name = name;
  return &file->lines;
}

}  // namespace

std::string IniName(const std::string& name) {
  std::string out = format::TrimBlanks(name);
  for (char& c : out) c = static_cast<char>(NameCapital(static_cast<unsigned char>(c)));
  return out;
}

std::string IniRead(const std::string& path, const std::string& section,
                    const std::string& key) {
  const std::vector<IniLine>* lines = LinesOf(path);
  if (!lines) return "";
  const std::string wantSection = IniName(section);
  const std::string wantKey = IniName(key);
  std::string value;
  bool inside = false;
  for (const IniLine& line : *lines) {
    if (!inside) {
      inside = line.kind == IniLine::kHeader && line.name == wantSection;
      continue;
    }
    if (line.kind == IniLine::kHeader) break;
    if (line.kind == IniLine::kKey && line.name == wantKey) {
      value = line.value;
      break;
    }
  }
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace config
