// The storage engine interface: where records and key images live.
//
// BTRCALL (recman/btrcall.cpp) does the record manager's work: buffers,
// statuses, currency, key images. It reaches the stored records and the
// locks only through these small classes. Two engines implement them: the
// SQLite one (recman/sqlite/sqlite_engine.cpp, one file per data file, locks in a
// companion lock file) and the server one (recman/pg/pg_engine.cpp, a
// PostgreSQL server shared by the terminals of several machines). Which one
// keeps a data file is the suite's setting (recman/engine_choice.h).
//
// Rules every engine keeps:
//   - each record has a 32-bit position, never 0, given at insert,
//     unchanged by updates and never given again, even after the record is
//     deleted; positions only grow, so ordering by position is insertion
//     order;
//   - per key the engine stores the key image (recman/key_layout.h) or
//     nothing for a null key, and orders the key by (image, position);
//   - each write (Insert, Update, Delete, SetOwner) is atomic and durable
//     against a crash of the process once it returns 0; unique keys are
//     checked inside the same atomic step;
//   - no transaction or read snapshot stays open between calls, so every
//     call sees what other processes have committed, except inside a
//     transaction the caller asked for (BeginTransaction) and while the
//     caller holds a read snapshot (HoldRead), which it does only as the
//     protocol of recman/held_reads.cpp allows;
//   - locks (FileLocks) conflict between any two opens, in one process or
//     in two, and vanish when their holder goes away, however it ends;
//   - results are statuses (recman/btrcall.h), never exceptions.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "recman/btrcall.h"
#include "recman/key_layout.h"

namespace recman {

// What an engine knows about an open file besides its records.
struct FileInfo {
  FileLayout layout;
  std::string owner;   // empty when the file has no owner
  int ownerMode = 0;   // 0..3 as given to Set Owner
  bool readOnly = false;  // the storage can only be read by this process
                          // (a file or medium it cannot write): writes are
                          // refused with 46 before they reach the engine
};

// How a key seek chooses its record, relative to (image, position):
enum class SeekHow : uint8_t {
  kFirst,    // lowest entry
  kLast,     // highest entry
  kAfter,    // lowest entry above (image, pos)
  kBefore,   // highest entry below (image, pos)
  kAtLeast,  // lowest entry with key >= image
  kAtMost,   // highest entry with key <= image
  kAbove,    // lowest entry with key > image
  kBelow,    // highest entry with key < image
};

// A record found by a seek or fetch. The pointers stay valid until the next
// call on the same table.
struct Fetched {
  uint32_t pos = 0;
  int64_t version = 0;    // changes with every update of the record
  uint32_t length = 0;    // length of the stored record
  const uint8_t* record = nullptr;
  bool hasImage = false;  // false: the record is not in the key (null key)
  uint8_t image[kMaxKeyLength];  // key image, the key's length (when hasImage)
};

// The images of all keys of one record, as written by Insert/Update. The
// caller keeps one instance per open file and refills it, so writing needs
// no allocation once the buffers have grown.
struct KeyImages {
  std::vector<uint8_t> bytes;   // images one after the other, each key's length
  std::vector<uint32_t> offset; // where key k's image starts in bytes
  std::vector<uint8_t> present; // 0 when key k is null for this record
};

class Table {
 public:
  virtual ~Table() = default;

  virtual const FileInfo& info() const = 0;

  // Finds a record along key `key` as `how` says; image and pos are read
  // only where `how` needs them. Returns 0, 9 when there is no such record,
  // or an error status.
  virtual int16_t SeekKey(int key, SeekHow how, const uint8_t* image,
                          uint32_t pos, Fetched* out) = 0;

  // Finds a record in position order; how is kFirst, kLast, kAfter or
  // kBefore (relative to pos). key selects which image comes back (-1:
  // none). Returns 0, 9 or an error status.
  virtual int16_t SeekPhysical(SeekHow how, uint32_t pos, int key,
                               Fetched* out) = 0;

  // The record at pos, with the image of key `key` (-1: none). Returns 0,
  // 43 when there is no record at pos, or an error status.
  virtual int16_t Fetch(uint32_t pos, int key, Fetched* out) = 0;

  // Stores a new record. Returns 0 with *pos and *version set, 5 when a
  // unique key's image is already present, or an error status.
  virtual int16_t Insert(const uint8_t* record, uint32_t length,
                         const KeyImages& images, uint32_t* pos,
                         int64_t* version) = 0;

  // Replaces the record at pos, provided it still has `version`. Returns 0
  // with *newVersion set; 80 when the record changed or vanished since it was
  // read; 10 when the image of a key that is not modifiable would change;
  // 5 on a duplicate in a unique key; or an error status.
  virtual int16_t Update(uint32_t pos, int64_t version, const uint8_t* record,
                         uint32_t length, const KeyImages& images,
                         int64_t* newVersion) = 0;

  // Removes the record at pos, provided it still has `version`. Returns 0,
  // 80 when the record changed or vanished since it was read, or an error.
  virtual int16_t Delete(uint32_t pos, int64_t version) = 0;

  // The number of records. Returns 0 or an error status.
  virtual int16_t RecordCount(uint32_t* count) = 0;

  // A transaction the caller asked for (Begin Transaction): from here to
  // EndTransaction, writes are kept together and other processes' inserts and
  // deletes wait (the SQLite engine: all their writes). Each write inside still
  // succeeds or fails as a whole. Returns 0 or an error status (85 when the
  // file stays busy).
  virtual int16_t BeginTransaction() = 0;

  // Commits (commit true) or rolls back the transaction. Returns 0 or an
  // error status; a failed commit rolls back.
  virtual int16_t EndTransaction(bool commit) = 0;

  // From here on, reads share one read snapshot, taken by the first of
  // them (not by this call), until ReleaseRead, so that consecutive reads
  // cost no locking. Writes, SetOwner and BeginTransaction let the
  // snapshot go first by themselves. Returns 0, or an error status with no
  // snapshot held. Holding already is no error.
  virtual int16_t HoldRead() = 0;

  // Ends a held read snapshot (nothing when none is held).
  virtual void ReleaseRead() = 0;

  // True while a read snapshot is held.
  virtual bool holdingRead() const = 0;

  // Stores (owner non-empty) or clears the owner name. Returns 0 or an
  // error status.
  virtual int16_t SetOwner(const std::string& owner, int mode) = 0;
};

// The locks of one open of a data file (one position block): the open
// itself, shared or exclusive, and single-record locks. Every two FileLocks
// conflict, whether they belong to one process or to two. Allowed
// transitions: made -> Open -> any number of records locked and unlocked ->
// destroyed (which releases everything); a failed Open may be tried again.
// Breaking them is a fault of the caller: the SQLite engine's locks stop
// the program there (ZUL_CHECK, platform/check.h).
class FileLocks {
 public:
  virtual ~FileLocks() = default;

  // Takes the open lock, shared or exclusive. Returns 0; 85 when another
  // open conflicts (an exclusive holder, or any holder for an exclusive
  // open); or an error status (2 when the lock cannot be had at all, 46 for
  // an exclusive open where the locks can only be read).
  virtual int16_t Open(bool exclusive) = 0;

  // True when the locks could only be opened for reading (a read-only
  // medium): the open they belong to must not write.
  virtual bool readOnly() const { return false; }

  // Locks the record at pos without waiting. Returns 0 when this FileLocks
  // holds it afterwards (also when it already did), 84 when another holds
  // it, or an error status.
  virtual int16_t LockRecord(uint32_t pos) = 0;

  // Releases the lock of the record at pos (nothing when not held).
  virtual void UnlockRecord(uint32_t pos) = 0;

  // After fork, in the child: forgets the locks without releasing them;
  // they stay the parent's.
  virtual void Abandon() = 0;

  // The write generation shared by every open of the file on this machine
  // (recman/held_reads.cpp; the server engine keeps it on the same page,
  // other machines' writes reach it as notifications,
  // recman/pg/pg_read_ahead.h), when the engine keeps one; without it
  // nothing is held between reads.
  bool hasSharedPage() const { return page_ != nullptr; }
  uint64_t Generation() const {
    return page_ ? __atomic_load_n(page_, __ATOMIC_ACQUIRE) : 0;
  }
  void BumpGeneration() {
    if (page_) __atomic_add_fetch(page_, 1, __ATOMIC_SEQ_CST);
  }

 protected:
  uint64_t* page_ = nullptr;  // the shared write generation, or null
};

class Engine {
 public:
  virtual ~Engine() = default;

  // Whether anything stands at the native path (a data file or not).
  // Returns 0 when something does, 12 when nothing does, or an error
  // status.
  virtual int16_t Exists(const std::string& path) = 0;

  // The locks of one open of the data file at the native path (the file
  // need not exist yet: Create takes them). Nothing is locked until Open.
  virtual std::unique_ptr<FileLocks> NewLocks(const std::string& path) = 0;

  // Creates a data file at the native path with the layout. The caller
  // holds the file's exclusive open lock. Returns 0; 59 when a file exists
  // and replace is false; 35 when its folder (a server suite's schema) does
  // not exist; 25 when the file cannot be made.
  virtual int16_t Create(const std::string& path, const FileLayout& layout,
                         bool replace) = 0;

  // Makes what the data files of the suite of the native path need besides
  // their folder, when it is missing: on a server, the suite's schema,
  // which Create never makes by itself (a misspelt schema must not become
  // a new, empty suite). Returns 0 or a status.
  virtual int16_t MakeSuiteStorage(const std::string& path) {
    (void)path;
    return B_OK;
  }

  // Cheap test, without side effects, whether the file at the native path
  // is one of this engine's data files. Returns 0, 12 when there is no file,
  // 30 when it is something else.
  virtual int16_t Probe(const std::string& path) = 0;

  // Opens a data file that Probe accepted. Returns 0 and *table, 30 when
  // the file is not a data file after all, 2 on a damaged file or I/O error.
  virtual int16_t Open(const std::string& path, bool readOnly,
                       std::unique_ptr<Table>* table) = 0;

  // Integrity check of the storage itself (not of the records against their
  // keys). Appends one line per problem to *problems. Returns 0 when the
  // file could be examined (problems may still be listed), else a status.
  virtual int16_t CheckStorage(const std::string& path,
                               std::vector<std::string>* problems) = 0;
};

// The SQLite engine: data files as files (recman/sqlite/sqlite_engine.cpp). The
// engine of a given data file is EngineFor's (recman/engine_choice.h).
Engine& DefaultEngine();

}  // namespace recman
