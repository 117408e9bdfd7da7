// Data files on a read-only medium (an archived suite): they read as they
// were written, every write is refused with 46, and the locks of readers
// need no lock file that can be written.
//
// Each case runs in a child process that sees the files' folder read-only:
// as root, through a read-only bind mount in a mount namespace of its own
// (or, where the machine refuses mounts, as the user nobody over folders
// without write permission, since root ignores permissions); otherwise
// through the permissions alone (folder 0555, files 0444).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "platform/coding.h"
#include "platform/test_dir.h"
#include "recman/btrcall.h"
#include "recman/file_check.h"
#include "recman/key_layout.h"
#include "recman/sqlite/lock_file.h"
#include "recman/record_manager.h"
#include "recman/recman_test_support.h"

namespace recman {
namespace {

namespace fs = std::filesystem;
using testing_support::Counter;
using testing_support::CounterKey;
using testing_support::CounterSpec;
using testing_support::CounterValue;
using testing_support::CreateFile;
using testing_support::Handle;

constexpr uid_t kNobody = 65534;

// Makes `folder` read-only for this process (see the header comment).
// Returns "" or what went wrong. Call in the child only.
std::string MakeReadOnly(const std::string& folder) {
  if (geteuid() == 0 && unshare(CLONE_NEWNS) == 0 &&
      mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
      mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
      mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0)
    return "";
  std::error_code e;
  for (const auto& entry : fs::directory_iterator(folder, e))
    chmod(entry.path().c_str(), 0444);
  if (chmod(folder.c_str(), 0555) != 0) return "cannot chmod " + folder;
  if (geteuid() == 0) {
    // The folders above must let nobody through.
    for (fs::path p = fs::path(folder).parent_path(); p != p.root_path(); p = p.parent_path()) {
      struct stat st;
      if (stat(p.c_str(), &st) == 0 && (st.st_mode & 0001) == 0)
        chmod(p.c_str(), st.st_mode | 0005);
    }
    if (setgid(kNobody) != 0 || setuid(kNobody) != 0) return "cannot become nobody";
  }
  if (access(folder.c_str(), W_OK) == 0) return "the folder stays writable";
  return "";
}

// Runs `body` in a child process that sees `folder` read-only; the test
// fails with the child's failures.
void InReadOnlyChild(const std::string& folder, const std::function<void()>& body) {
  manager = RecmanState();
  fflush(stdout);
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    std::string why = MakeReadOnly(folder);
    if (!why.empty()) {
      fprintf(stderr, "read-only setup: %s\n", why.c_str());
      _exit(3);
    }
    body();
    manager = RecmanState();
    fflush(stdout);
    _exit(::testing::Test::HasFailure() ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status)) << "the child was killed";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "see the child's failures above";
}

// The reads and refused writes every read-only case must show, on a file
// of counters 1..n holding 10 * id.
void ReadsAndRefusals(const std::string& path, uint32_t n) {
  Handle h;
  ASSERT_EQ(h.Open(path), 0);
  uint32_t seen = 0;
  for (int16_t st = h.Get(B_GET_FIRST, 0); st == 0; st = h.Step(B_GET_NEXT, 0)) {
    ++seen;
    EXPECT_EQ(CounterValue(h), 10 * seen);
  }
  EXPECT_EQ(seen, n);
  // Writes: refused, and the file unchanged.
  EXPECT_EQ(h.Get(B_GET_EQUAL, 0, CounterKey(1)), 0);
  EXPECT_EQ(h.Update(Counter(1, 99)), B_ACCESS_DENIED);
  EXPECT_EQ(h.Delete(), B_ACCESS_DENIED);
  EXPECT_EQ(h.Insert(Counter(n + 1, 0)), B_ACCESS_DENIED);
  EXPECT_EQ(h.Get(B_GET_EQUAL, 0, CounterKey(1)), 0);
  EXPECT_EQ(CounterValue(h), 10u);
  // A locking read is granted (nobody can write), also to a second open.
  Handle other;
  ASSERT_EQ(other.Open(path), 0);
  EXPECT_EQ(h.Get(B_GET_EQUAL + B_LOCK_SINGLE_NOWAIT, 0, CounterKey(1)), 0);
  EXPECT_EQ(other.Get(B_GET_EQUAL + B_LOCK_SINGLE_NOWAIT, 0, CounterKey(1)), 0);
  // An exclusive open cannot keep anyone out: refused.
  Handle exclusive;
  EXPECT_EQ(exclusive.Open(path, B_MODE_EXCLUSIVE), B_ACCESS_DENIED);
  // Nothing can be made there.
  std::string made = fs::path(path).parent_path().string() + "/new.dat";
  EXPECT_EQ(CreateFile(made, CounterSpec()), B_CREATE_IO_ERROR);
  EXPECT_NE(access(made.c_str(), F_OK), 0);
  EXPECT_EQ(other.Close(), 0);
  EXPECT_EQ(h.Close(), 0);
  // The check reads it too.
  CheckResult check;
  EXPECT_EQ(CheckDataFile(path, &check), 0);
  EXPECT_TRUE(check.problems.empty()) << ::testing::PrintToString(check.problems);
  EXPECT_EQ(check.records, n);
}

class ReadOnlyMediumTest : public ::testing::Test {
 protected:
  void SetUp() override {
    manager = RecmanState();
    folder_ = dir_.file("archive");
    fs::create_directory(folder_);
    path_ = folder_ + "/c.dat";
    ASSERT_EQ(CreateFile(path_, CounterSpec()), 0);
  }
  void TearDown() override {
    manager = RecmanState();
    // Writable again, so that the test folder can go.
    chmod(folder_.c_str(), 0755);
  }
  // Counters 1..n holding 10 * id, written through `h` (left open).
  void Fill(Handle& h, uint32_t n) {
    ASSERT_EQ(h.Open(path_), 0);
    for (uint32_t id = 1; id <= n; ++id) ASSERT_EQ(h.Insert(Counter(id, 10 * id)), 0);
  }

  platform::TestDir dir_;
  std::string folder_;
  std::string path_;
};

TEST_F(ReadOnlyMediumTest, AClosedFileWithItsLockFileReads) {
  {
    Handle h;
    Fill(h, 5);
  }
  manager = RecmanState();  // closed: the log is folded into the file
  ASSERT_TRUE(fs::exists(LockFile::PathFor(path_)));
  ASSERT_FALSE(fs::exists(path_ + "-wal"));
  InReadOnlyChild(folder_, [&] { ReadsAndRefusals(path_, 5); });
}

TEST_F(ReadOnlyMediumTest, AFileWithoutALockFileReads) {
  {
    Handle h;
    Fill(h, 3);
  }
  manager = RecmanState();
  fs::remove(LockFile::PathFor(path_));
  InReadOnlyChild(folder_, [&] { ReadsAndRefusals(path_, 3); });
  EXPECT_FALSE(fs::exists(LockFile::PathFor(path_)));
}

TEST_F(ReadOnlyMediumTest, CommitsStillInTheLogAreRead) {
  // A copy taken while a program had the file open: the last commits are in
  // the -wal file, with the -shm file beside it.
  const std::string copy = dir_.file("copy");
  fs::create_directory(copy);
  {
    Handle h;
    Fill(h, 4);
    ASSERT_GT(fs::file_size(path_ + "-wal"), 0u);
    for (const char* suffix : {"", "-wal", "-shm", ".lck"})
      fs::copy_file(path_ + suffix, copy + "/c.dat" + suffix);
  }
  manager = RecmanState();
  InReadOnlyChild(copy, [&] { ReadsAndRefusals(copy + "/c.dat", 4); });
  chmod(copy.c_str(), 0755);
}

TEST_F(ReadOnlyMediumTest, ALogWithoutItsSharedMemoryFileIsRefused) {
  // Reading the file without the commits in its log would show an older
  // state as the file's: the open is refused instead.
  const std::string copy = dir_.file("copy");
  fs::create_directory(copy);
  {
    Handle h;
    Fill(h, 4);
    for (const char* suffix : {"", "-wal"})
      fs::copy_file(path_ + suffix, copy + "/c.dat" + suffix);
  }
  manager = RecmanState();
  InReadOnlyChild(copy, [&] {
    Handle h;
    EXPECT_EQ(h.Open(copy + "/c.dat"), B_ACCESS_DENIED);
  });
  chmod(copy.c_str(), 0755);
}

TEST_F(ReadOnlyMediumTest, AReadersLocksMeetAWritersThroughTheLockFile) {
  // A writer that still reaches the lock file (here: this process before
  // the child's view turned read-only) holds record 1. The reader opens the
  // lock file read-only: its shared byte locks still meet the writer's.
  {
    Handle h;
    Fill(h, 2);
  }
  manager = RecmanState();
  LockFile writer;
  ASSERT_EQ(writer.Open(path_, false), 0);
  ASSERT_TRUE(writer.LockRecord(1));
  InReadOnlyChild(folder_, [&] {
    LockFile reader;
    ASSERT_EQ(reader.Open(path_, false), 0);
    EXPECT_TRUE(reader.readOnly());
    EXPECT_FALSE(reader.LockRecord(1));
    EXPECT_TRUE(reader.LockRecord(2));
    LockFile exclusive;
    EXPECT_EQ(exclusive.Open(path_, true), 46);
    Handle h;
    ASSERT_EQ(h.Open(path_), 0);
    EXPECT_EQ(h.Get(B_GET_EQUAL + B_LOCK_SINGLE_NOWAIT, 0, CounterKey(1)), B_RECORD_LOCKED);
    // Readers' locks are shared: they never meet each other.
    EXPECT_EQ(h.Get(B_GET_EQUAL + B_LOCK_SINGLE_NOWAIT, 0, CounterKey(2)), 0);
  });
  // The reader's shared lock of record 2 went with the child.
  EXPECT_TRUE(writer.LockRecord(2));
}

}  // namespace
}  // namespace recman
