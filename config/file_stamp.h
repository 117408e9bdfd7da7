// File stamps: how the INI reader and the message catalogue know that a file
// they parsed before is still the same on disk.
//
// Both readers promise that a change on disk is seen soon, and always by the
// next report pass. They keep a parsed copy of a file only together with its
// stamp (device, inode, size and modification time in nanoseconds) and use
// the copy only while a fresh stamp is identical. A fresh stamp costs a
// stat, and a report pass looks up captions by the hundred thousand, so a
// stamp found identical is trusted for kRecheckNs (by the coarse clock,
// which costs no system call) without another look, unless the program has
// waited for a key or a child program since (platform/wait_hooks.h): the
// operator's key that starts the next pass, or the print program of the
// last one, always makes the next lookup look again.
//
// The modification time is only as fine as the file system's clock tick
// (a few milliseconds on common Linux file systems), so a file written twice
// within one tick can keep its time and size. A stamp is therefore trusted
// only when the file's time lay clearly (kSettleNs) before the moment the
// stamp was taken: any later write then carries a later time. A file
// modified just before it was read, or dated in the future, is re-read on
// every call until it has settled.
//
// State: the number of blocking waits seen, session.StampWaits (session.h);
// the wait hook that counts them is registered with the first MarkChecked.
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
  // Set by MarkChecked: when the stamp was last found identical to the file.
  bool checked = false;
  int64_t checkedNs = 0;        // platform::CoarseNowNs then
  uint64_t checkedWaits = 0;    // session.StampWaits then
};

// How long a stamp found identical to its file is trusted without a look.
constexpr int64_t kRecheckNs = 100 * 1000 * 1000;

// How long before the stamp a file's time must lie to be trusted.
constexpr int64_t kSettleNs = 100 * 1000 * 1000;

// The stamp of the file at the native path; exists = false when the system
// cannot look at it.
FileStamp StampOf(const std::string& nativePath);

// True when a copy parsed under `cached` may stand for the file whose
// current stamp is `now`: both exist, nothing differs, and the cached stamp
// was settled when it was taken.
bool StillValid(const FileStamp& cached, const FileStamp& now);

// Records that the stamp has just been found identical to its file (or
// taken from it).
void MarkChecked(FileStamp* stamp);

// True when the copy parsed under the stamp may be used without looking at
// the file: it was marked less than kRecheckNs ago and no blocking wait
// came since.
bool CheckedRecently(const FileStamp& stamp);

}  // namespace config
