#include "config/file_stamp.h"

#include <sys/stat.h>
#include <time.h>

#include "config/session.h"
#include "platform/env.h"
#include "platform/wait_hooks.h"

namespace config {

namespace {

// Before a blocking wait: stamps marked until now must be looked at again.
void CountWait() { ++session.StampWaits; }

}  // namespace

FileStamp StampOf(const std::string& nativePath) {
  FileStamp s;
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  s.takenNs = static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
  struct stat st;
  if (nativePath.empty() || stat(nativePath.c_str(), &st) != 0) return s;
  s.exists = true;
  s.device = static_cast<uint64_t>(st.st_dev);
  s.inode = static_cast<uint64_t>(st.st_ino);
  s.size = static_cast<int64_t>(st.st_size);
  s.mtimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return s;
}

bool StillValid(const FileStamp& cached, const FileStamp& now) {
  return cached.exists && now.exists && cached.device == now.device &&
         cached.inode == now.inode && cached.size == now.size &&
         cached.mtimeNs == now.mtimeNs && cached.mtimeNs + kSettleNs < cached.takenNs;
}

void MarkChecked(FileStamp* stamp) {
  platform::AddWaitHook(CountWait);  // cheap; also after tests reset the registry
  stamp->checked = true;
  stamp->checkedNs = platform::CoarseNowNs();
  stamp->checkedWaits = session.StampWaits;
}

bool CheckedRecently(const FileStamp& stamp) {
  return stamp.checked && stamp.checkedWaits == session.StampWaits &&
         platform::CoarseNowNs() - stamp.checkedNs < kRecheckNs;
}

}  // namespace config
