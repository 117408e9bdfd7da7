// An exclusive lock that one process holds on a lock file, so that programs
// sharing a folder take turns at something (one report pass at a time in a
// terminal's folder, print/spool_lock.h).
//
// The lock is the operating system's whole-file lock on an open descriptor
// of the lock file: it is let go when the holder lets it go, closes the
// descriptor or ends in any way (killed included), so a lock is never left
// behind by a program that died. The descriptor is not passed on to the
// programs the holder starts, so the holder's lock ends with the holder.
//
// The lock file exists only while the lock is held: the holder removes it
// before it lets go. A process that opened the file just before it was
// removed would lock a file that has no name any more; after taking the
// lock it checks that the name still leads to the file it locked, and else
// tries again with the new file.
//
// State: the FileLock a caller keeps.
#pragma once

#include <string>

namespace platform {

struct FileLock {
  int fd = -1;       // open descriptor of the locked file; -1 when not held
  std::string path;  // native path of the lock file
};

enum class LockResult {
  kHeld,    // the lock is held, in *lock
  kBusy,    // another process holds it
  kFailed,  // the lock file cannot be created or locked (a folder that
            // cannot be written, no such folder)
};

// Tries once, without waiting, to take the lock of the lock file at the
// native path, creating the file when missing. A lock already held in
// *lock is kept (kHeld).
LockResult TryLockFile(const std::string& nativePath, FileLock* lock);

// Removes the lock file and lets the lock go; nothing when *lock is not
// held.
void UnlockFile(FileLock* lock);

}  // namespace platform
