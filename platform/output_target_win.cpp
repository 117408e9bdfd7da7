// What a native path names before it is written, on Windows (contract in
// output_target.h). The devices are the system's reserved names ("NUL",
// "PRN", "LPT1", "COM1", ... in any folder and with any extension) and the
// "//./" device namespace; a link is followed to the file it finally names.
#include "platform/output_target.h"

#include <windows.h>

#include <cerrno>
#include <cctype>

#include "platform/win_text.h"

namespace platform {
namespace {

bool IsDeviceName(const std::string& nativePath) {
  std::string p = ForwardSlashes(nativePath);
  if (p.compare(0, 4, "//./") == 0) return true;
  size_t slash = p.rfind('/');
  std::string base = p.substr(slash == std::string::npos ? 0 : slash + 1);
  if (base.size() >= 2 && base[1] == ':' && slash == std::string::npos) base = base.substr(2);
  base = base.substr(0, base.find('.'));
  while (!base.empty() && (base.back() == ' ' || base.back() == ':')) base.pop_back();
  for (char& c : base) c = char(std::toupper(static_cast<unsigned char>(c)));
  if (base == "NUL" || base == "CON" || base == "PRN" || base == "AUX") return true;
  return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
         base[3] >= '1' && base[3] <= '9';
}

// The final path of a link, "" when what it names cannot be opened.
std::string FinalPath(const std::string& nativePath) {
  HANDLE h = CreateFileW(Widen(nativePath).c_str(), FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "";
  wchar_t buf[4096];
  DWORD n = GetFinalPathNameByHandleW(h, buf, 4096, FILE_NAME_NORMALIZED);
  CloseHandle(h);
  if (n == 0 || n >= 4096) return "";
  std::wstring w(buf, n);
  if (w.compare(0, 4, L"\\\\?\\") == 0) w = w.substr(4);
  return ForwardSlashes(Narrow(w));
}

}  // namespace

OutputTarget ResolveOutputTarget(const std::string& nativePath) {
  OutputTarget target;
  target.path = nativePath;
  if (IsDeviceName(nativePath)) {
    target.kind = TargetKind::kDevice;
    return target;
  }
  DWORD a = GetFileAttributesW(Widen(nativePath).c_str());
  if (a == INVALID_FILE_ATTRIBUTES) {
    target.kind = TargetKind::kNew;
    return target;
  }
  if (a & FILE_ATTRIBUTE_REPARSE_POINT) {
    std::string final = FinalPath(nativePath);
    if (final.empty()) {
      target.kind = TargetKind::kUnusable;
      target.error = ENOENT;
      return target;
    }
    target.path = final;
    a = GetFileAttributesW(Widen(final).c_str());
  }
  if (a & FILE_ATTRIBUTE_DIRECTORY) {
    target.kind = TargetKind::kUnusable;
    target.error = EISDIR;
  } else {
    target.kind = TargetKind::kRegular;
  }
  return target;
}

bool MayRenameOver(const std::string& nativePath) {
  DWORD a = GetFileAttributesW(Widen(nativePath).c_str());
  if (a == INVALID_FILE_ATTRIBUTES) {
    DWORD e = GetLastError();
    return e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND;
  }
  return !(a & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
}

}  // namespace platform
