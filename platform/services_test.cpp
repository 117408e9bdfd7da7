// The services of this folder through their interfaces only, so that the
// same cases check the Linux and the Windows forms (the Windows build runs
// them under wine).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/directory.h"
#include "platform/file_lock.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/record_file.h"
#include "platform/staged_file.h"
#include "platform/test_dir.h"

namespace platform {
namespace {

TEST(Services, FilesFoldersAndNamesRoundTrip) {
  TestDir dir;
  ASSERT_FALSE(dir.path().empty());
  const std::string accented = dir.file("Liquidaci\xC3\xB3/A\xC3\xA7\xC3\xA0.dat");  // UTF-8
  ASSERT_TRUE(MakeDirs(dir.file("Liquidaci\xC3\xB3/sub/deeper")));
  ASSERT_TRUE(WriteFile(accented, std::string("a\0b\r\n", 5)));
  std::string back;
  ASSERT_TRUE(ReadFile(accented, &back));
  EXPECT_EQ(back, std::string("a\0b\r\n", 5));  // binary: no line-end translation
  EXPECT_EQ(FileSize(accented), 5);
  EXPECT_TRUE(IsRegularFile(accented));
  EXPECT_FALSE(IsDirectory(accented));
  EXPECT_TRUE(IsDirectory(dir.file("Liquidaci\xC3\xB3/sub")));
  EXPECT_EQ(ListDirectory(dir.file("Liquidaci\xC3\xB3"), Entries::kAll),
            (std::vector<std::string>{"A\xC3\xA7\xC3\xA0.dat", "sub"}));
  EXPECT_EQ(ListDirectory(dir.file("Liquidaci\xC3\xB3"), Entries::kFiles),
            (std::vector<std::string>{"A\xC3\xA7\xC3\xA0.dat"}));

  // A rename replaces the file there in one step.
  ASSERT_TRUE(WriteFile(dir.file("other"), "new"));
  int error = 0;
  ASSERT_TRUE(RenameFile(dir.file("other"), accented, &error));
  ASSERT_TRUE(ReadFile(accented, &back));
  EXPECT_EQ(back, "new");
  EXPECT_FALSE(PathExists(dir.file("other")));

  // Identity: the same file, a changed size.
  FileIdentity before = IdentityOf(accented);
  ASSERT_TRUE(before.exists);
  ASSERT_TRUE(WriteFile(accented, "longer"));
  FileIdentity after = IdentityOf(accented);
  EXPECT_NE(after.size, before.size);
  EXPECT_FALSE(IdentityOf(dir.file("none")).exists);

  std::string temp = MakeTemporaryFile(dir.path().substr(0, dir.path().size() - 1), "zul-",
                                       ".tmp", &error);
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(FileSize(temp), 0);
  EXPECT_TRUE(RemoveFile(temp));
  EXPECT_FALSE(RemoveFile(temp));
  EXPECT_TRUE(CanWrite(dir.path()));
}

TEST(Services, AbsolutePathsAndTheSuitePathRule) {
  EXPECT_TRUE(IsAbsolutePath("/srv/brol"));
  EXPECT_FALSE(IsAbsolutePath("DADES/x"));
  EXPECT_FALSE(IsAbsolutePath(""));
#ifdef _WIN32
  EXPECT_EQ(AbsolutePath("/a/./b/../c").substr(1), ":/a/c");  // on the current drive
#else
  EXPECT_EQ(AbsolutePath("/a/./b/../c"), "/a/c");
#endif
  const std::string here = CurrentDirectory();
  ASSERT_FALSE(here.empty());
  EXPECT_TRUE(IsAbsolutePath(here));
  EXPECT_EQ(AbsolutePath("x/../y"), AbsolutePath(here + "/y"));
  TestDir dir;
  ASSERT_FALSE(dir.Write("DADES/PropietH.dat", "x").empty());
  // Backslashes and a run of separators; the name found without regard to
  // case (by the rule on Linux, by the file system on Windows).
  std::string found = SuitePath(dir.path() + "DADES\\\\PROPIETH.DAT");
  EXPECT_TRUE(IsRegularFile(found)) << found;
#ifdef _WIN32
  EXPECT_TRUE(IsAbsolutePath("C:/BROL"));
  EXPECT_FALSE(IsAbsolutePath("C:BROL"));
  EXPECT_EQ(AbsolutePath("C:/BROL/../X/./Y"), "C:/X/Y");
  EXPECT_EQ(SuitePath("c:\\BROL\\DADES"), "C:/BROL/DADES");
#endif
}

TEST(Services, RecordAndStagedFilesAndTheLockFile) {
  TestDir dir;
  RecordFile file;
  ASSERT_TRUE(OpenRecordFile(dir.file("rec"), RecordOpen::kCreate, &file));
  ASSERT_TRUE(WriteAt(file, 10, "abc"));
  EXPECT_EQ(RecordFileSize(file), 13);
  std::string bytes;
  ASSERT_TRUE(ReadAt(file, 9, 4, &bytes));
  EXPECT_EQ(bytes, std::string("\0abc", 4));
  EXPECT_FALSE(ReadAt(file, 12, 2, &bytes));  // past the end
  ASSERT_TRUE(TruncateRecordFile(file, 2));
  EXPECT_EQ(RecordFileSize(file), 2);
  EXPECT_TRUE(CloseRecordFile(&file));

  // A staged file appears whole at its commit, and not at all when abandoned.
  StagedFile staged;
  ASSERT_TRUE(BeginStaged(dir.file("doc"), dir.file("doc.part"), 4, &staged));
  ASSERT_TRUE(StagedWrite(&staged, "0123456789", 10));
  EXPECT_FALSE(PathExists(dir.file("doc")));
  ASSERT_TRUE(CommitStaged(&staged, true));
  ASSERT_TRUE(ReadFile(dir.file("doc"), &bytes));
  EXPECT_EQ(bytes, "0123456789");
  ASSERT_TRUE(BeginStaged(dir.file("doc"), dir.file("doc.part"), 0, &staged));
  StagedWrite(&staged, "x", 1);
  AbandonStaged(&staged);
  ASSERT_TRUE(ReadFile(dir.file("doc"), &bytes));
  EXPECT_EQ(bytes, "0123456789");
  EXPECT_FALSE(PathExists(dir.file("doc.part")));

  // One holder of the lock at a time, even within one process; the file
  // goes with the lock.
  FileLock first, second;
  ASSERT_EQ(TryLockFile(dir.file("pass.lck"), &first), LockResult::kHeld);
  EXPECT_EQ(TryLockFile(dir.file("pass.lck"), &second), LockResult::kBusy);
  UnlockFile(&first);
  EXPECT_FALSE(PathExists(dir.file("pass.lck")));
  EXPECT_EQ(TryLockFile(dir.file("pass.lck"), &second), LockResult::kHeld);
  UnlockFile(&second);
  EXPECT_EQ(TryLockFile(dir.file("none/pass.lck"), &first), LockResult::kFailed);
}

TEST(Services, CommandLinesAndPrograms) {
  EXPECT_EQ(SplitCommandLine("a \"b c\"  d"), (std::vector<std::string>{"a", "b c", "d"}));
  EXPECT_EQ(RunProgram("no-such-program", {}), -1);
  EXPECT_FALSE(StartProgram("no-such-program", {}));
  EXPECT_GT(ProcessId(), 0);
  EXPECT_TRUE(IsDirectory(ProgramDirectory()));
}

}  // namespace
}  // namespace platform
