// Files that appear whole or not at all, on Windows (contract in
// staged_file.h): the companion is written through a C library descriptor,
// flushed with _commit and moved over the target with MoveFileExW, which
// replaces a file there in one step.
#include "platform/staged_file.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>

#include "platform/output_target.h"
#include "platform/staged_file_write.h"
#include "platform/win_text.h"

namespace platform {
namespace {

void Fail(StagedFile* file, int error) {
  if (file->error == 0) file->error = error != 0 ? error : EIO;
}

}  // namespace

bool StagedWriteAll(StagedFile* file, const char* data, size_t length) {
  while (length > 0) {
    unsigned chunk = length > (1u << 30) ? (1u << 30) : unsigned(length);
    int n = _write(file->fd, data, chunk);
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
  if (file->fd >= 0 && _close(file->fd) != 0) Fail(file, errno);
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
  const bool named = part.compare(0, target.size(), target) == 0;
  file->part = file->inPlace ? where.path
               : named       ? where.path + part.substr(target.size())
                             : part;
  const int flags = file->inPlace ? _O_WRONLY | _O_BINARY | _O_NOINHERIT
                                  : _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY | _O_NOINHERIT;
  int fd = _wopen(Widen(file->part).c_str(), flags, _S_IREAD | _S_IWRITE);
  if (fd < 0) {
    Fail(file, errno);
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
  if (file->error == 0 && durable && !file->inPlace && _commit(file->fd) != 0) Fail(file, errno);
  Close(file);
  if (file->inPlace) return file->error == 0;
  if (file->error == 0 && !MayRenameOver(file->destination)) Fail(file, EEXIST);
  if (file->error == 0 &&
      !MoveFileExW(Widen(file->part).c_str(), Widen(file->destination).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    Fail(file, ErrnoOf(GetLastError()));
  if (file->error != 0) {
    _wunlink(Widen(file->part).c_str());
    return false;
  }
  return true;
}

void AbandonStaged(StagedFile* file) {
  if (file->fd < 0) return;
  Close(file);
  if (!file->inPlace) _wunlink(Widen(file->part).c_str());
}

}  // namespace platform
