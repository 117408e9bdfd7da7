#include "tools/zudavivi/output_file.h"

#include <cerrno>

#include "tools/zudavivi/print_messages.h"

namespace zudavivi {

std::string PartPath(const std::string& target) { return target + ".part"; }

bool CommitOutput(const OutputFile& out, std::string* error) {
  if (std::rename(out.part.c_str(), out.target.c_str()) != 0) {
    *error = CannotWriteDocument(out.target, errno);
    std::remove(out.part.c_str());
    return false;
  }
  return true;
}

void AbandonOutput(const OutputFile& out) { std::remove(out.part.c_str()); }

}  // namespace zudavivi
