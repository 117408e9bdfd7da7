// BTRCALL: operation dispatch, buffers, currency and locks.
//
// Map of this file:
//   1. position blocks and the open-file table
//   2. Open, Close, Reset, Create, Stat, owner operations
//   3. the gets (key and physical) with their lock biases
//   4. Insert, Update, Delete, Unlock, Get Position
//   5. BTRCALL itself
//
// Currency: each open file (position block) has its own key path, key image
// and position. Gets move it; a get that fails (4, 9, 84, ...) leaves it
// where it was. Next and Previous go on from (image, position) along the
// key, so they are stable across duplicates and across records that other
// processes insert or delete meanwhile. After Delete there is no current
// record, but Next and Previous still go on from where it stood.
//
// Transactions: between Begin (19) and End (20) or Abort (21) Transaction,
// each file's writes are held in one SQLite transaction per file, begun at
// its first write. End commits the files one after the other: each file's
// part is atomic, the set of files is not (a crash between two commits
// keeps the first). Closing a file inside a transaction rolls its part back.
//
// Locks (see recman/lock_file.cpp): a get with +200 takes the record's lock
// or returns 84; with +100 it waits (polling) until it can. The lock is held
// until Unlock, Update or Delete of that record, the next locking get, or
// Close. Update and Delete of a record locked by another open give 84.

#include <pthread.h>
#include <sys/stat.h>

#include <cstring>
#include <mutex>

#include "platform/env.h"
#include "platform/paths.h"
#include "recman/btrcall.h"
#include "recman/record_manager.h"

namespace recman {

RecmanState manager;

namespace {

constexpr long kLockPollMs = 5;  // pause between attempts of a waiting lock

// ---- 1. Position blocks and the open-file table -----------------------------

// In a child made by fork (without exec) the parent's SQLite connections
// must not be used or closed, and its locks must stay the parent's: the
// child forgets every open file (its position blocks give status 3). As
// SQLite requires, such a child should not open the parent's files again
// either; a child that runs another program (exec) starts afresh.
void ForgetAfterFork() {
  for (auto& f : manager.files) {
    if (!f) continue;
    f->locks.Abandon();
    f->table.release();  // deliberately leaked: the connection is the parent's
    f.release();
  }
  manager.files.clear();
}

void InstallForkHandler() {
  static std::once_flag once;
  std::call_once(once, [] { pthread_atfork(nullptr, nullptr, ForgetAfterFork); });
}

OpenFile* FileOf(const void* block) {
  if (block == nullptr) return nullptr;
  const uint8_t* b = static_cast<const uint8_t*>(block);
  if (GetU32(b + PB_MAGIC) != kPositionBlockMagic) return nullptr;
  uint32_t slot = GetU32(b + PB_SLOT);
  if (slot >= manager.files.size()) return nullptr;
  OpenFile* f = manager.files[slot].get();
  if (f == nullptr || f->serial != GetU32(b + PB_SERIAL)) return nullptr;
  return f;
}

void MirrorCurrency(OpenFile* f, void* block) {
  uint8_t* b = static_cast<uint8_t*>(block);
  PutU16(b + PB_KEY_NUMBER, uint16_t(int16_t(f->keyPath)));
  PutU32(b + PB_POSITION, f->pos);
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
  std::string path = platform::SuitePath(name);
  Engine& engine = DefaultEngine();
  int16_t st = engine.Probe(path);
  if (st != B_OK) return st;

  auto f = std::make_unique<OpenFile>();
  f->path = path;
  st = f->locks.Open(path, mode == B_MODE_EXCLUSIVE);
  if (st != B_OK) return st;
  st = engine.Open(path, mode == B_MODE_READ_ONLY, &f->table);
  if (st != B_OK) return st;

  const FileInfo& info = f->table->info();
  f->readOnly = mode == B_MODE_READ_ONLY;
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
  PutU32(b + PB_MAGIC, kPositionBlockMagic);
  PutU32(b + PB_SLOT, uint32_t(slot));
  PutU32(b + PB_SERIAL, f->serial);
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
  manager.transaction = false;
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
  struct stat sb;
  if (mode == B_CREATE_NO_REPLACE && stat(path.c_str(), &sb) == 0)
    return B_FILE_EXISTS;
  // Nobody may have the file open while it is made or replaced.
  LockFile lock;
  st = lock.Open(path, /*exclusive=*/true);
  if (st == B_IO_ERROR) return B_CREATE_IO_ERROR;
  if (st != B_OK) return st;
  return DefaultEngine().Create(path, layout, mode == B_CREATE_REPLACE);
}

int16_t DoStat(void* block, void* data, uint32_t* dataLength) {
  OpenFile* f = FileOf(block);
  if (f == nullptr) return B_FILE_NOT_OPEN;
  const std::string& spec = f->table->info().layout.bytes;
  uint32_t count = 0;
  int16_t st = f->table->RecordCount(&count);
  if (st != B_OK) return st;
  uint32_t cap = data ? *dataLength : 0;
  uint32_t n = cap < spec.size() ? cap : uint32_t(spec.size());
  uint8_t* d = static_cast<uint8_t*>(data);
  if (n) std::memcpy(d, spec.data(), n);
  uint8_t countBytes[4];
  PutU32(countBytes, count);
  for (uint32_t i = 0; i < 4; ++i)
    if (FS_RECORD_COUNT + i < n) d[FS_RECORD_COUNT + i] = countBytes[i];
  *dataLength = n;
  return n < spec.size() ? B_DATA_BUFFER_LENGTH : B_OK;
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
  return f->table->SetOwner(owner, mode);
}

int16_t DoClearOwner(void* block) {
  OpenFile* f = FileOf(block);
  if (f == nullptr) return B_FILE_NOT_OPEN;
  if (f->readOnly) return B_ACCESS_DENIED;
  if (f->table->info().owner.empty()) return B_OK;
  if (!f->ownerGiven) return B_INVALID_OWNER;
  return f->table->SetOwner(std::string(), 0);
}

// ---- 3. Gets ---------------------------------------------------------------

// Copies a fetched record to the caller: as much as fits, status 22 when
// that is less than the record.
int16_t Deliver(const Fetched& row, void* data, uint32_t* dataLength) {
  uint32_t cap = data ? *dataLength : 0;
  uint32_t n = row.length < cap ? row.length : cap;
  if (n) std::memcpy(data, row.record, n);
  *dataLength = n;
  return n < row.length ? B_DATA_BUFFER_LENGTH : B_OK;
}

void MakeCurrent(OpenFile* f, int keyPath, const Fetched& row) {
  f->keyPath = keyPath;
  f->positioned = true;
  f->current = true;
  f->pos = row.pos;
  f->version = row.version;
  f->hasImage = keyPath >= 0 && row.hasImage;
  if (f->hasImage)
    std::memcpy(f->image, row.image, f->table->info().layout.keys[keyPath].length);
}

void ReleaseLock(OpenFile* f) {
  if (f->lockedPos != 0) f->locks.UnlockRecord(f->lockedPos);
  f->lockedPos = 0;
}

// Runs a seek and, with a lock bias, locks the record it finds. A record is
// only returned locked if the same seek, repeated after taking the lock,
// still finds it: so the data returned are those of the locked record, not
// of an older state read before another process's update.
template <typename SeekFn>
int16_t SeekLocked(OpenFile* f, uint16_t bias, SeekFn seek, Fetched* row) {
  if (bias == 0) return seek(row);
  ReleaseLock(f);  // the next lock replaces the single-record lock
  for (;;) {
    int16_t st = seek(row);
    if (st != B_OK) return st;
    uint32_t pos = row->pos;
    if (f->locks.LockRecord(pos)) {
      st = seek(row);
      if (st == B_OK && row->pos == pos) {
        f->lockedPos = pos;
        return B_OK;
      }
      f->locks.UnlockRecord(pos);
      if (st != B_OK) return st;
      continue;  // the record moved or vanished meanwhile: seek again
    }
    if (bias == B_LOCK_SINGLE_NOWAIT) return B_RECORD_LOCKED;
    platform::SleepMs(kLockPollMs);
  }
}

int16_t KeyBufferCheck(const OpenFile* f, int keyNumber, void* key,
                       uint16_t keyLength) {
  const auto& keys = f->table->info().layout.keys;
  if (keyNumber < 0 || size_t(keyNumber) >= keys.size()) return B_INVALID_KEY_NUMBER;
  if (key == nullptr || keyLength < keys[keyNumber].length) return B_KEY_BUFFER_TOO_SHORT;
  return B_OK;
}

void ReturnKey(const OpenFile* f, int keyNumber, const Fetched& row, void* key) {
  if (keyNumber < 0) return;
  ExtractKeyValue(f->table->info().layout, keyNumber, row.record,
                  static_cast<uint8_t*>(key));
}

int16_t DoGet(uint16_t op, uint16_t bias, void* block, void* data,
              uint32_t* dataLength, void* key, uint16_t keyLength,
              int16_t keyNumber) {
  OpenFile* f = FileOf(block);
  if (f == nullptr) return B_FILE_NOT_OPEN;
  int16_t st = KeyBufferCheck(f, keyNumber, key, keyLength);
  if (st != B_OK) return st;
  const FileLayout& layout = f->table->info().layout;
  Table* t = f->table.get();
  SeekHow how;
  bool fromKeyBuffer = false;
  switch (op) {
    case B_GET_NEXT:
    case B_GET_PREVIOUS:
      if (!f->positioned || f->keyPath < 0 || !f->hasImage) return B_INVALID_POSITIONING;
      if (keyNumber != f->keyPath) return B_DIFFERENT_KEY_NUMBER;
      how = op == B_GET_NEXT ? SeekHow::kAfter : SeekHow::kBefore;
      break;
    case B_GET_EQUAL: how = SeekHow::kAtLeast; fromKeyBuffer = true; break;
    case B_GET_GREATER: how = SeekHow::kAbove; fromKeyBuffer = true; break;
    case B_GET_GE: how = SeekHow::kAtLeast; fromKeyBuffer = true; break;
    case B_GET_LESS: how = SeekHow::kBelow; fromKeyBuffer = true; break;
    case B_GET_LE: how = SeekHow::kAtMost; fromKeyBuffer = true; break;
    case B_GET_FIRST: how = SeekHow::kFirst; break;
    default: how = SeekHow::kLast; break;
  }
  uint8_t target[kMaxKeyLength];
  const uint8_t* image = f->image;
  uint32_t fromPos = f->pos;
  if (fromKeyBuffer) {
    BuildKeyImage(layout, keyNumber, static_cast<const uint8_t*>(key), target);
    image = target;
  }
  const uint16_t len = layout.keys[keyNumber].length;
  Fetched row;
  st = SeekLocked(f, bias, [&](Fetched* r) {
    int16_t s = t->SeekKey(keyNumber, how, image, fromPos, r);
    if (s == B_OK && op == B_GET_EQUAL && std::memcmp(r->image, image, len) != 0)
      s = B_KEY_NOT_FOUND;
    if (s == B_END_OF_FILE && op == B_GET_EQUAL) s = B_KEY_NOT_FOUND;
    return s;
  }, &row);
  if (st != B_OK) return st;
  MakeCurrent(f, keyNumber, row);
  MirrorCurrency(f, block);
  ReturnKey(f, keyNumber, row, key);
  return Deliver(row, data, dataLength);
}

int16_t DoGetDirect(uint16_t bias, void* block, void* data,
                    uint32_t* dataLength, void* key, uint16_t keyLength,
                    int16_t keyNumber) {
  OpenFile* f = FileOf(block);
  if (f == nullptr) return B_FILE_NOT_OPEN;
  if (data == nullptr || *dataLength < uint32_t(kPositionSize)) return B_DATA_BUFFER_LENGTH;
  bool noKeys = f->table->info().layout.keys.empty();
  int path = noKeys ? -1 : keyNumber;
  if (!noKeys) {
    int16_t st = KeyBufferCheck(f, keyNumber, key, keyLength);
    if (st != B_OK) return st;
  }
  uint32_t pos = GetU32(static_cast<const uint8_t*>(data));
  if (pos == 0) return B_INVALID_RECORD_ADDRESS;
  Table* t = f->table.get();
  Fetched row;
  int16_t st = SeekLocked(f, bias, [&](Fetched* r) { return t->Fetch(pos, path, r); },
                          &row);
  if (st != B_OK) return st;
  MakeCurrent(f, path, row);
  MirrorCurrency(f, block);
  ReturnKey(f, path, row, key);
  return Deliver(row, data, dataLength);
}

int16_t DoStep(uint16_t op, uint16_t bias, void* block, void* data,
               uint32_t* dataLength) {
  OpenFile* f = FileOf(block);
  if (f == nullptr) return B_FILE_NOT_OPEN;
  SeekHow how = op == B_STEP_FIRST  ? SeekHow::kFirst
                : op == B_STEP_LAST ? SeekHow::kLast
                : op == B_STEP_NEXT ? SeekHow::kAfter
                                    : SeekHow::kBefore;
  if ((how == SeekHow::kAfter || how == SeekHow::kBefore) && !f->positioned)
    return B_INVALID_POSITIONING;
  Table* t = f->table.get();
  uint32_t from = f->pos;
  Fetched row;
  int16_t st = SeekLocked(f, bias, [&](Fetched* r) { return t->SeekPhysical(how, from, -1, r); },
                          &row);
  if (st != B_OK) return st;
  MakeCurrent(f, -1, row);
  MirrorCurrency(f, block);
  return Deliver(row, data, dataLength);
}

// ---- 4. Writes ---------------------------------------------------------------

// Inside a transaction, joins the file to it before its first write.
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

int16_t DoTransaction(uint16_t op) {
  if (op == B_BEGIN_TRANSACTION) {
    if (manager.transaction) return B_TRANSACTION_ACTIVE;
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
    if (result == B_OK) result = st;
  }
  return result;
}

// Fills f->images from a record.
void ImagesOf(OpenFile* f, const uint8_t* record) {
  const FileLayout& layout = f->table->info().layout;
  KeyImages& im = f->images;
  const size_t n = layout.keys.size();
  if (im.offset.size() != n) {
    im.offset.resize(n);
    im.present.resize(n);
    uint32_t at = 0;
    for (size_t k = 0; k < n; ++k) {
      im.offset[k] = at;
      at += layout.keys[k].length;
    }
    im.bytes.resize(at ? at : 1);
  }
  uint8_t value[kMaxKeyLength];
  for (size_t k = 0; k < n; ++k) {
    ExtractKeyValue(layout, int(k), record, value);
    im.present[k] = BuildKeyImage(layout, int(k), value, im.bytes.data() + im.offset[k]);
  }
}

int16_t RecordLengthCheck(const OpenFile* f, const void* data, uint32_t length) {
  const FileLayout& layout = f->table->info().layout;
  if (data == nullptr || length < layout.recordLength) return B_DATA_BUFFER_LENGTH;
  if (length > layout.recordLength && !layout.variableLength()) return B_DATA_BUFFER_LENGTH;
  if (length > 65535) return B_DATA_BUFFER_LENGTH;
  return B_OK;
}

int16_t DoInsert(void* block, void* data, uint32_t* dataLength, void* key,
                 uint16_t keyLength, int16_t keyNumber) {
  OpenFile* f = FileOf(block);
  if (f == nullptr) return B_FILE_NOT_OPEN;
  if (f->readOnly) return B_ACCESS_DENIED;
  int16_t st = RecordLengthCheck(f, data, *dataLength);
  if (st != B_OK) return st;
  const bool noKeys = f->table->info().layout.keys.empty();
  const bool keepCurrency = keyNumber == -1 || noKeys;
  if (!keepCurrency) {
    st = KeyBufferCheck(f, keyNumber, key, keyLength);
    if (st != B_OK) return st;
  }
  st = JoinTransaction(f);
  if (st != B_OK) return st;
  const uint8_t* record = static_cast<const uint8_t*>(data);
  ImagesOf(f, record);
  Fetched row;
  st = f->table->Insert(record, *dataLength, f->images, &row.pos, &row.version);
  if (st != B_OK) return st;
  if (keepCurrency) return B_OK;
  row.record = record;
  row.length = *dataLength;
  row.hasImage = f->images.present[keyNumber] != 0;
  std::memcpy(row.image, f->images.bytes.data() + f->images.offset[keyNumber],
              f->table->info().layout.keys[keyNumber].length);
  MakeCurrent(f, keyNumber, row);
  MirrorCurrency(f, block);
  ReturnKey(f, keyNumber, row, key);
  return B_OK;
}

// Takes the record's lock for the length of a write unless this open holds
// it already. Returns false when another open holds it.
bool LockForWrite(OpenFile* f, bool* temporary) {
  *temporary = false;
  if (f->lockedPos == f->pos) return true;
  if (!f->locks.LockRecord(f->pos)) return false;
  *temporary = true;
  return true;
}

int16_t DoUpdate(void* block, void* data, uint32_t* dataLength, void* key,
                 uint16_t keyLength) {
  OpenFile* f = FileOf(block);
  if (f == nullptr) return B_FILE_NOT_OPEN;
  if (f->readOnly) return B_ACCESS_DENIED;
  if (!f->current) return B_INVALID_POSITIONING;
  int16_t st = RecordLengthCheck(f, data, *dataLength);
  if (st != B_OK) return st;
  const FileLayout& layout = f->table->info().layout;
  if (f->keyPath >= 0 && (key == nullptr || keyLength < layout.keys[f->keyPath].length))
    return B_KEY_BUFFER_TOO_SHORT;
  st = JoinTransaction(f);
  if (st != B_OK) return st;
  bool temporary = false;
  if (!LockForWrite(f, &temporary)) return B_RECORD_LOCKED;
  const uint8_t* record = static_cast<const uint8_t*>(data);
  ImagesOf(f, record);
  int64_t newVersion = 0;
  st = f->table->Update(f->pos, f->version, record, *dataLength, f->images, &newVersion);
  if (temporary) f->locks.UnlockRecord(f->pos);
  if (st != B_OK) return st;
  if (f->lockedPos == f->pos) ReleaseLock(f);
  f->version = newVersion;
  if (f->keyPath >= 0) {
    f->hasImage = f->images.present[f->keyPath] != 0;
    if (f->hasImage)
      std::memcpy(f->image, f->images.bytes.data() + f->images.offset[f->keyPath],
                  layout.keys[f->keyPath].length);
    ExtractKeyValue(layout, f->keyPath, record, static_cast<uint8_t*>(key));
  }
  return B_OK;
}

int16_t DoDelete(void* block) {
  OpenFile* f = FileOf(block);
  if (f == nullptr) return B_FILE_NOT_OPEN;
  if (f->readOnly) return B_ACCESS_DENIED;
  if (!f->current) return B_INVALID_POSITIONING;
  int16_t st = JoinTransaction(f);
  if (st != B_OK) return st;
  bool temporary = false;
  if (!LockForWrite(f, &temporary)) return B_RECORD_LOCKED;
  st = f->table->Delete(f->pos, f->version);
  if (temporary) f->locks.UnlockRecord(f->pos);
  if (st != B_OK) return st;
  if (f->lockedPos == f->pos) ReleaseLock(f);
  f->current = false;  // Next/Previous still go on from where it stood
  return B_OK;
}

int16_t DoUnlock(void* block) {
  OpenFile* f = FileOf(block);
  if (f == nullptr) return B_FILE_NOT_OPEN;
  ReleaseLock(f);
  return B_OK;
}

int16_t DoGetPosition(void* block, void* data, uint32_t* dataLength) {
  OpenFile* f = FileOf(block);
  if (f == nullptr) return B_FILE_NOT_OPEN;
  if (!f->current) return B_INVALID_POSITIONING;
  if (data == nullptr || *dataLength < uint32_t(kPositionSize)) return B_DATA_BUFFER_LENGTH;
  PutU32(static_cast<uint8_t*>(data), f->pos);
  *dataLength = kPositionSize;
  return B_OK;
}

// Operations that accept a lock bias. Get Position accepts and ignores it
// (it reads no record), as callers add the bias to every fetching code.
bool TakesLockBias(uint16_t op) {
  return (op >= B_GET_EQUAL && op <= B_GET_LAST) || op == B_GET_DIRECT ||
         op == B_GET_POSITION ||
         op == B_STEP_NEXT || op == B_STEP_FIRST || op == B_STEP_LAST ||
         op == B_STEP_PREVIOUS;
}

}  // namespace

// ---- 5. BTRCALL ---------------------------------------------------------------

int16_t BTRCALL(uint16_t operation, void* positionBlock, void* dataBuffer,
                uint32_t* dataLength, void* keyBuffer, uint16_t keyLength,
                int16_t keyNumber) {
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
