// The before-wait registry, the child-program wait that runs it, and the
// coarse clock the record manager measures its snapshots with.
#include "platform/wait_hooks.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/env.h"
#include "platform/process.h"

namespace platform {
namespace {

std::string calls;
void First() { calls += "1"; }
void Second() { calls += "2"; }

class WaitHookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    waitHooks = WaitHookState();
    calls.clear();
  }
  void TearDown() override { waitHooks = WaitHookState(); }
};

TEST_F(WaitHookTest, HooksRunOnceEachInTheOrderAdded) {
  RunBeforeWaitHooks();  // nothing registered: nothing happens
  EXPECT_TRUE(AddWaitHook(Second));
  EXPECT_TRUE(AddWaitHook(First));
  EXPECT_TRUE(AddWaitHook(Second));  // already there
  EXPECT_FALSE(AddWaitHook(nullptr));
  RunBeforeWaitHooks();
  EXPECT_EQ(calls, "21");
}

TEST_F(WaitHookTest, AFullRegistryRefusesMore) {
  // Distinct functions: lambdas without captures, one per slot.
  static const WaitHook many[kMaxWaitHooks] = {
      [] { calls += "a"; }, [] { calls += "b"; }, [] { calls += "c"; },
      [] { calls += "d"; }, [] { calls += "e"; }, [] { calls += "f"; },
      [] { calls += "g"; }, [] { calls += "h"; }};
  for (WaitHook h : many) EXPECT_TRUE(AddWaitHook(h));
  EXPECT_FALSE(AddWaitHook(First));
  RunBeforeWaitHooks();
  EXPECT_EQ(calls, "abcdefgh");
}

TEST_F(WaitHookTest, WaitingForAChildProgramRunsTheHooksFirst) {
  AddWaitHook(First);
  EXPECT_EQ(RunProgram("/bin/sh", {"-c", "exit 3"}), 3);
  EXPECT_EQ(calls, "1");
}

TEST(CoarseClockTest, NeverGoesBackAndStandsStillWhenTestsFixIt) {
  clock = ClockState();
  int64_t a = CoarseNowNs();
  int64_t b = CoarseNowNs();
  EXPECT_LE(a, b);
  clock.coarseFixed = true;
  clock.coarseNs = 42;
  EXPECT_EQ(CoarseNowNs(), 42);
  clock = ClockState();
  EXPECT_GE(CoarseNowNs(), b);
}

}  // namespace
}  // namespace platform
