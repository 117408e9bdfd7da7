// A connection to the server that is lost under open files (the server
// ends the session, as at a restart): the call that meets the loss gives
// 95, the next call reconnects; a transaction that met the loss ends with
// 95 and leaves none of its writes behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "platform/coding.h"
#include "platform/test_dir.h"
#include "recman/btrcall.h"
#include "recman/engine_choice.h"
#include "recman/record_manager.h"
#include "recman/recman_test_support.h"
#include "recman/test_engines.h"

namespace recman {
namespace {

using platform::TestDir;
using testing_support::Counter;
using testing_support::CounterKey;
using testing_support::CounterSpec;
using testing_support::CreateFile;
using testing_support::EngineKind;
using testing_support::Handle;
using testing_support::ServerCommand;
using testing_support::TestServer;

class ServerReconnectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ZUL_REQUIRE_ENGINE(EngineKind::kServer);
    manager = RecmanState();
    // A name of this test's own, so that only its sessions are ended.
    app_ = "zulreconnect" + std::to_string(getpid());
    schema_ = app_;
    dir_.Write("Brol.ini", "[BaseDades]\r\nConnexio=" + TestServer() + " application_name=" +
                               app_ + "\r\nEsquema=" + schema_ + "\r\n");
    path_ = dir_.file("DADES/Counters.dat");
    ASSERT_EQ(MakeSuiteStorage(path_), 0);
  }
  void TearDown() override {
    manager = RecmanState();
    ServerCommand("DROP SCHEMA IF EXISTS " + pg::QuoteIdentifier(schema_) + " CASCADE");
  }

  // Ends this process's server sessions from another connection, as a
  // server restart does, and waits until they are gone.
  void EndSessions() {
    ASSERT_TRUE(ServerCommand("SELECT pg_terminate_backend(pid, 10000) FROM pg_stat_activity"
                              " WHERE application_name = '" + app_ + "'"));
  }

  uint32_t Count(Handle* h) {
    EXPECT_EQ(h->Call(B_STAT, "", "", 0, 512), 0);
    return platform::DecodeFixed32(h->data.data() + FS_RECORD_COUNT);
  }

  TestDir dir_;
  std::string app_, schema_;
  std::string path_;
};

TEST_F(ServerReconnectTest, TheCallThatMeetsTheLossGives95AndTheNextReconnects) {
  ASSERT_EQ(CreateFile(path_, CounterSpec()), 0);
  Handle h, other;
  ASSERT_EQ(h.Open(path_), 0);
  ASSERT_EQ(other.Open(path_), 0);
  for (uint32_t id = 1; id <= 10; ++id) ASSERT_EQ(h.Insert(Counter(id, id)), 0);
  ASSERT_EQ(h.Get(B_GET_EQUAL + B_LOCK_SINGLE_NOWAIT, 0, CounterKey(3)), 0);

  // Outside a transaction: one 95, then every file works again; the record
  // lock died with the connection, the open locks were taken again.
  EndSessions();
  EXPECT_EQ(h.Get(B_GET_FIRST, 0), B_SESSION_LOST);
  EXPECT_EQ(h.Get(B_GET_EQUAL, 0, CounterKey(4)), 0);
  EXPECT_EQ(other.Get(B_GET_EQUAL + B_LOCK_SINGLE_NOWAIT, 0, CounterKey(3)), 0);
  EXPECT_EQ(h.Insert(Counter(11, 11)), 0);
  Handle exclusive;
  EXPECT_EQ(exclusive.Open(path_, B_MODE_EXCLUSIVE), B_FILE_LOCKED);

  // Inside a transaction: the write that meets the loss and every later
  // one give 95, End Transaction too, and nothing of it stays.
  ASSERT_EQ(h.Call(B_BEGIN_TRANSACTION, "", "", 0), 0);
  ASSERT_EQ(h.Insert(Counter(12, 12)), 0);
  EndSessions();
  EXPECT_EQ(h.Insert(Counter(13, 13)), B_SESSION_LOST);
  EXPECT_EQ(h.Insert(Counter(14, 14)), B_SESSION_LOST);
  EXPECT_EQ(h.Call(B_END_TRANSACTION, "", "", 0), B_SESSION_LOST);
  EXPECT_EQ(h.Get(B_GET_EQUAL, 0, CounterKey(12)), B_KEY_NOT_FOUND);
  EXPECT_EQ(h.Get(B_GET_EQUAL, 0, CounterKey(13)), B_KEY_NOT_FOUND);
  EXPECT_EQ(Count(&h), 11u);

  // A loss between the last write and End Transaction: 95, not 0.
  ASSERT_EQ(h.Call(B_BEGIN_TRANSACTION, "", "", 0), 0);
  ASSERT_EQ(h.Insert(Counter(15, 15)), 0);
  EndSessions();
  EXPECT_EQ(h.Call(B_END_TRANSACTION, "", "", 0), B_SESSION_LOST);
  EXPECT_EQ(h.Get(B_GET_EQUAL, 0, CounterKey(15)), B_KEY_NOT_FOUND);

  // The next transaction commits as usual.
  ASSERT_EQ(h.Call(B_BEGIN_TRANSACTION, "", "", 0), 0);
  ASSERT_EQ(h.Insert(Counter(16, 16)), 0);
  EXPECT_EQ(h.Call(B_END_TRANSACTION, "", "", 0), 0);
  EXPECT_EQ(h.Get(B_GET_EQUAL, 0, CounterKey(16)), 0);
  EXPECT_EQ(Count(&h), 12u);
}

}  // namespace
}  // namespace recman
