// recman_bench: BTRCALL against the same loops written directly on SQLite.
//
//   recman_bench DIR [RECORDS]
//
// Builds (once; kept in DIR for later runs) a data file of RECORDS records
// (default 1,000,000) of 100 bytes with a unique two-segment key (community
// u16 at 1, department u32 at 3, both unsigned little-endian), and a plain
// SQLite database with the same records: a table with a blob key (the two
// numbers big-endian) under a unique index. Then it times, three times each,
// alternating:
//   next   Get First + Get Next along the key over every record, against
//          the direct loop "SELECT ... WHERE k > ?last ORDER BY k LIMIT 1"
//          (one indexed seek per record, as BTRCALL does: no statement or
//          transaction is kept open between records);
//   equal  Get Equal on 200,000 random keys, against "SELECT ... WHERE k = ?".
// Both sides use prepared statements, WAL and synchronous=NORMAL, and copy
// each record into a caller's buffer. The direct loops run twice: each
// statement in its own read transaction, and all of them inside one held
// read transaction (BEGIN ... COMMIT around the loop), the state BTRCALL
// reaches while nothing changes (recman/held_reads.cpp). It prints
// operations per second (the median of the three timings) and, last, the
// line
//   btrcall_vs_sqlite next=R equal=R held_next=R held_equal=R
// with the ratios BTRCALL rate / SQLite rate, per statement and held. With
// a server (ZULPG_BENCH_CONNINFO) the same loops run on a server suite
// against libpq loops, and the walk also against a libpq cursor fetching
// 512 rows a round trip: pg_vs_libpq next=R equal=R next_vs_cursor=R.
#include <libpq-fe.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/coding.h"
#include "recman/btrcall.h"
#include "recman/engine_choice.h"
#include "platform/env.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "recman/key_layout.h"
#include "recman/pg/pg_names.h"

using namespace recman;

namespace {

constexpr uint32_t kRecordLength = 100;
constexpr uint32_t kDepartments = 1000;
constexpr int kEqualLookups = 200000;

double Now() {
  return std::chrono::duration<double>(
             std::chrono::steady_clock::now().time_since_epoch()).count();
}

void MakeRecord(uint32_t i, uint8_t* r) {
  std::memset(r, ' ', kRecordLength);
  platform::EncodeFixed16(r, uint16_t(i / kDepartments + 1));
  platform::EncodeFixed32(r + 2, i % kDepartments + 1);
  std::snprintf(reinterpret_cast<char*>(r) + 6, 40, "Propietari numero %u", i);
}

void BigEndianKey(const uint8_t* r, uint8_t* k) {
  k[0] = r[1]; k[1] = r[0];
  k[2] = r[5]; k[3] = r[4]; k[4] = r[3]; k[5] = r[2];
}

int16_t Call(uint16_t op, uint8_t* block, void* data, uint32_t len, void* key,
             int16_t keyNumber = 0) {
  return BTRCALL(op, block, data, &len, key, 255, keyNumber);
}

bool BuildRecman(const std::string& path, uint32_t n, const std::vector<uint32_t>& order) {
  std::string creation = EncodeLayout(kRecordLength, 4096, 0,
      {{SegmentDef{1, 2, KF_EXTENDED_TYPE | KF_BINARY, XT_UNSIGNED_BINARY, 0, 0},
        SegmentDef{3, 4, KF_EXTENDED_TYPE | KF_BINARY, XT_UNSIGNED_BINARY, 0, 0}}},
      {});
  uint8_t block[128] = {};
  char key[256] = {};
  std::snprintf(key, sizeof key, "%s", path.c_str());
  std::vector<uint8_t> data(1536, 0);
  std::memcpy(data.data(), creation.data(), creation.size());
  int16_t st = Call(B_CREATE, block, data.data(), 1536, key, B_CREATE_REPLACE);
  if (st == 0) st = Call(B_OPEN, block, data.data(), 0, key, 0);
  if (st != 0) {
    std::fprintf(stderr, "create/open status %d\n", st);
    return false;
  }
  uint8_t r[kRecordLength], k[256];
  for (uint32_t i = 0; i < n && st == 0; ++i) {
    if (i % 10000 == 0) st = Call(B_BEGIN_TRANSACTION, block, nullptr, 0, nullptr);
    MakeRecord(order[i], r);
    if (st == 0) st = Call(B_INSERT, block, r, kRecordLength, k, -1);
    if (st == 0 && (i % 10000 == 9999 || i + 1 == n))
      st = Call(B_END_TRANSACTION, block, nullptr, 0, nullptr);
  }
  Call(B_CLOSE, block, nullptr, 0, nullptr);
  if (st != 0) std::fprintf(stderr, "insert status %d\n", st);
  return st == 0;
}

sqlite3* OpenSqlite(const std::string& path, bool create) {
  sqlite3* db = nullptr;
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
  if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) return nullptr;
  sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
  return db;
}

bool BuildSqlite(const std::string& path, uint32_t n, const std::vector<uint32_t>& order) {
  platform::RemoveFile(path);
  sqlite3* db = OpenSqlite(path, true);
  if (!db) return false;
  sqlite3_exec(db, "CREATE TABLE t(id INTEGER PRIMARY KEY, k BLOB NOT NULL, data BLOB NOT NULL);"
                   "CREATE UNIQUE INDEX t_k ON t(k); BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* ins = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO t(k, data) VALUES(?1, ?2)", -1, &ins, nullptr);
  uint8_t r[kRecordLength], k[6];
  bool ok = true;
  for (uint32_t i = 0; i < n && ok; ++i) {
    MakeRecord(order[i], r);
    BigEndianKey(r, k);
    sqlite3_bind_blob(ins, 1, k, 6, SQLITE_STATIC);
    sqlite3_bind_blob(ins, 2, r, kRecordLength, SQLITE_STATIC);
    ok = sqlite3_step(ins) == SQLITE_DONE;
    sqlite3_reset(ins);
  }
  sqlite3_finalize(ins);
  ok = ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db);
  return ok;
}

// ---- the timed loops; each returns operations per second (0 on failure) ----

double RecmanNext(const std::string& path, uint32_t n) {
  uint8_t block[128] = {};
  char key[256] = {};
  std::snprintf(key, sizeof key, "%s", path.c_str());
  if (Call(B_OPEN, block, nullptr, 0, key) != 0) return 0;
  uint8_t data[1536], k[256] = {};
  double t0 = Now();
  uint32_t count = 0;
  int16_t st = Call(B_GET_FIRST, block, data, sizeof data, k);
  while (st == 0) {
    ++count;
    st = Call(B_GET_NEXT, block, data, sizeof data, k);
  }
  double t = Now() - t0;
  Call(B_CLOSE, block, nullptr, 0, nullptr);
  return (st == B_END_OF_FILE && count == n) ? count / t : 0;
}

// With held, the loop runs inside one read transaction.
double SqliteNext(sqlite3* db, uint32_t n, bool held) {
  sqlite3_stmt* s = nullptr;
  sqlite3_prepare_v3(db, "SELECT id, k, data FROM t WHERE k > ?1 ORDER BY k LIMIT 1", -1,
                     SQLITE_PREPARE_PERSISTENT, &s, nullptr);
  uint8_t data[1536], last[256];
  int lastLen = 0;
  double t0 = Now();
  if (held) sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  uint32_t count = 0;
  for (;;) {
    sqlite3_bind_blob(s, 1, last, lastLen, SQLITE_STATIC);
    if (sqlite3_step(s) != SQLITE_ROW) break;
    lastLen = sqlite3_column_bytes(s, 1);
    std::memcpy(last, sqlite3_column_blob(s, 1), size_t(lastLen));
    std::memcpy(data, sqlite3_column_blob(s, 2), size_t(sqlite3_column_bytes(s, 2)));
    sqlite3_reset(s);
    ++count;
  }
  sqlite3_reset(s);
  if (held) sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  double t = Now() - t0;
  sqlite3_finalize(s);
  return count == n ? count / t : 0;
}

double RecmanEqual(const std::string& path, const std::vector<uint32_t>& probes) {
  uint8_t block[128] = {};
  char key[256] = {};
  std::snprintf(key, sizeof key, "%s", path.c_str());
  if (Call(B_OPEN, block, nullptr, 0, key) != 0) return 0;
  uint8_t data[1536], r[kRecordLength], k[256];
  double t0 = Now();
  for (uint32_t i : probes) {
    MakeRecord(i, r);
    std::memcpy(k, r, 6);
    if (Call(B_GET_EQUAL, block, data, sizeof data, k) != 0) return 0;
  }
  double t = Now() - t0;
  Call(B_CLOSE, block, nullptr, 0, nullptr);
  return probes.size() / t;
}

double SqliteEqual(sqlite3* db, const std::vector<uint32_t>& probes, bool held) {
  sqlite3_stmt* s = nullptr;
  sqlite3_prepare_v3(db, "SELECT id, k, data FROM t WHERE k = ?1", -1,
                     SQLITE_PREPARE_PERSISTENT, &s, nullptr);
  uint8_t data[1536], r[kRecordLength], k[6], key[6];
  double t0 = Now();
  if (held) sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  for (uint32_t i : probes) {
    MakeRecord(i, r);
    BigEndianKey(r, k);
    sqlite3_bind_blob(s, 1, k, 6, SQLITE_STATIC);
    if (sqlite3_step(s) != SQLITE_ROW) {
      sqlite3_finalize(s);
      if (held) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
      return 0;
    }
    std::memcpy(key, sqlite3_column_blob(s, 1), 6);
    std::memcpy(data, sqlite3_column_blob(s, 2), size_t(sqlite3_column_bytes(s, 2)));
    sqlite3_reset(s);
  }
  if (held) sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  double t = Now() - t0;
  sqlite3_finalize(s);
  return probes.size() / t;
}

// ---- the server ---------------------------------------------------------

// The number of records of a data file (Stat), or -1 when it cannot be
// opened.
long RecordsIn(const std::string& path) {
  uint8_t block[128] = {};
  char key[256] = {};
  std::snprintf(key, sizeof key, "%s", path.c_str());
  if (Call(B_OPEN, block, nullptr, 0, key) != 0) return -1;
  uint8_t stat[1536];
  uint32_t len = sizeof stat;
  int16_t st = BTRCALL(B_STAT, block, stat, &len, key, 255, 0);
  Call(B_CLOSE, block, nullptr, 0, nullptr);
  return st == 0 ? long(platform::DecodeFixed32(stat + FS_RECORD_COUNT)) : -1;
}

// A prepared statement of the direct loops, with one bytea parameter.
struct PgLoop {
  PGconn* conn = nullptr;
  std::string name;
  bool Prepare(PGconn* c, const std::string& n, const std::string& sql) {
    conn = c;
    name = n;
    const Oid bytea = 17;
    PGresult* r = PQprepare(c, n.c_str(), sql.c_str(), 1, &bytea);
    bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
    PQclear(r);
    return ok;
  }
  // Runs it with the key; copies the row's data and key; false without one.
  bool Row(const uint8_t* key, int keyLength, uint8_t* data, uint8_t* keyOut) {
    const char* values[] = {reinterpret_cast<const char*>(key)};
    const int lengths[] = {keyLength};
    const int formats[] = {1};
    PGresult* r = PQexecPrepared(conn, name.c_str(), 1, values, lengths, formats, 1);
    bool ok = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1;
    if (ok) {
      std::memcpy(data, PQgetvalue(r, 0, 2), size_t(PQgetlength(r, 0, 2)));
      std::memcpy(keyOut, PQgetvalue(r, 0, 3), size_t(PQgetlength(r, 0, 3)));
    }
    PQclear(r);
    return ok;
  }
};

// The walk along the key written directly on libpq with a cursor that
// fetches 512 rows a round trip, each row's data and key copied as the
// record manager copies them.
double LibpqCursorNext(PGconn* c, const std::string& table, uint32_t n) {
  uint8_t data[1536], key[6];
  double t0 = Now();
  uint32_t count = 0;
  auto run = [&](const char* sql) {
    PGresult* r = PQexec(c, sql);
    bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
    PQclear(r);
    return ok;
  };
  const std::string declare =
      "DECLARE walk BINARY NO SCROLL CURSOR FOR SELECT pos, ver, data, k0 FROM " + table +
      " WHERE k0 IS NOT NULL ORDER BY k0";
  if (!run("BEGIN READ ONLY") || !run(declare.c_str())) return 0;
  for (;;) {
    PGresult* r = PQexecParams(c, "FETCH 512 FROM walk", 0, nullptr, nullptr, nullptr, nullptr, 1);
    if (PQresultStatus(r) != PGRES_TUPLES_OK) {
      PQclear(r);
      return 0;
    }
    int rows = PQntuples(r);
    for (int i = 0; i < rows; ++i) {
      std::memcpy(data, PQgetvalue(r, i, 2), size_t(PQgetlength(r, i, 2)));
      std::memcpy(key, PQgetvalue(r, i, 3), std::min<size_t>(sizeof key, size_t(PQgetlength(r, i, 3))));
      ++count;
    }
    PQclear(r);
    if (rows < 512) break;
  }
  if (!run("COMMIT")) return 0;
  double t = Now() - t0;
  return count == n ? count / t : 0;
}

double LibpqNext(PgLoop& loop, uint32_t n) {
  uint8_t data[1536], last[6] = {};
  double t0 = Now();
  uint32_t count = 0;
  // The first key is above every image but the empty one: start below all.
  uint8_t below[1] = {0};
  bool more = loop.Row(below, 0, data, last);
  while (more) {
    ++count;
    more = loop.Row(last, 6, data, last);
  }
  double t = Now() - t0;
  return count == n ? count / t : 0;
}

double LibpqEqual(PgLoop& loop, const std::vector<uint32_t>& probes) {
  uint8_t data[1536], r[kRecordLength], k[6], key[6];
  double t0 = Now();
  for (uint32_t i : probes) {
    MakeRecord(i, r);
    BigEndianKey(r, k);
    if (!loop.Row(k, 6, data, key) || std::memcmp(k, key, 6) != 0) return 0;
  }
  return probes.size() / (Now() - t0);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: recman_bench DIR [RECORDS]\n");
    return 2;
  }
  std::string dir = argv[1];
  uint32_t n = argc > 2 ? uint32_t(std::strtoul(argv[2], nullptr, 10)) : 1000000;
  std::string tag = "v2-" + std::to_string(n);  // v2: the data file's format
  std::string recPath = dir + "/bench" + tag + ".dat";
  std::string sqlPath = dir + "/bench" + tag + ".sqlite";

  std::vector<uint32_t> order(n);
  for (uint32_t i = 0; i < n; ++i) order[i] = i;
  std::mt19937 rng(12345);
  std::shuffle(order.begin(), order.end(), rng);
  if (!platform::PathExists(recPath + ".ready")) {
    std::printf("building %u records (once)...\n", n);
    std::fflush(stdout);
    double t0 = Now();
    if (!BuildRecman(recPath, n, order)) return 1;
    double t1 = Now();
    if (!BuildSqlite(sqlPath, n, order)) return 1;
    std::printf("load: btrcall %.0f inserts/s (transactions of 10000), sqlite %.0f inserts/s\n",
                n / (t1 - t0), n / (Now() - t1));
    platform::TouchFile(recPath + ".ready");
  }
  std::vector<uint32_t> probes(kEqualLookups);
  for (uint32_t& p : probes) p = rng() % n;

  // The server suite: its Brol.ini names the server, its file is a table.
  const std::string conninfo = platform::GetEnv("ZULPG_BENCH_CONNINFO");
  const std::string pgRoot = dir + "/pgsuite";
  const std::string pgPath = pgRoot + "/DADES/bench" + tag + ".dat";
  PGconn* pg = nullptr;
  PgLoop pgNext, pgEqual;
  std::string pgTable;
  if (!conninfo.empty()) {
    platform::MakeDirs(pgRoot);
    platform::WriteFile(pgRoot + "/Brol.ini",
                        "[BaseDades]\r\nConnexio=" + conninfo + "\r\nEsquema=bench\r\n");
    if (recman::MakeSuiteStorage(pgPath) != 0) {
      std::fprintf(stderr, "cannot make the schema bench on the server\n");
      return 1;
    }
    if (RecordsIn(pgPath) != long(n)) {
      std::printf("loading %u records into the server (once)...\n", n);
      std::fflush(stdout);
      double t0 = Now();
      if (!BuildRecman(pgPath, n, order)) return 1;
      std::printf("load: btrcall on the server %.0f inserts/s (transactions of 10000)\n",
                  n / (Now() - t0));
    }
    pg = PQconnectdb(conninfo.c_str());
    if (PQstatus(pg) != CONNECTION_OK) {
      std::fprintf(stderr, "cannot connect to the server: %s\n", PQerrorMessage(pg));
      return 1;
    }
    std::string table = pg::QuoteIdentifier("bench") + "." +
                        pg::QuoteIdentifier(pg::TableName("DADES/bench" + tag + ".dat"));
    pgTable = table;
    std::string cols = "SELECT pos, ver, data, k0 FROM " + table + " WHERE ";
    if (!pgNext.Prepare(pg, "next", cols + "k0 > $1 ORDER BY k0 LIMIT 1") ||
        !pgEqual.Prepare(pg, "equal", cols + "k0 >= $1 ORDER BY k0 LIMIT 1")) {
      std::fprintf(stderr, "cannot prepare: %s\n", PQerrorMessage(pg));
      return 1;
    }
  }

  sqlite3* db = OpenSqlite(sqlPath, false);
  if (!db) return 1;
  std::vector<double> rn, sn, hn, re, se, he, pn, ln, pe, le, lc;
  // The server loops get a tenth of the lookups: each is a round trip.
  std::vector<uint32_t> pgProbes(probes.begin(), probes.begin() + probes.size() / 10);
  for (int round = 0; round < 3; ++round) {
    rn.push_back(RecmanNext(recPath, n));
    sn.push_back(SqliteNext(db, n, false));
    hn.push_back(SqliteNext(db, n, true));
    re.push_back(RecmanEqual(recPath, probes));
    se.push_back(SqliteEqual(db, probes, false));
    he.push_back(SqliteEqual(db, probes, true));
    if (pg) {
      pn.push_back(RecmanNext(pgPath, n));
      ln.push_back(LibpqNext(pgNext, n));
      lc.push_back(LibpqCursorNext(pg, pgTable, n));
      pe.push_back(RecmanEqual(pgPath, pgProbes));
      le.push_back(LibpqEqual(pgEqual, pgProbes));
    }
  }
  sqlite3_close(db);
  PQfinish(pg);
  double a = Median(rn), b = Median(sn), bh = Median(hn);
  double c = Median(re), d = Median(se), dh = Median(he);
  if (a == 0 || b == 0 || bh == 0 || c == 0 || d == 0 || dh == 0) {
    std::fprintf(stderr, "a timed loop failed\n");
    return 1;
  }
  std::printf("get next:  btrcall %.0f ops/s, sqlite %.0f ops/s, sqlite held %.0f ops/s\n",
              a, b, bh);
  std::printf("get equal: btrcall %.0f ops/s, sqlite %.0f ops/s, sqlite held %.0f ops/s\n",
              c, d, dh);
  std::string pgSummary;
  if (!pn.empty()) {
    double e = Median(pn), f = Median(ln), g = Median(pe), h = Median(le), k = Median(lc);
    if (e == 0 || f == 0 || g == 0 || h == 0 || k == 0) {
      std::fprintf(stderr, "a timed server loop failed\n");
      return 1;
    }
    std::printf("server get next:  btrcall %.0f ops/s, libpq %.0f ops/s, libpq cursor"
                " (FETCH 512) %.0f rows/s\n", e, f, k);
    std::printf("server get equal: btrcall %.0f ops/s, libpq %.0f ops/s\n", g, h);
    char buf[128];
    std::snprintf(buf, sizeof buf, " pg_vs_libpq next=%.2f equal=%.2f next_vs_cursor=%.2f", e / f,
                  g / h, e / k);
    pgSummary = buf;
  }
  std::printf("btrcall_vs_sqlite next=%.2f equal=%.2f held_next=%.2f held_equal=%.2f%s\n",
              a / b, c / d, a / bh, c / dh, pgSummary.c_str());
  return 0;
}
