// Writing an output document so that it appears whole or not at all.
//
// The document is written to a companion file beside the target (the target
// name + ".part") and renamed over the target when it is complete, so that a
// failed run never leaves a truncated PDF or text file where the operator
// expects the document, and an older document survives a failed run.
//
// No state outside the OutputFile.
#pragma once

#include <cstdio>
#include <string>

namespace zudavivi {

struct OutputFile {
  std::string target;  // native path of the finished document
  std::string part;    // native path written while the document is built
};

// The companion path for a target.
std::string PartPath(const std::string& target);

// Moves the finished companion file over the target. Returns false (and
// removes the companion file) when that fails, with *error set.
bool CommitOutput(const OutputFile& out, std::string* error);

// Removes the companion file of a document that failed.
void AbandonOutput(const OutputFile& out);

}  // namespace zudavivi
