#include "platform/directory.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>

#include "platform/codepage.h"

namespace platform {
namespace {

// Folds a UTF-8 name for comparison without regard to case: ASCII letters and
// the Latin-1 capitals (the accented letters of the suite's languages).
std::u32string Fold(const std::string& utf8) {
  std::u32string out;
  std::string cp850 = Utf8ToCp850(utf8, '\x01');
  // Code page 850 holds every character the suite writes; names that use
  // others compare as their raw bytes.
  bool lossy = cp850.find('\x01') != std::string::npos;
  if (lossy) {
    for (unsigned char c : utf8) out.push_back(std::tolower(c));
    return out;
  }
  for (unsigned char c : cp850) {
    char32_t cp = Cp850ToUnicode(c);
    if (cp >= 'A' && cp <= 'Z') cp += 0x20;
    else if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) cp += 0x20;
    out.push_back(cp);
  }
  return out;
}

bool IsRegularFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

std::string CurrentDirectory() {
  std::string buf(4096, '\0');
  for (;;) {
    if (::getcwd(&buf[0], buf.size()) != nullptr) {
      buf.resize(buf.find('\0'));
      return buf;
    }
    if (errno != ERANGE || buf.size() > (1u << 20)) return "";
    buf.resize(buf.size() * 2);
  }
}

bool ChangeDirectory(const std::string& nativePath) { return ::chdir(nativePath.c_str()) == 0; }

std::string AbsolutePath(const std::string& path) {
  std::string full = path;
  if (full.empty() || full[0] != '/') {
    std::string cwd = CurrentDirectory();
    if (!cwd.empty()) full = cwd + "/" + full;
  }
  std::vector<std::string> parts;
  size_t at = 0;
  while (at <= full.size()) {
    size_t slash = full.find('/', at);
    if (slash == std::string::npos) slash = full.size();
    std::string part = full.substr(at, slash - at);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    at = slash + 1;
  }
  std::string out;
  for (const std::string& p : parts) out += "/" + p;
  return out.empty() ? "/" : out;
}

std::vector<std::string> ListDirectory(const std::string& nativePath, Entries which) {
  std::vector<std::string> names;
  DIR* d = ::opendir(nativePath.empty() ? "." : nativePath.c_str());
  if (d == nullptr) return names;
  const std::string prefix = nativePath.empty() ? "" : nativePath + "/";
  while (dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    if (which == Entries::kFiles && !IsRegularFile(prefix + name)) continue;
    names.push_back(name);
  }
  ::closedir(d);
  std::sort(names.begin(), names.end());
  return names;
}

bool SameNameNoCase(const std::string& a, const std::string& b) { return Fold(a) == Fold(b); }

std::string FindNoCase(const std::string& directory, const std::string& name) {
  const std::u32string wanted = Fold(name);
  std::string found;
  for (const std::string& entry : ListDirectory(directory, Entries::kAll)) {
    if (entry == name) return entry;
    if (found.empty() && Fold(entry) == wanted) found = entry;
  }
  return found;
}

}  // namespace platform
