#include "platform/test_dir.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/files.h"
#include "platform/paths.h"

namespace platform {
namespace {

TEST(TestDirTest, FreshDirectoriesAreRemovedWithEverythingInThem) {
  TestDir outside;
  outside.Write("keep.txt", "k");
  std::string first, second;
  {
    TestDir a, b;
    first = a.path();
    second = b.path();
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.back(), '/');
    EXPECT_NE(first, second);
    EXPECT_EQ(a.Write("x/y/z.txt", std::string("A\0B", 3)), a.file("x/y/z.txt"));
    std::string bytes;
    ASSERT_TRUE(ReadFile(first + "x/y/z.txt", &bytes));
    EXPECT_EQ(bytes, std::string("A\0B", 3));
    // A link inside is removed, not followed.
    ASSERT_EQ(symlink(outside.path().c_str(), a.file("link").c_str()), 0);
  }
  EXPECT_FALSE(PathExists(first));
  EXPECT_FALSE(PathExists(second));
  EXPECT_TRUE(PathExists(outside.file("keep.txt")));
}

TEST(TestDirTest, KeepLeavesTheDirectory) {
  std::string kept;
  {
    TestDir d;
    d.Write("f", "x");
    d.Keep();
    kept = d.path();
  }
  EXPECT_TRUE(PathExists(kept + "f"));
  EXPECT_EQ(std::remove((kept + "f").c_str()), 0);
  EXPECT_EQ(rmdir(kept.c_str()), 0);
}

}  // namespace
}  // namespace platform
