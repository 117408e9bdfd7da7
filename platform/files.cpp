#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/output_target.h"

namespace platform {

bool ReadFile(const std::string& nativePath, std::string* bytes) {
  bytes->clear();
  FILE* f = std::fopen(nativePath.c_str(), "rb");
  if (!f) return false;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes->append(buf, n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  if (!ok) bytes->clear();
  return ok;
}

namespace {

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(w);
  }
  return true;
}

}  // namespace

bool WriteFile(const std::string& nativePath, const std::string& bytes) {
  // A device or FIFO is written as a device; a link is followed, never
  // replaced (output_target.h).
  const OutputTarget target = ResolveOutputTarget(nativePath);
  if (target.kind == TargetKind::kUnusable) return false;
  if (target.kind == TargetKind::kDevice) {
    int fd = ::open(target.path.c_str(), O_WRONLY);
    if (fd < 0) return false;
    bool written = WriteAll(fd, bytes);
    return ::close(fd) == 0 && written;
  }
  std::string tmp = target.path + ".tmp" + std::to_string(getpid());
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  if (!WriteAll(fd, bytes)) {
    ::close(fd);
    ::unlink(tmp.c_str());
    return false;
  }
  if (::fsync(fd) != 0 || ::close(fd) != 0 || !MayRenameOver(target.path) ||
      ::rename(tmp.c_str(), target.path.c_str()) != 0) {
    ::unlink(tmp.c_str());
    return false;
  }
  return true;
}

bool MakeDirs(const std::string& nativePath) {
  if (nativePath.empty()) return true;
  std::string cur;
  for (size_t i = 0; i <= nativePath.size(); ++i) {
    if (i == nativePath.size() || nativePath[i] == '/') {
      if (!cur.empty() && cur != "/") {
        if (::mkdir(cur.c_str(), 0755) != 0 && errno != EEXIST) return false;
      }
    }
    if (i < nativePath.size()) cur.push_back(nativePath[i]);
  }
  return IsDirectory(nativePath);
}

bool IsDirectory(const std::string& nativePath) {
  struct stat st;
  return ::stat(nativePath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace platform
