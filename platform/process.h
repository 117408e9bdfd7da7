// Starting another program of the suite, and waiting for it or not.
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

// Starts the program with the given arguments and returns without waiting
// for it: true once it runs, false when it could not be started (no such
// program, not executable, exec failed). It runs detached from this
// program (it is never left a zombie and outlives us), with its standard
// input and output on the null device so that it never writes over the
// console; the terminal is not handed over.
bool StartProgram(const std::string& program, const std::vector<std::string>& args);

// Runs a program of the system (found along PATH, as a shell would find it,
// not by the suite-path rule) with the given arguments and waits for it to
// end, handing the terminal over as RunProgram does. Returns its exit code
// (128 + signal number when a signal ended it), or -1 when it could not be
// started, with *startError set to the system's error number. With
// `errorOutput`, what the program writes on its standard error is collected
// there (and passed on to ours as well, unchanged).
int RunSystemProgram(const std::string& program, const std::vector<std::string>& args,
                     int* startError, std::string* errorOutput = nullptr);

// This process's number, as the system tells it apart from others.
int ProcessId();

// The directory of this program's own file; "." when the system does not
// tell.
std::string ProgramDirectory();

// Registers a routine that runs in the child of every later fork of this
// process (not in the parent, not after exec). Register each routine once.
void AddForkChildHook(void (*hook)());

// Splits a command line into words as a command interpreter would: blanks
// separate words; a double-quoted part keeps its blanks (the quotes are
// dropped). "" gives no words.
std::vector<std::string> SplitCommandLine(const std::string& line);

}  // namespace platform
