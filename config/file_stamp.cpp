#include "config/file_stamp.h"

#include <sys/stat.h>
#include <time.h>

namespace config {

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

}  // namespace config
