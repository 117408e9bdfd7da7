// Before a blocking wait: callbacks that subsystems register so that they
// let go of what must not be held while the program sits idle.
//
// The program blocks when it waits for a key (platform::ConsoleWaitInput)
// or for a child program (platform::RunProgram); both call
// RunBeforeWaitHooks first. A subsystem that keeps something between its
// calls which other processes may be waiting on (the record manager's read
// snapshots) registers a hook on first use and so never needs to know the
// console or the programs that wait: the report and the data-file layer
// know nothing of it.
//
// Hooks run in the order they were added, in the thread that waits, and
// must neither block nor wait themselves. A hook may be run when nothing is
// held; it must then do nothing, cheaply (the key reader calls it every few
// milliseconds while the operator thinks).
//
// State: the registry below, one instance. Tests may reset it by assigning a
// fresh WaitHookState.
#pragma once

#include <array>
#include <cstddef>

namespace platform {

using WaitHook = void (*)();

constexpr size_t kMaxWaitHooks = 8;

struct WaitHookState {
  std::array<WaitHook, kMaxWaitHooks> hooks{};
  size_t count = 0;
};
extern WaitHookState waitHooks;

// Registers the hook. Adding a hook already registered changes nothing.
// Returns false (and registers nothing) when the hook is null or the
// registry is full.
bool AddWaitHook(WaitHook hook);

// Runs every registered hook, in order. Called just before a blocking wait.
void RunBeforeWaitHooks();

}  // namespace platform
