// The record manager's state: the files this process has open through
// BTRCALL, each with its currency, its locks and its held read snapshot;
// and the routines that btrcall.cpp (dispatch, whole-file operations),
// btrcall_records.cpp (gets and writes) and held_reads.cpp (snapshots kept
// between reads) share. Only those files, engine_choice.cpp (the suite
// roots), pg/pg_session.cpp (the server sessions) and the tests include
// this header.
//
// State: one RecmanState instance, `recman::manager`. Tests may reset it by
// assigning a fresh RecmanState, which closes every open file, releases its
// locks, closes the server sessions and forgets the suite roots found
// (engine_choice.cpp): every cache of the record manager is in it. These live
// beside it for the life of the process and survive that reset, as the
// files opened afterwards stand on them:
//   - the SQLite engine (DefaultEngine, engine.h), one per program, without
//     state of its own;
//   - the server engine of each suite, connection and schema
//     (engine_choice.cpp), which open files point to; never destroyed, so
//     that the manager's destructor at exit may still close files on it;
// The server sessions (pg/pg_session.cpp) are the state's: the reset lets
// them go with the files that used them (a session lives while an open
// file of it does), and in a forked child ForgetSessionsAfterFork drops
// them unclosed.
//
// The position block (128 bytes, caller's memory) names an open file:
//   offset 0   u32  kPositionBlockMagic
//   offset 4   u32  slot in manager.files
//   offset 8   u32  serial of the open (so a stale or copied block that
//                   names a slot since reused is refused)
//   offset 12  i16  key number of the current path (for debugging; the
//                   currency itself lives with the open file, because a
//                   key image of up to 255 bytes does not fit the block)
//   offset 16  u32  position of the current record (for debugging)
// A block that does not match an open file gives status 3.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "recman/engine.h"

namespace recman {

namespace pg {
class Session;
}

constexpr uint32_t kPositionBlockMagic = 0x314D525A;  // "ZRM1"
constexpr int PB_MAGIC = 0;
constexpr int PB_SLOT = 4;
constexpr int PB_SERIAL = 8;
constexpr int PB_KEY_NUMBER = 12;
constexpr int PB_POSITION = 16;

// One open of a data file (one position block).
struct OpenFile {
  uint32_t serial = 0;
  std::string path;              // native path
  Engine* engine = nullptr;      // the engine that keeps the file
  std::unique_ptr<Table> table;
  std::unique_ptr<FileLocks> locks;
  bool readOnly = false;         // opened read-only, or without the owner in
                                 // an owner mode that allows reading
  bool ownerGiven = false;       // opened with the right owner name

  // Currency.
  int keyPath = -1;              // key of the current path; -1: physical only
  bool positioned = false;       // there is a place to go on from
  bool current = false;          // there is a current record (not deleted)
  bool hasImage = false;         // image below is valid
  uint8_t image[kMaxKeyLength];  // image of the current key entry
  uint32_t pos = 0;              // position of the current record
  int64_t version = 0;           // its version when it was read

  uint32_t lockedPos = 0;        // record held by a single-record lock, or 0
  bool inTransaction = false;    // has written inside the current transaction

  // Held read snapshot (held_reads.cpp).
  bool held = false;             // the table holds a read snapshot for us
  uint64_t heldGeneration = 0;   // write generation loaded before it began

  KeyImages images;              // scratch for writes
};

struct RecmanState {
  std::vector<std::unique_ptr<OpenFile>> files;  // by slot; null = free
  uint32_t nextSerial = 1;
  bool transaction = false;  // between Begin and End/Abort Transaction

  // Held read snapshots (held_reads.cpp).
  bool anyHeld = false;      // some open may hold a snapshot
  int64_t oldestHeldNs = 0;  // CoarseNowNs when the oldest of them began
  int uncheckedReads = -1;   // the limit run's switch: -1 not read yet, 0, 1

  // Folder (absolute) -> the suite root above it holding Brol.ini, for the
  // folders where one was found (engine_choice.cpp).
  std::map<std::string, std::string> suiteRoots;

  // The live server session of each connection string (pg/pg_session.cpp).
  // After the files: at a reset or at exit the files close first.
  std::map<std::string, std::shared_ptr<pg::Session>> serverSessions;
};
extern RecmanState manager;

// ---- Shared by btrcall.cpp and btrcall_records.cpp ---------------------

// The open file a position block names, or nullptr (the caller gives 3).
OpenFile* FileOf(const void* block);

// Copies the key path and position into the block's debugging fields.
void MirrorCurrency(OpenFile* f, void* block);

// Inside a transaction, joins the file to it before its first write.
// Returns 0 or a status (85 when another open of the same file in this
// process already writes in the transaction).
int16_t JoinTransaction(OpenFile* f);

// The record operations (btrcall_records.cpp), called by BTRCALL with the
// operation split into its code and lock bias. Each returns the status of
// the call, as BTRCALL does.
int16_t DoGet(uint16_t op, uint16_t bias, void* block, void* data,
              uint32_t* dataLength, void* key, uint16_t keyLength,
              int16_t keyNumber);
int16_t DoGetDirect(uint16_t bias, void* block, void* data,
                    uint32_t* dataLength, void* key, uint16_t keyLength,
                    int16_t keyNumber);
int16_t DoStep(uint16_t op, uint16_t bias, void* block, void* data,
               uint32_t* dataLength);
int16_t DoInsert(void* block, void* data, uint32_t* dataLength, void* key,
                 uint16_t keyLength, int16_t keyNumber);
int16_t DoUpdate(void* block, void* data, uint32_t* dataLength, void* key,
                 uint16_t keyLength);
int16_t DoDelete(void* block);
int16_t DoUnlock(void* block);
int16_t DoGetPosition(void* block, void* data, uint32_t* dataLength);

// ---- Held read snapshots (held_reads.cpp) ----------------------------------

// The longest a read snapshot is kept, counted from its beginning.
constexpr int64_t kHoldLimitNs = 100 * 1000 * 1000;

// At every Open: reads the limit run's switch once and registers the
// before-wait hook (once).
void InstallHeldReads();

// At the start of every BTRCALL: lets every snapshot go once the oldest has
// been held kHoldLimitNs. One clock read (no system call) when any is held.
void ExpireHeldReads();

// Just before a read of f (a get, a step, Stat). A locking read, a read
// inside a transaction or on a file without the shared page gets no held
// snapshot; otherwise the held one serves when the write generation is
// unchanged, else a new one is begun (the generation loaded first).
void BeginRead(OpenFile* f, bool locking);

// Just after the read, with its status: a status other than success, not
// found or end of file lets the snapshot go.
void EndRead(OpenFile* f, int16_t status);

// Lets f's snapshot go; LetGoAllReads lets every open's go.
void LetGoRead(OpenFile* f);
void LetGoAllReads();

// After a write of f reached the storage: bumps the write generation,
// unless inside a transaction (End Transaction bumps for the files it
// committed).
void SignalWrite(OpenFile* f);

}  // namespace recman
