#include "console/browse_cache.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "console/browse_cache_format.h"
#include "platform/files.h"
#include "platform/test_dir.h"

namespace console {
namespace {

std::string Bytes(const std::string& path) {
  std::string b;
  platform::ReadFile(path, &b);
  return b;
}

TEST(BrowseCacheTest, EntriesAreAppendedInTheirByteLayoutAndReadBackByPosition) {
  platform::TestDir dir;
  const std::string path = dir.file(browsecache::kFileName);
  ASSERT_TRUE(platform::WriteFile(path, "stale lines of an earlier list"));
  BrowseCache cache;
  ASSERT_EQ(OpenBrowseCache(cache, path), CacheStatus::kOk);
  EXPECT_EQ(Bytes(path), "");  // emptied
  int32_t first = 0, second = 0, third = 0;
  ASSERT_EQ(AppendBrowseEntry(cache, 0x01020304, "001  ABAT", first), CacheStatus::kOk);
  ASSERT_EQ(AppendBrowseEntry(cache, 70000, "", second), CacheStatus::kOk);
  ASSERT_EQ(AppendBrowseEntry(cache, 5, "\x8F", third), CacheStatus::kOk);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 20);
  EXPECT_EQ(third, 30);
  EXPECT_EQ(Bytes(path), std::string("\0\0\0\0" "\x04\x03\x02\x01" "\x09\0" "001  ABAT"
                                     "\x01\0\0\0" "\x70\x11\x01\0" "\0\0"
                                     "\x14\0\0\0" "\x05\0\0\0" "\x01\0" "\x8F",
                                     40));
  EXPECT_EQ(cache.Size, 40);

  CacheEntry e;
  ASSERT_EQ(ReadBrowseEntry(cache, 20, e), CacheStatus::kOk);
  EXPECT_EQ(e.Position, 20);
  EXPECT_EQ(e.Previous, 1);
  EXPECT_EQ(e.RecordPosition, 70000);
  EXPECT_EQ(e.Text, "");
  EXPECT_EQ(e.End(), 30);
  ASSERT_EQ(ReadBrowseEntry(cache, 30, e), CacheStatus::kOk);
  EXPECT_EQ(e.Text, "\x8F");
  EXPECT_EQ(e.End(), 41);  // the end of the cache: no entry there
  EXPECT_EQ(ReadBrowseEntry(cache, 41, e), CacheStatus::kNoEntry);
  EXPECT_EQ(ReadBrowseEntry(cache, 0, e), CacheStatus::kNoEntry);
  // A position inside an entry reads bytes that do not form one.
  EXPECT_EQ(ReadBrowseEntry(cache, 35, e), CacheStatus::kDamaged);

  CloseBrowseCache(cache);
  EXPECT_EQ(access(path.c_str(), F_OK), -1);  // deleted
  EXPECT_EQ(cache.File, nullptr);
  CloseBrowseCache(cache);                    // again: nothing happens
}

TEST(BrowseCacheTest, ATextLongerThanALengthCanSayIsCut) {
  platform::TestDir dir;
  BrowseCache cache;
  ASSERT_EQ(OpenBrowseCache(cache, dir.file("c")), CacheStatus::kOk);
  int32_t at = 0;
  ASSERT_EQ(AppendBrowseEntry(cache, 1, std::string(40000, 'x'), at), CacheStatus::kOk);
  CacheEntry e;
  ASSERT_EQ(ReadBrowseEntry(cache, at, e), CacheStatus::kOk);
  EXPECT_EQ(e.Text.size(), size_t(browsecache::kMaxTextLength));
  EXPECT_EQ(cache.Size, browsecache::EntryLength(browsecache::kMaxTextLength));
  CloseBrowseCache(cache);
}

TEST(BrowseCacheTest, FailuresAreStatusesAndAFailedAppendLeavesTheCacheAsItWas) {
  platform::TestDir dir;
  BrowseCache cache;
  int32_t at = 0;
  EXPECT_EQ(OpenBrowseCache(cache, dir.file("no/such/dir")), CacheStatus::kOpenFailed);
  EXPECT_EQ(AppendBrowseEntry(cache, 1, "a", at), CacheStatus::kOpenFailed);
  CacheEntry e;
  EXPECT_EQ(ReadBrowseEntry(cache, 1, e), CacheStatus::kNoEntry);

  ASSERT_EQ(symlink("/dev/full", dir.file("full").c_str()), 0);
  ASSERT_EQ(OpenBrowseCache(cache, dir.file("full")), CacheStatus::kOk);
  EXPECT_EQ(AppendBrowseEntry(cache, 1, "a line", at), CacheStatus::kWriteFailed);
  EXPECT_EQ(cache.Size, 0);
  EXPECT_EQ(cache.LastEntry, 0);
  CloseBrowseCache(cache);
  EXPECT_EQ(access("/dev/full", F_OK), 0);  // the link went, not the device
}

TEST(BrowseCacheTest, AnEntryWhoseLengthRunsPastTheEndIsDamaged) {
  platform::TestDir dir;
  BrowseCache cache;
  ASSERT_EQ(OpenBrowseCache(cache, dir.file("c")), CacheStatus::kOk);
  int32_t at = 0;
  ASSERT_EQ(AppendBrowseEntry(cache, 1, "abc", at), CacheStatus::kOk);
  // Another program writes a larger length into the entry.
  std::fseek(cache.File, browsecache::kLength, SEEK_SET);
  std::fwrite("\x10\0", 1, 2, cache.File);
  std::fflush(cache.File);
  CacheEntry e;
  EXPECT_EQ(ReadBrowseEntry(cache, 1, e), CacheStatus::kDamaged);
  std::fseek(cache.File, browsecache::kLength, SEEK_SET);
  std::fwrite("\xFF\xFF", 1, 2, cache.File);  // negative
  std::fflush(cache.File);
  EXPECT_EQ(ReadBrowseEntry(cache, 1, e), CacheStatus::kDamaged);
  CloseBrowseCache(cache);
}

}  // namespace
}  // namespace console
