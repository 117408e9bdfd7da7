#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/staged_file.h"

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
  // The companion name carries the process, so that two programs writing
  // the same file at once never write into each other's companion.
  StagedFile file;
  if (!BeginStaged(nativePath, nativePath + ".tmp" + std::to_string(getpid()), 0, &file))
    return false;
  StagedWrite(&file, bytes.data(), bytes.size());  // a failure fails the commit
  return CommitStaged(&file, true);
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

bool RemoveFile(const std::string& nativePath) { return std::remove(nativePath.c_str()) == 0; }

bool RenameFile(const std::string& from, const std::string& to, int* error) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
  if (error) *error = errno;
  return false;
}

bool TouchFile(const std::string& nativePath) {
  int fd = ::open(nativePath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

bool IsRegularFile(const std::string& nativePath) {
  struct stat st;
  return ::stat(nativePath.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool ReadFileHead(const std::string& nativePath, size_t length, std::string* bytes, int* error) {
  bytes->clear();
  int fd = ::open(nativePath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    *error = errno;
    return false;
  }
  bytes->resize(length);
  size_t done = 0;
  bool ok = true;
  while (done < length) {
    ssize_t n = ::read(fd, &(*bytes)[done], length - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      *error = errno;
      ok = false;
    }
    if (n <= 0) break;
    done += size_t(n);
  }
  ::close(fd);
  bytes->resize(ok ? done : 0);
  return ok;
}

bool LinkFile(const std::string& from, const std::string& to, int* error) {
  if (::link(from.c_str(), to.c_str()) == 0) return true;
  *error = errno;
  return false;
}

bool MakeExecutable(const std::string& nativePath) {
  return ::chmod(nativePath.c_str(), 0755) == 0;
}

bool CanWrite(const std::string& nativePath) { return ::access(nativePath.c_str(), W_OK) == 0; }

int64_t FileSize(const std::string& nativePath) {
  struct stat st;
  if (::stat(nativePath.c_str(), &st) != 0) return -1;
  return int64_t(st.st_size);
}

FileIdentity IdentityOf(const std::string& nativePath) {
  FileIdentity id;
  struct stat st;
  if (nativePath.empty() || ::stat(nativePath.c_str(), &st) != 0) return id;
  id.exists = true;
  id.device = static_cast<uint64_t>(st.st_dev);
  id.inode = static_cast<uint64_t>(st.st_ino);
  id.size = static_cast<int64_t>(st.st_size);
  id.mtimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return id;
}

bool SyncDirectory(const std::string& nativePath) {
  int fd = ::open(nativePath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

std::string MakeTemporaryFile(const std::string& directory, const std::string& prefix,
                              const std::string& suffix, int* error) {
  std::string name = directory + "/" + prefix + "XXXXXX" + suffix;
  int fd = ::mkstemps(&name[0], int(suffix.size()));
  if (fd < 0) {
    *error = errno;
    return "";
  }
  ::close(fd);
  return name;
}

}  // namespace platform
