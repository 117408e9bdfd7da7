#include "platform/paths.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "platform/codepage.h"
#include "platform/directory.h"
#include "platform/env.h"

namespace platform {
namespace {

std::string ResolveCase(const std::string& path) {
  if (path.empty() || PathExists(path)) return path;
  bool absolute = path[0] == '/';
  std::string built = absolute ? "/" : "";
  size_t i = absolute ? 1 : 0;
  bool dirOk = true;  // the directory built so far exists
  while (i <= path.size()) {
    size_t slash = path.find('/', i);
    if (slash == std::string::npos) slash = path.size();
    std::string comp = path.substr(i, slash - i);
    bool last = slash == path.size();
    if (!comp.empty()) {
      std::string candidate = built + comp;
      if (dirOk && !PathExists(candidate) && comp != "." && comp != "..") {
        std::string hit = FindNoCase(built, comp);
        if (!hit.empty()) candidate = built + hit;
      }
      dirOk = dirOk && PathExists(candidate);
      built = candidate;
      if (!last) built += "/";
    } else if (!last && !built.empty() && built.back() != '/') {
      built += "/";
    }
    i = slash + 1;
  }
  return built;
}

}  // namespace

bool PathExists(const std::string& nativePath) {
  struct stat st;
  return !nativePath.empty() && stat(nativePath.c_str(), &st) == 0;
}

std::string SuitePath(const std::string& suiteName) {
  std::string path = Cp850ToUtf8(suiteName);
  std::replace(path.begin(), path.end(), '\\', '/');
  // A run of separators is one ("TERM01/" + "\\" + "zudavivi.tmp"), so
  // that a path is shown as the file system names it; a leading pair (a
  // network name) stays.
  size_t keep = path.compare(0, 2, "//") == 0 ? 2 : 1;
  for (size_t i = keep; i < path.size();) {
    if (path[i] == '/' && path[i - 1] == '/') {
      path.erase(i, 1);
    } else {
      ++i;
    }
  }
  if (path.size() >= 2 && path[1] == ':' &&
      std::isalpha(static_cast<unsigned char>(path[0]))) {
    char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
    std::string root = GetEnv(std::string("ZULDRIVE_") + letter);
    std::string rest = path.substr(2);
    if (!rest.empty() && rest[0] == '/') rest.erase(0, 1);
    if (root.empty()) root = "/";
    if (root.back() != '/') root += '/';
    path = root + rest;
  }
  return ResolveCase(path);
}

}  // namespace platform
