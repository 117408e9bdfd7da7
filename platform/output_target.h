// What a path names when a program is about to write a document there.
//
// Documents and other whole files are written beside their target and
// renamed over it once complete (files.h WriteFile, the print program's
// documents), so that a failed run never leaves a truncated file. That is
// right for a regular file only: renamed over, a device node (/dev/null, a
// printer's node) or a FIFO would be replaced by a regular file, and a
// symbolic link by a copy of what it pointed to. So a writer first asks
// what the path names:
//   - nothing: a new file, staged and renamed into place;
//   - a regular file: staged and renamed over it;
//   - a symbolic link: followed (every link of the chain) to what it
//     finally names, which is then treated by these same rules; the link
//     itself is never replaced;
//   - a character or block device or a FIFO: written in place, as a
//     device, without staging (a FIFO's open waits for its reader);
//   - anything else (a directory, a socket, a link whose target is
//     missing or that runs in a circle): cannot be written.
//
// State: none.
#pragma once

#include <string>

namespace platform {

enum class TargetKind {
  kNew,      // nothing there yet
  kRegular,  // a regular file
  kDevice,   // a character or block device, or a FIFO
  kUnusable, // a directory, a socket, a broken link
};

struct OutputTarget {
  TargetKind kind = TargetKind::kUnusable;
  // The native path to write: the path itself, or for a symbolic link the
  // path of what it finally names.
  std::string path;
  // kUnusable: the system's error number that says why (EISDIR, ENOENT or
  // ELOOP for a broken link, ENXIO for a socket); 0 otherwise.
  int error = 0;
};

// Classifies the native path as above. Never fails: a path that cannot
// be looked at (a missing folder, no permission) is kNew with the path
// unchanged, and the write that follows reports the failure.
OutputTarget ResolveOutputTarget(const std::string& nativePath);

// True when a staged file may be renamed to the native path: nothing is
// there, or a regular file (not a link, device, FIFO or folder). Writers
// ask again just before the rename, since the path may have changed while
// the file was written.
bool MayRenameOver(const std::string& nativePath);

}  // namespace platform
