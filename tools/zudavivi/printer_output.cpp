#include "tools/zudavivi/printer_output.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/process.h"
#include "tools/zudavivi/print_messages.h"
#include "tools/zudavivi/pdf_output.h"

namespace zudavivi {

int RunFromPath(const std::string& program, const std::vector<std::string>& args,
                std::string* error) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  // The child reports a failed exec through a close-on-exec pipe: a
  // successful exec closes it unread, a failed one writes its errno.
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) {
    *error = CannotStart(program, errno);
    return -1;
  }
  if (platform::process.beforeChild) platform::process.beforeChild();
  pid_t pid = fork();
  if (pid == 0) {
    close(pipeFds[0]);
    execvp(program.c_str(), argv.data());
    int e = errno;
    ssize_t ignored = write(pipeFds[1], &e, sizeof e);
    (void)ignored;
    _exit(127);
  }
  close(pipeFds[1]);
  int result = -1;
  if (pid < 0) {
    *error = CannotStart(program, errno);
  } else {
    int execErrno = 0;
    ssize_t got;
    while ((got = read(pipeFds[0], &execErrno, sizeof execErrno)) < 0 && errno == EINTR) {
    }
    int st = 0;
    while (waitpid(pid, &st, 0) < 0 && errno == EINTR) {
    }
    if (got == static_cast<ssize_t>(sizeof execErrno)) {
      *error = CannotStart(program, execErrno);
    } else if (WIFEXITED(st)) {
      result = WEXITSTATUS(st);
    } else if (WIFSIGNALED(st)) {
      result = 128 + WTERMSIG(st);
    }
  }
  close(pipeFds[0]);
  if (platform::process.afterChild) platform::process.afterChild();
  return result;
}

int RenderPrinter(const std::string& spool, const std::string& printer,
                  const std::string& tempDirNative, const std::string& title, long* pages,
                  std::string* error) {
  std::string dir = tempDirNative.empty() ? "." : tempDirNative;
  std::string name = dir + "/zudavivi-XXXXXX.pdf";
  int fd = mkstemps(&name[0], 4);
  if (fd < 0) {
    *error = CannotCreateTemporaryFile(dir, errno);
    return 2;
  }
  close(fd);
  int made = RenderPdf(spool, name, title, pages, error);
  if (made != 0) {
    unlink(name.c_str());
    return made;
  }
  std::string why;
  int code = RunFromPath("lp", {"-d", printer, name}, &why);
  unlink(name.c_str());
  if (code == -1) {
    *error = PrintServiceMissing(why);
    return 3;
  }
  if (code != 0) {
    *error = JobRefused(printer, code);
    return 3;
  }
  return 0;
}

}  // namespace zudavivi
