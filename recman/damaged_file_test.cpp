// Data files damaged inside their SQLite storage, as the fuzzer made them:
// opening one gives a status, never a crash.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "platform/test_dir.h"
#include "recman/btrcall.h"
#include "recman/key_layout.h"
#include "recman/record_manager.h"
#include "recman/recman_test_support.h"

namespace recman {
namespace {

using testing_support::CreateFile;
using testing_support::Handle;
using testing_support::Seg;

// Runs one statement on the data file's SQLite database, as a damaged disk
// page would change it.
void Damage(const std::string& path, const char* sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  sqlite3_close(db);
}

class DamagedFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    manager = RecmanState();
    path_ = dir_.file("d.dat");
    ASSERT_EQ(CreateFile(path_, EncodeLayout(8, 4096, 0, {{Seg(1, 2)}}, {})), 0);
  }
  void TearDown() override { manager = RecmanState(); }
  platform::TestDir dir_;
  std::string path_;
};

TEST_F(DamagedFileTest, ANullNameInTheFileTableGivesAStatus) {
  // The fuzzer damaged a cell pointer of the file table's page so that
  // SQLite read a row whose name is NULL; opening the file then threw out of
  // the record manager. The name column cannot hold NULL in a sound file,
  // so the table is rebuilt without that rule to hold the same row.
  Damage(path_,
         "ALTER TABLE zul_file RENAME TO sound;"
         " CREATE TABLE zul_file(name, value);"
         " INSERT INTO zul_file SELECT name, value FROM sound; DROP TABLE sound;"
         " UPDATE zul_file SET name = NULL, value = NULL WHERE name = 'creation';");
  Handle h;
  EXPECT_EQ(h.Open(path_), B_NOT_A_DATA_FILE);  // no layout: not a data file
}

TEST_F(DamagedFileTest, ANullOwnerReadsAsNoOwner) {
  Damage(path_, "UPDATE zul_file SET value = NULL WHERE name = 'owner'");
  Handle h;
  EXPECT_EQ(h.Open(path_), 0);
  EXPECT_EQ(h.Insert(std::string("ab345678")), 0);
}

}  // namespace
}  // namespace recman
