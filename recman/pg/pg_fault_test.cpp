// A database server that goes away under running programs: a cluster of
// the test's own (scripts/pgcluster, named by ZULPG_TEST_CLUSTER) is
// stopped by a crash while this process has files open and another process
// waits for a record lock. Every call then returns a status at once (95 on
// the opens made before, 20 for new ones), the lock wait ends with its
// status, and after the restart every write that had returned 0 is there
// and the files opened before work again.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/env.h"
#include "platform/test_dir.h"
#include "recman/btrcall.h"
#include "recman/engine_choice.h"
#include "recman/record_manager.h"
#include "recman/recman_test_support.h"

#ifndef RECMAN_WORKER
#error "RECMAN_WORKER must name the worker program"
#endif

namespace recman {
namespace {

using platform::TestDir;
using testing_support::Counter;
using testing_support::CounterKey;
using testing_support::CounterSpec;
using testing_support::CounterValue;
using testing_support::CreateFile;
using testing_support::Handle;

// Runs the cluster script; returns its first output line ("" on failure).
std::string Cluster(const std::string& args, bool* ok) {
  std::string cmd = platform::GetEnv("ZULPG_TEST_CLUSTER") + " " + args;
  FILE* p = popen(cmd.c_str(), "r");
  std::string out;
  if (p) {
    char line[1024];
    if (fgets(line, sizeof line, p)) out = line;
    while (fgets(line, sizeof line, p)) {
    }
  }
  int rc = p ? pclose(p) : -1;
  *ok = rc == 0;
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

// Waits up to timeoutMs for the child; its exit code, or -1.
int WaitFor(pid_t child, int timeoutMs) {
  for (int waited = 0; waited < timeoutMs; waited += 20) {
    int st = 0;
    if (waitpid(child, &st, WNOHANG) == child) return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    usleep(20 * 1000);
  }
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  return -1;
}

class ServerFaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (platform::GetEnv("ZULPG_TEST_CLUSTER").empty()) {
      if (platform::GetEnv("ZULPG_TEST_REQUIRED") == "1")
        FAIL() << "ZULPG_TEST_CLUSTER is not set but the server tests are required";
      GTEST_SKIP() << "no cluster script: set ZULPG_TEST_CLUSTER (scripts/test does)";
    }
    manager = RecmanState();
    // Not in the test folder: the server's user must reach the cluster's
    // folder, and /tmp lets everyone through.
    char tmpl[] = "/tmp/zulpgfaultXXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    cluster_ = tmpl;
    bool ok = false;
    std::string conninfo = Cluster("start " + cluster_, &ok);
    ASSERT_TRUE(ok && !conninfo.empty());
    started_ = true;
    dir_.Write("root/Brol.ini", "[BaseDades]\r\nConnexio=" + conninfo + "\r\n");
    path_ = dir_.file("root/DADES/Counters.dat");
    ASSERT_EQ(MakeSuiteStorage(path_), 0);
  }
  void TearDown() override {
    manager = RecmanState();
    bool ok = false;
    if (started_) Cluster("remove " + cluster_, &ok);
  }

  TestDir dir_;
  std::string cluster_;
  std::string path_;
  bool started_ = false;
};

TEST_F(ServerFaultTest, AServerCrashGivesStatusesAndKeepsEveryWriteThatReturned0) {
  ASSERT_EQ(CreateFile(path_, CounterSpec()), 0);
  Handle h;
  ASSERT_EQ(h.Open(path_), 0);
  for (uint32_t id = 1; id <= 200; ++id) ASSERT_EQ(h.Insert(Counter(id, id * 3)), 0);
  ASSERT_EQ(h.Get(B_GET_EQUAL, 0, CounterKey(5)), 0);
  ASSERT_EQ(h.Update(Counter(5, 555)), 0);

  // Another terminal holds record 1; a third waits for it (lock bias 100).
  pid_t holder = fork();
  if (holder == 0) {
    int devnull = open("/dev/null", O_WRONLY);
    dup2(devnull, 1);
    execl(RECMAN_WORKER, RECMAN_WORKER, "hold", path_.c_str(), "0", "lock", nullptr);
    _exit(127);
  }
  usleep(500 * 1000);
  pid_t waiter = fork();
  if (waiter == 0) {
    manager = RecmanState();
    Handle w;
    int16_t st = w.Open(path_);
    if (st == 0) st = w.Get(B_GET_FIRST + B_LOCK_SINGLE_WAIT, 0);
    _exit(st & 0xFF);
  }
  usleep(500 * 1000);
  ASSERT_NE(waitpid(waiter, nullptr, WNOHANG), waiter) << "the waiter did not wait";

  bool ok = false;
  Cluster("stop " + cluster_ + " immediate", &ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(WaitFor(waiter, 30000), B_SESSION_LOST);
  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);

  // The opens made before: 95 for every call, at once. A new open: 20.
  EXPECT_EQ(h.Get(B_GET_FIRST, 0), B_SESSION_LOST);
  EXPECT_EQ(h.Insert(Counter(999, 1)), B_SESSION_LOST);
  EXPECT_EQ(h.Call(B_STAT, "", "", 0, 512), B_SESSION_LOST);
  Handle fresh;
  EXPECT_EQ(fresh.Open(path_), B_RECORD_MANAGER_INACTIVE);
  EXPECT_EQ(CreateFile(path_ + "2", CounterSpec()), B_RECORD_MANAGER_INACTIVE);

  // Restarted: a new open connects anew and finds every write.
  Cluster("start " + cluster_, &ok);
  ASSERT_TRUE(ok);
  ASSERT_EQ(fresh.Open(path_), 0);
  uint32_t n = 0;
  for (int16_t st = fresh.Get(B_GET_FIRST, 0); st == 0; st = fresh.Step(B_GET_NEXT, 0)) {
    ++n;
    uint32_t id = platform::DecodeFixed32(fresh.data.data());
    EXPECT_EQ(CounterValue(fresh), id == 5 ? 555u : id * 3) << id;
  }
  EXPECT_EQ(n, 200u);
  ASSERT_EQ(fresh.Call(B_STAT, "", "", 0, 512), 0);
  EXPECT_EQ(platform::DecodeFixed32(fresh.data.data() + FS_RECORD_COUNT), 200u);
  // The locks died with the server: record 1 is free.
  EXPECT_EQ(fresh.Get(B_GET_FIRST + B_LOCK_SINGLE_NOWAIT, 0), 0);
  // The old open reconnected with the new one: its next call works.
  EXPECT_EQ(h.Get(B_GET_FIRST, 0), 0);
  ASSERT_EQ(h.Close(), 0);
  ASSERT_EQ(h.Open(path_), 0);
  EXPECT_EQ(h.Get(B_GET_FIRST + B_LOCK_SINGLE_NOWAIT, 0), B_RECORD_LOCKED);
}

}  // namespace
}  // namespace recman
