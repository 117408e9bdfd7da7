#include "platform/wait_hooks.h"

namespace platform {

WaitHookState waitHooks;

bool AddWaitHook(WaitHook hook) {
  if (hook == nullptr) return false;
  for (size_t i = 0; i < waitHooks.count; ++i)
    if (waitHooks.hooks[i] == hook) return true;
  if (waitHooks.count == kMaxWaitHooks) return false;
  waitHooks.hooks[waitHooks.count++] = hook;
  return true;
}

void RunBeforeWaitHooks() {
  // A hook added by a hook runs from the next wait on.
  const size_t n = waitHooks.count;
  for (size_t i = 0; i < n; ++i) waitHooks.hooks[i]();
}

}  // namespace platform
