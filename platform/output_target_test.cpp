#include "platform/output_target.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "platform/file_tree.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/staged_file.h"
#include "platform/test_dir.h"

namespace platform {
namespace {

// What the path names, a link not followed: "file:<bytes>", "link",
// "fifo", "dir" or "chr".
std::string What(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return "none";
  if (S_ISLNK(st.st_mode)) return "link";
  if (S_ISFIFO(st.st_mode)) return "fifo";
  if (S_ISDIR(st.st_mode)) return "dir";
  if (S_ISCHR(st.st_mode)) return "chr";
  std::string bytes;
  ReadFile(path, &bytes);
  return "file:" + bytes;
}

// WriteFile (the staged writer) renames over regular files only: a device
// or a FIFO is written as a device, a link is followed to what it names, a
// folder or a broken link is refused; no companion file is left.
TEST(OutputTargetTest, OnlyARegularFileIsEverRenamedOver) {
  TestDir dir;
  const std::string out = dir.file("out");
  struct Case {
    std::string setUp;  // shell commands in the folder
    TargetKind kind;
    bool written;
    const char* after;   // What(out) afterwards
    const char* target;  // What of the file "t" afterwards
  } cases[] = {
      {"", TargetKind::kNew, true, "file:new", "none"},
      {"echo -n old > out", TargetKind::kRegular, true, "file:new", "none"},
      {"echo -n old > t; ln -s t out", TargetKind::kRegular, true, "link", "file:new"},
      {"echo -n old > t; ln -s t m; ln -s m out", TargetKind::kRegular, true, "link", "file:new"},
      {"ln -s /dev/null out", TargetKind::kDevice, true, "link", "none"},
      {"mkfifo out", TargetKind::kDevice, true, "fifo", "none"},
      {"mkdir out", TargetKind::kUnusable, false, "dir", "none"},
      {"ln -s missing out", TargetKind::kUnusable, false, "link", "none"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.setUp);
    for (const std::string& entry : ListTree(dir.path())) RemoveTree(dir.file(entry));
    ASSERT_EQ(RunProgram("/bin/sh", {"-c", "cd '" + dir.path() + "' && true " +
                                               (c.setUp.empty() ? "" : "&& ") + c.setUp}),
              0);
    EXPECT_EQ(ResolveOutputTarget(out).kind, c.kind);
    std::string read;  // a FIFO's writer waits for its reader
    std::thread reader;
    const bool fifo = What(out) == "fifo";
    if (fifo) {
      reader = std::thread([&] {
        std::ifstream in(out, std::ios::binary);
        read.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      });
    }
    EXPECT_EQ(WriteFile(out, "new"), c.written);
    if (fifo) {
      reader.join();
      EXPECT_EQ(read, "new");
    }
    EXPECT_EQ(What(out), c.after);
    EXPECT_EQ(What(dir.file("t")), c.target);
    EXPECT_EQ(What("/dev/null"), "chr");
    for (const std::string& entry : ListTree(dir.path()))
      EXPECT_EQ(entry.find(".tmp"), std::string::npos) << entry;  // no companion left
  }
}

// A link at the companion's name is replaced, never written through; a
// FIFO or device there is refused; what either names keeps its bytes.
TEST(OutputTargetTest, TheCompanionNameIsNeverWrittenThrough) {
  TestDir dir;
  const std::string out = dir.file("out");
  struct Case {
    const char* setUp;
    bool written;
  } cases[] = {{"echo -n old > t; ln -s t out.part", true},
               {"ln -s /dev/full out.part", true},
               {"ln -s missing out.part", true},
               {"echo -n old > out.part", true},
               {"mkfifo out.part", false},
               {"mkdir out.part", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.setUp);
    for (const std::string& entry : ListTree(dir.path())) RemoveTree(dir.file(entry));
    ASSERT_EQ(RunProgram("/bin/sh", {"-c", "cd '" + dir.path() + "' && " + c.setUp}), 0);
    const std::string before = What(dir.file("t")), companion = What(out + ".part");
    StagedFile file;
    const bool begun = BeginStaged(out, out + ".part", 0, &file);
    EXPECT_EQ(begun, c.written);
    if (begun) {
      EXPECT_TRUE(StagedWrite(&file, "new", 3));
      EXPECT_TRUE(CommitStaged(&file, false));
      EXPECT_EQ(What(out + ".part"), "none");
    } else {
      EXPECT_EQ(What(out + ".part"), companion);
    }
    EXPECT_EQ(What(out), c.written ? "file:new" : "none");
    EXPECT_EQ(What(dir.file("t")), before);
  }
  EXPECT_EQ(What("/dev/full"), "chr");
}

}  // namespace
}  // namespace platform
