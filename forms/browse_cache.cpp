// The browse cache file: entries appended and read back by position
// (layout in browse_cache_format.h).
#include "forms/browse_cache.h"

#include <cstdint>

#include "platform/coding.h"
#include "platform/files.h"

namespace console {

CacheStatus OpenBrowseCache(BrowseCache& cache, const std::string& nativePath) {
  CloseBrowseCache(cache);
  cache.Path = nativePath;
  if (!platform::OpenRecordFile(nativePath, platform::RecordOpen::kEmpty, &cache.File)) {
    cache.Path.clear();
    return CacheStatus::kOpenFailed;
  }
  return CacheStatus::kOk;
}

CacheStatus AppendBrowseEntry(BrowseCache& cache, int32_t recordPosition,
                              const std::string& text, int32_t& position) {
  if (!platform::RecordFileOpen(cache.File)) return CacheStatus::kOpenFailed;
  const std::string body = text.substr(0, browsecache::kMaxTextLength);
  std::string entry(browsecache::kHeaderSize, '\0');
  platform::EncodeFixed32(&entry[browsecache::kPrevious], uint32_t(cache.LastEntry));
  platform::EncodeFixed32(&entry[browsecache::kRecordPosition], uint32_t(recordPosition));
  platform::EncodeFixed16(&entry[browsecache::kLength], uint16_t(body.size()));
  entry += body;
  const int32_t at = cache.Size;  // 0-based offset of the new entry
  if (int64_t(at) + int64_t(entry.size()) > INT32_MAX) return CacheStatus::kWriteFailed;
  if (!platform::WriteAt(cache.File, at, entry)) {
    // Cut off whatever part reached the file, so that the cache ends on a
    // whole entry. Should that fail too, the size is kept as it was: the
    // bytes past it are never read.
    platform::TruncateRecordFile(cache.File, at);
    return CacheStatus::kWriteFailed;
  }
  position = at + 1;
  cache.LastEntry = position;
  cache.Size = at + int32_t(entry.size());
  return CacheStatus::kOk;
}

CacheStatus ReadBrowseEntry(BrowseCache& cache, int32_t position, CacheEntry& entry) {
  if (!platform::RecordFileOpen(cache.File) || position < 1 || position > cache.Size) {
    return CacheStatus::kNoEntry;
  }
  const int32_t at = position - 1;
  if (cache.Size - at < browsecache::kHeaderSize) return CacheStatus::kDamaged;
  std::string header;
  if (!platform::ReadAt(cache.File, at, browsecache::kHeaderSize, &header)) {
    return CacheStatus::kDamaged;
  }
  const int32_t length = int16_t(platform::DecodeFixed16(&header[browsecache::kLength]));
  if (length < 0 || cache.Size - at - browsecache::kHeaderSize < length) {
    return CacheStatus::kDamaged;
  }
  std::string text;
  if (length > 0 &&
      !platform::ReadAt(cache.File, at + browsecache::kHeaderSize, size_t(length), &text)) {
    return CacheStatus::kDamaged;
  }
  entry.Position = position;
  entry.Previous = int32_t(platform::DecodeFixed32(&header[browsecache::kPrevious]));
  entry.RecordPosition = int32_t(platform::DecodeFixed32(&header[browsecache::kRecordPosition]));
  entry.Text = std::move(text);
  return CacheStatus::kOk;
}

void CloseBrowseCache(BrowseCache& cache) {
  if (platform::RecordFileOpen(cache.File)) {
    platform::CloseRecordFile(&cache.File);
    platform::RemoveFile(cache.Path);
  }
  cache = BrowseCache();
}

}  // namespace console
