#include "platform/process.h"

#include <fcntl.h>
#include <pthread.h>
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

// Reads the descriptor to its end into *out, copying it to our standard
// error.
void CopyAndCollect(int fd, std::string* out) {
  char buf[512];
  for (;;) {
    ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    out->append(buf, static_cast<size_t>(n));
    (void)!write(2, buf, static_cast<size_t>(n));
  }
}

// The exit code of a wait status: 128 + the signal for a signal; -1 else.
int ExitCodeOf(int st) {
  if (WIFEXITED(st)) return WEXITSTATUS(st);
  if (WIFSIGNALED(st)) return 128 + WTERMSIG(st);
  return -1;
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
  int result = pid > 0 ? ExitCodeOf(WaitFor(pid)) : -1;
  if (process.afterChild) process.afterChild();
  return result;
}

int RunSystemProgram(const std::string& program, const std::vector<std::string>& args,
                     int* startError, std::string* errorOutput) {
  std::vector<char*> argv = ArgumentVector(program, args);
  // The child reports a failed exec through a pipe closed on exec: a
  // successful exec closes it unread, a failed one writes its errno.
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) {
    *startError = errno;
    return -1;
  }
  // The child's standard error, when it is collected: a pipe of its own.
  int err[2] = {-1, -1};
  if (errorOutput != nullptr && pipe2(err, O_CLOEXEC) != 0) err[0] = err[1] = -1;
  if (process.beforeChild) process.beforeChild();
  RunBeforeWaitHooks();
  pid_t pid = fork();
  if (pid == 0) {
    close(report[0]);
    if (err[1] >= 0) dup2(err[1], 2);  // dup2 clears close-on-exec
    execvp(program.c_str(), argv.data());
    int e = errno;
    (void)!write(report[1], &e, sizeof e);
    _exit(127);
  }
  close(report[1]);
  if (err[1] >= 0) close(err[1]);
  int result = -1;
  if (pid < 0) {
    *startError = errno;
  } else {
    int execErrno = 0;
    ssize_t got;
    while ((got = read(report[0], &execErrno, sizeof execErrno)) < 0 && errno == EINTR) {
    }
    // Read to the end before waiting: a child that fills the pipe would
    // otherwise never end.
    if (err[0] >= 0) CopyAndCollect(err[0], errorOutput);
    int st = WaitFor(pid);
    if (got == static_cast<ssize_t>(sizeof execErrno)) {
      *startError = execErrno;
    } else {
      result = ExitCodeOf(st);
    }
  }
  close(report[0]);
  if (err[0] >= 0) close(err[0]);
  if (process.afterChild) process.afterChild();
  return result;
}

int ProcessId() { return int(getpid()); }

std::string ProgramDirectory() {
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  std::string p(buf, size_t(n));
  size_t slash = p.rfind('/');
  return slash == std::string::npos ? "." : p.substr(0, slash);
}

void AddForkChildHook(void (*hook)()) { pthread_atfork(nullptr, nullptr, hook); }

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

}  // namespace platform
