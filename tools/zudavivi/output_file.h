// Writing an output document so that it appears whole or not at all.
//
// The document is written to a companion file beside the target (the target
// name + ".part") and renamed over the target when it is complete
// (platform/staged_file.h), so that a failed run never leaves a truncated PDF
// or text file where the operator expects the document, and an older
// document survives a failed run. A document that fails is given up with
// platform::AbandonStaged.
//
// No state outside the StagedFile.
#pragma once

#include <string>

#include "platform/staged_file.h"

namespace zudavivi {

// The companion path for a target.
std::string PartPath(const std::string& target);

// Creates the companion file of the document at `target`. Returns false, with
// *error the message that names the target and the system's reason, when it
// cannot be created.
bool BeginOutput(const std::string& target, platform::StagedFile* out, std::string* error);

// Puts the finished document in place. Returns false, with *error set and the
// companion file removed, when a write, the close or the rename failed.
bool CommitOutput(platform::StagedFile* out, std::string* error);

}  // namespace zudavivi
