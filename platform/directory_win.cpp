// Directories on Windows (contract in directory.h). Native paths are UTF-8
// with "/" separators; an absolute path starts with a drive ("C:/") or a
// server's share ("//server/share/"), and one that starts with "/" alone is
// on the current directory's drive.
#include "platform/directory.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

#include "platform/win_text.h"

namespace platform {
namespace {

bool HasDrive(const std::string& p) {
  return p.size() >= 2 && p[1] == ':' && std::isalpha(static_cast<unsigned char>(p[0]));
}

}  // namespace

std::string CurrentDirectory() {
  DWORD n = GetCurrentDirectoryW(0, nullptr);
  if (n == 0) return "";
  std::wstring buf(n, L'\0');
  DWORD got = GetCurrentDirectoryW(n, &buf[0]);
  if (got == 0 || got >= n) return "";
  buf.resize(got);
  return ForwardSlashes(Narrow(buf));
}

bool ChangeDirectory(const std::string& nativePath) {
  return SetCurrentDirectoryW(Widen(nativePath).c_str()) != 0;
}

bool IsAbsolutePath(const std::string& nativePath) {
  const std::string p = ForwardSlashes(nativePath);
  return (!p.empty() && p[0] == '/') || (HasDrive(p) && p.size() >= 3 && p[2] == '/');
}

std::string AbsolutePath(const std::string& path) {
  std::string full = ForwardSlashes(path);
  std::string root;  // "C:" or "//server/share", kept as it is
  if (full.compare(0, 2, "//") == 0) {
    size_t server = full.find('/', 2);
    size_t share = server == std::string::npos ? server : full.find('/', server + 1);
    root = full.substr(0, share);
    full = share == std::string::npos ? "" : full.substr(share);
  } else if (HasDrive(full) && full.size() >= 3 && full[2] == '/') {
    root = full.substr(0, 2);
    full = full.substr(2);
  } else {
    std::string cwd = CurrentDirectory();
    if (HasDrive(full)) full = full.substr(2);  // "C:X": relative to the drive
    if (full.empty() || full[0] != '/') full = cwd.substr(HasDrive(cwd) ? 2 : 0) + "/" + full;
    root = HasDrive(cwd) ? cwd.substr(0, 2) : "";
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
  std::string out = root;
  for (const std::string& p : parts) out += "/" + p;
  return parts.empty() ? root + "/" : out;
}

std::vector<std::string> ListDirectory(const std::string& nativePath, Entries which) {
  std::vector<std::string> names;
  std::string pattern = (nativePath.empty() ? std::string(".") : nativePath) + "/*";
  WIN32_FIND_DATAW found;
  HANDLE h = FindFirstFileW(Widen(pattern).c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = Narrow(found.cFileName);
    if (name == "." || name == "..") continue;
    if (which == Entries::kFiles && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    names.push_back(name);
  } while (FindNextFileW(h, &found));
  FindClose(h);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace platform
