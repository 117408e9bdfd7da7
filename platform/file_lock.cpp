#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace platform {
namespace {

// How often a lock file removed under a new lock is opened again before
// the lock counts as busy: each try follows a holder that let go.
constexpr int kTries = 8;

}  // namespace

LockResult TryLockFile(const std::string& nativePath, FileLock* lock) {
  if (lock->fd >= 0) return LockResult::kHeld;
  for (int attempt = 0; attempt < kTries; ++attempt) {
    int fd = ::open(nativePath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return LockResult::kFailed;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int error = errno;
      ::close(fd);
      return error == EWOULDBLOCK ? LockResult::kBusy : LockResult::kFailed;
    }
    // The name must still lead to the file locked: a holder that let go
    // between our open and our lock removed it.
    struct stat held, named;
    if (::fstat(fd, &held) == 0 && ::stat(nativePath.c_str(), &named) == 0 &&
        held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
      lock->fd = fd;
      lock->path = nativePath;
      return LockResult::kHeld;
    }
    ::close(fd);
  }
  return LockResult::kBusy;
}

void UnlockFile(FileLock* lock) {
  if (lock->fd < 0) return;
  // Removed while still held, so that nobody locks a file about to lose
  // its name.
  ::unlink(lock->path.c_str());
  ::close(lock->fd);
  lock->fd = -1;
  lock->path.clear();
}

}  // namespace platform
