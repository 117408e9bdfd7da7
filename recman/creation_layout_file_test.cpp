#include "recman/creation_layout_file.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "platform/test_dir.h"

namespace recman {
namespace {

TEST(CreationLayoutFile, NameUnderTheRootsDdfFolder) {
  EXPECT_EQ(CreationLayoutFileName("C:\\SUITE\\", "TDespesa"), "C:\\SUITE\\ddf\\TDespesa.xdf");
  EXPECT_EQ(CreationLayoutFileName("", "PagamH"), "ddf\\PagamH.xdf");
}

TEST(CreationLayoutFile, LengthLittleEndianThenTheLayout) {
  EXPECT_EQ(EncodeCreationLayoutFile(""), std::string("\0\0", 2));
  std::string layout(0x1234, 'x');
  std::string bytes = EncodeCreationLayoutFile(layout);
  ASSERT_EQ(bytes.size(), 2 + layout.size());
  EXPECT_EQ(bytes.substr(0, 2), "\x34\x12");
  EXPECT_EQ(bytes.substr(2), layout);
}

TEST(CreationLayoutFile, WrittenFilesReadBack) {
  platform::TestDir dir;
  std::string layout("\x10\x00\x00\x04\x01\x00", 6);
  ASSERT_EQ(WriteCreationLayoutFile(dir.file("A.xdf"), layout), LayoutFileStatus::kOk);
  std::string bytes;
  ASSERT_TRUE(platform::ReadFile(dir.file("A.xdf"), &bytes));
  EXPECT_EQ(bytes, std::string("\x06\x00", 2) + layout);
  std::string back = "stale";
  EXPECT_EQ(ReadCreationLayoutFile(dir.file("A.xdf"), &back), LayoutFileStatus::kOk);
  EXPECT_EQ(back, layout);

  std::string longest(kMaxLayoutFileLayout, '\x01');
  ASSERT_EQ(WriteCreationLayoutFile(dir.file("B.xdf"), longest), LayoutFileStatus::kOk);
  EXPECT_EQ(ReadCreationLayoutFile(dir.file("B.xdf"), &back), LayoutFileStatus::kOk);
  EXPECT_EQ(back, longest);
  // One byte more cannot be stored: its length would wrap to 0.
  EXPECT_EQ(WriteCreationLayoutFile(dir.file("C.xdf"), longest + "x"), LayoutFileStatus::kTooLong);
  EXPECT_FALSE(platform::ReadFile(dir.file("C.xdf"), &bytes));
  EXPECT_EQ(WriteCreationLayoutFile(dir.file("no/such/D.xdf"), layout),
            LayoutFileStatus::kCannotWrite);
}

TEST(CreationLayoutFile, DamagedAndMissingFiles) {
  platform::TestDir dir;
  std::string got = "stale";
  EXPECT_EQ(ReadCreationLayoutFile(dir.file("none.xdf"), &got), LayoutFileStatus::kCannotRead);
  EXPECT_EQ(got, "");
  for (const std::string& bytes : {std::string(), std::string("\x05", 1)}) {
    got = "stale";
    EXPECT_EQ(ReadCreationLayoutFile(dir.Write("short.xdf", bytes), &got),
              LayoutFileStatus::kTooShort);
    EXPECT_EQ(got, "");
  }
  // The bytes the file lacks read as zero bytes; bytes beyond L are not read.
  EXPECT_EQ(ReadCreationLayoutFile(dir.Write("cut.xdf", std::string("\x05\x00" "ab", 4)), &got),
            LayoutFileStatus::kTruncated);
  EXPECT_EQ(got, std::string("ab\0\0\0", 5));
  EXPECT_EQ(ReadCreationLayoutFile(dir.Write("more.xdf", std::string("\x02\x00" "abc", 5)), &got),
            LayoutFileStatus::kOk);
  EXPECT_EQ(got, "ab");
}

}  // namespace
}  // namespace recman
