#include "config/file_stamp.h"

#include "config/session.h"
#include "platform/env.h"
#include "platform/files.h"
#include "platform/wait_hooks.h"

namespace config {

namespace {

// Before a blocking wait: stamps marked until now must be looked at again.
void CountWait() { ++session.StampWaits; }

}  // namespace

FileStamp StampOf(const std::string& nativePath) {
  FileStamp s;
  s.takenNs = platform::WallClockNs();
  const platform::FileIdentity id = platform::IdentityOf(nativePath);
  s.exists = id.exists;
  s.device = id.device;
  s.inode = id.inode;
  s.size = id.size;
  s.mtimeNs = id.mtimeNs;
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
