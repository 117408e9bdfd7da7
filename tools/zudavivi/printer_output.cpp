#include "tools/zudavivi/printer_output.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/process.h"
#include "tools/zudavivi/print_messages.h"
#include "tools/zudavivi/pdf_output.h"

namespace zudavivi {

namespace {

// Reads the descriptor to its end into *out, copying it to our stderr.
void Collect(int fd, std::string* out) {
  char buf[512];
  for (;;) {
    ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    out->append(buf, static_cast<size_t>(n));
    ssize_t ignored = write(2, buf, static_cast<size_t>(n));
    (void)ignored;
  }
}

// The first line of a text that is not blank, without its line end.
std::string FirstLine(const std::string& text) {
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (line.find_first_not_of(' ') != std::string::npos) return line;
    at = end + 1;
  }
  return "";
}

}  // namespace

int RunFromPath(const std::string& program, const std::vector<std::string>& args,
                std::string* error, std::string* errorOutput) {
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
  // The child's stderr, when it is collected: a pipe of its own.
  int errFds[2] = {-1, -1};
  if (errorOutput != nullptr && pipe2(errFds, O_CLOEXEC) != 0) errFds[0] = errFds[1] = -1;
  if (platform::process.beforeChild) platform::process.beforeChild();
  pid_t pid = fork();
  if (pid == 0) {
    close(pipeFds[0]);
    if (errFds[1] >= 0) dup2(errFds[1], 2);  // dup2 clears close-on-exec
    execvp(program.c_str(), argv.data());
    int e = errno;
    ssize_t ignored = write(pipeFds[1], &e, sizeof e);
    (void)ignored;
    _exit(127);
  }
  close(pipeFds[1]);
  if (errFds[1] >= 0) close(errFds[1]);
  int result = -1;
  if (pid < 0) {
    *error = CannotStart(program, errno);
  } else {
    int execErrno = 0;
    ssize_t got;
    while ((got = read(pipeFds[0], &execErrno, sizeof execErrno)) < 0 && errno == EINTR) {
    }
    // Read to the end before waiting: a child that fills the pipe would
    // otherwise never end.
    if (errFds[0] >= 0) Collect(errFds[0], errorOutput);
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
  if (errFds[0] >= 0) close(errFds[0]);
  if (platform::process.afterChild) platform::process.afterChild();
  return result;
}

int RenderPrinter(const std::string& spool, const std::string& printer,
                  const std::string& tempDirNative, const std::string& title, long* pages,
                  std::string* error, std::string* detail) {
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
  std::string why, said;
  int code = RunFromPath("lp", {"-d", printer, name}, &why, &said);
  unlink(name.c_str());
  if (code == -1) {
    *error = PrintServiceMissing(why);
    return 3;
  }
  if (code != 0) {
    *error = JobRefused(printer, code);
    if (detail != nullptr) *detail = FirstLine(said);
    return 3;
  }
  return 0;
}

}  // namespace zudavivi
