#include "platform/staged_file_write.h"

namespace platform {

bool StagedWrite(StagedFile* file, const void* data, size_t length) {
  if (file->fd < 0 || file->error != 0) return false;
  const char* bytes = static_cast<const char*>(data);
  if (file->bufferSize == 0) return StagedWriteAll(file, bytes, length);
  while (length > 0) {
    size_t room = file->bufferSize - file->buffer.size();
    size_t take = length < room ? length : room;
    file->buffer.append(bytes, take);
    bytes += take;
    length -= take;
    if (file->buffer.size() == file->bufferSize) {
      bool ok = StagedWriteAll(file, file->buffer.data(), file->buffer.size());
      file->buffer.clear();
      if (!ok) return false;
    }
  }
  return true;
}

}  // namespace platform
