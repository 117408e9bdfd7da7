#include "print/spool_lock.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "config/session.h"
#include "platform/paths.h"
#include "platform/test_dir.h"

namespace print {
namespace {

// A second pass waits for the one that holds the terminal's folder, is told
// once, and gets the lock when the holder ends (here killed by its own
// _exit, still holding it); the lock file goes with the lock.
TEST(SpoolLockTest, ASecondPassWaitsUntilTheHolderEndsAndIsToldOnce) {
  platform::TestDir dir;
  config::session = config::SessionState();
  config::session.TempDir = dir.path();
  state = PrintState();
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t holder = fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    if (LockSpool() != PrintStatus::Ok) _exit(1);
    (void)!write(ready[1], "x", 1);
    usleep(300 * 1000);
    _exit(0);
  }
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  EXPECT_TRUE(platform::PathExists(SpoolLockPath()));
  int told = 0;
  EXPECT_EQ(LockSpool([&told] { ++told; }), PrintStatus::Ok);
  EXPECT_EQ(told, 1);
  int status = 0;
  ASSERT_EQ(waitpid(holder, &status, 0), holder);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(LockSpool(), PrintStatus::Ok);  // held already
  UnlockSpool();
  EXPECT_FALSE(platform::PathExists(SpoolLockPath()));

  config::session.TempDir = dir.file("missing/");
  EXPECT_EQ(LockSpool(), PrintStatus::CannotCreate);
  close(ready[0]);
  close(ready[1]);
  config::session = config::SessionState();
}

}  // namespace
}  // namespace print
