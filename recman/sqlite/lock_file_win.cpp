// The SQLite engine's companion lock file on Windows (contract in
// lock_file.h).
//
// RATIONALE
//
// The locks are LockFileEx byte ranges on a handle of the lock file, one
// handle per LockFile. They conflict between handles, in one process as
// between two, as the Linux build's open file description locks do, and
// the system lets them go when the handle closes or its process ends,
// however it ends. Windows byte-range locks also forbid the locked bytes
// to other handles' reads and writes, so on Windows the lock bytes lie
// past the shared page: the open byte at kSharedPageSize and the record
// locks kRecordBase bytes further, beyond the end of the file (where locks
// may lie; nothing reads there). Only programs of one machine share a lock
// file, so the two builds never meet in one.
//
// A lock cannot be taken twice through one handle (a second exclusive
// lock of the same byte conflicts with the first), nor let go without
// having been taken: the records held are kept in held_, so LockRecord of
// a record held is granted at once and UnlockRecord of one not held does
// nothing.
//
// The shared page is a view of a file mapping of the lock file's first
// kSharedPageSize bytes (the file is extended with zeros to that size when
// shorter), seen by every process that maps the same file.
//
// Where the lock file cannot be written (a read-only folder or medium) the
// open is a reader's, as on Linux: an existing lock file opened for
// reading (its locks shared), or none at all.
#include "recman/sqlite/lock_file.h"

#include <windows.h>

#include <cassert>

#include "platform/win_text.h"

namespace recman {
namespace {

constexpr uint64_t kOpenByte = uint64_t(kSharedPageSize);
constexpr uint64_t kRecordBase = kOpenByte + 1024;

HANDLE H(int64_t handle) { return reinterpret_cast<HANDLE>(handle); }

bool LockByte(HANDLE h, uint64_t at, bool exclusive) {
  OVERLAPPED o = {};
  o.Offset = DWORD(at);
  o.OffsetHigh = DWORD(at >> 32);
  DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
  return LockFileEx(h, flags, 0, 1, 0, &o) != 0;
}

void UnlockByte(HANDLE h, uint64_t at) {
  OVERLAPPED o = {};
  o.Offset = DWORD(at);
  o.OffsetHigh = DWORD(at >> 32);
  UnlockFileEx(h, 0, 1, 0, &o);
}

// The lock file's handle is kept in handle_ as its numeric value; -1 is none.
int64_t Keep(HANDLE h) { return reinterpret_cast<int64_t>(h); }

}  // namespace

LockFile::~LockFile() { Close(); }

std::string LockFile::PathFor(const std::string& dataPath) { return dataPath + ".lck"; }

int16_t LockFile::Open(const std::string& dataPath, bool exclusive) {
  assert(handle_ == -1 && !open_);
  const std::wstring path = platform::Widen(PathFor(dataPath));
  readOnly_ = false;
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    DWORD e = GetLastError();
    if (e != ERROR_ACCESS_DENIED && e != ERROR_WRITE_PROTECT) return 2;
    if (exclusive) return 46;
    readOnly_ = true;
    h = CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      e = GetLastError();
      if (e != ERROR_FILE_NOT_FOUND && e != ERROR_ACCESS_DENIED) return 2;
      open_ = true;  // no lock file to share: a lone reader
      return 0;
    }
  }
  if (!LockByte(h, kOpenByte, exclusive)) {
    DWORD e = GetLastError();
    CloseHandle(h);
    return (e == ERROR_LOCK_VIOLATION || e == ERROR_IO_PENDING) ? 85 : 2;
  }
  handle_ = Keep(h);
  open_ = true;
  if (!readOnly_) MapSharedPage();
  return 0;
}

void LockFile::MapSharedPage() {
  HANDLE h = H(handle_);
  LARGE_INTEGER size;
  if (!GetFileSizeEx(h, &size)) return;
  if (size.QuadPart < kSharedPageSize) {
    LARGE_INTEGER end;
    end.QuadPart = kSharedPageSize;
    if (!SetFilePointerEx(h, end, nullptr, FILE_BEGIN) || !SetEndOfFile(h)) return;
  }
  HANDLE mapping = CreateFileMappingW(h, nullptr, PAGE_READWRITE, 0, DWORD(kSharedPageSize),
                                      nullptr);
  if (mapping == nullptr) return;
  void* p = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, size_t(kSharedPageSize));
  if (p == nullptr) {
    CloseHandle(mapping);
    return;
  }
  mapping_ = mapping;
  page_ = static_cast<uint64_t*>(p);
}

void LockFile::UnmapSharedPage() {
  if (page_) UnmapViewOfFile(page_);
  if (mapping_) CloseHandle(static_cast<HANDLE>(mapping_));
  page_ = nullptr;
  mapping_ = nullptr;
}

bool LockFile::LockRecord(uint32_t pos) {
  assert(open_);
  if (handle_ == -1) return true;  // a lone reader: no write can follow
  if (held_.count(pos)) return true;
  if (!LockByte(H(handle_), kRecordBase + pos, !readOnly_)) return false;
  held_.insert(pos);
  return true;
}

void LockFile::UnlockRecord(uint32_t pos) {
  if (handle_ == -1 || !held_.erase(pos)) return;
  UnlockByte(H(handle_), kRecordBase + pos);
}

void LockFile::Close() {
  UnmapSharedPage();
  if (handle_ != -1) {
    // Let go of each lock before the handle closes: the system frees the
    // locks of a closed handle only when it gets round to it.
    for (uint32_t pos : held_) UnlockByte(H(handle_), kRecordBase + pos);
    UnlockByte(H(handle_), kOpenByte);
    CloseHandle(H(handle_));
  }
  held_.clear();
  handle_ = -1;
  open_ = false;
}

// No fork on Windows: nothing shares the handle, which closes with the
// locks.
void LockFile::Abandon() { Close(); }

}  // namespace recman
