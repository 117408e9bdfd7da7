// The engine of a data file: the suite found from the file's path, its
// Brol.ini setting, and where the file then lives (a file on disk, or the
// tables of the suite's schema on the server, named by the table name rule
// and quoted, whatever the names hold).
#include "recman/engine_choice.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/test_dir.h"
#include "recman/btrcall.h"
#include "recman/pg/pg_names.h"
#include "recman/record_manager.h"
#include "recman/test_engines.h"
#include "recman/recman_test_support.h"

namespace recman {
namespace {

using platform::TestDir;
using testing_support::CounterSpec;
using testing_support::Counter;
using testing_support::CounterKey;
using testing_support::CounterValue;
using testing_support::CreateFile;
using testing_support::EngineKind;
using testing_support::Handle;
using testing_support::ServerCommand;
using testing_support::TestServer;

bool OnDisk(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// The number of rows a query gives on the test server (-1 on failure).
long ServerRows(const std::string& sql) {
  PGconn* c = PQconnectdb(TestServer().c_str());
  long n = -1;
  if (PQstatus(c) == CONNECTION_OK) {
    PGresult* r = PQexec(c, sql.c_str());
    if (PQresultStatus(r) == PGRES_TUPLES_OK) n = PQntuples(r);
    PQclear(r);
  }
  PQfinish(c);
  return n;
}

std::string Literal(const std::string& s) {
  std::string out = "'";
  for (char c : s) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + "'";
}

TEST(SuiteOfTest, TheNearestBrolIniAboveTheFileNamesTheSuite) {
  TestDir dir;
  EXPECT_EQ(SuiteOf(dir.file("DADES/x.dat")).root, "");  // no suite: SQLite
  EXPECT_EQ(&EngineFor(dir.file("DADES/x.dat")), &DefaultEngine());

  dir.Write("Office/BROL.INI", "[BaseDades]\r\nConnexio=host=srv password=x\r\n");
  dir.Write("Office/DADES/.keep", "");
  SuiteSetting s = SuiteOf(dir.file("Office/DADES/PropietH.dat"));
  EXPECT_EQ(s.root, dir.file("Office"));
  EXPECT_EQ(s.connection, "host=srv password=x");
  EXPECT_EQ(s.schema, "office");  // the folder's name, small

  // Esquema names it; a Brol.ini nearer the file wins.
  dir.Write("Other/Brol.ini", "[BaseDades]\r\nConnexio=host=srv\r\nEsquema=Brol \"Nord\"\r\n");
  dir.Write("Other/DADES/Brol.ini", "[Administrador]\r\nLinia1=X\r\n");
  s = SuiteOf(dir.file("Other/DADES/a.dat"));
  EXPECT_EQ(s.root, dir.file("Other/DADES"));
  EXPECT_EQ(s.connection, "");
  s = SuiteOf(dir.file("Other/b.dat"));
  EXPECT_EQ(s.schema, "Brol \"Nord\"");

  // A relative path is taken from the current folder.
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  ASSERT_EQ(chdir(dir.file("Office").c_str()), 0);
  EXPECT_EQ(SuiteOf("DADES/PropietH.dat").root, dir.file("Office"));
  ASSERT_EQ(chdir(cwd), 0);
}

class ServerChoiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ZUL_REQUIRE_ENGINE(EngineKind::kServer);
    manager = RecmanState();
  }
  void TearDown() override {
    manager = RecmanState();
    for (const std::string& schema : schemas_)
      ServerCommand("DROP SCHEMA IF EXISTS " + pg::QuoteIdentifier(schema) + " CASCADE");
  }
  // A suite root ROOT in the test folder whose Brol.ini names the server
  // (with `extra` added to the connection string), with its schema made
  // unless make is false.
  std::string Suite(const std::string& root, const std::string& schema,
                    const std::string& extra = "", bool make = true) {
    std::string ini = "[BaseDades]\r\nConnexio=" + TestServer() + extra + "\r\n";
    if (!schema.empty()) ini += "Esquema=" + schema + "\r\n";
    dir_.Write(root + "/Brol.ini", ini);
    schemas_.push_back(schema);
    if (make) MakeSuiteStorage(dir_.file(root + "/DADES/any.dat"));
    return dir_.file(root);
  }
  TestDir dir_;
  std::vector<std::string> schemas_;
};

TEST_F(ServerChoiceTest, DataFilesOfAServerSuiteAreTablesOfItsSchemaNotFiles) {
  std::string root = Suite("Brol", "zul choice " + dir_.path().substr(dir_.path().size() - 7, 6));
  std::string path = root + "/DADES/PropietH.dat";
  ASSERT_EQ(CreateFile(path, CounterSpec()), 0);
  EXPECT_FALSE(OnDisk(path));
  EXPECT_FALSE(OnDisk(path + ".lck"));
  EXPECT_EQ(ServerRows("SELECT 1 FROM pg_tables WHERE schemaname = " + Literal(schemas_[0]) +
                       " AND tablename = 'dades/propieth.dat'"),
            1);
  Handle h;
  ASSERT_EQ(h.Open(path), 0);
  ASSERT_EQ(h.Insert(Counter(7, 70)), 0);
  // Another capitalisation of the same name is the same file.
  Handle other;
  ASSERT_EQ(other.Open(root + "/dades/PROPIETH.DAT"), 0);
  ASSERT_EQ(other.Get(B_GET_EQUAL, 0, CounterKey(7)), 0);
  EXPECT_EQ(CounterValue(other), 70u);
  EXPECT_EQ(CreateFile(root + "/DADES/propieth.dat", CounterSpec()), B_FILE_EXISTS);
}

TEST_F(ServerChoiceTest, TwoSuitesOnOneServerKeepTheirFilesApart) {
  std::string tag = dir_.path().substr(dir_.path().size() - 7, 6);
  std::string a = Suite("A", "zul a " + tag), b = Suite("B", "zul b " + tag);
  ASSERT_EQ(CreateFile(a + "/DADES/F.dat", CounterSpec()), 0);
  ASSERT_EQ(CreateFile(b + "/DADES/F.dat", CounterSpec()), 0);
  Handle ha, hb;
  ASSERT_EQ(ha.Open(a + "/DADES/F.dat"), 0);
  ASSERT_EQ(hb.Open(b + "/DADES/F.dat"), 0);
  ASSERT_EQ(ha.Insert(Counter(1, 11)), 0);
  EXPECT_EQ(hb.Get(B_GET_FIRST, 0), B_END_OF_FILE);
  // Their locks are apart too: the same position in both.
  ASSERT_EQ(hb.Insert(Counter(1, 22)), 0);
  ASSERT_EQ(ha.Get(B_GET_FIRST + B_LOCK_SINGLE_NOWAIT, 0), 0);
  EXPECT_EQ(hb.Get(B_GET_FIRST + B_LOCK_SINGLE_NOWAIT, 0), 0);
}

// Names that would break SQL spliced as text: quotes, semicolons, blanks,
// accents, a comment mark; and two long names that share their first
// bytes. Everything works and lands in the tables the rule names.
TEST_F(ServerChoiceTest, AwkwardSchemaAndFileNamesAreQuotedNotSpliced) {
  std::string tag = dir_.path().substr(dir_.path().size() - 7, 6);
  // (A ";" would start a comment in Brol.ini, so the schema has none.)
  std::string schema = "Brol \"de\" l'\xB7lex -- " + tag + " DROP SCHEMA public";  // cp850 À
  std::string root = Suite("Root", schema);
  schemas_[0] = "Brol \"de\" l'\xC3\x80lex -- " + tag + " DROP SCHEMA public";  // as UTF-8
  std::vector<std::string> names = {
      "DADES/Pro\"piet' H;drop table x.dat",
      "DADES/" + std::string(70, 'L') + "1.dat",
      "DADES/" + std::string(70, 'L') + "2.dat",
  };
  uint32_t id = 1;
  for (const std::string& n : names) {
    SCOPED_TRACE(n);
    std::string path = root + "/" + n;
    ASSERT_EQ(CreateFile(path, CounterSpec()), 0);
    Handle h;
    ASSERT_EQ(h.Open(path), 0);
    ASSERT_EQ(h.Insert(Counter(id, id * 10)), 0);
    ASSERT_EQ(h.Get(B_GET_FIRST, 0), 0);
    EXPECT_EQ(CounterValue(h), id * 10);
    EXPECT_EQ(h.Step(B_GET_NEXT, 0), B_END_OF_FILE);  // each file has its own record
    ++id;
  }
  EXPECT_EQ(ServerRows("SELECT 1 FROM pg_tables WHERE schemaname = " + Literal(schemas_[0])), 4);
  EXPECT_EQ(ServerRows("SELECT 1 FROM pg_namespace WHERE nspname = 'public'"), 1);
  EXPECT_EQ(ServerRows("SELECT 1 FROM pg_tables WHERE schemaname = " + Literal(schemas_[0]) +
                       " AND tablename = " +
                       Literal(pg::TableName(names[0]))),
            1);
}

// A schema the server would cut (two such names would meet in one schema)
// is refused with 11 by every operation; a schema that does not exist is
// not made by Create (35), only by MakeSuiteStorage.
TEST_F(ServerChoiceTest, ASchemaTooLongOrMissingIsRefusedNotCutOrMade) {
  std::string tag = dir_.path().substr(dir_.path().size() - 7, 6);
  const std::string longest = "zul " + tag + " " + std::string(63 - 5 - tag.size(), 'x');
  ASSERT_EQ(longest.size(), 63u);
  const struct {
    const char* root;
    std::string schema;
    int16_t create;  // Create's status before MakeSuiteStorage
    int16_t make;    // MakeSuiteStorage's
  } kCases[] = {
      {"Long", longest + "y", B_INVALID_FILE_NAME, B_INVALID_FILE_NAME},
      {"Longer", longest + "\xA0\xA0", B_INVALID_FILE_NAME, B_INVALID_FILE_NAME},  // cp850 á
      {"Missing", "zul missing " + tag, B_DIRECTORY_ERROR, B_OK},
      {"Longest", longest, B_DIRECTORY_ERROR, B_OK},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.root);
    std::string path = Suite(c.root, c.schema, "", /*make=*/false) + "/DADES/F.dat";
    EXPECT_EQ(SchemaNameTooLong(SuiteOf(path)), c.create == B_INVALID_FILE_NAME);
    EXPECT_EQ(CreateFile(path, CounterSpec()), c.create);
    Handle h;
    EXPECT_EQ(h.Open(path), c.create);
    EXPECT_EQ(ServerRows("SELECT 1 FROM pg_namespace WHERE nspname LIKE " +
                         Literal("%" + c.schema.substr(0, 40) + "%")),
              0);
    EXPECT_EQ(MakeSuiteStorage(path), c.make);
    if (c.make != B_OK) continue;
    EXPECT_EQ(CreateFile(path, CounterSpec()), 0);
    EXPECT_EQ(h.Open(path), 0);
  }
}

// Whatever a call did, failed writes included, no server transaction stays
// open after it returns; inside Begin/End Transaction one does, and End
// closes it.
TEST_F(ServerChoiceTest, NoTransactionStaysOpenBetweenCalls) {
  std::string tag = dir_.path().substr(dir_.path().size() - 7, 6);
  std::string app = "zulidle" + tag;
  std::string root = Suite("Idle", "zul idle " + tag, " application_name=" + app);
  auto open = [&](const char* state) {
    return ServerRows("SELECT 1 FROM pg_stat_activity WHERE application_name = " + Literal(app) +
                      " AND state = " + Literal(state));
  };
  std::string path = root + "/DADES/F.dat";
  ASSERT_EQ(CreateFile(path, CounterSpec()), 0);
  Handle h, other;
  ASSERT_EQ(h.Open(path), 0);
  ASSERT_EQ(other.Open(path), 0);
  ASSERT_EQ(h.Insert(Counter(1, 1)), 0);
  EXPECT_EQ(h.Insert(Counter(1, 2)), B_DUPLICATE_KEY);
  ASSERT_EQ(h.Get(B_GET_FIRST, 0), 0);
  ASSERT_EQ(other.Get(B_GET_FIRST, 0), 0);
  ASSERT_EQ(other.Update(Counter(1, 3)), 0);
  EXPECT_EQ(h.Update(Counter(1, 4)), B_CONFLICT);
  EXPECT_EQ(h.Delete(), B_CONFLICT);
  ASSERT_EQ(h.Get(B_GET_FIRST + B_LOCK_SINGLE_NOWAIT, 0), 0);
  EXPECT_EQ(other.Delete(), B_RECORD_LOCKED);
  EXPECT_EQ(open("idle in transaction"), 0);
  EXPECT_EQ(open("idle in transaction (aborted)"), 0);
  EXPECT_EQ(open("idle"), 1);  // one connection for the whole process

  ASSERT_EQ(h.Call(B_BEGIN_TRANSACTION, "", "", 0), 0);
  ASSERT_EQ(h.Insert(Counter(2, 2)), 0);
  EXPECT_EQ(h.Insert(Counter(2, 9)), B_DUPLICATE_KEY);  // fails alone
  EXPECT_EQ(open("idle in transaction"), 1);
  ASSERT_EQ(h.Call(B_END_TRANSACTION, "", "", 0), 0);
  EXPECT_EQ(open("idle in transaction"), 0);
  ASSERT_EQ(other.Get(B_GET_EQUAL, 0, CounterKey(2)), 0);
  ASSERT_EQ(other.Call(B_STAT, "", "", 0, 512), 0);
  EXPECT_EQ(platform::DecodeFixed32(other.data.data() + FS_RECORD_COUNT), 2u);
}

}  // namespace
}  // namespace recman
