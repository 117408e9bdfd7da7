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
#include "platform/test_dir.h"

namespace platform {
namespace {

// What the path names now, without following a link: "file:<bytes>",
// "link:<target>", "fifo", "dir", "chr" or "none".
std::string What(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return "none";
  if (S_ISLNK(st.st_mode)) {
    char buf[4096];
    ssize_t n = ::readlink(path.c_str(), buf, sizeof buf);
    return "link:" + std::string(buf, size_t(n > 0 ? n : 0));
  }
  if (S_ISFIFO(st.st_mode)) return "fifo";
  if (S_ISDIR(st.st_mode)) return "dir";
  if (S_ISCHR(st.st_mode)) return "chr";
  std::string bytes;
  ReadFile(path, &bytes);
  return "file:" + bytes;
}

// WriteFile replaces only regular files: a device or a FIFO is written as
// a device, a link is followed to what it names, a folder or a broken link
// is refused; none of them is ever turned into a regular file.
TEST(OutputTargetTest, OnlyARegularFileIsEverRenamedOver) {
  TestDir dir;
  const std::string out = dir.file("out");
  struct Case {
    const char* name;
    void (*setUp)(const TestDir&);
    TargetKind kind;
    bool written;
    std::string after;   // What(out) afterwards
    std::string target;  // What(dir.file("target")) afterwards
  } cases[] = {
      {"nothing", [](const TestDir&) {}, TargetKind::kNew, true, "file:new", "none"},
      {"a file", [](const TestDir& d) { d.Write("out", "old"); }, TargetKind::kRegular, true,
       "file:new", "none"},
      {"a link to a file",
       [](const TestDir& d) {
         d.Write("target", "old");
         ASSERT_EQ(::symlink("target", d.file("out").c_str()), 0);
       },
       TargetKind::kRegular, true, "link:target", "file:new"},
      {"a chain of links",
       [](const TestDir& d) {
         d.Write("target", "old");
         ASSERT_EQ(::symlink("target", d.file("middle").c_str()), 0);
         ASSERT_EQ(::symlink("middle", d.file("out").c_str()), 0);
       },
       TargetKind::kRegular, true, "link:middle", "file:new"},
      {"a link to /dev/null",
       [](const TestDir& d) { ASSERT_EQ(::symlink("/dev/null", d.file("out").c_str()), 0); },
       TargetKind::kDevice, true, "link:/dev/null", "none"},
      {"a FIFO", [](const TestDir& d) { ASSERT_EQ(::mkfifo(d.file("out").c_str(), 0600), 0); },
       TargetKind::kDevice, true, "fifo", "none"},
      {"a folder", [](const TestDir& d) { ASSERT_EQ(::mkdir(d.file("out").c_str(), 0700), 0); },
       TargetKind::kUnusable, false, "dir", "none"},
      {"a broken link",
       [](const TestDir& d) { ASSERT_EQ(::symlink("missing", d.file("out").c_str()), 0); },
       TargetKind::kUnusable, false, "link:missing", "none"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const std::string& entry : ListTree(dir.path())) RemoveTree(dir.file(entry));
    c.setUp(dir);
    EXPECT_EQ(ResolveOutputTarget(out).kind, c.kind);
    // A FIFO's writer waits for its reader.
    std::string read;
    std::thread reader;
    if (What(out) == "fifo") {
      reader = std::thread([&] {
        std::ifstream in(out, std::ios::binary);
        read.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      });
    }
    EXPECT_EQ(WriteFile(out, "new"), c.written);
    if (reader.joinable()) {
      reader.join();
      EXPECT_EQ(read, "new");
    }
    EXPECT_EQ(What(out), c.after);
    EXPECT_EQ(What(dir.file("target")), c.target);
    EXPECT_EQ(What("/dev/null"), "chr");
    EXPECT_EQ(ListTree(dir.path()).size(),
              size_t(What(dir.file("middle")) != "none") + (c.target != "none") + 1);
  }
}

}  // namespace
}  // namespace platform
