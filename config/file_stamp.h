// File stamps: how the INI reader and the message catalogue know that a file
// they parsed before is still the same on disk.
//
// Both readers promise that a change on disk is seen by the next call. They
// keep a parsed copy of a file only together with its stamp (device, inode,
// size and modification time in nanoseconds) and use the copy only while a
// fresh stamp is identical.
//
// The modification time is only as fine as the file system's clock tick
// (a few milliseconds on common Linux file systems), so a file written twice
// within one tick can keep its time and size. A stamp is therefore trusted
// only when the file's time lay clearly (kSettleNs) before the moment the
// stamp was taken: any later write then carries a later time. A file
// modified just before it was read, or dated in the future, is re-read on
// every call until it has settled.
//
// State: none.
#pragma once

#include <cstdint>
#include <string>

namespace config {

struct FileStamp {
  bool exists = false;
  uint64_t device = 0;
  uint64_t inode = 0;
  int64_t size = 0;
  int64_t mtimeNs = 0;  // modification time, nanoseconds since the epoch
  int64_t takenNs = 0;  // wall clock when the stamp was taken
};

// How long before the stamp a file's time must lie to be trusted.
constexpr int64_t kSettleNs = 100 * 1000 * 1000;

// The stamp of the file at the native path; exists = false when stat fails.
FileStamp StampOf(const std::string& nativePath);

// True when a copy parsed under `cached` may stand for the file whose
// current stamp is `now`: both exist, nothing differs, and the cached stamp
// was settled when it was taken.
bool StillValid(const FileStamp& cached, const FileStamp& now);

}  // namespace config
