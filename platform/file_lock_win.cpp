// The exclusive lock file on Windows (contract in file_lock.h): a byte-range
// lock (LockFileEx) on a handle of the lock file opened with
// FILE_FLAG_DELETE_ON_CLOSE. The system lets the lock go and removes the
// file when the last handle closes, however the holder ends; while any
// process has the file open its name cannot be taken by a new file, so the
// name always leads to the file locked. The handle is not inherited by the
// programs the holder starts.
#include "platform/file_lock.h"

#include <io.h>
#include <windows.h>

#include "platform/env.h"
#include "platform/win_text.h"

namespace platform {
namespace {

// How often an open that meets a file about to disappear (a holder closing
// it) is tried again before the lock counts as busy.
constexpr int kTries = 8;

}  // namespace

LockResult TryLockFile(const std::string& nativePath, FileLock* lock) {
  if (lock->fd >= 0) return LockResult::kHeld;
  for (int attempt = 0; attempt < kTries; ++attempt) {
    HANDLE h = CreateFileW(Widen(nativePath).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      // A file whose last handle is closing refuses new opens for a moment.
      if (GetLastError() == ERROR_ACCESS_DENIED) {
        SleepMs(5);
        continue;
      }
      return LockResult::kFailed;
    }
    OVERLAPPED at = {};
    if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
      const DWORD error = GetLastError();
      CloseHandle(h);
      return error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING ? LockResult::kBusy
                                                                        : LockResult::kFailed;
    }
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), 0);
    if (fd < 0) {
      CloseHandle(h);
      return LockResult::kFailed;
    }
    lock->fd = fd;
    lock->path = nativePath;
    return LockResult::kHeld;
  }
  return LockResult::kBusy;
}

void UnlockFile(FileLock* lock) {
  if (lock->fd < 0) return;
  HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(lock->fd));
  OVERLAPPED at = {};
  UnlockFileEx(h, 0, 1, 0, &at);
  _close(lock->fd);  // the last handle: the file goes with it
  lock->fd = -1;
  lock->path.clear();
}

}  // namespace platform
