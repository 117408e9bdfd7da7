#include "platform/directory.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/test_dir.h"

namespace platform {
namespace {

TEST(AbsolutePathTest, DropsDotsAndEmptyComponents) {
  EXPECT_EQ(AbsolutePath("/a//b/./c/../d"), "/a/b/d");
  EXPECT_EQ(AbsolutePath("/.."), "/");
  EXPECT_EQ(AbsolutePath("/"), "/");
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_EQ(AbsolutePath("x/y.dat"), AbsolutePath(std::string(cwd) + "/x/y.dat"));
}

TEST(DirectoryTest, TheCurrentDirectoryChanges) {
  TestDir dir;
  const std::string before = CurrentDirectory();
  ASSERT_FALSE(before.empty());
  ASSERT_TRUE(ChangeDirectory(dir.path()));
  EXPECT_EQ(AbsolutePath(CurrentDirectory()), AbsolutePath(dir.path()));
  EXPECT_FALSE(ChangeDirectory(dir.file("missing")));
  ASSERT_TRUE(ChangeDirectory(before));
}

TEST(DirectoryTest, ListsEntriesInByteOrderAndFindsNamesWithoutRegardToCase) {
  TestDir dir;
  ASSERT_TRUE(WriteFile(dir.file("b.csv"), ""));
  ASSERT_TRUE(WriteFile(dir.file("Finques.CSV"), ""));
  ASSERT_TRUE(WriteFile(dir.file("FINQUES.csv"), ""));
  ASSERT_TRUE(WriteFile(dir.file("c\xc3\x80.txt"), ""));  // "cÀ.txt"
  ASSERT_TRUE(MakeDirs(dir.file("Sub")));
  EXPECT_EQ(ListDirectory(dir.path(), Entries::kAll),
            (std::vector<std::string>{"FINQUES.csv", "Finques.CSV", "Sub", "b.csv",
                                      "c\xc3\x80.txt"}));
  EXPECT_EQ(ListDirectory(dir.path(), Entries::kFiles),
            (std::vector<std::string>{"FINQUES.csv", "Finques.CSV", "b.csv", "c\xc3\x80.txt"}));
  EXPECT_TRUE(ListDirectory(dir.file("missing"), Entries::kAll).empty());

  struct Case {
    const char* name;
    const char* found;
  } cases[] = {
      {"Finques.CSV", "Finques.CSV"},   // as written wins
      {"finques.csv", "FINQUES.csv"},   // else the first in byte order
      {"B.CSV", "b.csv"},
      {"C\xc3\xa0.TXT", "c\xc3\x80.txt"},  // accented letters fold too
      {"sub", "Sub"},
      {"nothing", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(FindNoCase(dir.path(), c.name), c.found) << c.name;
  EXPECT_TRUE(SameNameNoCase("PROPIETH.dat", "PropietH.DAT"));
  EXPECT_FALSE(SameNameNoCase("PropietH", "PropietH2"));
}

}  // namespace
}  // namespace platform
