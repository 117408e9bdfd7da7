// The record operations of BTRCALL: the gets and steps with their lock
// biases, Insert, Update, Delete, Unlock and Get Position.
//
// Currency: each open file (position block) has its own key path, key image
// and position. Gets move it; a get that fails (4, 9, 84, ...) leaves it
// where it was. Next and Previous go on from (image, position) along the
// key, so they are stable across duplicates and across records that other
// processes insert or delete meanwhile. After Delete there is no current
// record, but Next and Previous still go on from where it stood.
//
// Locks (see recman/sqlite/lock_file.cpp): a get with +200 takes the record's lock
// or returns 84; with +100 it waits (polling) until it can. The lock is held
// until Unlock, Update or Delete of that record, the next locking get, or
// Close. Update and Delete of a record locked by another open give 84.
//
// Damaged key entries: an entry whose stored image is not the image of its
// record (the file was damaged below SQLite's own checks) would send Next
// and Previous back to where they were, for ever. Every entry a key get
// finds is compared with the image rebuilt from its record, and Next and
// Previous must land strictly beyond (before) the current entry; either
// failure gives status 2 and leaves the currency where it was.
//
// Every get is one indexed seek (two with a lock: the record is sought
// again once locked); nothing is allocated on the way once an open file's
// buffers have grown. A get without a lock bias reads in the open's held
// snapshot while no write has been signalled (held_reads.cpp), so it makes
// no system call; every write signals other opens after its commit.
//
// Sections, in order:
//   Currency, locks and key checks   Deliver, MakeCurrent, ReleaseLock,
//                                    SeekLocked, EntryCheck, Beyond, the
//                                    key and record length checks,
//                                    ImagesOf, LockForWrite
//   Gets                             DoGet, DoGetDirect, DoStep
//   Writes and the rest              DoInsert, DoUpdate, DoDelete, DoUnlock,
//                                    DoGetPosition, TakesLockBias

#include <cstring>

#include "platform/coding.h"
#include "platform/env.h"
#include "recman/btrcall.h"
#include "recman/record_manager.h"

namespace recman {

namespace {

constexpr long kLockPollMs = 5;  // pause between attempts of a waiting lock

// ---- Currency, locks and key checks shared by the operations --------------

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
  if (f->lockedPos != 0) f->locks->UnlockRecord(f->lockedPos);
  f->lockedPos = 0;
}

// Runs a seek and, with a lock bias, locks the record it finds. A record is
// only returned locked if the same seek, repeated after taking the lock,
// still finds it: so the data returned are those of the locked record, not
// of an older state read before another process's update.
template <typename SeekFn>
int16_t SeekLockedIn(OpenFile* f, uint16_t bias, SeekFn seek, Fetched* row) {
  if (bias == 0) return seek(row);
  ReleaseLock(f);  // the next lock replaces the single-record lock
  for (;;) {
    int16_t st = seek(row);
    if (st != B_OK) return st;
    uint32_t pos = row->pos;
    st = f->locks->LockRecord(pos);
    if (st == B_OK) {
      st = seek(row);
      if (st == B_OK && row->pos == pos) {
        f->lockedPos = pos;
        return B_OK;
      }
      f->locks->UnlockRecord(pos);
      if (st != B_OK) return st;
      continue;  // the record moved or vanished meanwhile: seek again
    }
    if (st != B_RECORD_LOCKED) return st;
    if (bias == B_LOCK_SINGLE_NOWAIT) return B_RECORD_LOCKED;
    platform::SleepMs(kLockPollMs);
  }
}

// SeekLockedIn inside the held-snapshot rules (held_reads.cpp): a plain
// read may use the held snapshot, a locking one never does.
template <typename SeekFn>
int16_t SeekLocked(OpenFile* f, uint16_t bias, SeekFn seek, Fetched* row) {
  BeginRead(f, bias != 0);
  int16_t st = SeekLockedIn(f, bias, seek, row);
  EndRead(f, st);
  return st;
}

// 0 when the entry of key `key` that came with a fetched record belongs to
// it: there exactly when the record's key is not null, holding the image
// rebuilt from the record. 2 otherwise (a damaged file). The record is at
// least the file's record length (the engines refuse shorter ones).
int16_t EntryCheck(const FileLayout& layout, int key, const Fetched& row) {
  uint8_t value[kMaxKeyLength];
  uint8_t image[kMaxKeyLength];
  ExtractKeyValue(layout, key, row.record, value);
  const bool present = BuildKeyImage(layout, key, value, image);
  if (present != row.hasImage) return B_IO_ERROR;
  if (present && std::memcmp(image, row.image, layout.keys[key].length) != 0)
    return B_IO_ERROR;
  return B_OK;
}

// True when the entry (row's image, row's position) lies strictly after
// (forward) or before (backward) the entry (image, pos) in key order.
bool Beyond(const Fetched& row, const uint8_t* image, uint32_t pos, uint16_t length,
            bool forward) {
  int c = std::memcmp(row.image, image, length);
  if (c == 0) c = row.pos > pos ? 1 : row.pos < pos ? -1 : 0;
  return forward ? c > 0 : c < 0;
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

// Takes the record's lock for the length of a write unless this open holds
// it already. Returns 0, 84 when another open holds it, or an error status.
int16_t LockForWrite(OpenFile* f, bool* temporary) {
  *temporary = false;
  if (f->lockedPos == f->pos) return B_OK;
  int16_t st = f->locks->LockRecord(f->pos);
  *temporary = st == B_OK;
  return st;
}

}  // namespace

// ---- Gets ------------------------------------------------------------------

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
    if (s == B_OK) s = EntryCheck(layout, keyNumber, *r);
    if (s == B_OK && (how == SeekHow::kAfter || how == SeekHow::kBefore) &&
        !Beyond(*r, image, fromPos, len, how == SeekHow::kAfter))
      s = B_IO_ERROR;  // a step that does not move: a damaged index
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
  uint32_t pos = platform::DecodeFixed32(static_cast<const uint8_t*>(data));
  if (pos == 0) return B_INVALID_RECORD_ADDRESS;
  Table* t = f->table.get();
  Fetched row;
  const FileLayout& layout = f->table->info().layout;
  int16_t st = SeekLocked(f, bias, [&](Fetched* r) {
    int16_t s = t->Fetch(pos, path, r);
    if (s == B_OK && path >= 0) s = EntryCheck(layout, path, *r);
    return s;
  }, &row);
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
// ---- Writes and the rest ----------------------------------------------------

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
  LetGoRead(f);
  st = f->table->Insert(record, *dataLength, f->images, &row.pos, &row.version);
  SignalWrite(f);
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
  st = LockForWrite(f, &temporary);
  if (st != B_OK) return st;
  const uint8_t* record = static_cast<const uint8_t*>(data);
  ImagesOf(f, record);
  int64_t newVersion = 0;
  LetGoRead(f);
  st = f->table->Update(f->pos, f->version, record, *dataLength, f->images, &newVersion);
  SignalWrite(f);
  if (temporary) f->locks->UnlockRecord(f->pos);
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
  st = LockForWrite(f, &temporary);
  if (st != B_OK) return st;
  LetGoRead(f);
  st = f->table->Delete(f->pos, f->version);
  SignalWrite(f);
  if (temporary) f->locks->UnlockRecord(f->pos);
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
  platform::EncodeFixed32(static_cast<uint8_t*>(data), f->pos);
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

}  // namespace recman
