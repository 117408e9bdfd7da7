// Test support: the two engines the record manager's tests run against.
//
// The server tests need a PostgreSQL server: its connection string in
// ZULPG_TEST_CONNINFO (scripts/test starts a throwaway cluster and sets
// it). Without it they are skipped with a note, unless ZULPG_TEST_REQUIRED
// is 1 (scripts/test sets it), when they fail.
//
// A TestSuite is a suite root in a test's temporary folder. For the SQLite
// engine it is the bare folder (no Brol.ini above it: files are SQLite
// files); for the server its Brol.ini names the server and a schema of the
// test's own (the folder's name), made by the TestSuite as the tools that
// make a suite do, and dropped again when the TestSuite goes.
#pragma once

#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <string>

#include "platform/env.h"
#include "platform/files.h"
#include "platform/test_dir.h"
#include "recman/engine_choice.h"
#include "recman/pg/pg_names.h"

namespace recman {
namespace testing_support {

enum class EngineKind { kSqlite, kServer };

inline std::string EngineName(const ::testing::TestParamInfo<EngineKind>& info) {
  return info.param == EngineKind::kSqlite ? "Sqlite" : "Server";
}

inline std::string TestServer() { return platform::GetEnv("ZULPG_TEST_CONNINFO"); }

// Runs SQL on the test server through a connection of its own; true on
// success.
inline bool ServerCommand(const std::string& sql) {
  PGconn* c = PQconnectdb(TestServer().c_str());
  bool ok = PQstatus(c) == CONNECTION_OK;
  if (ok) {
    PQsetNoticeProcessor(c, [](void*, const char*) {}, nullptr);
    PGresult* r = PQexec(c, sql.c_str());
    ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
    PQclear(r);
  }
  PQfinish(c);
  return ok;
}

class TestSuite {
 public:
  TestSuite(const platform::TestDir& dir, EngineKind kind) : dir_(dir), kind_(kind) {
    if (kind_ != EngineKind::kServer) return;
    std::string folder = dir_.path().substr(0, dir_.path().size() - 1);
    schema_ = folder.substr(folder.find_last_of('/') + 1);
    dir_.Write("Brol.ini", "[BaseDades]\r\nConnexio=" + TestServer() + "\r\nEsquema=" +
                               schema_ + "\r\n");
    platform::MakeDirs(dir_.file("DADES"));  // where the files' lock files go
    if (!TestServer().empty()) MakeSuiteStorage(File("any.dat"));
  }
  ~TestSuite() {
    if (kind_ == EngineKind::kServer && !TestServer().empty())
      ServerCommand("DROP SCHEMA IF EXISTS " + pg::QuoteIdentifier(schema_) + " CASCADE");
  }

  // Skips (or fails, see above) a server test without a server; call from
  // SetUp before anything else.
  static bool Unavailable(EngineKind kind) {
    return kind == EngineKind::kServer && TestServer().empty();
  }

  // The native path of a data file of the suite.
  std::string File(const std::string& name) const {
    return kind_ == EngineKind::kServer ? dir_.file("DADES/" + name) : dir_.file(name);
  }
  const std::string& schema() const { return schema_; }
  EngineKind kind() const { return kind_; }

 private:
  const platform::TestDir& dir_;
  EngineKind kind_;
  std::string schema_;
};

}  // namespace testing_support
}  // namespace recman

// In SetUp of a test parameterised by EngineKind: skips a server test when
// no server is given, or fails it when scripts/test asked for the server.
#define ZUL_REQUIRE_ENGINE(kind)                                                          \
  do {                                                                                    \
    if (::recman::testing_support::TestSuite::Unavailable(kind)) {                        \
      if (::platform::GetEnv("ZULPG_TEST_REQUIRED") == "1")                               \
        FAIL() << "ZULPG_TEST_CONNINFO is not set but the server tests are required";     \
      GTEST_SKIP() << "no test server: set ZULPG_TEST_CONNINFO (scripts/test does)";     \
    }                                                                                     \
  } while (0)
