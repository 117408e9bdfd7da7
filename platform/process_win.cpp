// Starting programs on Windows (contract in process.h): CreateProcessW with
// a command line quoted as the C library of the started program splits it.
// A program of the suite named without ".exe" is found with it; there is
// no fork, so the fork hooks never run.
#include "platform/process.h"

#include <windows.h>

#include "platform/paths.h"
#include "platform/wait_hooks.h"
#include "platform/win_text.h"

namespace platform {

ProcessState process;

namespace {

// One argument as the started program's C library reads it back: quoted
// when it holds blanks or quotes or is empty; a quote and the backslashes
// before it, or before the closing quote, are escaped.
std::wstring Quoted(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
  std::wstring out = L"\"";
  for (size_t i = 0;; ++i) {
    size_t slashes = 0;
    while (i < arg.size() && arg[i] == L'\\') {
      ++i;
      ++slashes;
    }
    if (i == arg.size()) {
      out.append(slashes * 2, L'\\');
      break;
    }
    if (arg[i] == L'"') {
      out.append(slashes * 2 + 1, L'\\');
    } else {
      out.append(slashes, L'\\');
    }
    out.push_back(arg[i]);
  }
  out.push_back(L'"');
  return out;
}

std::wstring CommandLine(const std::string& program, const std::vector<std::string>& args) {
  std::wstring line = Quoted(Widen(NativeSeparators(program)));
  for (const std::string& a : args) line += L" " + Quoted(Widen(a));
  return line;
}

// The file of a suite program: its suite path, or that with ".exe"; "" when
// neither is a file.
std::string ProgramFile(const std::string& program) {
  std::string path = SuitePath(program);
  DWORD a = GetFileAttributesW(Widen(path).c_str());
  if (a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY)) return path;
  path = SuitePath(program + ".exe");
  a = GetFileAttributesW(Widen(path).c_str());
  if (a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY)) return path;
  return "";
}

// Waits for the process to end; its exit code, -1 when it cannot be read.
int WaitForExit(HANDLE h) {
  WaitForSingleObject(h, INFINITE);
  DWORD code = 0;
  if (!GetExitCodeProcess(h, &code)) return -1;
  return int(code);
}

}  // namespace

int RunProgram(const std::string& program, const std::vector<std::string>& args) {
  std::string path = ProgramFile(program);
  if (path.empty()) return -1;
  std::wstring line = CommandLine(path, args);
  std::wstring file = Widen(path);

  if (process.beforeChild) process.beforeChild();
  RunBeforeWaitHooks();  // the wait for the child may be long
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  int result = -1;
  if (CreateProcessW(file.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                     &pi)) {
    CloseHandle(pi.hThread);
    result = WaitForExit(pi.hProcess);
    CloseHandle(pi.hProcess);
  }
  if (process.afterChild) process.afterChild();
  return result;
}

int RunSystemProgram(const std::string& program, const std::vector<std::string>& args,
                     int* startError, std::string* errorOutput) {
  std::wstring line = CommandLine(program, args);
  // The child's standard error, when it is collected: a pipe whose writing
  // end alone is inherited.
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  SECURITY_ATTRIBUTES inherit = {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  if (errorOutput != nullptr && CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  } else {
    readEnd = writeEnd = nullptr;
  }
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  if (writeEnd) {
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    si.hStdError = writeEnd;
  }
  if (process.beforeChild) process.beforeChild();
  RunBeforeWaitHooks();
  PROCESS_INFORMATION pi = {};
  int result = -1;
  // No application name: the system looks the program up along PATH.
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, writeEnd != nullptr, 0, nullptr,
                      nullptr, &si, &pi)) {
    *startError = ErrnoOf(GetLastError());
    if (writeEnd) CloseHandle(writeEnd);
  } else {
    CloseHandle(pi.hThread);
    if (writeEnd) {
      CloseHandle(writeEnd);
      // Read to the end before waiting: a child that fills the pipe would
      // otherwise never end.
      char buf[512];
      DWORD n;
      HANDLE ours = GetStdHandle(STD_ERROR_HANDLE);
      while (::ReadFile(readEnd, buf, sizeof buf, &n, nullptr) && n > 0) {
        errorOutput->append(buf, n);
        DWORD written;
        if (ours) WriteFile(ours, buf, n, &written, nullptr);
      }
    }
    result = WaitForExit(pi.hProcess);
    CloseHandle(pi.hProcess);
  }
  if (readEnd) CloseHandle(readEnd);
  if (process.afterChild) process.afterChild();
  return result;
}

int ProcessId() { return int(GetCurrentProcessId()); }

std::string ProgramDirectory() {
  std::wstring buf(32768, L'\0');
  DWORD n = GetModuleFileNameW(nullptr, &buf[0], DWORD(buf.size()));
  if (n == 0 || n >= buf.size()) return ".";
  buf.resize(n);
  std::string p = ForwardSlashes(Narrow(buf));
  size_t slash = p.rfind('/');
  return slash == std::string::npos ? "." : p.substr(0, slash);
}

void AddForkChildHook(void (*)()) {}

bool StartProgram(const std::string& program, const std::vector<std::string>& args) {
  std::string path = ProgramFile(program);
  if (path.empty()) return false;
  std::wstring line = CommandLine(path, args);
  std::wstring file = Widen(path);
  // Its own process group and no console of ours, its standard handles on
  // the null device: it never writes over the console and outlives us.
  SECURITY_ATTRIBUTES inherit = {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE null = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                            nullptr);
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  if (null != INVALID_HANDLE_VALUE) {
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = null;
  }
  PROCESS_INFORMATION pi = {};
  bool started = CreateProcessW(file.c_str(), &line[0], nullptr, nullptr,
                                null != INVALID_HANDLE_VALUE,
                                DETACHED_PROCESS | CREATE_NEW_PROCESS_GROUP, nullptr, nullptr,
                                &si, &pi) != 0;
  if (started) {
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  if (null != INVALID_HANDLE_VALUE) CloseHandle(null);
  return started;
}

}  // namespace platform
