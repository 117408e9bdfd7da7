// The browse list's cache: the file Browse.tmp (layout in
// browse_cache_format.h) opened for the life of one list, to which lines
// are appended as they are fetched and from which they are read back by
// position when the operator scrolls back.
//
// The file stays open while the list is on the screen and is deleted when
// it closes. Every append reaches the file before it returns, so that the
// file's size is always the lines held. Failures are status values: a list
// whose cache cannot be written simply holds no more lines.
//
// State: the BrowseCache a caller keeps; nothing global.
#pragma once

#include <cstdint>
#include <string>

#include "forms/browse_cache_format.h"
#include "platform/record_file.h"

namespace console {

enum class CacheStatus {
  kOk,
  kOpenFailed,   // the file could not be created or emptied
  kWriteFailed,  // an entry could not be written whole; the cache is unchanged
  kNoEntry,      // no entry starts at that position (at or past the end)
  kDamaged,      // the bytes there do not form an entry
};

struct BrowseCache {
  platform::RecordFile File;
  std::string Path;       // native path, for deleting
  int32_t Size = 0;       // bytes held
  int32_t LastEntry = 0;  // position of the entry appended last; 0 = none
};

struct CacheEntry {
  int32_t Position = 0;        // where it starts (1-based)
  int32_t Previous = 0;        // position of the entry before; 0 for the first
  int32_t RecordPosition = 0;  // the record's physical position in the data file
  std::string Text;
  // Position just after the entry: where the next entry starts.
  int32_t End() const { return Position + browsecache::EntryLength(int32_t(Text.size())); }
};

// Creates or empties the file at the native path and opens it for reading
// and writing. kOk, or kOpenFailed (cache closed).
CacheStatus OpenBrowseCache(BrowseCache& cache, const std::string& nativePath);

// Appends an entry after the last one (previous := the last entry's
// position), the text cut to kMaxTextLength bytes; `position` receives its
// position. kOk; kWriteFailed when the entry did not reach the file whole,
// the cache then keeping its previous size (what was written is cut off
// again); kOpenFailed when the cache is not open.
CacheStatus AppendBrowseEntry(BrowseCache& cache, int32_t recordPosition,
                              const std::string& text, int32_t& position);

// Reads the entry at `position`. kOk; kNoEntry when position is below 1 or
// at or past the end; kDamaged when its header or text runs past the end
// of what the cache holds.
CacheStatus ReadBrowseEntry(BrowseCache& cache, int32_t position, CacheEntry& entry);

// Closes the file and deletes it. Safe on a cache never opened.
void CloseBrowseCache(BrowseCache& cache);

}  // namespace console
