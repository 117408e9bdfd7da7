// Locks between processes.
//
// RATIONALE
//
// The suite's programs run as separate processes on several terminals and
// share the data files. Two kinds of locks are needed:
//   - file locks: an exclusive open keeps everyone else out (status 85);
//   - record locks: a get with a lock bias reserves one record until Unlock,
//     Update, Delete, the next lock or Close (status 84 for the others).
// Both must vanish when their holder dies, including by SIGKILL, or a crashed
// terminal would block the office until someone cleaned up by hand.
//
// Byte-range locks of the operating system give exactly that: the kernel
// drops them when the owner goes away. We lock single bytes of a companion
// lock file, never the database file itself, because SQLite places its own
// POSIX locks on the database file (and the -shm file) and its bookkeeping
// must not meet ours.
//
// Which kind of byte-range lock. Classic POSIX locks (F_SETLK) belong to the
// PROCESS: two opens of the same file in one process would share them (so
// two position blocks could not exclude each other), and closing ANY
// descriptor of the file drops ALL the process's locks on it, a famous trap
// (SQLite's os_unix.c works around it with a table of inodes). Open file
// description locks (F_OFD_SETLK, Linux 3.15+) belong to the open file
// description made by open(): each LockFile opens the lock file itself, so
// each position block has its own locks, they conflict within one process
// as between processes, and closing an unrelated descriptor drops nothing.
// They are released when the last descriptor of that description closes,
// which happens at Close or when the process ends.
//
// Traps avoided:
//   - fork: a child shares the parent's open file descriptions and so its
//     locks. The descriptor is opened O_CLOEXEC, so a program started with
//     exec does not keep our locks alive; a child that forks without exec
//     closes its copy of the descriptor without unlocking (Abandon): closing
//     one of two descriptors of a description releases nothing, so the
//     parent's locks stay intact, and the parent's later Close is again the
//     last one and releases them. Close unlocks the whole file explicitly
//     before closing, so no stray copy of the descriptor can keep them.
//   - deleting lock files: a lock file is never removed. If it were removed
//     while locked, the next opener would create a new file and lock a
//     different inode, and both would believe they hold the lock.
//   - waiting: we never block in the kernel (F_OFD_SETLKW). The kernel
//     does not detect deadlocks between OFD locks; callers that want to wait
//     poll with a sleep instead (lock bias +100), so two programs waiting for
//     each other's records cannot hang silently inside a system call.
//
// The shared page. The first kSharedPageSize bytes of the lock file are
// mapped MAP_SHARED by every LockFile, so that the write generation there
// (held_reads.cpp) is one memory word shared by all processes of the
// machine. Mapping does not touch the locks: byte-range locks here are
// advisory (Linux's mandatory locking, which could refuse a shared mapping
// of a locked file, needs a special mount option and set-group-id mode
// bits and is gone from current kernels), and neither extending the file
// with ftruncate nor writing into the page releases or moves a lock. The
// file is only ever extended, never shortened: two openers that both find
// it short both extend it to the same length, which keeps whatever the
// first one wrote. When the file cannot be extended or mapped (a file
// system without shared mappings), the LockFile works without the page and
// says so (hasSharedPage).
//
// Read-only media. On a directory this process cannot write (an archived
// suite on a read-only disk, a folder without write permission) the lock
// file cannot be made or opened for writing, and nobody who shares those
// permissions can write the data file either (its write-ahead log cannot be
// made there). Such an open is a reader's: an existing lock file is opened
// read-only, so its shared open lock still meets a writer's exclusive open
// and a record lock (a shared byte lock there) meets a writer's record lock;
// without a lock file there is nothing to meet, and record locks are
// granted, as no write can follow them. There is no shared page (nothing is
// held between reads), and an exclusive open is refused with 46: it cannot
// keep anyone out. The record manager refuses every write of such an open.
//
// Allowed transitions of one LockFile: closed -> open (open byte shared or
// exclusive) -> any number of record locks taken and released -> closed.
// Record locks are only taken while the open byte is held. ZUL_CHECK
// (platform/check.h) stops a program that opens a LockFile twice or locks a
// record before the open.

#include "recman/sqlite/lock_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/check.h"

namespace recman {

namespace {

constexpr off_t kOpenByte = 0;
constexpr off_t kRecordBase = 1024;

#ifndef F_OFD_SETLK
#define F_OFD_SETLK 37
#endif

// Sets (type F_RDLCK/F_WRLCK) or clears (F_UNLCK) one byte. True on success.
bool SetByte(int fd, off_t at, short type) {
  struct flock fl = {};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = at;
  fl.l_len = 1;
  fl.l_pid = 0;  // required for open file description locks
  for (;;) {
    if (fcntl(fd, F_OFD_SETLK, &fl) == 0) return true;
    if (errno != EINTR) return false;
  }
}

}  // namespace

LockFile::~LockFile() { Close(); }

std::string LockFile::PathFor(const std::string& dataPath) {
  return dataPath + ".lck";
}

int16_t LockFile::Open(const std::string& dataPath, bool exclusive) {
  ZUL_CHECK(fd_ < 0 && !open_);  // one open per LockFile
  std::string path = PathFor(dataPath);
  readOnly_ = false;
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
    if (exclusive) return 46;
    readOnly_ = true;
    fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 && errno != ENOENT && errno != EACCES) return 2;
    if (fd < 0) {  // no lock file to share: a lone reader
      open_ = true;
      return 0;
    }
  }
  if (fd < 0) return 2;
  if (!SetByte(fd, kOpenByte, exclusive ? F_WRLCK : F_RDLCK)) {
    int e = errno;
    close(fd);
    return (e == EAGAIN || e == EACCES) ? 85 : 2;
  }
  fd_ = fd;
  open_ = true;
  if (!readOnly_) MapSharedPage();
  return 0;
}

bool LockFile::OpenPage(const std::string& dataPath) {
  ZUL_CHECK(fd_ < 0 && !open_);  // one open per LockFile
  fd_ = open(PathFor(dataPath).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd_ < 0) return false;
  open_ = true;
  MapSharedPage();
  if (page_ == nullptr) Close();
  return page_ != nullptr;
}

void LockFile::MapSharedPage() {
  struct stat st;
  if (fstat(fd_, &st) != 0) return;
  if (st.st_size < kSharedPageSize && ftruncate(fd_, kSharedPageSize) != 0) return;
  void* p = mmap(nullptr, size_t(kSharedPageSize), PROT_READ | PROT_WRITE, MAP_SHARED,
                 fd_, 0);
  if (p != MAP_FAILED) page_ = static_cast<uint64_t*>(p);
}

void LockFile::UnmapSharedPage() {
  if (page_) munmap(page_, size_t(kSharedPageSize));
  page_ = nullptr;
}

bool LockFile::LockRecord(uint32_t pos) {
  ZUL_CHECK(open_);  // records are locked after the open
  if (fd_ < 0) return true;  // a lone reader: no write can follow
  return SetByte(fd_, kRecordBase + off_t(pos), readOnly_ ? F_RDLCK : F_WRLCK);
}

void LockFile::UnlockRecord(uint32_t pos) {
  if (fd_ >= 0) SetByte(fd_, kRecordBase + off_t(pos), F_UNLCK);
}

void LockFile::Close() {
  UnmapSharedPage();
  if (fd_ >= 0) {
    struct flock fl = {};
    fl.l_type = F_UNLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = 0;
    fl.l_len = 0;  // to the end of the file and beyond
    fl.l_pid = 0;
    fcntl(fd_, F_OFD_SETLK, &fl);
    close(fd_);
  }
  fd_ = -1;
  open_ = false;
}

void LockFile::Abandon() {
  UnmapSharedPage();  // the child's copy; the parent's mapping stays
  if (fd_ >= 0) close(fd_);  // another descriptor of the description remains
  fd_ = -1;
  open_ = false;
}

}  // namespace recman
