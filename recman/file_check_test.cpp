// The integrity check finds what a damaged or tampered file hides: records
// whose key entries no longer match them, and a wrong record count.
#include "recman/file_check.h"

#include <gtest/gtest.h>

#include "platform/test_dir.h"
#include "recman/btrcall.h"
#include "recman/record_manager.h"
#include "recman/recman_test_support.h"

namespace recman {
namespace {

using testing_support::CreateFile;
using testing_support::Handle;
using testing_support::Seg;
using platform::TestDir;

bool Mentions(const CheckResult& r, const std::string& text) {
  for (const std::string& p : r.problems)
    if (p.find(text) != std::string::npos) return true;
  return false;
}

class FileCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    manager = RecmanState();
    path_ = dir_.file("c.dat");
    std::string layout =
        EncodeLayout(4, 512, 0, {{Seg(1, 2)}, {Seg(3, 2, KF_DUPLICATES)}}, {});
    ASSERT_EQ(CreateFile(path_, layout), 0);
    Handle h;
    ASSERT_EQ(h.Open(path_), 0);
    ASSERT_EQ(h.Insert("AAxx"), 0);
    ASSERT_EQ(h.Insert("BByy"), 0);
    ASSERT_EQ(h.Insert("CCxx"), 0);
    manager = RecmanState();
  }
  void TearDown() override { manager = RecmanState(); }

  // Changes the file behind the record manager's back.
  void Sql(const std::string& sql) {
    std::string cmd = "sqlite3 '" + path_ + "' \"" + sql + "\"";
    ASSERT_EQ(system(cmd.c_str()), 0) << cmd;
  }

  TestDir dir_;
  std::string path_;
};

TEST_F(FileCheckTest, ASoundFilePasses) {
  CheckResult r;
  ASSERT_EQ(CheckDataFile(path_, &r), 0);
  EXPECT_TRUE(r.problems.empty()) << r.problems.front();
  EXPECT_EQ(r.records, 3u);
}

TEST_F(FileCheckTest, RecordChangedWithoutItsKeysIsReported) {
  Sql("UPDATE zul_rec SET data = CAST('ZZxx' AS BLOB) WHERE pos = 2");
  CheckResult r;
  ASSERT_EQ(CheckDataFile(path_, &r), 0);
  EXPECT_TRUE(Mentions(r, "key 0: record at position 2: entry does not match"));
}

TEST_F(FileCheckTest, MissingEntryDuplicateAndCountAreReported) {
  Sql("UPDATE zul_rec SET k1 = NULL WHERE pos = 3; "
      "UPDATE zul_rec SET data = CAST('AAyy' AS BLOB), k0 = x'414100000002' WHERE pos = 2; "
      "UPDATE zul_file SET value = 7 WHERE name = 'records'");
  CheckResult r;
  ASSERT_EQ(CheckDataFile(path_, &r), 0);
  EXPECT_TRUE(Mentions(r, "key 1: 2 entries for 3 records"));
  EXPECT_TRUE(Mentions(r, "repeats a unique value"));
  EXPECT_TRUE(Mentions(r, "record count says 7, found 3"));
}

TEST_F(FileCheckTest, NotADataFile) {
  CheckResult r;
  EXPECT_EQ(CheckDataFile(dir_.file("none.dat"), &r), B_FILE_NOT_FOUND);
  EXPECT_EQ(CheckDataFile(dir_.path(), &r), B_NOT_A_DATA_FILE);
}

}  // namespace
}  // namespace recman
