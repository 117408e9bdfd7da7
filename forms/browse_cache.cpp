// The browse cache file: entries appended and read back by position
// (layout in browse_cache_format.h).
#include "forms/browse_cache.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>

#include "platform/coding.h"

namespace console {
namespace {

bool Seek(std::FILE* f, int32_t offset) { return std::fseek(f, long(offset), SEEK_SET) == 0; }

}  // namespace

CacheStatus OpenBrowseCache(BrowseCache& cache, const std::string& nativePath) {
  CloseBrowseCache(cache);
  cache.Path = nativePath;
  cache.File = std::fopen(nativePath.c_str(), "w+b");
  if (cache.File == nullptr) {
    cache.Path.clear();
    return CacheStatus::kOpenFailed;
  }
  return CacheStatus::kOk;
}

CacheStatus AppendBrowseEntry(BrowseCache& cache, int32_t recordPosition,
                              const std::string& text, int32_t& position) {
  if (cache.File == nullptr) return CacheStatus::kOpenFailed;
  const std::string body = text.substr(0, browsecache::kMaxTextLength);
  std::string entry(browsecache::kHeaderSize, '\0');
  platform::EncodeFixed32(&entry[browsecache::kPrevious], uint32_t(cache.LastEntry));
  platform::EncodeFixed32(&entry[browsecache::kRecordPosition], uint32_t(recordPosition));
  platform::EncodeFixed16(&entry[browsecache::kLength], uint16_t(body.size()));
  entry += body;
  const int32_t at = cache.Size;  // 0-based offset of the new entry
  if (int64_t(at) + int64_t(entry.size()) > INT32_MAX) return CacheStatus::kWriteFailed;
  bool written = Seek(cache.File, at) &&
                 std::fwrite(entry.data(), 1, entry.size(), cache.File) == entry.size() &&
                 std::fflush(cache.File) == 0;
  if (!written) {
    // Cut off whatever part reached the file, so that the cache ends on a
    // whole entry; a failing flush may leave bytes buffered, dropped here.
    std::clearerr(cache.File);
    std::fflush(cache.File);
    if (ftruncate(fileno(cache.File), off_t(at)) != 0) {
      // The size is kept as it was: the bytes past it are never read.
    }
    std::clearerr(cache.File);
    return CacheStatus::kWriteFailed;
  }
  position = at + 1;
  cache.LastEntry = position;
  cache.Size = at + int32_t(entry.size());
  return CacheStatus::kOk;
}

CacheStatus ReadBrowseEntry(BrowseCache& cache, int32_t position, CacheEntry& entry) {
  if (cache.File == nullptr || position < 1 || position > cache.Size) return CacheStatus::kNoEntry;
  const int32_t at = position - 1;
  if (cache.Size - at < browsecache::kHeaderSize) return CacheStatus::kDamaged;
  char header[browsecache::kHeaderSize];
  if (!Seek(cache.File, at) ||
      std::fread(header, 1, sizeof header, cache.File) != sizeof header) {
    std::clearerr(cache.File);
    return CacheStatus::kDamaged;
  }
  const int32_t length = int16_t(platform::DecodeFixed16(header + browsecache::kLength));
  if (length < 0 || cache.Size - at - browsecache::kHeaderSize < length) {
    return CacheStatus::kDamaged;
  }
  std::string text(size_t(length), '\0');
  if (length > 0 && std::fread(&text[0], 1, size_t(length), cache.File) != size_t(length)) {
    std::clearerr(cache.File);
    return CacheStatus::kDamaged;
  }
  entry.Position = position;
  entry.Previous = int32_t(platform::DecodeFixed32(header + browsecache::kPrevious));
  entry.RecordPosition = int32_t(platform::DecodeFixed32(header + browsecache::kRecordPosition));
  entry.Text = std::move(text);
  return CacheStatus::kOk;
}

void CloseBrowseCache(BrowseCache& cache) {
  if (cache.File != nullptr) {
    std::fclose(cache.File);
    std::remove(cache.Path.c_str());
  }
  cache = BrowseCache();
}

}  // namespace console
