// Record and file locks between processes, as byte-range locks on a
// companion lock file ("<data file>.lck"). See lock_file.cpp for the
// rationale.
//
// One LockFile belongs to one open of a data file (one position block). Its
// locks conflict with the locks of every other LockFile, in this process or
// in any other, and the operating system drops them when the LockFile is
// closed or its process ends, however it ends.
//
// Layout of the lock file (nothing is ever written to it; only ranges are
// locked):
//   byte 0                  the open byte: a shared lock for every open, an
//                           exclusive lock for an exclusive open
//   byte kRecordBase + pos  the lock of the record at position pos
// Changing these offsets makes running programs of different builds ignore
// each other's locks.
#pragma once

#include <cstdint>
#include <string>

namespace recman {

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
  // 2 when the lock file cannot be opened.
  int16_t Open(const std::string& dataPath, bool exclusive);

  // Locks the record at pos without waiting. True when this LockFile holds
  // it afterwards (also when it already did); false when another holds it.
  bool LockRecord(uint32_t pos);

  // Releases the lock of the record at pos (nothing when not held).
  void UnlockRecord(uint32_t pos);

  // Releases every lock and closes the file.
  void Close();

  // After fork, in the child: closes the child's copy of the descriptor
  // without unlocking; the locks stay with the parent.
  void Abandon();

  bool isOpen() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace recman
