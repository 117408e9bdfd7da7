#include "platform/record_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

bool OpenRecordFile(const std::string& nativePath, RecordOpen how, RecordFile* file) {
  CloseRecordFile(file);
  int flags = O_RDWR | O_CLOEXEC;
  if (how != RecordOpen::kExisting) flags |= O_CREAT;
  if (how == RecordOpen::kEmpty) flags |= O_TRUNC;
  int fd;
  while ((fd = ::open(nativePath.c_str(), flags, 0644)) < 0 && errno == EINTR) {
  }
  file->fd = fd;
  return fd >= 0;
}

int64_t RecordFileSize(const RecordFile& file) {
  struct stat st;
  if (file.fd < 0 || ::fstat(file.fd, &st) != 0) return -1;
  return int64_t(st.st_size);
}

bool ReadAt(const RecordFile& file, int64_t offset, size_t length, std::string* bytes) {
  if (file.fd < 0 || offset < 0) return false;
  bytes->assign(length, '\0');
  size_t done = 0;
  while (done < length) {
    ssize_t n = ::pread(file.fd, &(*bytes)[done], length - done, off_t(offset) + off_t(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += size_t(n);
  }
  return true;
}

bool WriteAt(const RecordFile& file, int64_t offset, const std::string& bytes) {
  if (file.fd < 0 || offset < 0) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::pwrite(file.fd, bytes.data() + done, bytes.size() - done,
                         off_t(offset) + off_t(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += size_t(n);
  }
  return true;
}

bool TruncateRecordFile(const RecordFile& file, int64_t size) {
  if (file.fd < 0 || size < 0) return false;
  int rc;
  while ((rc = ::ftruncate(file.fd, off_t(size))) != 0 && errno == EINTR) {
  }
  return rc == 0;
}

bool CloseRecordFile(RecordFile* file) {
  if (file->fd < 0) return true;
  // A close interrupted by a signal has closed the descriptor all the same
  // (Linux); retrying could close one opened meanwhile.
  bool ok = ::close(file->fd) == 0 || errno == EINTR;
  file->fd = -1;
  return ok;
}

}  // namespace platform
