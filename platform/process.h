// Starting another program of the suite and waiting for it.
//
// The program is started directly (fork and exec, no shell), in the same
// environment and current directory. Its file is found by the suite-path rule
// (so "ZUDAVIVI" finds "zudavivi" when that is the file that exists).
//
// A program that owns the terminal (the console back end) registers hooks
// that hand the terminal over before the child starts and take it back after
// it ends.
#pragma once

#include <string>
#include <vector>

namespace platform {

struct ProcessState {
  void (*beforeChild)() = nullptr;  // e.g. leave curses mode
  void (*afterChild)() = nullptr;   // e.g. re-enter curses mode and redraw
};
extern ProcessState process;

// Runs the program with the given arguments and waits for it to end. The
// before-wait hooks (platform/wait_hooks.h) run before it starts.
// Returns its exit code (128 + signal number when a signal ended it), or -1
// when it could not be started.
int RunProgram(const std::string& program, const std::vector<std::string>& args);

}  // namespace platform
