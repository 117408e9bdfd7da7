#include "platform/directory.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace platform {
namespace {

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

bool IsAbsolutePath(const std::string& nativePath) {
  return !nativePath.empty() && nativePath[0] == '/';
}

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

}  // namespace platform
