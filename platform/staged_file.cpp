#include "platform/staged_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace platform {
namespace {

void Fail(StagedFile* file, int error) {
  if (file->error == 0) file->error = error != 0 ? error : EIO;
}

// Writes the bytes whole; false (error set) when the system refuses them.
bool WriteAll(StagedFile* file, const char* data, size_t length) {
  while (length > 0) {
    ssize_t n = ::write(file->fd, data, length);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      Fail(file, n < 0 ? errno : ENOSPC);
      return false;
    }
    data += n;
    length -= size_t(n);
  }
  return true;
}

void Close(StagedFile* file) {
  if (file->fd >= 0 && ::close(file->fd) != 0 && errno != EINTR) Fail(file, errno);
  file->fd = -1;
  file->buffer.clear();
}

}  // namespace

bool BeginStaged(const std::string& target, const std::string& part, size_t bufferSize,
                 StagedFile* file) {
  AbandonStaged(file);
  *file = StagedFile();
  file->target = target;
  file->part = part;
  file->bufferSize = bufferSize;
  int fd;
  while ((fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)) < 0 &&
         errno == EINTR) {
  }
  if (fd < 0) {
    Fail(file, errno);
    return false;
  }
  file->fd = fd;
  if (bufferSize > 0) file->buffer.reserve(bufferSize);
  return true;
}

bool StagedWrite(StagedFile* file, const void* data, size_t length) {
  if (file->fd < 0 || file->error != 0) return false;
  const char* bytes = static_cast<const char*>(data);
  if (file->bufferSize == 0) return WriteAll(file, bytes, length);
  while (length > 0) {
    size_t room = file->bufferSize - file->buffer.size();
    size_t take = length < room ? length : room;
    file->buffer.append(bytes, take);
    bytes += take;
    length -= take;
    if (file->buffer.size() == file->bufferSize) {
      bool ok = WriteAll(file, file->buffer.data(), file->buffer.size());
      file->buffer.clear();
      if (!ok) return false;
    }
  }
  return true;
}

bool CommitStaged(StagedFile* file, bool durable) {
  if (file->fd < 0) {
    if (file->error == 0) file->error = EBADF;
    return false;
  }
  if (file->error == 0 && !file->buffer.empty())
    WriteAll(file, file->buffer.data(), file->buffer.size());
  if (file->error == 0 && durable && ::fsync(file->fd) != 0) Fail(file, errno);
  Close(file);
  if (file->error == 0 && std::rename(file->part.c_str(), file->target.c_str()) != 0)
    Fail(file, errno);
  if (file->error != 0) {
    ::unlink(file->part.c_str());
    return false;
  }
  return true;
}

void AbandonStaged(StagedFile* file) {
  if (file->fd < 0) return;
  Close(file);
  ::unlink(file->part.c_str());
}

}  // namespace platform
