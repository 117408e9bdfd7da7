#include "tools/zudavivi/output_file.h"

#include <cerrno>

#include "platform/output_target.h"
#include "tools/zudavivi/print_messages.h"

namespace zudavivi {

std::string PartPath(const std::string& target) { return target + ".part"; }

bool PrepareOutput(const std::string& target, OutputFile* out, std::string* error) {
  const platform::OutputTarget where = platform::ResolveOutputTarget(target);
  *out = OutputFile();
  out->target = target;
  out->destination = where.path;
  if (where.kind == platform::TargetKind::kUnusable) {
    *error = CannotCreateDocument(target, where.error);
    return false;
  }
  out->inPlace = where.kind == platform::TargetKind::kDevice;
  out->part = out->inPlace ? where.path : PartPath(where.path);
  return true;
}

bool CommitOutput(const OutputFile& out, std::string* error) {
  if (out.inPlace) return true;
  if (!platform::MayRenameOver(out.destination)) {
    *error = CannotWriteDocument(out.target, EEXIST);
    std::remove(out.part.c_str());
    return false;
  }
  if (std::rename(out.part.c_str(), out.destination.c_str()) != 0) {
    *error = CannotWriteDocument(out.target, errno);
    std::remove(out.part.c_str());
    return false;
  }
  return true;
}

void AbandonOutput(const OutputFile& out) {
  if (!out.inPlace) std::remove(out.part.c_str());
}

}  // namespace zudavivi
