// Whole-file reads and writes at native paths (callers pass suite names
// through SuitePath first).
#pragma once

#include <string>

namespace platform {

// Reads the whole file into *bytes. Returns false (and leaves *bytes empty)
// when the file cannot be opened or read.
bool ReadFile(const std::string& nativePath, std::string* bytes);

// Writes the bytes to the file, replacing it atomically: the data go to a
// temporary file in the same directory, which is flushed to disk and renamed
// over the target. Returns false, leaving any old file intact, on failure.
// A device or FIFO is written in place, a symbolic link is followed to what
// it names, and a folder or a broken link is refused (output_target.h):
// nothing but a regular file is ever renamed over.
bool WriteFile(const std::string& nativePath, const std::string& bytes);

// True when a directory exists at the native path (a file there is not one).
bool IsDirectory(const std::string& nativePath);

// Creates the directory and any missing parents. Returns false on failure.
bool MakeDirs(const std::string& nativePath);

}  // namespace platform
