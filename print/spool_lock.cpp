#include "print/spool_lock.h"

#include <cmath>

#include "config/session.h"
#include "platform/env.h"
#include "platform/paths.h"

namespace print {
namespace {

constexpr double kMinWaitMs = 100.0;
constexpr double kWaitSpreadMs = 500.0;

}  // namespace

std::string SpoolLockPath() {
  return platform::SuitePath(config::session.TempDir + kSpoolLockName);
}

PrintStatus LockSpool(const std::function<void()>& waiting) {
  const std::string path = SpoolLockPath();
  bool told = false;
  for (;;) {
    switch (platform::TryLockFile(path, &state.passLock)) {
      case platform::LockResult::kHeld:
        return PrintStatus::Ok;
      case platform::LockResult::kFailed:
        return PrintStatus::CannotCreate;
      case platform::LockResult::kBusy:
        break;
    }
    if (!told && waiting) waiting();
    told = true;
    // Random waits keep two waiting passes from trying in step.
    platform::SleepMs(std::lround(kMinWaitMs + platform::RandomUnit() * kWaitSpreadMs));
  }
}

void UnlockSpool() { platform::UnlockFile(&state.passLock); }

}  // namespace print
