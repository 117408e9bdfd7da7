// A file read and written by byte position: the window stack (WinPush.tmp)
// and the browse cache (Browse.tmp) keep their records in one.
//
// Every read and write names its offset and goes straight to the file (no
// buffer in between), so what a write returned true for is what the next
// open sees. Offsets are 0-based.
//
// State: the RecordFile a caller keeps; nothing global.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

struct RecordFile {
  int fd = -1;  // the open file; -1 while closed
};

// True while the file is open.
inline bool RecordFileOpen(const RecordFile& file) { return file.fd >= 0; }

enum class RecordOpen {
  kExisting,  // the file must exist
  kCreate,    // the file is created when missing, kept as it is otherwise
  kEmpty,     // the file is created when missing, emptied otherwise
};

// Opens the file at the native path for reading and writing (closing what
// `file` had open). Returns false, the file closed, when it does not exist
// (kExisting) or cannot be opened or created.
bool OpenRecordFile(const std::string& nativePath, RecordOpen how, RecordFile* file);

// The file's size in bytes; -1 when it is not open or cannot be read.
int64_t RecordFileSize(const RecordFile& file);

// Reads exactly `length` bytes from `offset` into *bytes. Returns false
// (*bytes then unspecified) when the file is not open, the offset is
// negative or the file ends before them.
bool ReadAt(const RecordFile& file, int64_t offset, size_t length, std::string* bytes);

// Writes all the bytes at `offset`, growing the file when they go past its
// end. Returns false when the file is not open or not all of them were
// written (part of them may have reached the file).
bool WriteAt(const RecordFile& file, int64_t offset, const std::string& bytes);

// Cuts the file (or grows it with zero bytes) to `size` bytes. Returns false
// on failure.
bool TruncateRecordFile(const RecordFile& file, int64_t size);

// Closes the file; safe on a file never opened. Returns false when the
// system reports a failure at closing.
bool CloseRecordFile(RecordFile* file);

}  // namespace platform
