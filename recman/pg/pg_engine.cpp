// The server storage engine: data files as tables of a PostgreSQL server,
// for offices whose terminals sit on several machines.
//
// Map of this file:
//   1. rationale: sharing, locks, atomicity, durability, faults
//   2. the database layout
//   3. ServerLocks: open and record locks in the server
//   4. ServerEngine: probe, create, open, check
// The records of an open file are handled in pg_table.cpp, the connection
// in pg_session.cpp, names and quoting in pg_names.cpp.
//
// RATIONALE
//
// Sharing. SQLite files must not be shared over a network file system
// (their locks are not safe there), so a suite whose Brol.ini names a
// server (recman/engine_choice.h) keeps its data files in it: every
// terminal, on whichever machine, reaches the same tables through libpq.
// The record manager's contract (operations, statuses, currency, key
// images) is btrcall.cpp's and btrcall_records.cpp's, the same for both engines;
// this engine only stores records and key images and keeps the locks.
//
// Locks. Record locks (+100/+200) and the open lock (shared for every open,
// exclusive for an exclusive open) are the server's session-level advisory
// locks, keyed (object id of the record table, position) and (object id, 0)
// (pg_session.h). The server drops them when the connection ends, however
// the process ends, so a killed terminal frees its records and files: a
// moment after its death, once the server has seen the connection close
// (the kernel drops a lock file's locks with the process itself). A
// conflict gives 84 and 85 as the SQLite engine's lock file does. A file
// replaced by Create gets a new table and so a new object id: an open that
// found the old id locks it, then looks again and starts over when the id
// changed meanwhile.
//
// Atomicity. Every write outside Begin/End Transaction is one statement (or,
// for Delete, one short transaction), committed by the server as a whole:
// the record row, its key images and the catalogue's record count change
// together or not at all. A unique key is a unique index, so two terminals
// inserting the same value cannot both succeed. No transaction stays open
// between calls, and no read snapshot either: every call sees what other
// terminals have committed (READ COMMITTED, one statement per read; rows
// fetched ahead are served within the bounds of pg_read_ahead.h). Inside
// Begin/End Transaction all the files of one connection share one server
// transaction, committed at once; each file's record-count change is
// written just before the commit, so the catalogue row is changed once per
// transaction, not once per write. A file joining the transaction locks its
// catalogue row, so other terminals' inserts and deletes of that file wait
// for the commit (their writes take the same row lock first); updates of
// other records go on, row locks keep two updates of one record apart.
//
// Durability. Every session sets synchronous_commit on, so a write that
// returned 0 is on the server's disk, whatever the server's default; it is
// there after the server restarts.
//
// Waiting. A write that meets a row lock waits at most kLockWaitMs, then
// gives 85, as SQLite's busy wait. Joining a transaction polls its
// catalogue row (SKIP LOCKED) for as long, so that the wait never aborts
// the transaction.
//
// Faults. A server that cannot be reached gives 20 at once (connecting
// gives up after 10 s); a connection lost mid-run gives 95 for the call
// that met it, and the next call reconnects (pg_session.h): the files
// still open take their open locks again, their record locks are gone.
// Keepalives and a TCP user timeout notice a server machine that vanished. The data-file layer shows these as it shows any
// open failure, and a lock wait ends with the status instead of waiting
// on. Neither the connection string nor its password is ever shown: the
// messages carry it masked (pg_names.h).
//
// THE DATABASE LAYOUT (one schema per suite; changing any of it makes
// existing tables unreadable: raise kFormatVersion and convert):
//   "/files"   the catalogue, one row per data file:
//                name        text PRIMARY KEY   the table name (pg_names.h)
//                creation    bytea   creation layout as given to Create
//                owner       bytea   owner name, empty when none
//                owner_mode  integer 0..3
//                records     bigint  number of records
//                format      integer kFormatVersion
//   <name>     the records of one data file:
//                pos   bigint identity (1 .. 4294967295) PRIMARY KEY: the
//                      record's position; an identity is never given twice,
//                      even when its insert failed or the record went
//                ver   bigint, 1 at insert, + 1 at every update
//                data  bytea, the record
//                k<N>  bytea, the image of key N (recman/key_layout.h), NULL
//                      for a null key; a unique key has a unique index on
//                      (k<N>), a key with duplicates an index on (k<N>, pos),
//                      so entries sort by (image, position) as the engine
//                      rules ask.
#include "recman/pg/pg_engine.h"

#include <algorithm>
#include <atomic>

#include "platform/check.h"
#include "platform/directory.h"
#include "platform/env.h"
#include "recman/btrcall.h"
#include "recman/key_layout.h"
#include "recman/pg/pg_internal.h"
#include "recman/pg/pg_names.h"

namespace recman {

namespace pg {
namespace {

constexpr const char* kCatalogueName = "/files";
constexpr long kReplacedRetries = 5;  // opens that meet a file being replaced

std::atomic<uint32_t> nextEngineSerial{1};

// ---- ServerLocks -----------------------------------------------------------

class ServerEngine;

class ServerLocks : public FileLocks {
 public:
  ServerLocks(ServerEngine* engine, std::string path) : engine_(engine), path_(std::move(path)) {}
  ~ServerLocks() override;
  int16_t Open(bool exclusive) override;
  int16_t LockRecord(uint32_t pos) override {
    ZUL_CHECK(opened_);  // records are locked after the open
    if (!session_ || oid_ == 0) return B_IO_ERROR;
    int16_t st = session_->LockRecord(oid_, pos, this);
    if (st == B_OK && std::find(held_.begin(), held_.end(), pos) == held_.end())
      held_.push_back(pos);
    return st;
  }
  void UnlockRecord(uint32_t pos) override {
    auto it = std::find(held_.begin(), held_.end(), pos);
    if (it == held_.end()) return;
    held_.erase(it);
    session_->UnlockRecord(oid_, pos, this);
  }
  void Abandon() override {
    // The child forgets: the session (and with it the locks) is the
    // parent's, and it must not be closed here.
    new std::shared_ptr<Session>(std::move(session_));
    held_.clear();
    oid_ = 0;
    page_ = nullptr;
  }

 private:
  ServerEngine* engine_;
  std::string path_;
  std::shared_ptr<Session> session_;
  uint32_t oid_ = 0;          // the locked table's object id; 0: none
  bool opened_ = false;       // Open succeeded (with or without a table)
  bool open_ = false;         // the open lock is held
  std::vector<uint32_t> held_;
};

// ---- ServerEngine ----------------------------------------------------------

class ServerEngine : public Engine {
 public:
  explicit ServerEngine(const SuiteSetting& suite)
      : suite_(suite), prefix_("e" + std::to_string(nextEngineSerial++) + "_") {
    schema_ = QuoteIdentifier(suite_.schema);
    catalogue_ = schema_ + "." + QuoteIdentifier(kCatalogueName);
    probe_ = {prefix_ + "probe", "SELECT format FROM " + catalogue_ + " WHERE name = $1", {kText}};
    info_ = {prefix_ + "info",
             "SELECT creation, owner, owner_mode, format, to_regclass($2)::oid FROM " +
                 catalogue_ + " WHERE name = $1",
             {kText, kText}};
    oid_ = {prefix_ + "oid", "SELECT to_regclass($1)::oid", {kText}};
    lockRow_ = {prefix_ + "lock_row",
                "SELECT 1 FROM " + catalogue_ + " WHERE name = $1 FOR UPDATE", {kText}};
    dropRow_ = {prefix_ + "drop_row", "DELETE FROM " + catalogue_ + " WHERE name = $1", {kText}};
    addRow_ = {prefix_ + "add_row",
               "INSERT INTO " + catalogue_ +
                   " (name, creation, owner, owner_mode, records, format)"
                   " VALUES ($1, $2, ''::bytea, 0, 0, $3)",
               {kText, kBytea, kInt4}};
    xactLock_ = {prefix_ + "xact_lock", "SELECT pg_try_advisory_xact_lock($1, 0)", {kInt4}};
    schemaExists_ = {prefix_ + "schema", "SELECT 1 FROM pg_namespace WHERE nspname = $1", {kText}};
    columns_ = {prefix_ + "columns",
                "SELECT count(*)::int8 FROM pg_attribute WHERE attrelid = $1"
                " AND attnum > 0 AND NOT attisdropped",
                {26}};
  }

  int16_t Connect(std::shared_ptr<Session>* s) { return Session::For(suite_.connection, s); }

  // Where the data file at the native path lives. Returns 0, or 11 when the
  // path does not lie inside the suite root or the schema name is longer
  // than the server keeps.
  int16_t PlaceOf(const std::string& path, Place* place) {
    if (SchemaNameTooLong(suite_)) return B_INVALID_FILE_NAME;
    std::string relative;
    if (!RelativeTo(suite_.root, platform::AbsolutePath(path), &relative)) return B_INVALID_FILE_NAME;
    place->schema = schema_;
    place->name = TableName(relative);
    place->table = schema_ + "." + QuoteIdentifier(place->name);
    place->catalogue = catalogue_;
    return B_OK;
  }

  // The object id of the record table (0 when there is none).
  int16_t TableOid(Session* s, const Place& place, uint32_t* oid) {
    const char* values[] = {place.table.c_str()};
    const int lengths[] = {int(place.table.size())};
    Result r;
    int16_t st = s->Run(oid_, values, lengths, &r);
    if (st != B_OK) return st;
    *oid = (r.rows() == 1 && !r.null(0, 0)) ? uint32_t(r.Int(0, 0)) : 0;
    return B_OK;
  }

  int16_t Exists(const std::string& path) override { return Find(path, nullptr); }

  std::unique_ptr<FileLocks> NewLocks(const std::string& path) override {
    return std::make_unique<ServerLocks>(this, path);
  }

  int16_t Probe(const std::string& path) override {
    int format = 0;
    int16_t st = Find(path, &format);
    if (st != B_OK) return st;
    return format == kFormatVersion ? B_OK : B_NOT_A_DATA_FILE;
  }

  int16_t Create(const std::string& path, const FileLayout& layout, bool replace) override {
    std::shared_ptr<Session> s;
    Place place;
    int16_t st = Reach(path, &s, &place);
    if (st != B_OK) return st;
    // Inside Begin/End Transaction the new file is part of the transaction
    // (none when that transaction was lost).
    if (s->transactionLost()) return B_SESSION_LOST;
    const bool nested = s->inTransaction();
    if (!nested) {
      st = EnsureCatalogue(s.get());
      if (st != B_OK) return st;
    }
    st = s->Command(nested ? "SAVEPOINT zul_create" : "BEGIN");
    if (st != B_OK) return st;
    if (nested) st = EnsureCatalogue(s.get());
    if (st == B_OK) st = Build(s.get(), place, layout, replace);
    if (st == B_OK) {
      std::string state;
      st = s->Command(nested ? "RELEASE zul_create" : "COMMIT", &state);
      if (st != B_OK && (state == "23505" || state == "42P07")) st = B_FILE_EXISTS;
    } else {
      s->Command(nested ? "ROLLBACK TO zul_create" : "ROLLBACK");
    }
    if (st == B_IO_ERROR) st = B_CREATE_IO_ERROR;
    return st;
  }

  int16_t MakeSuiteStorage(const std::string& path) override {
    std::shared_ptr<Session> s;
    Place place;
    int16_t st = Reach(path, &s, &place);
    if (st != B_OK) return st;
    if (s->transactionLost()) return B_SESSION_LOST;
    st = s->Command("CREATE SCHEMA IF NOT EXISTS " + schema_);
    if (st == B_OK) st = EnsureCatalogue(s.get());
    return st == B_IO_ERROR || st == B_DUPLICATE_KEY ? B_CREATE_IO_ERROR : st;
  }

  int16_t Open(const std::string& path, bool readOnly, std::unique_ptr<Table>* table) override {
    (void)readOnly;  // the caller refuses writes
    std::shared_ptr<Session> s;
    Place place;
    Result r;
    int16_t st = CatalogueRow(path, &s, &place, &r);
    if (st != B_OK) return st;
    if (r.null(0, 4) || r.Int(0, 3) != kFormatVersion) return B_NOT_A_DATA_FILE;
    FileInfo info;
    st = ParseLayout(reinterpret_cast<const uint8_t*>(r.value(0, 0)), uint32_t(r.length(0, 0)),
                     &info.layout);
    if (st != B_OK) return B_NOT_A_DATA_FILE;
    info.owner.assign(r.value(0, 1), size_t(r.length(0, 1)));
    info.ownerMode = int(r.Int(0, 2));
    uint32_t oid = uint32_t(r.Int(0, 4));
    bool machineWide = false;
    s->WritePage(path, &machineWide);
    *table = NewServerTable(std::move(s), std::move(place), oid, std::move(info), machineWide);
    return B_OK;
  }

  int16_t CheckStorage(const std::string& path, std::vector<std::string>* problems) override {
    std::shared_ptr<Session> s;
    Place place;
    Result r;
    int16_t st = CatalogueRow(path, &s, &place, &r);
    if (st != B_OK) return st;
    if (r.null(0, 4)) {
      problems->push_back("storage: the catalogue names " + place.name +
                          ", which has no record table");
      return B_OK;
    }
    FileLayout layout;
    if (ParseLayout(reinterpret_cast<const uint8_t*>(r.value(0, 0)), uint32_t(r.length(0, 0)),
                    &layout) != B_OK) {
      problems->push_back("storage: the creation layout in the catalogue is not valid");
      return B_OK;
    }
    char oid[4];
    uint32_t o = uint32_t(r.Int(0, 4));
    oid[0] = char(o >> 24), oid[1] = char(o >> 16), oid[2] = char(o >> 8), oid[3] = char(o);
    const char* cv[] = {oid};
    const int cl[] = {4};
    Result c;
    st = s->Run(columns_, cv, cl, &c);
    if (st != B_OK) return st;
    int64_t want = 3 + int64_t(layout.keys.size());
    if (c.rows() != 1 || c.Int(0, 0) != want)
      problems->push_back("storage: the record table has " +
                          std::to_string(c.rows() ? c.Int(0, 0) : 0) + " columns, not " +
                          std::to_string(want));
    return B_OK;
  }

 private:
  // The session and place of the data file at the native path.
  int16_t Reach(const std::string& path, std::shared_ptr<Session>* s, Place* place) {
    int16_t st = PlaceOf(path, place);
    return st != B_OK ? st : Connect(s);
  }

  // The file's catalogue row with its record table's object id (creation,
  // owner, owner_mode, format, oid or NULL): 0, 12 when there is none, or
  // a status.
  int16_t CatalogueRow(const std::string& path, std::shared_ptr<Session>* s, Place* place,
                       Result* r) {
    int16_t st = Reach(path, s, place);
    if (st != B_OK) return st;
    const char* values[] = {place->name.c_str(), place->table.c_str()};
    const int lengths[] = {int(place->name.size()), int(place->table.size())};
    st = (*s)->Run(info_, values, lengths, r);
    if (st != B_OK) return st;
    return r->rows() == 1 ? B_OK : B_FILE_NOT_FOUND;
  }

  // The catalogue row of the file: 0 (and its format), 12 when there is
  // none (nor a catalogue), 35 when the schema is missing, or a status.
  int16_t Find(const std::string& path, int* format) {
    std::shared_ptr<Session> s;
    Place place;
    int16_t st = Reach(path, &s, &place);
    if (st != B_OK) return st;
    const char* values[] = {place.name.c_str()};
    const int lengths[] = {int(place.name.size())};
    Result r;
    std::string state;
    st = s->Run(probe_, values, lengths, &r, &state);
    if (st != B_OK) {
      // No catalogue yet: no such file, or no schema at all (35). The
      // failed statement was not prepared, so it is tried again later.
      if (state == "42P01" || state == "3F000") return SchemaMissing(s.get());
      return st;
    }
    if (r.rows() != 1) return B_FILE_NOT_FOUND;
    if (format) *format = int(r.Int(0, 0));
    return B_OK;
  }

  // Where a file's catalogue is missing: 35 when the schema is missing
  // too, else 12 (or the status of a failure).
  int16_t SchemaMissing(Session* s) {
    Result r;
    const char* values[] = {suite_.schema.c_str()};
    const int lengths[] = {int(suite_.schema.size())};
    int16_t st = s->Run(schemaExists_, values, lengths, &r);
    if (st != B_OK) return st;
    return r.rows() == 1 ? B_FILE_NOT_FOUND : B_DIRECTORY_ERROR;
  }

  // The catalogue, made when missing in an existing schema. Returns 0, 35
  // when the schema does not exist (only MakeSuiteStorage makes it), or a
  // status. Two terminals making the catalogue at once: the loser's
  // statement fails and is tried again.
  int16_t EnsureCatalogue(Session* s) {
    Result r;
    const char* values[] = {suite_.schema.c_str()};
    const int lengths[] = {int(suite_.schema.size())};
    int16_t st = s->Run(schemaExists_, values, lengths, &r);
    if (st != B_OK) return st;
    if (r.rows() != 1) return B_DIRECTORY_ERROR;
    for (int attempt = 0; attempt < 3; ++attempt) {
      st = s->Command("CREATE TABLE IF NOT EXISTS " + catalogue_ +
                      " (name text PRIMARY KEY, creation bytea NOT NULL,"
                      " owner bytea NOT NULL, owner_mode integer NOT NULL,"
                      " records bigint NOT NULL, format integer NOT NULL)");
      if (st == B_OK || s->lost() || s->inTransaction()) break;
      platform::SleepMs(20);
    }
    return st == B_IO_ERROR || st == B_DUPLICATE_KEY ? B_CREATE_IO_ERROR : st;
  }

  // Inside the transaction: replaces or refuses an existing file, then
  // makes the record table, its indexes and its catalogue row.
  int16_t Build(Session* s, const Place& place, const FileLayout& layout, bool replace) {
    const char* values[] = {place.name.c_str()};
    const int lengths[] = {int(place.name.size())};
    Result r;
    int16_t st = s->Run(lockRow_, values, lengths, &r);
    if (st != B_OK) return st;
    const bool exists = r.rows() == 1;
    if (exists && !replace) return B_FILE_EXISTS;
    uint32_t oid = 0;
    st = TableOid(s, place, &oid);
    if (st != B_OK) return st;
    if (oid != 0) {
      if (!exists && !replace) return B_FILE_EXISTS;
      // Nobody may have it open: the caller's own exclusive open lock is
      // the session's, which this transaction lock does not meet.
      char key[4] = {char(oid >> 24), char(oid >> 16), char(oid >> 8), char(oid)};
      const char* kv[] = {key};
      const int kl[] = {4};
      Result g;
      st = s->Run(xactLock_, kv, kl, &g);
      if (st != B_OK) return st;
      if (g.rows() != 1 || g.value(0, 0)[0] == 0) return B_FILE_LOCKED;
      st = s->Command("DROP TABLE " + place.table);
      if (st != B_OK) return st;
    }
    if (exists) {
      Result d;
      st = s->Run(dropRow_, values, lengths, &d);
      if (st != B_OK) return st;
    }
    std::string sql = "CREATE TABLE " + place.table +
                      " (pos bigint GENERATED ALWAYS AS IDENTITY (MINVALUE 1 MAXVALUE 4294967295)"
                      " PRIMARY KEY, ver bigint NOT NULL, data bytea NOT NULL";
    for (size_t k = 0; k < layout.keys.size(); ++k) sql += ", k" + std::to_string(k) + " bytea";
    sql += ")";
    std::string state;
    st = s->Command(sql, &state);
    if (st != B_OK) return (state == "42P07" || state == "23505") ? B_FILE_EXISTS : st;
    for (size_t k = 0; k < layout.keys.size(); ++k) {
      std::string col = "k" + std::to_string(k);
      st = s->Command(layout.keys[k].duplicates
                          ? "CREATE INDEX ON " + place.table + " (" + col + ", pos)"
                          : "CREATE UNIQUE INDEX ON " + place.table + " (" + col + ")");
      if (st != B_OK) return st;
    }
    char format[4] = {0, 0, 0, char(kFormatVersion)};
    const char* av[] = {place.name.c_str(), layout.bytes.data(), format};
    const int al[] = {int(place.name.size()), int(layout.bytes.size()), 4};
    Result a;
    return s->Run(addRow_, av, al, &a);
  }

  SuiteSetting suite_;
  std::string prefix_;     // of this engine's statement names
  std::string schema_;     // quoted
  std::string catalogue_;  // quoted, qualified
  Statement probe_, info_, oid_, lockRow_, dropRow_, addRow_, xactLock_, columns_, schemaExists_;

  friend class ServerLocks;
};

ServerLocks::~ServerLocks() {
  if (!session_) return;
  for (uint32_t pos : held_) session_->UnlockRecord(oid_, pos, this);
  if (open_) session_->CloseLock(oid_, this);
}

int16_t ServerLocks::Open(bool exclusive) {
  ZUL_CHECK(!opened_);  // one open per ServerLocks
  Place place;
  int16_t st = engine_->PlaceOf(path_, &place);
  if (st != B_OK) return st;
  st = engine_->Connect(&session_);
  if (st != B_OK) return st;
  bool machineWide = false;
  for (long attempt = 0; attempt < kReplacedRetries; ++attempt) {
    uint32_t oid = 0;
    st = engine_->TableOid(session_.get(), place, &oid);
    if (st != B_OK) return st;
    if (oid == 0) {  // nothing to lock: the file is about to be made
      opened_ = true;
      page_ = session_->WritePage(path_, &machineWide);  // Create bumps it
      return B_OK;
    }
    st = session_->OpenLock(oid, exclusive, this);
    if (st != B_OK) return st;
    uint32_t again = 0;
    st = engine_->TableOid(session_.get(), place, &again);
    if (st == B_OK && again == oid) {
      oid_ = oid;
      opened_ = open_ = true;
      page_ = session_->WritePage(path_, &machineWide);
      return B_OK;
    }
    session_->CloseLock(oid, this);  // replaced meanwhile: lock the new one
    if (st != B_OK) return st;
  }
  return B_FILE_LOCKED;
}

}  // namespace
}  // namespace pg

std::unique_ptr<Engine> NewServerEngine(const SuiteSetting& suite) {
  return std::make_unique<pg::ServerEngine>(suite);
}

uint64_t ServerRoundTrips() { return pg::Session::RoundTrips(); }

int16_t EndAllServerTransactions(bool commit) {
  int16_t result = B_OK;
  for (pg::Session* s : pg::Session::All()) {
    if (!s->inTransaction() && !s->transactionLost()) continue;
    int16_t st = s->EndTransaction(commit);
    if (result == B_OK) result = st;
  }
  return result;
}

}  // namespace recman
