// Writing an output document so that it appears whole or not at all.
//
// The document is written to a companion file beside the target (the target
// name + ".part") and renamed over the target when it is complete, so that a
// failed run never leaves a truncated PDF or text file where the operator
// expects the document, and an older document survives a failed run.
//
// Only a regular file is ever renamed over (platform/output_target.h): a
// device node or a FIFO (/dev/null, a printer's node) is written in place
// as a device, without a companion file; a symbolic link is followed and
// the file it names is replaced, never the link; a folder or a broken link
// is refused.
//
// No state outside the OutputFile.
#pragma once

#include <cstdio>
#include <string>

namespace zudavivi {

struct OutputFile {
  std::string target;  // native path of the finished document, as named
  std::string destination;   // where it goes: target, or what a link names
  std::string part;    // native path written while the document is built
  bool inPlace = false;  // a device: part is the destination, nothing to rename
};

// The companion path for a target.
std::string PartPath(const std::string& target);

// Decides where the document for the native path `target` is written (see
// above). Returns false, with *error set (the document cannot be created),
// for a folder, a socket or a broken link.
bool PrepareOutput(const std::string& target, OutputFile* out, std::string* error);

// Moves the finished companion file over the target; nothing for a device.
// Returns false (and removes the companion file) when that fails, or when
// the path no longer names a regular file or nothing, with *error set.
bool CommitOutput(const OutputFile& out, std::string* error);

// Removes the companion file of a document that failed (never a device).
void AbandonOutput(const OutputFile& out);

}  // namespace zudavivi
