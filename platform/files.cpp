#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

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

bool WriteFile(const std::string& nativePath, const std::string& bytes) {
  std::string tmp = nativePath + ".tmp" + std::to_string(getpid());
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (w < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      ::unlink(tmp.c_str());
      return false;
    }
    done += static_cast<size_t>(w);
  }
  if (::fsync(fd) != 0 || ::close(fd) != 0 || ::rename(tmp.c_str(), nativePath.c_str()) != 0) {
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
