#include "forms/browse_cache.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "forms/browse_cache_format.h"
#include "platform/files.h"
#include "platform/test_dir.h"

namespace console {
namespace {

TEST(BrowseCacheTest, EntriesAreAppendedInTheirByteLayoutAndReadBackByPosition) {
  platform::TestDir dir;
  const std::string path = dir.file(browsecache::kFileName);
  ASSERT_TRUE(platform::WriteFile(path, "stale lines of an earlier list"));
  BrowseCache cache;
  ASSERT_EQ(OpenBrowseCache(cache, path), CacheStatus::kOk);
  int32_t first = 0, second = 0, third = 0;
  ASSERT_EQ(AppendBrowseEntry(cache, 0x01020304, "001  ABAT", first), CacheStatus::kOk);
  ASSERT_EQ(AppendBrowseEntry(cache, 70000, "", second), CacheStatus::kOk);
  ASSERT_EQ(AppendBrowseEntry(cache, 5, std::string(40000, '\x8F'), third), CacheStatus::kOk);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 20);
  EXPECT_EQ(third, 30);
  std::string bytes;
  ASSERT_TRUE(platform::ReadFile(path, &bytes));  // the stale bytes gone
  EXPECT_EQ(bytes.substr(0, 40), std::string("\0\0\0\0" "\x04\x03\x02\x01" "\x09\0" "001  ABAT"
                                             "\x01\0\0\0" "\x70\x11\x01\0" "\0\0"
                                             "\x14\0\0\0" "\x05\0\0\0" "\xFF\x7F" "\x8F",
                                             40));
  EXPECT_EQ(bytes.size(), size_t(29 + 10 + 32767));  // a text cut to 32767 bytes

  CacheEntry e;
  ASSERT_EQ(ReadBrowseEntry(cache, 20, e), CacheStatus::kOk);
  EXPECT_EQ(e.Previous, 1);
  EXPECT_EQ(e.RecordPosition, 70000);
  EXPECT_EQ(e.Text, "");
  EXPECT_EQ(e.End(), 30);
  ASSERT_EQ(ReadBrowseEntry(cache, 30, e), CacheStatus::kOk);
  EXPECT_EQ(ReadBrowseEntry(cache, e.End(), e), CacheStatus::kNoEntry);  // the end
  EXPECT_EQ(ReadBrowseEntry(cache, 0, e), CacheStatus::kNoEntry);
  // Near the end the bytes cannot hold an entry's header.
  EXPECT_EQ(ReadBrowseEntry(cache, int32_t(bytes.size()) - 4, e), CacheStatus::kDamaged);

  CloseBrowseCache(cache);
  EXPECT_EQ(access(path.c_str(), F_OK), -1);  // deleted
  CloseBrowseCache(cache);                    // again: nothing happens
}

TEST(BrowseCacheTest, FailuresAreStatusesAndAFailedAppendLeavesTheCacheAsItWas) {
  platform::TestDir dir;
  BrowseCache cache;
  int32_t at = 0;
  EXPECT_EQ(OpenBrowseCache(cache, dir.file("no/such/dir")), CacheStatus::kOpenFailed);
  EXPECT_EQ(AppendBrowseEntry(cache, 1, "a", at), CacheStatus::kOpenFailed);
  ASSERT_EQ(symlink("/dev/full", dir.file("full").c_str()), 0);
  ASSERT_EQ(OpenBrowseCache(cache, dir.file("full")), CacheStatus::kOk);
  EXPECT_EQ(AppendBrowseEntry(cache, 1, "a line", at), CacheStatus::kWriteFailed);
  EXPECT_EQ(cache.Size, 0);
  EXPECT_EQ(cache.LastEntry, 0);
  CloseBrowseCache(cache);
  EXPECT_EQ(access("/dev/full", F_OK), 0);  // the link went, not the device
}

}  // namespace
}  // namespace console
