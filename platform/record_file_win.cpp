// Files read and written by byte position on Windows (contract in
// record_file.h): the C library's descriptors in binary mode.
#include "platform/record_file.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include "platform/win_text.h"

namespace platform {

bool OpenRecordFile(const std::string& nativePath, RecordOpen how, RecordFile* file) {
  CloseRecordFile(file);
  int flags = _O_RDWR | _O_BINARY | _O_NOINHERIT;
  if (how != RecordOpen::kExisting) flags |= _O_CREAT;
  if (how == RecordOpen::kEmpty) flags |= _O_TRUNC;
  file->fd = _wopen(Widen(nativePath).c_str(), flags, _S_IREAD | _S_IWRITE);
  return file->fd >= 0;
}

int64_t RecordFileSize(const RecordFile& file) {
  if (file.fd < 0) return -1;
  return _filelengthi64(file.fd);
}

bool ReadAt(const RecordFile& file, int64_t offset, size_t length, std::string* bytes) {
  if (file.fd < 0 || offset < 0) return false;
  if (_lseeki64(file.fd, offset, SEEK_SET) != offset) return false;
  bytes->assign(length, '\0');
  size_t done = 0;
  while (done < length) {
    int n = _read(file.fd, &(*bytes)[done], unsigned(length - done));
    if (n <= 0) return false;
    done += size_t(n);
  }
  return true;
}

bool WriteAt(const RecordFile& file, int64_t offset, const std::string& bytes) {
  if (file.fd < 0 || offset < 0) return false;
  if (_lseeki64(file.fd, offset, SEEK_SET) != offset) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    int n = _write(file.fd, bytes.data() + done, unsigned(bytes.size() - done));
    if (n <= 0) return false;
    done += size_t(n);
  }
  return true;
}

bool TruncateRecordFile(const RecordFile& file, int64_t size) {
  if (file.fd < 0 || size < 0) return false;
  return _chsize_s(file.fd, size) == 0;
}

bool CloseRecordFile(RecordFile* file) {
  if (file->fd < 0) return true;
  bool ok = _close(file->fd) == 0;
  file->fd = -1;
  return ok;
}

}  // namespace platform
