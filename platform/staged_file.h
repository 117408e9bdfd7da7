// A file that appears whole or not at all: its bytes go to a companion file
// beside the target, which is renamed over the target once everything is
// written. A reader of the target sees the old file (or none) or the new
// one, never a part of it, and a failed write leaves the old file intact.
// The print spool, the print program's documents and WriteFile use it.
//
// Order: BeginStaged, any number of StagedWrite, then CommitStaged or
// AbandonStaged. A write failure is remembered: later writes are dropped and
// the commit fails, so callers may check once, at the commit.
//
// State: the StagedFile a caller keeps; nothing global.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

struct StagedFile {
  int fd = -1;             // the companion file, open between begin and commit
  std::string target;      // native path the file gets at the commit
  std::string part;        // native path it is written under until then
  std::string buffer;      // bytes not written yet
  size_t bufferSize = 0;   // bytes gathered before one write; 0: none gathered
  int error = 0;           // the system's error number of the first failure; 0 none
};

// True between BeginStaged and the commit or abandon.
inline bool StagedOpen(const StagedFile& file) { return file.fd >= 0; }

// Creates (or empties) the companion file `part` for the file `target`
// (abandoning what `file` had open). Bytes are written in blocks of exactly
// `bufferSize` bytes (each write at once for 0). Returns false, with
// file->error set and nothing open, when `part` cannot be created.
bool BeginStaged(const std::string& target, const std::string& part, size_t bufferSize,
                 StagedFile* file);

// Appends the bytes. Returns false (the bytes dropped) when nothing is open
// or this or an earlier write failed.
bool StagedWrite(StagedFile* file, const void* data, size_t length);

// Writes what is gathered, makes the bytes durable on disk first when
// `durable`, closes the companion file and renames it over the target.
// Returns true once the target holds the whole file; false, with
// file->error set (0 when nothing was open), the companion file removed and
// the target as it was, when any write, the flush, the sync, the close or
// the rename failed.
bool CommitStaged(StagedFile* file, bool durable);

// Closes and removes the companion file; the target is not touched. Safe
// when nothing is open.
void AbandonStaged(StagedFile* file);

}  // namespace platform
