// The lock file's shared page beside its byte-range locks.
#include "recman/sqlite/lock_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "platform/test_dir.h"

namespace recman {
namespace {

using platform::TestDir;

off_t SizeOf(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

TEST(LockFileTest, EveryOpenOfADataFileSharesOneGenerationThatOutlivesIt) {
  TestDir dir;
  const std::string data = dir.file("a.dat");
  LockFile a, b;
  ASSERT_EQ(a.Open(data, false), 0);
  ASSERT_EQ(b.Open(data, false), 0);
  ASSERT_TRUE(a.hasSharedPage());
  ASSERT_TRUE(b.hasSharedPage());
  EXPECT_EQ(a.Generation(), 0u);  // a new lock file starts at zero
  a.BumpGeneration();
  a.BumpGeneration();
  b.BumpGeneration();
  EXPECT_EQ(a.Generation(), 3u);
  EXPECT_EQ(b.Generation(), 3u);
  a.Close();
  b.Close();
  EXPECT_FALSE(a.hasSharedPage());
  EXPECT_EQ(a.Generation(), 0u);  // no page: nothing to read
  a.BumpGeneration();             // and nothing to write
  EXPECT_EQ(SizeOf(LockFile::PathFor(data)), kSharedPageSize);
  LockFile c;
  ASSERT_EQ(c.Open(data, true), 0);
  EXPECT_EQ(c.Generation(), 3u);
}

TEST(LockFileTest, AShortLockFileIsExtendedAndItsLocksStillConflict) {
  TestDir dir;
  const std::string data = dir.file("b.dat");
  const std::string lck = LockFile::PathFor(data);
  ASSERT_EQ(dir.Write("b.dat.lck", "0123456789"), lck);
  LockFile a, b;
  ASSERT_EQ(a.Open(data, false), 0);
  EXPECT_EQ(SizeOf(lck), kSharedPageSize);
  ASSERT_EQ(b.Open(data, false), 0);
  // Record 5's lock byte lies inside the mapped page.
  EXPECT_TRUE(a.LockRecord(5));
  EXPECT_FALSE(b.LockRecord(5));
  const uint64_t before = b.Generation();
  a.BumpGeneration();
  EXPECT_EQ(b.Generation(), before + 1);
  EXPECT_FALSE(b.LockRecord(5));  // writing the page moved no lock
  a.UnlockRecord(5);
  EXPECT_TRUE(b.LockRecord(5));
  LockFile c;
  EXPECT_EQ(c.Open(data, true), 85);  // the open byte is held by a and b
  // The bytes the file had are still there; only zeros were added.
  std::ifstream in(lck, std::ios::binary);
  std::string head(10, '\0');
  in.read(&head[0], 10);
  EXPECT_EQ(head.substr(8), "89");
}

TEST(LockFileTest, ALongerLockFileIsNeverShortened) {
  TestDir dir;
  const std::string data = dir.file("c.dat");
  ASSERT_EQ(dir.Write("c.dat.lck", std::string(10000, '\0')), LockFile::PathFor(data));
  LockFile a;
  ASSERT_EQ(a.Open(data, false), 0);
  EXPECT_TRUE(a.hasSharedPage());
  a.Close();
  EXPECT_EQ(SizeOf(LockFile::PathFor(data)), 10000);
}

// The order of one LockFile is checked in every build: a record locked
// before the open, or a second open, stops the program at the call.
TEST(LockFileDeathTest, ARecordLockBeforeTheOpenOrASecondOpenStopsTheProgram) {
  TestDir dir;
  const std::string data = dir.file("a.dat");
  LockFile early;
  EXPECT_DEATH(early.LockRecord(1), "check failed: open_");
  LockFile twice;
  ASSERT_EQ(twice.Open(data, false), 0);
  EXPECT_DEATH(twice.Open(data, false), "check failed: fd_ < 0");
  EXPECT_TRUE(twice.LockRecord(1));
}

}  // namespace
}  // namespace recman
