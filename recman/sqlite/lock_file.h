// Record and file locks between processes, as byte-range locks on a
// companion lock file ("<data file>.lck"). See lock_file.cpp for the
// rationale.
//
// One LockFile belongs to one open of a data file (one position block). Its
// locks conflict with the locks of every other LockFile, in this process or
// in any other, and the operating system drops them when the LockFile is
// closed or its process ends, however it ends.
//
// Layout of the lock file. Locks are advisory byte ranges: they neither see
// nor disturb what the file holds, so the locked bytes and the shared page
// may overlap.
//   bytes 0 .. kSharedPageSize-1  the shared page, mapped (MAP_SHARED) by
//                           every open of the data file:
//     offset 0   u64        write generation, in the machine's byte order
//                           (only processes of one machine share it, as
//                           they share SQLite's -shm file)
//     offset 8..            zero, reserved
//   byte 0                  the open byte: a shared lock for every open, an
//                           exclusive lock for an exclusive open
//   byte kRecordBase + pos  the lock of the record at position pos
// A lock file shorter than the page (an empty one, say) is extended with
// zeros when it is opened; a lock file is never shortened, as
// a process touching its mapped page beyond the end would be killed
// (SIGBUS). Changing these offsets makes running programs of different
// builds ignore each other's locks or change signals.
#pragma once

#include <cstdint>
#include <string>
#ifdef _WIN32
#include <set>
#endif

namespace recman {

// Bytes of the shared page at the start of every lock file. Changing it
// makes running programs of different builds miss each other's signals.
constexpr long kSharedPageSize = 4096;

class LockFile {
 public:
  LockFile() = default;
  ~LockFile();
  LockFile(const LockFile&) = delete;
  LockFile& operator=(const LockFile&) = delete;

  // The lock file of a data file at the native path.
  static std::string PathFor(const std::string& dataPath);

  // Opens (creating when missing) the lock file of the data file and takes
  // the open byte, shared or exclusive. Returns 0, 85 when another open
  // conflicts (an exclusive holder, or any holder for an exclusive open), or
  // 2 when the lock file cannot be opened. Where the lock file cannot be
  // written (a read-only directory or medium) the open is a reader's
  // (readOnly() true; see lock_file.cpp): it returns 0 with an existing lock
  // file opened read-only or with none, and 46 for an exclusive open.
  // Opening a LockFile that is open is a fault of the caller (ZUL_CHECK);
  // after a failed Open it may be opened again.
  int16_t Open(const std::string& dataPath, bool exclusive);

  // Opens (creating when missing) the lock file of the data file for its
  // shared page only, taking no lock: the server engine's page
  // (recman/pg/pg_read_ahead.h), whose data file lives in the server.
  // Returns true with the page mapped, false (nothing open) when the lock
  // file cannot be made, written or mapped (a folder that is missing or
  // cannot be written). Only on a LockFile that is not open (ZUL_CHECK).
  bool OpenPage(const std::string& dataPath);

  // True after an Open that could not write the lock file: the data file
  // must only be read through this open.
  bool readOnly() const { return readOnly_; }

  // Locks the record at pos without waiting. True when this LockFile holds
  // it afterwards (also when it already did); false when another holds it.
  // A reader's lock is a shared one, which meets only writers' locks; a
  // reader without a lock file is always granted it. Only after a
  // successful Open (ZUL_CHECK).
  bool LockRecord(uint32_t pos);

  // Releases the lock of the record at pos (nothing when not held).
  void UnlockRecord(uint32_t pos);

  // True when the shared page is mapped. It is not when the file system
  // refuses to extend or map the file; the change signal is then missing
  // and callers must not rely on Generation.
  bool hasSharedPage() const { return page_ != nullptr; }

  // The data file's write generation: one atomic load from the shared
  // page, no system call. 0 without the page.
  uint64_t Generation() const {
    return page_ ? __atomic_load_n(page_, __ATOMIC_ACQUIRE) : 0;
  }

  // Adds one to the write generation with an atomic add, seen at once by
  // every process that has the page mapped. Nothing without the page.
  void BumpGeneration() {
    if (page_) __atomic_add_fetch(page_, 1, __ATOMIC_SEQ_CST);
  }

  // Releases every lock, unmaps the page and closes the file.
  void Close();

  // After fork, in the child: closes the child's copy of the descriptor
  // without unlocking and unmaps the child's copy of the page; the locks
  // stay with the parent.
  void Abandon();

  bool isOpen() const { return open_; }

  // The mapped shared page (its first word is the write generation), or
  // null.
  uint64_t* sharedPage() const { return page_; }

 private:
  void MapSharedPage();
  void UnmapSharedPage();

  int fd_ = -1;               // the lock file, or -1 (closed, or a lone reader)
  bool open_ = false;         // between a successful Open and Close
  bool readOnly_ = false;     // see readOnly()
  uint64_t* page_ = nullptr;  // the mapped shared page, or null
#ifdef _WIN32
  // Windows: a byte-range lock cannot be taken twice through one handle,
  // nor let go without having been taken, so the records held are kept.
  std::set<uint32_t> held_;
  void* mapping_ = nullptr;  // the file mapping object of the shared page
  int64_t handle_ = -1;      // the lock file's handle (fd_ stays -1), or -1
#endif
};

static_assert(__atomic_always_lock_free(sizeof(uint64_t), 0),
              "the write generation must be lock-free to be shared between processes");

}  // namespace recman
