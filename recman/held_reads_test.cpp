// Held read snapshots inside one process: writes of another open seen at
// once, a commit that nobody signals (a writer that died between its commit
// and its signal) seen once the snapshot ends by time, by a wait, by a lock
// or by a transaction, and the benchmark's limit run.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "platform/coding.h"
#include "platform/env.h"
#include "platform/test_dir.h"
#include "platform/wait_hooks.h"
#include "recman/btrcall.h"
#include "recman/record_manager.h"
#include "recman/recman_test_support.h"

namespace recman {
namespace {

using testing_support::Counter;
using testing_support::CounterKey;
using testing_support::CounterSpec;
using testing_support::CounterValue;
using testing_support::CreateFile;
using testing_support::Handle;
using platform::TestDir;

class HeldReadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    unsetenv("ZULRECMAN_UNCHECKED_READS");
    Reset();
    path_ = dir_.file("held.dat");
    ASSERT_EQ(CreateFile(path_, CounterSpec()), 0);
    ASSERT_EQ(a_.Open(path_), 0);
    ASSERT_EQ(a_.Insert(Counter(1, 10)), 0);
  }
  void TearDown() override {
    unsetenv("ZULRECMAN_UNCHECKED_READS");
    manager = RecmanState();
    platform::clock = platform::ClockState();
    platform::waitHooks = platform::WaitHookState();
  }
  void Reset() {
    manager = RecmanState();
    platform::clock = platform::ClockState();
    platform::clock.coarseFixed = true;  // time moves only when a test says
    platform::clock.coarseNs = 1000000000;
    platform::waitHooks = platform::WaitHookState();
  }

  // Value of record 1 as a plain get of `h` sees it.
  uint32_t Read(Handle& h) {
    EXPECT_EQ(h.Get(B_GET_EQUAL, 0, CounterKey(1)), 0);
    return CounterValue(h);
  }
  bool Held(Handle& h) { return FileOf(h.block)->held; }

  // Changes record 1's value behind the record manager's back: a plain
  // SQLite connection commits and no generation is bumped.
  void UnsignalledWrite(uint32_t value) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path_.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    sqlite3_busy_timeout(db, 5000);
    sqlite3_stmt* s = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "UPDATE zul_rec SET data = ?1 WHERE pos = 1", -1, &s,
                                 nullptr), SQLITE_OK);
    std::string r = Counter(1, value);
    sqlite3_bind_blob(s, 1, r.data(), int(r.size()), SQLITE_TRANSIENT);
    EXPECT_EQ(sqlite3_step(s), SQLITE_DONE);
    sqlite3_finalize(s);
    EXPECT_EQ(sqlite3_close(db), SQLITE_OK);
  }

  TestDir dir_;
  std::string path_;
  Handle a_;
};

TEST_F(HeldReadTest, EveryWriteOfAnotherOpenIsSeenByTheNextRead) {
  Handle b;
  ASSERT_EQ(b.Open(path_), 0);
  EXPECT_EQ(Read(a_), 10u);
  EXPECT_TRUE(Held(a_));
  ASSERT_EQ(Read(b), 10u);
  ASSERT_EQ(b.Update(Counter(1, 11)), 0);
  EXPECT_EQ(Read(a_), 11u);
  ASSERT_EQ(b.Insert(Counter(2, 20)), 0);
  EXPECT_EQ(a_.Get(B_GET_EQUAL, 0, CounterKey(2)), 0);
  EXPECT_EQ(a_.Call(B_STAT, "", "", 0, 512), 0);
  EXPECT_EQ(platform::DecodeFixed32(a_.data.data() + FS_RECORD_COUNT), 2u);
  ASSERT_EQ(b.Delete(), 0);
  EXPECT_EQ(a_.Get(B_GET_EQUAL, 0, CounterKey(2)), B_KEY_NOT_FOUND);
  // A's own write: its snapshot goes first, its next read sees the write.
  ASSERT_EQ(Read(a_), 11u);
  ASSERT_EQ(a_.Update(Counter(1, 12)), 0);
  EXPECT_FALSE(Held(a_));
  EXPECT_EQ(Read(a_), 12u);
  EXPECT_EQ(Read(b), 12u);
  // Inside a transaction: committed at its end, seen by the other open.
  uint32_t none = 0;
  ASSERT_EQ(BTRCALL(B_BEGIN_TRANSACTION, nullptr, nullptr, &none, nullptr, 0, 0), 0);
  ASSERT_EQ(Read(b), 12u);
  ASSERT_EQ(b.Update(Counter(1, 13)), 0);
  ASSERT_EQ(BTRCALL(B_END_TRANSACTION, nullptr, nullptr, &none, nullptr, 0, 0), 0);
  EXPECT_EQ(Read(a_), 13u);
}

// The held snapshot is real: a commit that nobody signals stays unseen
// while it is held, and each of the things that end it shows the commit.
TEST_F(HeldReadTest, AnUnsignalledCommitIsSeenOnceTheSnapshotEnds) {
  ASSERT_EQ(Read(a_), 10u);
  UnsignalledWrite(20);
  EXPECT_EQ(Read(a_), 10u);  // the snapshot holds
  platform::clock.coarseNs += kHoldLimitNs;
  EXPECT_EQ(Read(a_), 20u);  // held too long: a new snapshot

  UnsignalledWrite(21);
  EXPECT_EQ(Read(a_), 20u);
  platform::RunBeforeWaitHooks();  // the program waits for a key
  EXPECT_FALSE(Held(a_));
  EXPECT_EQ(Read(a_), 21u);

  UnsignalledWrite(22);
  ASSERT_EQ(a_.Get(B_GET_EQUAL + B_LOCK_SINGLE_NOWAIT, 0, CounterKey(1)), 0);
  EXPECT_EQ(CounterValue(a_), 22u);  // a locking get reads the latest
  ASSERT_EQ(a_.Call(B_UNLOCK, "", "", 0), 0);

  EXPECT_EQ(Read(a_), 22u);
  UnsignalledWrite(23);
  uint32_t none = 0;
  ASSERT_EQ(BTRCALL(B_BEGIN_TRANSACTION, nullptr, nullptr, &none, nullptr, 0, 0), 0);
  EXPECT_EQ(Read(a_), 23u);
  EXPECT_FALSE(Held(a_));  // nothing is held inside a transaction
  ASSERT_EQ(BTRCALL(B_ABORT_TRANSACTION, nullptr, nullptr, &none, nullptr, 0, 0), 0);
}

// The time limit is checked at every call, so a file that is not read any
// more lets its snapshot go while the program works on other files.
TEST_F(HeldReadTest, AnOldSnapshotIsLetGoByACallOnAnotherFile) {
  const std::string other = dir_.file("other.dat");
  ASSERT_EQ(CreateFile(other, CounterSpec()), 0);
  Handle b;
  ASSERT_EQ(b.Open(other), 0);
  ASSERT_EQ(Read(a_), 10u);
  ASSERT_TRUE(Held(a_));
  EXPECT_EQ(b.Get(B_GET_FIRST, 0), B_END_OF_FILE);
  EXPECT_TRUE(Held(a_));
  platform::clock.coarseNs += kHoldLimitNs;
  EXPECT_EQ(b.Get(B_GET_FIRST, 0), B_END_OF_FILE);
  EXPECT_FALSE(Held(a_));
}

// Next and Previous inside a snapshot step the open scan on; a write of
// another open, a jump elsewhere or a change of direction must still give
// the entry a fresh seek would.
TEST_F(HeldReadTest, NextAndPreviousFindWhatAFreshSeekWouldAcrossChanges) {
  Handle b;
  ASSERT_EQ(b.Open(path_), 0);
  for (uint32_t id : {20u, 30u, 40u, 50u}) ASSERT_EQ(b.Insert(Counter(id, id)), 0);
  auto id = [](const Handle& h) {
    return platform::DecodeFixed32(h.data.data());
  };
  ASSERT_EQ(a_.Get(B_GET_FIRST, 0), 0);
  EXPECT_EQ(id(a_), 1u);
  ASSERT_EQ(a_.Step(B_GET_NEXT, 0), 0);
  EXPECT_EQ(id(a_), 20u);
  ASSERT_EQ(b.Insert(Counter(25, 25)), 0);
  ASSERT_EQ(a_.Step(B_GET_NEXT, 0), 0);
  EXPECT_EQ(id(a_), 25u);
  ASSERT_EQ(b.Get(B_GET_EQUAL, 0, CounterKey(30)), 0);
  ASSERT_EQ(b.Delete(), 0);
  ASSERT_EQ(a_.Step(B_GET_NEXT, 0), 0);
  EXPECT_EQ(id(a_), 40u);
  ASSERT_EQ(a_.Step(B_GET_PREVIOUS, 0), 0);
  EXPECT_EQ(id(a_), 25u);
  ASSERT_EQ(a_.Step(B_GET_NEXT, 0), 0);
  EXPECT_EQ(id(a_), 40u);
  ASSERT_EQ(a_.Get(B_GET_EQUAL, 0, CounterKey(20)), 0);
  ASSERT_EQ(a_.Step(B_GET_NEXT, 0), 0);
  EXPECT_EQ(id(a_), 25u);
  ASSERT_EQ(a_.Get(B_GET_LAST, 0), 0);
  EXPECT_EQ(a_.Step(B_GET_NEXT, 0), B_END_OF_FILE);
  ASSERT_EQ(a_.Step(B_GET_PREVIOUS, 0), 0);
  EXPECT_EQ(id(a_), 40u);
  EXPECT_TRUE(Held(a_));
  std::vector<uint32_t> walk;
  for (int16_t st = a_.Get(B_GET_FIRST, 0); st == 0; st = a_.Step(B_GET_NEXT, 0))
    walk.push_back(id(a_));
  EXPECT_EQ(walk, (std::vector<uint32_t>{1, 20, 25, 40, 50}));
}

TEST_F(HeldReadTest, TheLimitRunKeepsItsSnapshotUntilAWait) {
  setenv("ZULRECMAN_UNCHECKED_READS", "1", 1);
  Reset();
  Handle a, b;
  ASSERT_EQ(a.Open(path_), 0);
  ASSERT_EQ(b.Open(path_), 0);
  ASSERT_EQ(Read(a), 10u);
  ASSERT_EQ(Read(b), 10u);
  ASSERT_EQ(b.Update(Counter(1, 30)), 0);
  platform::clock.coarseNs += 10 * kHoldLimitNs;
  EXPECT_EQ(Read(a), 10u);  // no change check, no time limit
  platform::RunBeforeWaitHooks();
  EXPECT_EQ(Read(a), 30u);
}

}  // namespace
}  // namespace recman
