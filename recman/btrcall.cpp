// BTRCALL: operation dispatch, position blocks, and the operations on
// whole files (Open, Close, Reset, Create, Stat, owners, transactions). The
// record operations are in btrcall_records.cpp.
//
// Map of this file:
//   1. position blocks and the open-file table
//   2. Open, Close, Reset, Create, Stat, owner operations
//   3. transactions
//   4. BTRCALL itself
//
// Transactions: between Begin (19) and End (20) or Abort (21) Transaction,
// each file joins the transaction at its first write. SQLite files: one
// SQLite transaction per file; End commits the files one after the other,
// each file's part atomic, the set of files not (a crash between two
// commits keeps the first); closing a file inside a transaction rolls its
// part back. Server files: one server transaction per connection for all
// its files, committed at once; a file closed inside the transaction leaves
// its writes in it (see recman/pg/pg_engine.cpp).
//
// Reads between writes may share one SQLite read snapshot per open file;
// held_reads.cpp has the rules that keep every call seeing what others had
// committed before it began.

#include <cstring>
#include <mutex>

#include "platform/coding.h"
#include "platform/env.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "recman/btrcall.h"
#include "recman/engine_choice.h"
#include "recman/record_manager.h"

namespace recman {

RecmanState manager;

// ---- 1. Position blocks and the open-file table -----------------------------

OpenFile* FileOf(const void* block) {
  if (block == nullptr) return nullptr;
  const uint8_t* b = static_cast<const uint8_t*>(block);
  if (platform::DecodeFixed32(b + PB_MAGIC) != kPositionBlockMagic) return nullptr;
  uint32_t slot = platform::DecodeFixed32(b + PB_SLOT);
  if (slot >= manager.files.size()) return nullptr;
  OpenFile* f = manager.files[slot].get();
  if (f == nullptr || f->serial != platform::DecodeFixed32(b + PB_SERIAL)) return nullptr;
  return f;
}

void MirrorCurrency(OpenFile* f, void* block) {
  uint8_t* b = static_cast<uint8_t*>(block);
  platform::EncodeFixed16(b + PB_KEY_NUMBER, uint16_t(int16_t(f->keyPath)));
  platform::EncodeFixed32(b + PB_POSITION, f->pos);
}

// A second open of a file whose other open already writes in the
// transaction would wait for its own process's write lock: 85 at once.
int16_t JoinTransaction(OpenFile* f) {
  if (!manager.transaction || f->inTransaction) return B_OK;
  for (const auto& other : manager.files)
    if (other && other.get() != f && other->inTransaction && other->path == f->path)
      return B_FILE_LOCKED;
  int16_t st = f->table->BeginTransaction();
  if (st == B_OK) f->inTransaction = true;
  return st;
}

namespace {

// How long Create without replacing waits for another creator of the file.
constexpr int kCreateWaitSteps = 500;
constexpr long kCreateWaitStepMs = 10;

// In a child made by fork (without exec) the parent's SQLite and server
// connections must not be used or closed, and its locks must stay the
// parent's: the child forgets every open file (its position blocks give
// status 3). As SQLite requires, such a child should not open the parent's
// SQLite files again either; a child that runs another program (exec)
// starts afresh. (The server engine forgets its connections by a fork
// handler of its own.)
void ForgetAfterFork() {
  for (auto& f : manager.files) {
    if (!f) continue;
    if (f->locks) f->locks->Abandon();
    f->locks.release();  // deliberately leaked, as the table below
    f->table.release();  // deliberately leaked: the connection is the parent's
    f.release();
  }
  manager.files.clear();
}

void InstallForkHandler() {
  static std::once_flag once;
  std::call_once(once, [] { platform::AddForkChildHook(ForgetAfterFork); });
}

void CloseFile(OpenFile* f) {
  for (auto& slot : manager.files)
    if (slot.get() == f) {
      slot.reset();  // closes the table and the lock file
      break;
    }
}

// The file name in the key buffer: up to its first zero byte, which must lie
// within keyLength. Returns false when there is none or the name is empty.
bool PathFromKey(const void* key, uint16_t keyLength, std::string* path) {
  if (key == nullptr) return false;
  const char* k = static_cast<const char*>(key);
  const void* zero = std::memchr(k, 0, keyLength);
  if (zero == nullptr) return false;
  size_t n = size_t(static_cast<const char*>(zero) - k);
  if (n == 0) return false;
  path->assign(k, n);
  return true;
}

// The owner name passed in a buffer: up to the first zero byte, at most
// kMaxOwnerLength bytes.
std::string OwnerFrom(const void* buffer, uint32_t length) {
  if (buffer == nullptr) return std::string();
  const char* p = static_cast<const char*>(buffer);
  size_t n = 0;
  while (n < length && n < size_t(kMaxOwnerLength) && p[n] != 0) ++n;
  return std::string(p, n);
}

// ---- 2. Open, Close, Reset, Create, Stat, owners ---------------------------

int16_t DoOpen(void* block, void* data, uint32_t* dataLength, void* key,
               uint16_t keyLength, int16_t mode) {
  if (block == nullptr) return B_FILE_NOT_OPEN;
  if (FileOf(block) != nullptr) return B_OPERATION_NOT_ALLOWED;  // in use
  std::string name;
  if (!PathFromKey(key, keyLength, &name)) return B_INVALID_FILE_NAME;
  if (mode != B_MODE_NORMAL && mode != B_MODE_ACCELERATED &&
      mode != B_MODE_READ_ONLY && mode != B_MODE_VERIFY &&
      mode != B_MODE_EXCLUSIVE)
    return B_INVALID_OPERATION;
  InstallForkHandler();
  InstallHeldReads();
  std::string path = platform::SuitePath(name);
  Engine& engine = EngineFor(path);
  int16_t st = engine.Probe(path);
  if (st != B_OK) return st;

  auto f = std::make_unique<OpenFile>();
  f->path = path;
  f->engine = &engine;
  f->locks = engine.NewLocks(path);
  st = f->locks->Open(mode == B_MODE_EXCLUSIVE);
  if (st != B_OK) return st;
  st = engine.Open(path, mode == B_MODE_READ_ONLY, &f->table);
  if (st != B_OK) return st;

  const FileInfo& info = f->table->info();
  f->readOnly = mode == B_MODE_READ_ONLY || info.readOnly || f->locks->readOnly();
  if (info.owner.empty()) {
    f->ownerGiven = true;
  } else if (OwnerFrom(data, *dataLength) == info.owner) {
    f->ownerGiven = true;
  } else if (info.ownerMode == 1 || info.ownerMode == 3) {
    f->readOnly = true;  // reading is allowed without the owner name
  } else {
    return B_INVALID_OWNER;
  }

  size_t slot = 0;
  while (slot < manager.files.size() && manager.files[slot]) ++slot;
  if (slot == manager.files.size()) manager.files.emplace_back();
  f->serial = manager.nextSerial++;
  if (manager.nextSerial == 0) manager.nextSerial = 1;
  uint8_t* b = static_cast<uint8_t*>(block);
  std::memset(b, 0, kPositionBlockSize);
  platform::EncodeFixed32(b + PB_MAGIC, kPositionBlockMagic);
  platform::EncodeFixed32(b + PB_SLOT, uint32_t(slot));
  platform::EncodeFixed32(b + PB_SERIAL, f->serial);
  manager.files[slot] = std::move(f);
  MirrorCurrency(manager.files[slot].get(), block);
  return B_OK;
}

int16_t DoClose(void* block) {
  OpenFile* f = FileOf(block);
  if (f == nullptr) return B_FILE_NOT_OPEN;
  CloseFile(f);
  std::memset(block, 0, kPositionBlockSize);
  return B_OK;
}

int16_t DoReset() {
  manager.files.clear();  // rolls back any transaction's uncommitted part
  if (manager.transaction) EndServerTransactions(/*commit=*/false);
  manager.transaction = false;
  manager.anyHeld = false;
  return B_OK;
}

int16_t DoCreate(void* data, uint32_t* dataLength, void* key,
                 uint16_t keyLength, int16_t mode) {
  std::string name;
  if (!PathFromKey(key, keyLength, &name)) return B_INVALID_FILE_NAME;
  if (mode != B_CREATE_REPLACE && mode != B_CREATE_NO_REPLACE)
    return B_INVALID_OPERATION;
  FileLayout layout;
  int16_t st = ParseLayout(static_cast<const uint8_t*>(data),
                           data ? *dataLength : 0, &layout);
  if (st != B_OK) return st;
  std::string path = platform::SuitePath(name);
  Engine& engine = EngineFor(path);
  if (mode == B_CREATE_NO_REPLACE) {
    st = engine.Exists(path);
    if (st == B_OK) return B_FILE_EXISTS;
    if (st != B_FILE_NOT_FOUND) return st;
  }
  // Nobody may have the file open while it is made or replaced. Without
  // replacing, a busy lock means another program is creating the same file
  // right now (two terminals starting at once): wait for it to finish, and
  // report the file as existing rather than as locked.
  std::unique_ptr<FileLocks> lock = engine.NewLocks(path);
  for (int attempt = 0;; ++attempt) {
    st = lock->Open(/*exclusive=*/true);
    if (st != B_FILE_LOCKED || mode == B_CREATE_REPLACE) break;
    if (engine.Exists(path) == B_OK) return B_FILE_EXISTS;
    if (attempt >= kCreateWaitSteps) break;
    platform::SleepMs(kCreateWaitStepMs);
    lock = engine.NewLocks(path);
  }
  // A lock that cannot be had, or only read (a read-only medium): the file
  // cannot be made there.
  if (st == B_IO_ERROR || st == B_ACCESS_DENIED) return B_CREATE_IO_ERROR;
  if (st != B_OK) return st;
  st = engine.Create(path, layout, mode == B_CREATE_REPLACE);
  lock->BumpGeneration();  // see held_reads.cpp: a file replaced
  return st;
}

int16_t DoStat(void* block, void* data, uint32_t* dataLength) {
  OpenFile* f = FileOf(block);
  if (f == nullptr) return B_FILE_NOT_OPEN;
  const std::string& creation = f->table->info().layout.bytes;
  uint32_t count = 0;
  BeginRead(f, /*locking=*/false);
  int16_t st = f->table->RecordCount(&count);
  EndRead(f, st);
  if (st != B_OK) return st;
  uint32_t cap = data ? *dataLength : 0;
  uint32_t n = cap < creation.size() ? cap : uint32_t(creation.size());
  uint8_t* d = static_cast<uint8_t*>(data);
  if (n) std::memcpy(d, creation.data(), n);
  uint8_t countBytes[4];
  platform::EncodeFixed32(countBytes, count);
  for (uint32_t i = 0; i < 4; ++i)
    if (FS_RECORD_COUNT + i < n) d[FS_RECORD_COUNT + i] = countBytes[i];
  *dataLength = n;
  return n < creation.size() ? B_DATA_BUFFER_LENGTH : B_OK;
}

int16_t DoSetOwner(void* block, void* data, uint32_t* dataLength, void* key,
                   uint16_t keyLength, int16_t mode) {
  OpenFile* f = FileOf(block);
  if (f == nullptr) return B_FILE_NOT_OPEN;
  if (f->readOnly) return B_ACCESS_DENIED;
  if (!f->table->info().owner.empty()) return B_OWNER_ALREADY_SET;
  if (mode < 0 || mode > 3) return B_INVALID_OPERATION;
  std::string owner = OwnerFrom(data, *dataLength);
  if (owner.empty() || owner != OwnerFrom(key, keyLength)) return B_INVALID_OWNER;
  LetGoRead(f);
  int16_t st = f->table->SetOwner(owner, mode);
  SignalWrite(f);
  return st;
}

int16_t DoClearOwner(void* block) {
  OpenFile* f = FileOf(block);
  if (f == nullptr) return B_FILE_NOT_OPEN;
  if (f->readOnly) return B_ACCESS_DENIED;
  if (f->table->info().owner.empty()) return B_OK;
  if (!f->ownerGiven) return B_INVALID_OWNER;
  LetGoRead(f);
  int16_t st = f->table->SetOwner(std::string(), 0);
  SignalWrite(f);
  return st;
}

// ---- 3. Transactions ------------------------------------------------------

// Inside a transaction, joins the file to it before its first write.
int16_t DoTransaction(uint16_t op) {
  if (op == B_BEGIN_TRANSACTION) {
    if (manager.transaction) return B_TRANSACTION_ACTIVE;
    LetGoAllReads();  // reads inside the transaction hold nothing
    manager.transaction = true;
    return B_OK;
  }
  if (!manager.transaction) return B_NO_TRANSACTION;
  manager.transaction = false;
  int16_t result = B_OK;
  for (auto& f : manager.files) {
    if (!f || !f->inTransaction) continue;
    f->inTransaction = false;
    int16_t st = f->table->EndTransaction(op == B_END_TRANSACTION);
    if (op == B_END_TRANSACTION) SignalWrite(f.get());  // after its commit
    if (result == B_OK) result = st;
  }
  // Server transactions whose files were all closed meanwhile.
  int16_t st = EndServerTransactions(op == B_END_TRANSACTION);
  if (result == B_OK) result = st;
  return result;
}

// Fills f->images from a record.
}  // namespace

// ---- 4. BTRCALL ---------------------------------------------------------------

int16_t BTRCALL(uint16_t operation, void* positionBlock, void* dataBuffer,
                uint32_t* dataLength, void* keyBuffer, uint16_t keyLength,
                int16_t keyNumber) {
  ExpireHeldReads();
  uint32_t noLength = 0;
  if (dataLength == nullptr) dataLength = &noLength;
  if (keyBuffer == nullptr) keyLength = 0;
  const uint16_t bias = uint16_t(operation / 100 * 100);
  const uint16_t op = uint16_t(operation % 100);
  // Begin Transaction takes a bias of its own (+1000 concurrent, lock
  // biases); one kind of transaction serves them all here.
  if (op == B_BEGIN_TRANSACTION) return DoTransaction(op);
  if (bias != 0 && bias != B_LOCK_SINGLE_WAIT && bias != B_LOCK_SINGLE_NOWAIT)
    return B_INVALID_OPERATION;
  if (bias != 0 && !TakesLockBias(op)) return B_INVALID_OPERATION;
  switch (op) {
    case B_OPEN:
      return DoOpen(positionBlock, dataBuffer, dataLength, keyBuffer, keyLength, keyNumber);
    case B_CLOSE: return DoClose(positionBlock);
    case B_INSERT:
      return DoInsert(positionBlock, dataBuffer, dataLength, keyBuffer, keyLength, keyNumber);
    case B_UPDATE:
      return DoUpdate(positionBlock, dataBuffer, dataLength, keyBuffer, keyLength);
    case B_DELETE: return DoDelete(positionBlock);
    case B_GET_EQUAL:
    case B_GET_NEXT:
    case B_GET_PREVIOUS:
    case B_GET_GREATER:
    case B_GET_GE:
    case B_GET_LESS:
    case B_GET_LE:
    case B_GET_FIRST:
    case B_GET_LAST:
      return DoGet(op, bias, positionBlock, dataBuffer, dataLength, keyBuffer,
                   keyLength, keyNumber);
    case B_CREATE:
      return DoCreate(dataBuffer, dataLength, keyBuffer, keyLength, keyNumber);
    case B_STAT: return DoStat(positionBlock, dataBuffer, dataLength);
    case B_GET_POSITION: return DoGetPosition(positionBlock, dataBuffer, dataLength);
    case B_GET_DIRECT:
      return DoGetDirect(bias, positionBlock, dataBuffer, dataLength, keyBuffer,
                         keyLength, keyNumber);
    case B_STEP_NEXT:
    case B_STEP_FIRST:
    case B_STEP_LAST:
    case B_STEP_PREVIOUS:
      return DoStep(op, bias, positionBlock, dataBuffer, dataLength);
    case B_BEGIN_TRANSACTION:
    case B_END_TRANSACTION:
    case B_ABORT_TRANSACTION:
      return DoTransaction(op);
    case B_UNLOCK: return DoUnlock(positionBlock);
    case B_RESET: return DoReset();
    case B_SET_OWNER:
      return DoSetOwner(positionBlock, dataBuffer, dataLength, keyBuffer, keyLength,
                        keyNumber);
    case B_CLEAR_OWNER: return DoClearOwner(positionBlock);
    default: return B_INVALID_OPERATION;
  }
}

}  // namespace recman