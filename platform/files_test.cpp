// The files of files.h, record_file.h and staged_file.h.
#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <cerrno>
#include <string>

#include "platform/paths.h"
#include "platform/record_file.h"
#include "platform/staged_file.h"
#include "platform/test_dir.h"

namespace platform {
namespace {

std::string Contents(const std::string& path) {
  std::string bytes;
  ReadFile(path, &bytes);
  return bytes;
}

TEST(RecordFileTest, OpensByModeAndReadsAndWritesAtOffsets) {
  TestDir dir;
  const std::string path = dir.file("r.tmp");
  RecordFile f;
  EXPECT_FALSE(OpenRecordFile(path, RecordOpen::kExisting, &f));
  EXPECT_FALSE(RecordFileOpen(f));
  ASSERT_TRUE(OpenRecordFile(path, RecordOpen::kCreate, &f));
  EXPECT_TRUE(WriteAt(f, 0, "abcdef"));
  EXPECT_TRUE(WriteAt(f, 8, "XY"));  // past the end: the gap reads as zeros
  EXPECT_EQ(RecordFileSize(f), 10);
  std::string got;
  EXPECT_TRUE(ReadAt(f, 4, 6, &got));
  EXPECT_EQ(got, std::string("ef\0\0XY", 6));
  EXPECT_FALSE(ReadAt(f, 8, 3, &got));  // the file ends first
  EXPECT_FALSE(ReadAt(f, -1, 1, &got));
  EXPECT_TRUE(TruncateRecordFile(f, 3));
  EXPECT_TRUE(CloseRecordFile(&f));
  EXPECT_FALSE(WriteAt(f, 0, "x"));  // closed
  EXPECT_EQ(Contents(path), "abc");

  ASSERT_TRUE(OpenRecordFile(path, RecordOpen::kCreate, &f));  // kept as it is
  EXPECT_EQ(RecordFileSize(f), 3);
  ASSERT_TRUE(OpenRecordFile(path, RecordOpen::kEmpty, &f));   // emptied
  EXPECT_EQ(RecordFileSize(f), 0);
  EXPECT_TRUE(CloseRecordFile(&f));
  EXPECT_TRUE(CloseRecordFile(&f));  // twice is harmless
}

TEST(StagedFileTest, TheTargetChangesOnlyAtTheCommitAndOnlyWhole) {
  TestDir dir;
  const std::string target = dir.file("doc.txt"), part = dir.file("doc.txt.part");
  ASSERT_TRUE(WriteFile(target, "old"));

  StagedFile f;
  ASSERT_TRUE(BeginStaged(target, part, 4, &f));
  EXPECT_TRUE(StagedWrite(&f, "0123456789", 10));
  EXPECT_EQ(Contents(part), "01234567");  // whole blocks of 4 so far
  EXPECT_EQ(Contents(target), "old");
  EXPECT_TRUE(CommitStaged(&f, true));
  EXPECT_EQ(Contents(target), "0123456789");
  EXPECT_FALSE(PathExists(part));
  EXPECT_FALSE(StagedWrite(&f, "x", 1));  // nothing open any more

  ASSERT_TRUE(BeginStaged(target, part, 0, &f));
  EXPECT_TRUE(StagedWrite(&f, "new", 3));
  AbandonStaged(&f);
  EXPECT_EQ(Contents(target), "0123456789");
  EXPECT_FALSE(PathExists(part));
  EXPECT_FALSE(CommitStaged(&f, false));

  // A write that fails (a file-size limit of 2 bytes, in a child process)
  // fails the commit with the system's reason, and the target stays.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit = {2, 2};
    setrlimit(RLIMIT_FSIZE, &limit);
    StagedFile g;
    const bool begun = BeginStaged(target, part, 0, &g);
    const bool wrote = StagedWrite(&g, "lost", 4);
    const bool committed = CommitStaged(&g, false);
    _exit(begun && !wrote && !committed && g.error == EFBIG ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(Contents(target), "0123456789");
  EXPECT_FALSE(PathExists(part));

  EXPECT_FALSE(BeginStaged(target, dir.file("no/such/dir"), 0, &f));
  EXPECT_EQ(f.error, ENOENT);
}

TEST(FilesTest, IdentityTemporaryNamesRemovalAndLinks) {
  TestDir dir;
  const std::string a = dir.file("a"), b = dir.file("b");
  EXPECT_FALSE(IdentityOf(a).exists);
  ASSERT_TRUE(WriteFile(a, "12345"));
  FileIdentity id = IdentityOf(a);
  EXPECT_TRUE(id.exists);
  EXPECT_EQ(id.size, 5);
  EXPECT_EQ(FileSize(a), 5);
  EXPECT_TRUE(IsRegularFile(a));
  EXPECT_FALSE(IsRegularFile(dir.path()));

  int error = 0;
  EXPECT_TRUE(LinkFile(a, b, &error));
  EXPECT_FALSE(LinkFile(a, b, &error));
  EXPECT_EQ(error, EEXIST);
  std::string head;
  EXPECT_TRUE(ReadFileHead(b, 3, &head, &error));
  EXPECT_EQ(head, "123");
  EXPECT_TRUE(ReadFileHead(b, 99, &head, &error));
  EXPECT_EQ(head, "12345");
  EXPECT_TRUE(RemoveFile(b));
  EXPECT_FALSE(RemoveFile(b));
  EXPECT_FALSE(ReadFileHead(b, 3, &head, &error));
  EXPECT_EQ(error, ENOENT);

  std::string t1 = MakeTemporaryFile(dir.path(), "zul-", ".pdf", &error);
  std::string t2 = MakeTemporaryFile(dir.path(), "zul-", ".pdf", &error);
  EXPECT_NE(t1, t2);
  EXPECT_EQ(FileSize(t1), 0);
  EXPECT_EQ(t1.substr(t1.size() - 4), ".pdf");
  EXPECT_EQ(MakeTemporaryFile(dir.file("none"), "zul-", ".pdf", &error), "");
  EXPECT_EQ(error, ENOENT);

  EXPECT_TRUE(MakeExecutable(a));
  EXPECT_EQ(access(a.c_str(), X_OK), 0);
  EXPECT_TRUE(TouchFile(b));
  EXPECT_TRUE(TouchFile(a));  // kept as it is
  EXPECT_EQ(FileSize(a), 5);
  EXPECT_EQ(FileSize(b), 0);
}

}  // namespace
}  // namespace platform
