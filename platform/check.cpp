#include "platform/check.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

void CheckFailed(const char* file, int line, const char* condition) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
  std::fflush(stderr);
  std::abort();
}

}  // namespace platform
