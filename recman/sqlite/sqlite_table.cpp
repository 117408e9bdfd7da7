// SqliteTable: the records and key entries of one open data file, in the
// database layout described in sqlite_engine.cpp.
//
// Every statement is prepared once per open file, on first use, and reset
// as soon as its row has been copied (the Use holder), so no statement
// keeps a read transaction open past a call. The one read transaction that
// does outlive calls is the held snapshot (HoldRead): a deferred BEGIN,
// which takes its snapshot at the next read and keeps it until ReleaseRead,
// or until a write, SetOwner or BeginTransaction lets it go first. Writes
// run in BEGIN IMMEDIATE ... COMMIT, or in a savepoint inside a
// transaction the caller asked for.
//
// Sections, in order:
//   Use, PutBE32               the self-resetting statement holder, key bytes
//   SqliteTable:
//     Seeks and reads          SeekKey, SeekPhysical, Fetch
//     Writes                   Insert, Update, Delete, RecordCount
//     Transactions and the     BeginTransaction, EndTransaction, HoldRead,
//       held snapshot          ReleaseRead
//     Owner                    SetOwner
//     Prepared statements      Prepare, KeyStatement, TableStatement
//     Scans and rows           SeekScan, EndScan, Row, BindImages
//     Running a write          Done, Step, Begin, Finish, NextPosition,
//                              CheckUnique, CheckVersion, AddCount; members
//   NewSqliteTable             the factory sqlite_engine.cpp calls
#include <cstring>
#include <string>
#include <vector>

#include "recman/sqlite/sqlite_internal.h"

namespace recman {
namespace sqlite_internal {

namespace {

// A prepared statement that resets itself when the holder goes out of
// scope, so that no statement keeps a read transaction open. Its
// parameters are cleared too, so no statement keeps pointing at a caller's
// buffer, unless the holder says they point at nothing that goes away
// (kKeepBindings: numbers, or the table's own bound_ buffer), which spares
// that work on every read.
enum Bindings { kClearBindings, kKeepBindings };
class Use {
 public:
  explicit Use(sqlite3_stmt* s, Bindings b = kClearBindings) : s_(s), b_(b) {}
  ~Use() {
    if (s_) {
      sqlite3_reset(s_);
      if (b_ == kClearBindings) sqlite3_clear_bindings(s_);
    }
  }
  sqlite3_stmt* get() const { return s_; }

 private:
  sqlite3_stmt* s_;
  Bindings b_;
};

void PutBE32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v >> 24);
  p[1] = uint8_t(v >> 16);
  p[2] = uint8_t(v >> 8);
  p[3] = uint8_t(v);
}


// Statement slots per key.
enum KeyStmt { kGt, kGe, kLt, kLe, kByPos, kUnique, kGtScan, kLtScan, kKeyStmts };
// Statement slots of the table.
enum TableStmt {
  kPhysFirst, kPhysLast, kPhysNext, kPhysPrev, kFetchPlain, kMaxPos,
  kInsert, kUpdate, kDelete, kReadVersion, kAddCount, kCount, kBegin,
  kCommit, kRollback, kSavepoint, kRelease, kRollbackTo, kBeginRead, kTableStmts
};

class SqliteTable : public Table {
 public:
  SqliteTable(sqlite3* db, FileInfo info) : db_(db), info_(std::move(info)) {
    int n = int(info_.layout.keys.size());
    keyStmts_.assign(size_t(n) * kKeyStmts, nullptr);
    for (int i = 0; i < kTableStmts; ++i) tableStmts_[i] = nullptr;
    bound_.resize(kMaxKeyLength + 8);
    scanBound_.resize(kMaxKeyLength + 8);
    scanEntry_.resize(kMaxKeyLength + 8);
    oldImages_.resize(size_t(kMaxKeyLength + 4) * (n ? n : 1));
  }

  ~SqliteTable() override {
    ReleaseRead();
    for (sqlite3_stmt* s : keyStmts_) sqlite3_finalize(s);
    for (sqlite3_stmt* s : tableStmts_) sqlite3_finalize(s);
    sqlite3_close_v2(db_);
  }

  const FileInfo& info() const override { return info_; }

  // ---- Seeks and reads ----------------------------------------------------

  int16_t SeekKey(int key, SeekHow how, const uint8_t* image, uint32_t pos,
                  Fetched* out) override {
    if ((how == SeekHow::kAfter || how == SeekHow::kBefore) && holdingRead())
      return SeekScan(key, how, image, pos, out);
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
    Use use(s, kKeepBindings);  // b is bound_
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
    Use use(s, kKeepBindings);
    if (which == kPhysNext || which == kPhysPrev) sqlite3_bind_int64(s, 1, pos);
    int16_t st = Row(s, -1, out);
    if (st != B_OK || key < 0) return st;
    // Fetch again with the key image; rare (Step operations only).
    return Fetch(out->pos, key, out);
  }

  int16_t Fetch(uint32_t pos, int key, Fetched* out) override {
    sqlite3_stmt* s = key >= 0 ? KeyStatement(key, kByPos) : TableStatement(kFetchPlain);
    if (!s) return lastStatus_;
    Use use(s, kKeepBindings);
    sqlite3_bind_int64(s, 1, pos);
    int16_t st = Row(s, key, out);
    return st == B_END_OF_FILE ? B_INVALID_RECORD_ADDRESS : st;
  }

  // ---- Writes -------------------------------------------------------------

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

  // ---- Transactions and the held snapshot ---------------------------------

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

  int16_t HoldRead() override {
    if (holdingRead()) return B_OK;
    if (txn_) return B_TRANSACTION_ACTIVE;
    holding_ = false;
    if (!sqlite3_get_autocommit(db_)) return B_TRANSACTION_ACTIVE;
    int16_t st = Step(kBeginRead);
    holding_ = st == B_OK;
    return st;
  }

  void ReleaseRead() override {
    EndScan();
    if (!holding_) return;
    holding_ = false;
    if (sqlite3_get_autocommit(db_)) return;  // an error ended it already
    // A read-only transaction: COMMIT only lets the snapshot go.
    if (Step(kCommit) != B_OK && !sqlite3_get_autocommit(db_)) {
      Step(kRollback);
      if (!sqlite3_get_autocommit(db_)) Exec(db_, "ROLLBACK");
    }
  }

  bool holdingRead() const override { return holding_ && !sqlite3_get_autocommit(db_); }

  // ---- Owner --------------------------------------------------------------

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

  // ---- Prepared statements ------------------------------------------------

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
      case kGtScan: sql = cols + "WHERE " + k + " > ?1 ORDER BY " + k; break;
      case kLtScan: sql = cols + "WHERE " + k + " < ?1 ORDER BY " + k + " DESC"; break;
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
      case kMaxPos:
        // The highest position ever given (AUTOINCREMENT keeps it in
        // sqlite_sequence, also after the record is deleted).
        sql = "SELECT max(coalesce((SELECT seq FROM sqlite_sequence WHERE name = 'zul_rec'), 0),"
              " coalesce((SELECT max(pos) FROM zul_rec), 0))";
        break;
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
      case kSavepoint: sql = "SAVEPOINT w"; break;
      case kRelease: sql = "RELEASE w"; break;
      case kRollbackTo: sql = "ROLLBACK TO w"; break;
      case kBeginRead: sql = "BEGIN DEFERRED"; break;
      default: break;
    }
    slot = Prepare(sql);
    return slot;
  }

  // ---- Scans and rows -----------------------------------------------------

  // Get Next and Get Previous inside a held read snapshot. The scan of the
  // last such get stays open, positioned on the entry it returned; a get
  // that asks for the entry after (before) exactly that entry, along the
  // same key in the same direction, steps it on instead of descending the
  // index again. Within one snapshot both find the same entry. Any other
  // entry asked for starts a new scan. The scan is closed before the
  // snapshot ends, so it never keeps a read transaction of its own.
  int16_t SeekScan(int key, SeekHow how, const uint8_t* image, uint32_t pos,
                   Fetched* out) {
    const uint32_t len = info_.layout.keys[key].length;
    uint8_t want[kMaxKeyLength + 4];
    std::memcpy(want, image, len);
    PutBE32(want + len, pos);
    if (!(scan_ && scanKey_ == key && scanHow_ == how &&
          std::memcmp(scanEntry_.data(), want, len + 4) == 0)) {
      EndScan();
      sqlite3_stmt* s = KeyStatement(key, how == SeekHow::kAfter ? kGtScan : kLtScan);
      if (!s) return lastStatus_;
      std::memcpy(scanBound_.data(), want, len + 4);
      sqlite3_bind_blob(s, 1, scanBound_.data(), int(len + 4), SQLITE_STATIC);
      scan_ = s;
      scanKey_ = key;
      scanHow_ = how;
    }
    int16_t st = Row(scan_, key, out);
    if (st != B_OK || !out->hasImage) {
      EndScan();
      return st != B_OK ? st : B_IO_ERROR;
    }
    std::memcpy(scanEntry_.data(), sqlite3_column_blob(scan_, 3), len + 4);
    return B_OK;
  }

  void EndScan() {
    if (scan_) sqlite3_reset(scan_);
    scan_ = nullptr;
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
      const int type = sqlite3_column_type(s, 3);
      if (type == SQLITE_BLOB && uint32_t(sqlite3_column_bytes(s, 3)) == len + 4) {
        const uint8_t* entry = static_cast<const uint8_t*>(sqlite3_column_blob(s, 3));
        uint8_t own[4];
        PutBE32(own, out->pos);
        // The entry ends with its record's position; another position
        // means a damaged file (steps would go on from the wrong place).
        if (std::memcmp(entry + len, own, 4) != 0) return B_IO_ERROR;
        std::memcpy(out->image, entry, len);
        out->hasImage = true;
      } else if (type != SQLITE_NULL) {
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

  // ---- Running a write ----------------------------------------------------

  int16_t Done(int rc) {
    if (rc == SQLITE_DONE || rc == SQLITE_ROW || rc == SQLITE_OK) return B_OK;
    return StatusOf(rc);
  }

  // Runs a statement without parameters or results.
  int16_t Step(TableStmt which) {
    sqlite3_stmt* s = TableStatement(which);
    if (!s) return lastStatus_;
    Use use(s);
    return Done(sqlite3_step(s));
  }

  // Starts one write: a transaction of its own, or a savepoint inside the
  // caller's transaction. A held read snapshot is let go first: the write
  // must see the latest state, and BEGIN IMMEDIATE cannot start inside it.
  int16_t Begin() {
    if (txn_) return Step(kSavepoint);
    ReleaseRead();
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
      if (st != B_OK) Step(kRollbackTo);
      int16_t released = Step(kRelease);
      return st != B_OK ? st : released;
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
  sqlite3_stmt* scan_ = nullptr;     // the open scan of SeekScan, or null
  int scanKey_ = -1;                 // its key and direction
  SeekHow scanHow_ = SeekHow::kAfter;
  std::vector<uint8_t> scanBound_;   // the entry it was started after
  std::vector<uint8_t> scanEntry_;   // the entry it returned last
  std::vector<uint8_t> record_;
  std::vector<uint8_t> entries_;
  std::vector<uint8_t> oldImages_;
  std::vector<uint8_t> oldPresent_;
  int16_t lastStatus_ = B_IO_ERROR;
  bool txn_ = false;  // inside a transaction the caller asked for
  bool holding_ = false;  // HoldRead's transaction was begun
};

}  // namespace

std::unique_ptr<Table> NewSqliteTable(sqlite3* db, FileInfo info) {
  return std::unique_ptr<Table>(new SqliteTable(db, std::move(info)));
}

}  // namespace sqlite_internal
}  // namespace recman
