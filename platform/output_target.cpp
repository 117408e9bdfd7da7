#include "platform/output_target.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace platform {

OutputTarget ResolveOutputTarget(const std::string& nativePath) {
  OutputTarget target;
  target.path = nativePath;
  struct stat st;
  if (::lstat(nativePath.c_str(), &st) != 0) {
    target.kind = TargetKind::kNew;
    return target;
  }
  if (S_ISLNK(st.st_mode)) {
    // realpath follows the whole chain; a missing end or a circle fails.
    char resolved[PATH_MAX];
    if (::realpath(nativePath.c_str(), resolved) == nullptr ||
        ::stat(resolved, &st) != 0) {
      target.kind = TargetKind::kUnusable;
      target.error = errno;
      return target;
    }
    target.path = resolved;
  }
  if (S_ISREG(st.st_mode)) {
    target.kind = TargetKind::kRegular;
  } else if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) || S_ISFIFO(st.st_mode)) {
    target.kind = TargetKind::kDevice;
  } else {
    target.kind = TargetKind::kUnusable;
    target.error = S_ISDIR(st.st_mode) ? EISDIR : ENXIO;
  }
  return target;
}

bool MayRenameOver(const std::string& nativePath) {
  struct stat st;
  if (::lstat(nativePath.c_str(), &st) != 0) return errno == ENOENT;
  return S_ISREG(st.st_mode);
}

}  // namespace platform
