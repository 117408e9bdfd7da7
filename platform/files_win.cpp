// Files at native paths on Windows (contract in files.h), through the W
// calls of the Windows API and the C library's wide forms.
#include "platform/files.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>

#include "platform/env.h"
#include "platform/process.h"
#include "platform/staged_file.h"
#include "platform/win_text.h"

namespace platform {
namespace {

DWORD AttributesOf(const std::string& nativePath) {
  if (nativePath.empty()) return INVALID_FILE_ATTRIBUTES;
  return GetFileAttributesW(Widen(nativePath).c_str());
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Nanoseconds since the Unix epoch of a Windows file time (100 ns ticks
// since 1601).
int64_t EpochNs(const FILETIME& t) {
  const uint64_t ticks = (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  return (int64_t(ticks) - 116444736000000000LL) * 100;
}

}  // namespace

bool ReadFile(const std::string& nativePath, std::string* bytes) {
  bytes->clear();
  FILE* f = _wfopen(Widen(nativePath).c_str(), L"rb");
  if (!f) return false;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes->append(buf, n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  if (!ok) bytes->clear();
  return ok;
}

bool WriteFile(const std::string& nativePath, const std::string& bytes) {
  // The companion name carries the process, so that two programs writing
  // the same file at once never write into each other's companion.
  StagedFile file;
  if (!BeginStaged(nativePath, nativePath + ".tmp" + std::to_string(ProcessId()), 0, &file))
    return false;
  StagedWrite(&file, bytes.data(), bytes.size());  // a failure fails the commit
  return CommitStaged(&file, true);
}

bool MakeDirs(const std::string& nativePath) {
  if (nativePath.empty()) return true;
  std::string cur;
  for (size_t i = 0; i <= nativePath.size(); ++i) {
    if (i == nativePath.size() || IsSeparator(nativePath[i])) {
      // Not the root, a drive ("C:") or the server part of "//server/share".
      const bool drive = cur.size() == 2 && cur[1] == ':';
      if (!cur.empty() && !drive && !IsSeparator(cur.back()) && !IsDirectory(cur)) {
        if (!CreateDirectoryW(Widen(cur).c_str(), nullptr) &&
            GetLastError() != ERROR_ALREADY_EXISTS)
          return false;
      }
    }
    if (i < nativePath.size()) cur.push_back(nativePath[i]);
  }
  return IsDirectory(nativePath);
}

bool IsDirectory(const std::string& nativePath) {
  DWORD a = AttributesOf(nativePath);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool RemoveFile(const std::string& nativePath) {
  const std::wstring w = Widen(nativePath);
  if (IsDirectory(nativePath)) return RemoveDirectoryW(w.c_str()) != 0;
  if (DeleteFileW(w.c_str())) return true;
  // A file marked read-only is removed as on Linux, where the folder's
  // rights decide.
  DWORD a = GetFileAttributesW(w.c_str());
  if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY) &&
      SetFileAttributesW(w.c_str(), a & ~DWORD(FILE_ATTRIBUTE_READONLY)))
    return DeleteFileW(w.c_str()) != 0;
  return false;
}

bool RenameFile(const std::string& from, const std::string& to, int* error) {
  if (MoveFileExW(Widen(from).c_str(), Widen(to).c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  if (error) *error = ErrnoOf(GetLastError());
  return false;
}

bool TouchFile(const std::string& nativePath) {
  HANDLE h = CreateFileW(Widen(nativePath).c_str(), GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

bool IsRegularFile(const std::string& nativePath) {
  DWORD a = AttributesOf(nativePath);
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadFileHead(const std::string& nativePath, size_t length, std::string* bytes, int* error) {
  bytes->clear();
  int fd = _wopen(Widen(nativePath).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
  if (fd < 0) {
    *error = errno;
    return false;
  }
  bytes->resize(length);
  size_t done = 0;
  bool ok = true;
  while (done < length) {
    int n = _read(fd, &(*bytes)[done], unsigned(length - done));
    if (n < 0) {
      *error = errno;
      ok = false;
    }
    if (n <= 0) break;
    done += size_t(n);
  }
  _close(fd);
  bytes->resize(ok ? done : 0);
  return ok;
}

bool LinkFile(const std::string& from, const std::string& to, int* error) {
  if (CreateHardLinkW(Widen(to).c_str(), Widen(from).c_str(), nullptr)) return true;
  *error = ErrnoOf(GetLastError());
  return false;
}

// Windows runs a program by its name's extension: there is nothing to set.
bool MakeExecutable(const std::string& nativePath) { return IsRegularFile(nativePath); }

bool CanWrite(const std::string& nativePath) {
  DWORD a = AttributesOf(nativePath);
  if (a == INVALID_FILE_ATTRIBUTES) return false;
  if (!(a & FILE_ATTRIBUTE_DIRECTORY)) {
    if (a & FILE_ATTRIBUTE_READONLY) return false;
    HANDLE h = CreateFileW(Widen(nativePath).c_str(), GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
  }
  // A folder's read-only mark says nothing on Windows: a file made and
  // removed in it does.
  std::string probe = nativePath + "/zulw" + std::to_string(ProcessId()) + ".tmp";
  HANDLE h = CreateFileW(Widen(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

int64_t FileSize(const std::string& nativePath) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (nativePath.empty() ||
      !GetFileAttributesExW(Widen(nativePath).c_str(), GetFileExInfoStandard, &d))
    return -1;
  return (int64_t(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
}

FileIdentity IdentityOf(const std::string& nativePath) {
  FileIdentity id;
  if (nativePath.empty()) return id;
  HANDLE h = CreateFileW(Widen(nativePath).c_str(), FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return id;
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileInformationByHandle(h, &info)) {
    id.exists = true;
    id.device = info.dwVolumeSerialNumber;
    id.inode = (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    id.size = (int64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    id.mtimeNs = EpochNs(info.ftLastWriteTime);
  }
  CloseHandle(h);
  return id;
}

// The file system keeps its folders' entries in its journal: a rename or a
// removal that returned is already as durable as the folder can make it.
bool SyncDirectory(const std::string& nativePath) { return IsDirectory(nativePath); }

std::string MakeTemporaryFile(const std::string& directory, const std::string& prefix,
                              const std::string& suffix, int* error) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string six;
    for (int i = 0; i < 6; ++i) six += kLetters[int(RandomUnit() * 36) % 36];
    std::string name = directory + "/" + prefix + six + suffix;
    HANDLE h = CreateFileW(Widen(name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      CloseHandle(h);
      return name;
    }
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) {
      *error = ErrnoOf(GetLastError());
      return "";
    }
  }
  *error = EEXIST;
  return "";
}

}  // namespace platform
