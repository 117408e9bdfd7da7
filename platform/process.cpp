#include "platform/process.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/paths.h"
#include "platform/wait_hooks.h"

namespace platform {

ProcessState process;

int RunProgram(const std::string& program, const std::vector<std::string>& args) {
  std::string path = SuitePath(program);
  if (access(path.c_str(), X_OK) != 0) return -1;
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(path.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  if (process.beforeChild) process.beforeChild();
  RunBeforeWaitHooks();  // the wait for the child may be long
  pid_t pid = fork();
  if (pid == 0) {
    execv(path.c_str(), argv.data());
    _exit(127);
  }
  int result = -1;
  if (pid > 0) {
    int st = 0;
    while (waitpid(pid, &st, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(st)) result = WEXITSTATUS(st);
    else if (WIFSIGNALED(st)) result = 128 + WTERMSIG(st);
  }
  if (process.afterChild) process.afterChild();
  return result;
}

}  // namespace platform
