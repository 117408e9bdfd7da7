#include "tools/zudavivi/output_file.h"

#include "tools/zudavivi/print_messages.h"

namespace zudavivi {

namespace {

// Blocks the document is written in.
constexpr size_t kOutputBuffer = 64 * 1024;

}  // namespace

std::string PartPath(const std::string& target) { return target + ".part"; }

bool BeginOutput(const std::string& target, platform::StagedFile* out, std::string* error) {
  if (platform::BeginStaged(target, PartPath(target), kOutputBuffer, out)) return true;
  *error = CannotCreateDocument(target, out->error);
  return false;
}

bool CommitOutput(platform::StagedFile* out, std::string* error) {
  if (platform::CommitStaged(out, false)) return true;
  *error = CannotWriteDocument(out->target, out->error);
  return false;
}

}  // namespace zudavivi
