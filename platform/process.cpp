#include "platform/process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/paths.h"
#include "platform/wait_hooks.h"

namespace platform {

ProcessState process;

namespace {

// The argument vector of an exec: the program's path, the arguments, a null
// pointer; it points into `path` and `args`, which must outlive it.
std::vector<char*> ArgumentVector(const std::string& path, const std::vector<std::string>& args) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(path.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  return argv;
}

// Waits for the child `pid` to end (through interrupting signals); its wait
// status.
int WaitFor(pid_t pid) {
  int st = 0;
  while (waitpid(pid, &st, 0) < 0 && errno == EINTR) {
  }
  return st;
}

}  // namespace

int RunProgram(const std::string& program, const std::vector<std::string>& args) {
  std::string path = SuitePath(program);
  if (access(path.c_str(), X_OK) != 0) return -1;
  std::vector<char*> argv = ArgumentVector(path, args);

  if (process.beforeChild) process.beforeChild();
  RunBeforeWaitHooks();  // the wait for the child may be long
  pid_t pid = fork();
  if (pid == 0) {
    execv(path.c_str(), argv.data());
    _exit(127);
  }
  int result = -1;
  if (pid > 0) {
    int st = WaitFor(pid);
    if (WIFEXITED(st)) result = WEXITSTATUS(st);
    else if (WIFSIGNALED(st)) result = 128 + WTERMSIG(st);
  }
  if (process.afterChild) process.afterChild();
  return result;
}

bool StartProgram(const std::string& program, const std::vector<std::string>& args) {
  std::string path = SuitePath(program);
  if (access(path.c_str(), X_OK) != 0) return false;
  std::vector<char*> argv = ArgumentVector(path, args);

  // The grandchild runs the program; the child only forks it and ends, so
  // the program is adopted by init and reaped there. The pipe, closed on
  // exec, tells whether the exec succeeded: a byte means it failed, end of
  // file without one that the program runs.
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return false;
  pid_t child = fork();
  if (child == 0) {
    pid_t grandchild = fork();
    if (grandchild == 0) {
      setsid();
      int null = open("/dev/null", O_RDWR);
      if (null >= 0) {
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
      }
      execv(path.c_str(), argv.data());
      char failed = 1;
      (void)!write(report[1], &failed, 1);
      _exit(127);
    }
    _exit(grandchild > 0 ? 0 : 1);
  }
  close(report[1]);
  bool started = false;
  if (child > 0) {
    int st = WaitFor(child);
    if (WIFEXITED(st) && WEXITSTATUS(st) == 0) {
      char failed = 0;
      ssize_t n;
      while ((n = read(report[0], &failed, 1)) < 0 && errno == EINTR) {
      }
      started = n == 0;
    }
  }
  close(report[0]);
  return started;
}

std::vector<std::string> SplitCommandLine(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false, quoted = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

}  // namespace platform
