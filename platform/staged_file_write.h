// The staged writer's two halves: StagedWrite (staged_file_write.cpp, the
// same on every system) gathers the bytes in the file's buffer, and
// StagedWriteAll (staged_file.cpp, staged_file_win.cpp) hands them to the
// system.
#pragma once

#include <cstddef>

#include "platform/staged_file.h"

namespace platform {

// Writes the `length` bytes at `data` to the companion file whole; false,
// with file->error set to the system's reason, when the system refuses them.
bool StagedWriteAll(StagedFile* file, const char* data, size_t length);

}  // namespace platform
