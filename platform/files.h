// Files at native paths (callers pass suite names through SuitePath first):
// whole-file reads and writes, removing and renaming, what the system knows
// of a file, temporary files. Files read and written by position are in
// record_file.h, files that appear whole or not at all in staged_file.h.
//
// No state.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Reads the whole file into *bytes. Returns false (and leaves *bytes empty)
// when the file cannot be opened or read.
bool ReadFile(const std::string& nativePath, std::string* bytes);

// Writes the bytes to the file, replacing it atomically: the data go to a
// temporary file in the same directory, which is flushed to disk and renamed
// over the target. Returns false, leaving any old file intact, on failure.
bool WriteFile(const std::string& nativePath, const std::string& bytes);

// True when a directory exists at the native path (a file there is not one).
bool IsDirectory(const std::string& nativePath);

// Creates the directory and any missing parents. Returns false on failure.
bool MakeDirs(const std::string& nativePath);

// Removes the file (or empty directory). Returns false when nothing was
// removed (no such file included).
bool RemoveFile(const std::string& nativePath);

// Gives the file `from` the name `to`, replacing a file there in one step.
// Returns false, with *error (when given) set to the system's error number,
// on failure.
bool RenameFile(const std::string& from, const std::string& to, int* error = nullptr);

// Creates the file empty when it does not exist; an existing file is kept as
// it is. Returns false when it cannot be created.
bool TouchFile(const std::string& nativePath);

// True when a regular file exists at the native path (a link counts as what
// it points at).
bool IsRegularFile(const std::string& nativePath);

// Reads the first `length` bytes of the file (fewer when it is shorter)
// into *bytes. Returns false, with *error set to the system's error number,
// when it cannot be opened or read.
bool ReadFileHead(const std::string& nativePath, size_t length, std::string* bytes, int* error);

// Gives the existing file `from` the further name `to`, which must not exist
// yet (the link fails with the system's "exists" error, EEXIST, when it
// does). Returns false, with *error set, on failure.
bool LinkFile(const std::string& from, const std::string& to, int* error);

// Makes the file a program anyone may run (and its owner write). Returns
// false on failure.
bool MakeExecutable(const std::string& nativePath);

// True when this process may write the file or directory at the path.
bool CanWrite(const std::string& nativePath);

// The size of the file in bytes; -1 when it does not exist or cannot be read.
int64_t FileSize(const std::string& nativePath);

// What the file system says of a file: enough to tell whether it is still
// the same file with the same contents as when it was looked at before.
struct FileIdentity {
  bool exists = false;
  uint64_t device = 0;
  uint64_t inode = 0;
  int64_t size = 0;
  int64_t mtimeNs = 0;  // modification time, nanoseconds since the epoch
};

// The identity of the file at the native path; exists = false when the
// system cannot look at it.
FileIdentity IdentityOf(const std::string& nativePath);

// Makes the directory's entries (a file just created, renamed or removed in
// it) durable on disk. Returns false on failure.
bool SyncDirectory(const std::string& nativePath);

// Creates a new empty file in the directory, named the prefix, six
// characters no other file there has, and the suffix. Returns its native
// path, or "" with *error set to the system's error number.
std::string MakeTemporaryFile(const std::string& directory, const std::string& prefix,
                              const std::string& suffix, int* error);

}  // namespace platform
