#include "platform/staged_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/output_target.h"
#include "platform/staged_file_write.h"

namespace platform {
namespace {

void Fail(StagedFile* file, int error) {
  if (file->error == 0) file->error = error != 0 ? error : EIO;
}

}  // namespace

bool StagedWriteAll(StagedFile* file, const char* data, size_t length) {
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

namespace {

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
  file->bufferSize = bufferSize;
  const OutputTarget where = ResolveOutputTarget(target);
  if (where.kind == TargetKind::kUnusable) {
    Fail(file, where.error);
    return false;
  }
  file->destination = where.path;
  file->inPlace = where.kind == TargetKind::kDevice;
  // A link's file gets its companion beside it, so that the rename stays
  // inside its folder.
  const bool named = part.compare(0, target.size(), target) == 0;
  file->part = file->inPlace ? where.path
               : named       ? where.path + part.substr(target.size())
                             : part;
  // The companion name belongs to the writer: a link found there is
  // removed, never written through; a FIFO, device or folder there is
  // refused (EEXIST), as is a link planted after the removal (ELOOP).
  struct stat st;
  if (!file->inPlace && ::lstat(file->part.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
    ::unlink(file->part.c_str());
  const int flags = file->inPlace
                        ? O_WRONLY | O_CLOEXEC
                        : O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
  int fd;
  while ((fd = ::open(file->part.c_str(), flags, 0644)) < 0 && errno == EINTR) {
  }
  if (fd < 0) {
    Fail(file, errno == ENXIO ? EEXIST : errno);
    return false;
  }
  if (!file->inPlace && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
    ::close(fd);
    Fail(file, EEXIST);
    return false;
  }
  file->fd = fd;
  if (bufferSize > 0) file->buffer.reserve(bufferSize);
  return true;
}

bool CommitStaged(StagedFile* file, bool durable) {
  if (file->fd < 0) {
    if (file->error == 0) file->error = EBADF;
    return false;
  }
  if (file->error == 0 && !file->buffer.empty())
    StagedWriteAll(file, file->buffer.data(), file->buffer.size());
  // A device is neither synced (most refuse it) nor renamed.
  if (file->error == 0 && durable && !file->inPlace && ::fsync(file->fd) != 0) Fail(file, errno);
  Close(file);
  if (file->inPlace) return file->error == 0;
  // The path may have changed while the file was written: nothing but a
  // regular file (or nothing) is renamed over.
  if (file->error == 0 && !MayRenameOver(file->destination)) Fail(file, EEXIST);
  if (file->error == 0 && std::rename(file->part.c_str(), file->destination.c_str()) != 0)
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
  if (!file->inPlace) ::unlink(file->part.c_str());
}

}  // namespace platform
