// Windows only: the UTF-8 native paths and texts of this folder as the
// UTF-16 the Windows API's W calls take, and the system's error codes as
// the C library's error numbers that platform/ reports.
//
// Native paths on Windows are UTF-8 with "/" separators ("C:/BROL/DADES"),
// which every W call takes as it takes "\"; NativeSeparators turns them back
// into "\" where a path is handed to another program or shown.
//
// No state.
#pragma once

#include <string>

namespace platform {

// UTF-8 to UTF-16; invalid bytes become U+FFFD.
std::wstring Widen(const std::string& utf8);

// UTF-16 to UTF-8.
std::string Narrow(const std::wstring& wide);

// The path with every "\" turned into "/".
std::string ForwardSlashes(std::string path);

// The path with every "/" turned into "\".
std::string NativeSeparators(std::string path);

// The error number (errno.h) nearest to the Windows error code: ENOENT,
// EACCES, EEXIST, ENOSPC, EBUSY, EROFS, EINVAL, EIO for the rest.
int ErrnoOf(unsigned long windowsError);

}  // namespace platform
