// The SQLite storage engine.
//
// Map of this file:
//   1. rationale: atomicity, durability, busy handling
//   2. the database layout
//   3. helpers: status mapping, busy handler, connection settings
//   4. opening a database, on a writable or a read-only medium
//   5. SqliteEngine: probe, create, open, check
// The records of an open file are handled in sqlite_table.cpp.
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
// Read-only media. An archived suite on a read-only disk, or a folder this
// process may not write, must still be readable. A WAL database normally
// needs its -shm file, made beside it by the first reader; where the folder
// cannot be written the database is opened read-only, and
//   - without a -wal file holding frames, as immutable (SQLite then reads
//     the file alone, without -shm and without locks): nobody can write it
//     there, as a writer would have to make the -wal file first;
//   - with a -wal file and its -shm file left there, read-only through them,
//     so that the commits still in the log are read;
//   - with a -wal file but no -shm file, not at all (46): the commits in the
//     log cannot be read, and reading the file alone would show an older
//     state as if it were the file's.
// A file that cannot be written is opened read-only wherever it lies. Such
// opens report FileInfo::readOnly, and the record manager refuses their
// writes with 46 (recman/sqlite/lock_file.cpp for the locks of such an open).
//
// THE DATABASE LAYOUT (changing any of it makes existing files unreadable;
// raise kFormatVersion and convert):
//   header     application_id = kApplicationId, user_version = kFormatVersion,
//              journal mode WAL
//   zul_file   (name TEXT PRIMARY KEY, value) WITHOUT ROWID
//                'creation'        BLOB  creation layout as given
//                'records'     INTEGER  number of records
//                'owner'       BLOB  owner name, empty when none
//                'owner_mode'  INTEGER  0..3
//   zul_rec    (pos INTEGER PRIMARY KEY AUTOINCREMENT, ver INTEGER,
//                data BLOB, k0 BLOB, ...)
//                one row per record; kN holds the image of key N followed by
//                pos as 4 bytes big-endian, or NULL for a null key. A
//                position is never given twice, even after its record is
//                deleted, so a position or a (position, version) pair held
//                by a program can never name a different record.
//   zul_k<N>   index on zul_rec(kN)

#include "recman/sqlite/sqlite_internal.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/env.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "recman/sqlite/lock_file.h"

namespace recman {
namespace sqlite_internal {

// ---- Helpers ---------------------------------------------------------------

namespace {

constexpr const char* kSynchronous = "NORMAL";
constexpr long kBusyGiveUpMs = 60000;

// Sleeps a little longer each time, up to kBusyGiveUpMs in all.
int BusyHandler(void*, int count) {
  long delay = count < 10 ? 1 : count < 40 ? 5 : 20;
  long waited = count < 10 ? count : count < 40 ? 10 + (count - 10) * 5
                                                : 160 + (count - 40) * 20;
  if (waited >= kBusyGiveUpMs) return 0;
  platform::SleepMs(delay);
  return 1;
}

// Library-wide settings, made by the engine's constructor before the first
// connection (SQLite accepts them only before it initialises; later calls
// are refused and change nothing, leaving SQLite as built: serialized, with
// malloc). The suite's programs call the record manager from one thread, so:
//   - single-thread mode: SQLite takes none of its mutexes (the connections
//     are opened without their own mutex already; this also drops the
//     process-wide ones of the page cache, the shared-memory nodes and the
//     unlock notices, taken on every read);
//   - its small blocks kept for reuse (sqlite_memory.cpp), which relies on
//     single-thread mode, so it is installed only when that was accepted;
//   - memory statistics off: with them on, every allocation and free takes
//     a mutex to keep counts nobody reads.
void ConfigureLibrary() {
  if (sqlite3_config(SQLITE_CONFIG_SINGLETHREAD) == SQLITE_OK)
    sqlite3_config(SQLITE_CONFIG_MALLOC, BlockCacheMethods());
  sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
}

}  // namespace

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

// ---- Opening a database --------------------------------------------------

namespace {

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

// The path as the file name of a SQLite URI: every byte but letters,
// digits and "/._-~" percent-encoded.
std::string UriPath(const std::string& path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
        c == '/' || c == '.' || c == '_' || c == '-' || c == '~') {
      out += char(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

// Opens the database at the native path: read-write when forWriting and
// this process can write it, else read-only as the rationale above says
// (*readOnly then true). Returns 0 with *db set, or a status with *db null.
int16_t OpenDatabase(const std::string& path, bool forWriting, sqlite3** db,
                     bool* readOnly) {
  *db = nullptr;
  const bool folderWritable = platform::CanWrite(DirectoryOf(path));
  const bool writable = forWriting && folderWritable && platform::CanWrite(path);
  *readOnly = !writable;
  std::string name = path;
  int flags = (writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) |
              SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_EXRESCODE;
  if (!folderWritable) {
    bool logged = platform::FileSize(path + "-wal") > 0;
    if (logged && !platform::PathExists(path + "-shm")) return B_ACCESS_DENIED;
    if (!logged) {
      name = "file:" + UriPath(path) + "?immutable=1";
      flags |= SQLITE_OPEN_URI;
    }
  }
  int rc = sqlite3_open_v2(name.c_str(), db, flags, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_close_v2(*db);
    *db = nullptr;
    int16_t st = StatusOf(rc);
    return st == B_OK ? B_IO_ERROR : st;
  }
  ConfigureConnection(*db);
  return B_OK;
}

}  // namespace

// ---- SqliteEngine ----------------------------------------------------------

namespace {

// The locks of one open: the data file's lock file (recman/sqlite/lock_file.cpp),
// whose shared page carries the write generation.
class SqliteLocks : public FileLocks {
 public:
  explicit SqliteLocks(std::string path) : path_(std::move(path)) {}

  int16_t Open(bool exclusive) override {
    int16_t st = file_.Open(path_, exclusive);
    page_ = file_.sharedPage();
    return st;
  }
  int16_t LockRecord(uint32_t pos) override {
    return file_.LockRecord(pos) ? B_OK : B_RECORD_LOCKED;
  }
  void UnlockRecord(uint32_t pos) override { file_.UnlockRecord(pos); }
  bool readOnly() const override { return file_.readOnly(); }
  void Abandon() override {
    file_.Abandon();
    page_ = nullptr;
  }

 private:
  std::string path_;
  LockFile file_;
};

class SqliteEngine : public Engine {
 public:
  SqliteEngine() { ConfigureLibrary(); }  // one engine per program

  int16_t Exists(const std::string& path) override {
    return platform::PathExists(path) ? B_OK : B_FILE_NOT_FOUND;
  }

  std::unique_ptr<FileLocks> NewLocks(const std::string& path) override {
    return std::make_unique<SqliteLocks>(path);
  }

  int16_t Probe(const std::string& path) override {
    if (!platform::PathExists(path)) return B_FILE_NOT_FOUND;
    if (!platform::IsRegularFile(path)) return B_NOT_A_DATA_FILE;
    std::string head;
    int error = 0;
    if (!platform::ReadFileHead(path, 100, &head, &error))
      return error == EACCES ? B_ACCESS_DENIED : B_IO_ERROR;
    // The SQLite header: magic text, then application_id big-endian at 68.
    if (head.size() != 100 || std::memcmp(head.data(), "SQLite format 3", 16) != 0)
      return B_NOT_A_DATA_FILE;
    const unsigned char* h = reinterpret_cast<const unsigned char*>(head.data());
    int32_t app = int32_t((uint32_t(h[68]) << 24) | (uint32_t(h[69]) << 16) |
                          (uint32_t(h[70]) << 8) | uint32_t(h[71]));
    return app == kApplicationId ? B_OK : B_NOT_A_DATA_FILE;
  }

  int16_t Create(const std::string& path, const FileLayout& layout,
                 bool replace) override {
    bool exists = platform::PathExists(path);
    if (exists && !replace) return B_FILE_EXISTS;
    if (exists && !platform::IsRegularFile(path)) return B_CREATE_IO_ERROR;
    std::string tmp = path + ".new" + std::to_string(platform::ProcessId());
    platform::RemoveFile(tmp);
    platform::RemoveFile(tmp + "-wal");
    platform::RemoveFile(tmp + "-shm");
    int16_t status = Build(tmp, layout);
    if (status != B_OK) {
      platform::RemoveFile(tmp);
      return status;
    }
    // The caller holds the exclusive open lock, so nobody has the old file
    // open: its WAL and shared-memory files are stale and must not be
    // applied to the new database.
    platform::RemoveFile(path + "-wal");
    platform::RemoveFile(path + "-shm");
    if (replace) {
      if (!platform::RenameFile(tmp, path)) {
        platform::RemoveFile(tmp);
        return B_CREATE_IO_ERROR;
      }
    } else {
      int error = 0;
      bool linked = platform::LinkFile(tmp, path, &error);  // fails if the name was taken
      platform::RemoveFile(tmp);
      if (!linked) return error == EEXIST ? B_FILE_EXISTS : B_CREATE_IO_ERROR;
    }
    platform::SyncDirectory(DirectoryOf(path));
    return B_OK;
  }

  int16_t Open(const std::string& path, bool readOnly,
               std::unique_ptr<Table>* table) override {
    sqlite3* db = nullptr;
    bool storageReadOnly = false;
    (void)readOnly;  // the caller refuses writes; WAL readers need the -shm
    int16_t st = OpenDatabase(path, /*forWriting=*/true, &db, &storageReadOnly);
    if (st != B_OK) return st;
    FileInfo info;
    info.readOnly = storageReadOnly;
    st = ReadInfo(db, &info);
    if (st != B_OK) {
      sqlite3_close_v2(db);
      return st;
    }
    *table = NewSqliteTable(db, std::move(info));
    return B_OK;
  }

  int16_t CheckStorage(const std::string& path,
                       std::vector<std::string>* problems) override {
    int16_t st = Probe(path);
    if (st != B_OK) return st;
    sqlite3* db = nullptr;
    bool storageReadOnly = false;
    st = OpenDatabase(path, /*forWriting=*/false, &db, &storageReadOnly);
    if (st != B_OK) return st == B_ACCESS_DENIED ? st : B_IO_ERROR;
    sqlite3_stmt* s = nullptr;
    int rc = sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &s, nullptr);
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
        " CREATE TABLE zul_rec(pos INTEGER PRIMARY KEY AUTOINCREMENT, ver INTEGER NOT NULL,"
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
      rc = sqlite3_prepare_v2(db, "INSERT INTO zul_file VALUES('creation', ?1)", -1,
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
    std::string creation;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
      // A damaged file may hold NULL in either column: no name, no bytes.
      const unsigned char* text = sqlite3_column_text(s, 0);
      std::string name = text ? reinterpret_cast<const char*>(text) : "";
      const void* v = sqlite3_column_blob(s, 1);
      int n = v ? sqlite3_column_bytes(s, 1) : 0;
      if (!v) v = "";
      if (name == "creation") {
        creation.assign(static_cast<const char*>(v), size_t(n));
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
    int16_t st = ParseLayout(reinterpret_cast<const uint8_t*>(creation.data()),
                             uint32_t(creation.size()), &info->layout);
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

}  // namespace sqlite_internal

Engine& DefaultEngine() {
  static sqlite_internal::SqliteEngine engine;  // stateless
  return engine;
}

}  // namespace recman