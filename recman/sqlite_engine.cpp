// The SQLite storage engine.
//
// Map of this file:
//   1. rationale: atomicity, durability, busy handling
//   2. the database layout
//   3. helpers: status mapping, busy handler, statements
//   4. SqliteTable: seeks, fetches and writes of one open file
//   5. SqliteEngine: probe, create, open, check
//
// RATIONALE
//
// Atomicity. Every write of BTRCALL is one SQLite transaction (BEGIN
// IMMEDIATE ... COMMIT): the record row, its key images, the uniqueness
// checks and the record count change together or not at all. A process
// killed in the middle leaves an uncommitted transaction, which SQLite rolls
// back (WAL: the uncommitted frames are ignored) at the next open. Creating a
// file is made atomic by building it under a temporary name and linking or
// renaming it into place, so a half-made file is never seen under its name.
//
// Durability. The files use write-ahead logging with synchronous=NORMAL. A
// commit appends to the WAL through write(); once COMMIT returns, the frames
// are in the operating system's cache and survive the death of the process,
// which is the crash the suite must survive (a program killed, a terminal
// closed). Against power loss NORMAL keeps the database consistent but may
// lose the last commits before the crash; FULL would fsync the WAL at every
// commit and cost a disk flush per write. kSynchronous below is the one place
// to change that decision.
//
// Concurrency. WAL lets readers go on while one process writes; writers take
// turns. No transaction is held between calls: a get runs in its own
// implicit read transaction, ended when its statement is reset, so every
// call sees what other processes have committed. BEGIN IMMEDIATE takes the
// write lock before reading anything, so two writers cannot deadlock on a
// lock upgrade.
//
// Busy. SQLite reports SQLITE_BUSY while another connection holds the write
// lock (or runs recovery or a checkpoint). That is a wait, not an error: the
// busy handler sleeps with a growing delay and retries for up to
// kBusyGiveUpMs. Only after that does the caller see status 85 (file in use),
// never 2 (I/O error).
//
// Damage. A file that is not a SQLite database of ours is refused with 30 by
// Probe before SQLite touches it. Damage inside a database shows as
// SQLITE_CORRUPT from the statement that meets it; that becomes status 2 for
// that call. Defensive mode and cell size checks are on, so a damaged file
// gives statuses, not crashes.
//
// THE DATABASE LAYOUT (changing any of it makes existing files unreadable;
// raise kFormatVersion and convert):
//   header     application_id = kApplicationId, user_version = kFormatVersion,
//              journal mode WAL
//   zul_file   (name TEXT PRIMARY KEY, value) WITHOUT ROWID
//                'spec'        BLOB  creation specification as given
//                'records'     INTEGER  number of records
//                'owner'       BLOB  owner name, empty when none
//                'owner_mode'  INTEGER  0..3
//   zul_rec    (pos INTEGER PRIMARY KEY, ver INTEGER, data BLOB, k0 BLOB, ...)
//                one row per record; kN holds the image of key N followed by
//                pos as 4 bytes big-endian, or NULL for a null key
//   zul_k<N>   index on zul_rec(kN)

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/env.h"
#include "recman/engine.h"

namespace recman {

namespace {

constexpr int32_t kApplicationId = 0x5A554C52;  // "ZULR"
constexpr int kFormatVersion = 1;
constexpr const char* kSynchronous = "NORMAL";
constexpr long kBusyGiveUpMs = 60000;

// ---- Helpers ---------------------------------------------------------------

int16_t StatusOf(int rc) {
  switch (rc & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
      return B_OK;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return B_FILE_LOCKED;
    case SQLITE_FULL:
      return B_DISK_FULL;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
      return B_ACCESS_DENIED;
    case SQLITE_NOTADB:
      return B_NOT_A_DATA_FILE;
    default:
      return B_IO_ERROR;
  }
}

// Sleeps a little longer each time, up to kBusyGiveUpMs in all.
int BusyHandler(void*, int count) {
  long delay = count < 10 ? 1 : count < 40 ? 5 : 20;
  long waited = count < 10 ? count : count < 40 ? 10 + (count - 10) * 5
                                                : 160 + (count - 40) * 20;
  if (waited >= kBusyGiveUpMs) return 0;
  platform::SleepMs(delay);
  return 1;
}

// A prepared statement that resets itself when the holder goes out of
// scope, so no read transaction outlives a call.
class Use {
 public:
  explicit Use(sqlite3_stmt* s) : s_(s) {}
  ~Use() {
    if (s_) {
      sqlite3_reset(s_);
      sqlite3_clear_bindings(s_);
    }
  }
  sqlite3_stmt* get() const { return s_; }

 private:
  sqlite3_stmt* s_;
};

void PutBE32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v >> 24);
  p[1] = uint8_t(v >> 16);
  p[2] = uint8_t(v >> 8);
  p[3] = uint8_t(v);
}

int Exec(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

void ConfigureConnection(sqlite3* db) {
  sqlite3_extended_result_codes(db, 1);
  sqlite3_busy_handler(db, BusyHandler, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  std::string sync = std::string("PRAGMA synchronous=") + kSynchronous;
  Exec(db, sync.c_str());
  Exec(db, "PRAGMA cell_size_check=ON");
}

// ---- SqliteTable -----------------------------------------------------------

// Statement slots per key.
enum KeyStmt { kGt, kGe, kLt, kLe, kByPos, kUnique, kKeyStmts };
// Statement slots of the table.
enum TableStmt {
  kPhysFirst, kPhysLast, kPhysNext, kPhysPrev, kFetchPlain, kMaxPos,
  kInsert, kUpdate, kDelete, kReadVersion, kAddCount, kCount, kBegin,
  kCommit, kRollback, kTableStmts
};

class SqliteTable : public Table {
 public:
  SqliteTable(sqlite3* db, FileInfo info) : db_(db), info_(std::move(info)) {
    int n = int(info_.layout.keys.size());
    keyStmts_.assign(size_t(n) * kKeyStmts, nullptr);
    for (int i = 0; i < kTableStmts; ++i) tableStmts_[i] = nullptr;
    bound_.resize(kMaxKeyLength + 8);
    oldImages_.resize(size_t(kMaxKeyLength + 4) * (n ? n : 1));
  }

  ~SqliteTable() override {
    for (sqlite3_stmt* s : keyStmts_) sqlite3_finalize(s);
    for (sqlite3_stmt* s : tableStmts_) sqlite3_finalize(s);
    sqlite3_close_v2(db_);
  }

  const FileInfo& info() const override { return info_; }

  int16_t SeekKey(int key, SeekHow how, const uint8_t* image, uint32_t pos,
                  Fetched* out) override {
    const uint32_t len = info_.layout.keys[key].length;
    KeyStmt which;
    uint32_t boundLen = len + 4;
    uint8_t* b = bound_.data();
    switch (how) {
      case SeekHow::kFirst:
        which = kGe;
        boundLen = 0;
        break;
      case SeekHow::kLast:
        which = kLe;
        boundLen = len + 5;
        std::memset(b, 0xFF, boundLen);
        break;
      case SeekHow::kAfter:
      case SeekHow::kBefore:
        which = how == SeekHow::kAfter ? kGt : kLt;
        std::memcpy(b, image, len);
        PutBE32(b + len, pos);
        break;
      case SeekHow::kAtLeast:
      case SeekHow::kBelow:
        which = how == SeekHow::kAtLeast ? kGe : kLt;
        std::memcpy(b, image, len);
        PutBE32(b + len, 0);
        break;
      case SeekHow::kAtMost:
      case SeekHow::kAbove:
      default:
        which = how == SeekHow::kAtMost ? kLe : kGt;
        std::memcpy(b, image, len);
        PutBE32(b + len, 0xFFFFFFFFu);
        break;
    }
    sqlite3_stmt* s = KeyStatement(key, which);
    if (!s) return lastStatus_;
    Use use(s);
    sqlite3_bind_blob(s, 1, b, int(boundLen), SQLITE_STATIC);
    return Row(s, key, out);
  }

  int16_t SeekPhysical(SeekHow how, uint32_t pos, int key,
                       Fetched* out) override {
    TableStmt which = how == SeekHow::kFirst   ? kPhysFirst
                      : how == SeekHow::kLast  ? kPhysLast
                      : how == SeekHow::kAfter ? kPhysNext
                                               : kPhysPrev;
    sqlite3_stmt* s = TableStatement(which);
    if (!s) return lastStatus_;
    Use use(s);
    if (which == kPhysNext || which == kPhysPrev) sqlite3_bind_int64(s, 1, pos);
    int16_t st = Row(s, -1, out);
    if (st != B_OK || key < 0) return st;
    // Fetch again with the key image; rare (Step operations only).
    return Fetch(out->pos, key, out);
  }

  int16_t Fetch(uint32_t pos, int key, Fetched* out) override {
    sqlite3_stmt* s = key >= 0 ? KeyStatement(key, kByPos) : TableStatement(kFetchPlain);
    if (!s) return lastStatus_;
    Use use(s);
    sqlite3_bind_int64(s, 1, pos);
    int16_t st = Row(s, key, out);
    return st == B_END_OF_FILE ? B_INVALID_RECORD_ADDRESS : st;
  }

  int16_t Insert(const uint8_t* record, uint32_t length,
                 const KeyImages& images, uint32_t* pos,
                 int64_t* version) override {
    int16_t st = Begin();
    if (st != B_OK) return st;
    uint32_t newPos = 0;
    st = NextPosition(&newPos);
    for (size_t k = 0; st == B_OK && k < info_.layout.keys.size(); ++k)
      if (!info_.layout.keys[k].duplicates && images.present[k])
        st = CheckUnique(int(k), images.bytes.data() + images.offset[k], 0);
    if (st == B_OK) {
      sqlite3_stmt* s = TableStatement(kInsert);
      if (!s) {
        st = lastStatus_;
      } else {
        Use use(s);
        sqlite3_bind_int64(s, 1, newPos);
        sqlite3_bind_int64(s, 2, 1);
        sqlite3_bind_blob(s, 3, record, int(length), SQLITE_STATIC);
        BindImages(s, 4, images, newPos);
        st = Done(sqlite3_step(s));
      }
    }
    if (st == B_OK) st = AddCount(1);
    st = Finish(st);
    if (st == B_OK) {
      *pos = newPos;
      *version = 1;
    }
    return st;
  }

  int16_t Update(uint32_t pos, int64_t version, const uint8_t* record,
                 uint32_t length, const KeyImages& images,
                 int64_t* newVersion) override {
    int16_t st = Begin();
    if (st != B_OK) return st;
    st = CheckVersion(pos, version, /*withImages=*/true);
    const size_t n = info_.layout.keys.size();
    for (size_t k = 0; st == B_OK && k < n; ++k) {
      const Key& key = info_.layout.keys[k];
      bool same = oldPresent_[k] == images.present[k] &&
                  (!images.present[k] ||
                   std::memcmp(oldImages_.data() + oldOffset(k),
                               images.bytes.data() + images.offset[k],
                               key.length) == 0);
      if (same) continue;
      if (!key.modifiable) st = B_MODIFIABLE_KEY_ERROR;
      else if (!key.duplicates && images.present[k])
        st = CheckUnique(int(k), images.bytes.data() + images.offset[k], pos);
    }
    if (st == B_OK) {
      sqlite3_stmt* s = TableStatement(kUpdate);
      if (!s) {
        st = lastStatus_;
      } else {
        Use use(s);
        sqlite3_bind_int64(s, 1, pos);
        sqlite3_bind_int64(s, 2, version + 1);
        sqlite3_bind_blob(s, 3, record, int(length), SQLITE_STATIC);
        BindImages(s, 4, images, pos);
        st = Done(sqlite3_step(s));
      }
    }
    st = Finish(st);
    if (st == B_OK) *newVersion = version + 1;
    return st;
  }

  int16_t Delete(uint32_t pos, int64_t version) override {
    int16_t st = Begin();
    if (st != B_OK) return st;
    st = CheckVersion(pos, version, /*withImages=*/false);
    if (st == B_OK) {
      sqlite3_stmt* s = TableStatement(kDelete);
      if (!s) {
        st = lastStatus_;
      } else {
        Use use(s);
        sqlite3_bind_int64(s, 1, pos);
        st = Done(sqlite3_step(s));
      }
    }
    if (st == B_OK) st = AddCount(-1);
    return Finish(st);
  }

  int16_t RecordCount(uint32_t* count) override {
    *count = 0;
    sqlite3_stmt* s = TableStatement(kCount);
    if (!s) return lastStatus_;
    Use use(s);
    int rc = sqlite3_step(s);
    if (rc == SQLITE_ROW) {
      sqlite3_int64 v = sqlite3_column_int64(s, 0);
      *count = v < 0 ? 0 : uint32_t(v);
      return B_OK;
    }
    return rc == SQLITE_DONE ? B_NOT_A_DATA_FILE : StatusOf(rc);
  }

  int16_t BeginTransaction() override {
    if (txn_) return B_OK;
    int16_t st = Begin();
    if (st == B_OK) txn_ = true;
    return st;
  }

  int16_t EndTransaction(bool commit) override {
    if (!txn_) return B_OK;
    txn_ = false;
    int16_t st = commit ? Finish(B_OK) : Finish(B_IO_ERROR);
    return commit ? st : B_OK;
  }

  int16_t SetOwner(const std::string& owner, int mode) override {
    int16_t st = Begin();
    if (st != B_OK) return st;
    sqlite3_stmt* s = nullptr;
    int rc = sqlite3_prepare_v2(
        db_, "INSERT OR REPLACE INTO zul_file(name, value) VALUES('owner', ?1), "
             "('owner_mode', ?2)", -1, &s, nullptr);
    if (rc == SQLITE_OK) {
      sqlite3_bind_blob(s, 1, owner.data(), int(owner.size()), SQLITE_STATIC);
      sqlite3_bind_int(s, 2, mode);
      rc = sqlite3_step(s);
    }
    sqlite3_finalize(s);
    st = Finish(Done(rc));
    if (st == B_OK) {
      info_.owner = owner;
      info_.ownerMode = mode;
    }
    return st;
  }

 private:
  size_t oldOffset(size_t k) const { return k * (kMaxKeyLength + 4); }

  sqlite3_stmt* Prepare(const std::string& sql) {
    sqlite3_stmt* s = nullptr;
    int rc = sqlite3_prepare_v3(db_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT,
                                &s, nullptr);
    if (rc != SQLITE_OK) {
      lastStatus_ = StatusOf(rc);
      if (lastStatus_ == B_OK) lastStatus_ = B_IO_ERROR;
      sqlite3_finalize(s);
      return nullptr;
    }
    return s;
  }

  sqlite3_stmt* KeyStatement(int key, KeyStmt which) {
    sqlite3_stmt*& slot = keyStmts_[size_t(key) * kKeyStmts + which];
    if (slot) return slot;
    std::string k = "k" + std::to_string(key);
    std::string cols = "SELECT pos, ver, data, " + k + " FROM zul_rec ";
    std::string sql;
    switch (which) {
      case kGt: sql = cols + "WHERE " + k + " > ?1 ORDER BY " + k + " LIMIT 1"; break;
      case kGe: sql = cols + "WHERE " + k + " >= ?1 ORDER BY " + k + " LIMIT 1"; break;
      case kLt: sql = cols + "WHERE " + k + " < ?1 ORDER BY " + k + " DESC LIMIT 1"; break;
      case kLe: sql = cols + "WHERE " + k + " <= ?1 ORDER BY " + k + " DESC LIMIT 1"; break;
      case kByPos: sql = cols + "WHERE pos = ?1"; break;
      case kUnique:
        sql = "SELECT pos FROM zul_rec WHERE " + k + " >= ?1 AND " + k +
              " <= ?2 AND pos <> ?3 LIMIT 1";
        break;
      default: break;
    }
    slot = Prepare(sql);
    return slot;
  }

  sqlite3_stmt* TableStatement(TableStmt which) {
    sqlite3_stmt*& slot = tableStmts_[which];
    if (slot) return slot;
    const std::string cols = "SELECT pos, ver, data FROM zul_rec ";
    std::string sql;
    switch (which) {
      case kPhysFirst: sql = cols + "ORDER BY pos LIMIT 1"; break;
      case kPhysLast: sql = cols + "ORDER BY pos DESC LIMIT 1"; break;
      case kPhysNext: sql = cols + "WHERE pos > ?1 ORDER BY pos LIMIT 1"; break;
      case kPhysPrev: sql = cols + "WHERE pos < ?1 ORDER BY pos DESC LIMIT 1"; break;
      case kFetchPlain: sql = cols + "WHERE pos = ?1"; break;
      case kMaxPos: sql = "SELECT max(pos) FROM zul_rec"; break;
      case kInsert:
      case kUpdate: {
        size_t n = info_.layout.keys.size();
        if (which == kInsert) {
          sql = "INSERT INTO zul_rec(pos, ver, data";
          for (size_t k = 0; k < n; ++k) sql += ", k" + std::to_string(k);
          sql += ") VALUES(?1, ?2, ?3";
          for (size_t k = 0; k < n; ++k) sql += ", ?" + std::to_string(k + 4);
          sql += ")";
        } else {
          sql = "UPDATE zul_rec SET ver = ?2, data = ?3";
          for (size_t k = 0; k < n; ++k)
            sql += ", k" + std::to_string(k) + " = ?" + std::to_string(k + 4);
          sql += " WHERE pos = ?1";
        }
        break;
      }
      case kDelete: sql = "DELETE FROM zul_rec WHERE pos = ?1"; break;
      case kReadVersion: {
        sql = "SELECT ver";
        for (size_t k = 0; k < info_.layout.keys.size(); ++k)
          sql += ", k" + std::to_string(k);
        sql += " FROM zul_rec WHERE pos = ?1";
        break;
      }
      case kAddCount:
        sql = "UPDATE zul_file SET value = value + ?1 WHERE name = 'records'";
        break;
      case kCount: sql = "SELECT value FROM zul_file WHERE name = 'records'"; break;
      case kBegin: sql = "BEGIN IMMEDIATE"; break;
      case kCommit: sql = "COMMIT"; break;
      case kRollback: sql = "ROLLBACK"; break;
      default: break;
    }
    slot = Prepare(sql);
    return slot;
  }

  // Steps a seek or fetch statement and copies its row (pos, ver, data and,
  // when key >= 0, the key's stored entry) into *out.
  int16_t Row(sqlite3_stmt* s, int key, Fetched* out) {
    int rc = sqlite3_step(s);
    if (rc == SQLITE_DONE) return B_END_OF_FILE;
    if (rc != SQLITE_ROW) return StatusOf(rc);
    out->pos = uint32_t(sqlite3_column_int64(s, 0));
    out->version = sqlite3_column_int64(s, 1);
    const void* data = sqlite3_column_blob(s, 2);
    int n = sqlite3_column_bytes(s, 2);
    record_.assign(static_cast<const uint8_t*>(data),
                   static_cast<const uint8_t*>(data) + n);
    out->record = record_.data();
    out->length = uint32_t(n);
    out->hasImage = false;
    if (key >= 0) {
      const uint32_t len = info_.layout.keys[key].length;
      if (sqlite3_column_type(s, 3) == SQLITE_BLOB &&
          uint32_t(sqlite3_column_bytes(s, 3)) == len + 4) {
        std::memcpy(out->image, sqlite3_column_blob(s, 3), len);
        out->hasImage = true;
      } else if (sqlite3_column_type(s, 3) != SQLITE_NULL) {
        return B_IO_ERROR;  // an entry of the wrong size: damaged file
      }
    }
    // A record shorter than the file's record length is damage too; the
    // caller would read past it.
    if (out->length < info_.layout.recordLength) return B_IO_ERROR;
    return B_OK;
  }

  void BindImages(sqlite3_stmt* s, int first, const KeyImages& images,
                  uint32_t pos) {
    const size_t n = info_.layout.keys.size();
    size_t need = 0;
    for (size_t k = 0; k < n; ++k) need += info_.layout.keys[k].length + 4;
    if (entries_.size() < need) entries_.resize(need);
    size_t at = 0;
    for (size_t k = 0; k < n; ++k) {
      const uint32_t len = info_.layout.keys[k].length;
      if (!images.present[k]) {
        sqlite3_bind_null(s, first + int(k));
        continue;
      }
      uint8_t* e = entries_.data() + at;
      std::memcpy(e, images.bytes.data() + images.offset[k], len);
      PutBE32(e + len, pos);
      sqlite3_bind_blob(s, first + int(k), e, int(len + 4), SQLITE_STATIC);
      at += len + 4;
    }
  }

  int16_t Done(int rc) {
    if (rc == SQLITE_DONE || rc == SQLITE_ROW || rc == SQLITE_OK) return B_OK;
    return StatusOf(rc);
  }

  // Starts one write: a transaction of its own, or a savepoint inside the
  // caller's transaction.
  int16_t Begin() {
    if (txn_) return Done(Exec(db_, "SAVEPOINT w"));
    sqlite3_stmt* s = TableStatement(kBegin);
    if (!s) return lastStatus_;
    Use use(s);
    return Done(sqlite3_step(s));
  }

  // Commits when st is 0, else rolls back; returns the final status. Inside
  // the caller's transaction only the write's savepoint is released or
  // undone.
  int16_t Finish(int16_t st) {
    if (txn_) {
      if (st != B_OK) Exec(db_, "ROLLBACK TO w");
      int rc = Exec(db_, "RELEASE w");
      return st != B_OK ? st : Done(rc);
    }
    if (st == B_OK) {
      sqlite3_stmt* s = TableStatement(kCommit);
      if (s) {
        Use use(s);
        st = Done(sqlite3_step(s));
      } else {
        st = lastStatus_;
      }
    }
    if (!sqlite3_get_autocommit(db_)) {
      sqlite3_stmt* r = TableStatement(kRollback);
      if (r) {
        Use use(r);
        sqlite3_step(r);
      }
      if (!sqlite3_get_autocommit(db_)) Exec(db_, "ROLLBACK");
    }
    return st;
  }

  int16_t NextPosition(uint32_t* pos) {
    sqlite3_stmt* s = TableStatement(kMaxPos);
    if (!s) return lastStatus_;
    Use use(s);
    int rc = sqlite3_step(s);
    if (rc != SQLITE_ROW) return StatusOf(rc);
    sqlite3_int64 max = sqlite3_column_int64(s, 0);  // 0 for an empty file
    if (max < 0 || max >= 0xFFFFFFFFll) return B_DISK_FULL;
    *pos = uint32_t(max + 1);
    return B_OK;
  }

  // 5 when another record (not pos) has this image in unique key k.
  int16_t CheckUnique(int k, const uint8_t* image, uint32_t pos) {
    sqlite3_stmt* s = KeyStatement(k, kUnique);
    if (!s) return lastStatus_;
    Use use(s);
    const uint32_t len = info_.layout.keys[k].length;
    uint8_t lo[kMaxKeyLength + 4], hi[kMaxKeyLength + 4];
    std::memcpy(lo, image, len);
    std::memcpy(hi, image, len);
    PutBE32(lo + len, 0);
    PutBE32(hi + len, 0xFFFFFFFFu);
    sqlite3_bind_blob(s, 1, lo, int(len + 4), SQLITE_STATIC);
    sqlite3_bind_blob(s, 2, hi, int(len + 4), SQLITE_STATIC);
    sqlite3_bind_int64(s, 3, pos);
    int rc = sqlite3_step(s);
    if (rc == SQLITE_ROW) return B_DUPLICATE_KEY;
    return rc == SQLITE_DONE ? B_OK : StatusOf(rc);
  }

  // 80 unless the record at pos exists with this version; with withImages,
  // keeps its current key images in oldImages_/oldPresent_.
  int16_t CheckVersion(uint32_t pos, int64_t version, bool withImages) {
    sqlite3_stmt* s = TableStatement(kReadVersion);
    if (!s) return lastStatus_;
    Use use(s);
    sqlite3_bind_int64(s, 1, pos);
    int rc = sqlite3_step(s);
    if (rc == SQLITE_DONE) return B_CONFLICT;
    if (rc != SQLITE_ROW) return StatusOf(rc);
    if (sqlite3_column_int64(s, 0) != version) return B_CONFLICT;
    if (withImages) {
      const size_t n = info_.layout.keys.size();
      oldPresent_.assign(n, 0);
      for (size_t k = 0; k < n; ++k) {
        int col = int(k) + 1;
        if (sqlite3_column_type(s, col) != SQLITE_BLOB) continue;
        const uint32_t len = info_.layout.keys[k].length;
        if (uint32_t(sqlite3_column_bytes(s, col)) != len + 4) return B_IO_ERROR;
        std::memcpy(oldImages_.data() + oldOffset(k), sqlite3_column_blob(s, col), len);
        oldPresent_[k] = 1;
      }
    }
    return B_OK;
  }

  int16_t AddCount(int delta) {
    sqlite3_stmt* s = TableStatement(kAddCount);
    if (!s) return lastStatus_;
    Use use(s);
    sqlite3_bind_int(s, 1, delta);
    return Done(sqlite3_step(s));
  }

  sqlite3* db_;
  FileInfo info_;
  std::vector<sqlite3_stmt*> keyStmts_;
  sqlite3_stmt* tableStmts_[kTableStmts];
  std::vector<uint8_t> bound_;
  std::vector<uint8_t> record_;
  std::vector<uint8_t> entries_;
  std::vector<uint8_t> oldImages_;
  std::vector<uint8_t> oldPresent_;
  int16_t lastStatus_ = B_IO_ERROR;
  bool txn_ = false;  // inside a transaction the caller asked for
};

// ---- SqliteEngine ----------------------------------------------------------

class SqliteEngine : public Engine {
 public:
  int16_t Probe(const std::string& path) override {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return B_FILE_NOT_FOUND;
    if (!S_ISREG(st.st_mode)) return B_NOT_A_DATA_FILE;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == EACCES ? B_ACCESS_DENIED : B_IO_ERROR;
    unsigned char h[100];
    ssize_t n = read(fd, h, sizeof h);
    close(fd);
    // The SQLite header: magic text, then application_id big-endian at 68.
    if (n != ssize_t(sizeof h) || std::memcmp(h, "SQLite format 3", 16) != 0)
      return B_NOT_A_DATA_FILE;
    int32_t app = int32_t((uint32_t(h[68]) << 24) | (uint32_t(h[69]) << 16) |
                          (uint32_t(h[70]) << 8) | uint32_t(h[71]));
    return app == kApplicationId ? B_OK : B_NOT_A_DATA_FILE;
  }

  int16_t Create(const std::string& path, const FileLayout& layout,
                 bool replace) override {
    struct stat st;
    bool exists = stat(path.c_str(), &st) == 0;
    if (exists && !replace) return B_FILE_EXISTS;
    if (exists && !S_ISREG(st.st_mode)) return B_CREATE_IO_ERROR;
    std::string tmp = path + ".new" + std::to_string(getpid());
    unlink(tmp.c_str());
    unlink((tmp + "-wal").c_str());
    unlink((tmp + "-shm").c_str());
    int16_t status = Build(tmp, layout);
    if (status != B_OK) {
      unlink(tmp.c_str());
      return status;
    }
    // The caller holds the exclusive open lock, so nobody has the old file
    // open: its WAL and shared-memory files are stale and must not be
    // applied to the new database.
    unlink((path + "-wal").c_str());
    unlink((path + "-shm").c_str());
    int rc;
    if (replace) {
      rc = rename(tmp.c_str(), path.c_str());
    } else {
      rc = link(tmp.c_str(), path.c_str());  // fails if the name was taken
      int e = errno;
      unlink(tmp.c_str());
      if (rc != 0) return e == EEXIST ? B_FILE_EXISTS : B_CREATE_IO_ERROR;
    }
    if (rc != 0) {
      unlink(tmp.c_str());
      return B_CREATE_IO_ERROR;
    }
    SyncDirectory(path);
    return B_OK;
  }

  int16_t Open(const std::string& path, bool readOnly,
               std::unique_ptr<Table>* table) override {
    sqlite3* db = nullptr;
    bool writable = access(path.c_str(), W_OK) == 0;
    int flags = (writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) |
                SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_EXRESCODE;
    (void)readOnly;  // the caller refuses writes; WAL readers need the -shm
    int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
      sqlite3_close_v2(db);
      int16_t st = StatusOf(rc);
      return st == B_OK ? B_IO_ERROR : st;
    }
    ConfigureConnection(db);
    FileInfo info;
    int16_t st = ReadInfo(db, &info);
    if (st != B_OK) {
      sqlite3_close_v2(db);
      return st;
    }
    table->reset(new SqliteTable(db, std::move(info)));
    return B_OK;
  }

  int16_t CheckStorage(const std::string& path,
                       std::vector<std::string>* problems) override {
    int16_t st = Probe(path);
    if (st != B_OK) return st;
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &db,
                             SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
      sqlite3_close_v2(db);
      return B_IO_ERROR;
    }
    ConfigureConnection(db);
    sqlite3_stmt* s = nullptr;
    rc = sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &s, nullptr);
    if (rc == SQLITE_OK) {
      while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        const char* t = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
        std::string line = t ? t : "";
        if (line != "ok") problems->push_back("storage: " + line);
      }
    }
    if (rc != SQLITE_DONE)
      problems->push_back(std::string("storage: ") + sqlite3_errmsg(db));
    sqlite3_finalize(s);
    sqlite3_close_v2(db);
    return B_OK;
  }

 private:
  static void SyncDirectory(const std::string& path) {
    size_t slash = path.find_last_of('/');
    std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
      fsync(fd);
      close(fd);
    }
  }

  static int16_t Build(const std::string& tmp, const FileLayout& layout) {
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(tmp.c_str(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE |
                                 SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
      sqlite3_close_v2(db);
      return B_CREATE_IO_ERROR;
    }
    std::string sql =
        "PRAGMA application_id=" + std::to_string(kApplicationId) +
        "; PRAGMA user_version=" + std::to_string(kFormatVersion) +
        "; PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;"
        " BEGIN;"
        " CREATE TABLE zul_file(name TEXT PRIMARY KEY, value) WITHOUT ROWID;"
        " CREATE TABLE zul_rec(pos INTEGER PRIMARY KEY, ver INTEGER NOT NULL,"
        " data BLOB NOT NULL";
    for (size_t k = 0; k < layout.keys.size(); ++k)
      sql += ", k" + std::to_string(k) + " BLOB";
    sql += ");";
    for (size_t k = 0; k < layout.keys.size(); ++k)
      sql += " CREATE INDEX zul_k" + std::to_string(k) + " ON zul_rec(k" +
             std::to_string(k) + ");";
    sql += " INSERT INTO zul_file VALUES('records', 0), ('owner', x''),"
           " ('owner_mode', 0);";
    rc = Exec(db, sql.c_str());
    if (rc == SQLITE_OK) {
      sqlite3_stmt* s = nullptr;
      rc = sqlite3_prepare_v2(db, "INSERT INTO zul_file VALUES('spec', ?1)", -1,
                              &s, nullptr);
      if (rc == SQLITE_OK) {
        sqlite3_bind_blob(s, 1, layout.bytes.data(), int(layout.bytes.size()),
                          SQLITE_STATIC);
        rc = sqlite3_step(s) == SQLITE_DONE ? SQLITE_OK : SQLITE_ERROR;
      }
      sqlite3_finalize(s);
    }
    if (rc == SQLITE_OK) rc = Exec(db, "COMMIT");
    // Closing the last connection checkpoints the WAL into the file and
    // removes it, so the finished file stands alone.
    int closed = sqlite3_close(db);
    if (closed != SQLITE_OK) sqlite3_close_v2(db);
    if (rc != SQLITE_OK || closed != SQLITE_OK) return B_CREATE_IO_ERROR;
    return B_OK;
  }

  static int16_t ReadInfo(sqlite3* db, FileInfo* info) {
    sqlite3_stmt* s = nullptr;
    int rc = sqlite3_prepare_v2(db, "SELECT name, value FROM zul_file", -1, &s,
                                nullptr);
    if (rc != SQLITE_OK) {
      sqlite3_finalize(s);
      int16_t st = StatusOf(rc);
      // A database of ours without its table is not a data file.
      return (st == B_IO_ERROR && (rc & 0xFF) == SQLITE_ERROR) ? B_NOT_A_DATA_FILE
                                                                : st;
    }
    bool haveSpec = false;
    std::string spec;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
      std::string name = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
      const void* v = sqlite3_column_blob(s, 1);
      int n = sqlite3_column_bytes(s, 1);
      if (name == "spec") {
        spec.assign(static_cast<const char*>(v), size_t(n));
        haveSpec = true;
      } else if (name == "owner") {
        info->owner.assign(static_cast<const char*>(v), size_t(n));
      } else if (name == "owner_mode") {
        info->ownerMode = sqlite3_column_int(s, 1);
      }
    }
    sqlite3_finalize(s);
    if (rc != SQLITE_DONE) return StatusOf(rc);
    if (!haveSpec) return B_NOT_A_DATA_FILE;
    int16_t st = ParseLayout(reinterpret_cast<const uint8_t*>(spec.data()),
                             uint32_t(spec.size()), &info->layout);
    if (st != B_OK) return B_NOT_A_DATA_FILE;
    // The format version: a newer layout than ours is not ours to touch.
    rc = sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &s, nullptr);
    int version = -1;
    if (rc == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
      version = sqlite3_column_int(s, 0);
    sqlite3_finalize(s);
    if (version != kFormatVersion) return B_NOT_A_DATA_FILE;
    return B_OK;
  }
};

}  // namespace

Engine& DefaultEngine() {
  static SqliteEngine engine;  // stateless
  return engine;
}

}  // namespace recman
