// Test support: datafile_test_peer started as a second real process, on
// the headless console, and waited for; on Linux with fork and exec, on
// Windows with CreateProcessW (under wine in scripts/test --windows).
//
// Test programs only.
#pragma once

#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#endif

namespace datafile {
namespace testing {

#ifdef _WIN32
using PeerProcess = HANDLE;

inline std::wstring PeerWide(const std::string& s) {
  std::wstring w(s.size() * 2 + 1, L'\0');
  int n = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, &w[0], int(w.size()));
  w.resize(n > 0 ? size_t(n - 1) : 0);
  return w;
}

// Starts the peer with the arguments (none holds a blank or a quote).
inline PeerProcess StartPeer(const std::vector<std::string>& args) {
  std::wstring line = L"\"" + PeerWide(DATAFILE_TEST_PEER) + L"\"";
  for (const std::string& a : args) line += L" \"" + PeerWide(a) + L"\"";
  SetEnvironmentVariableW(L"ZULCONSOLE", L"headless");
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi))
    return nullptr;
  CloseHandle(pi.hThread);
  return pi.hProcess;
}

// The peer's exit code (-1 when it cannot be had).
inline int WaitPeer(PeerProcess peer) {
  if (peer == nullptr || WaitForSingleObject(peer, INFINITE) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  bool ok = GetExitCodeProcess(peer, &code);
  CloseHandle(peer);
  return ok ? int(code) : -1;
}

// True once the peer has ended (it is still to be waited for).
inline bool PeerEnded(PeerProcess peer) {
  return peer == nullptr || WaitForSingleObject(peer, 0) == WAIT_OBJECT_0;
}
#else
struct PeerProcess {
  pid_t pid = -1;
  bool ended = false;
  int status = 0;
};

// Starts the peer with the arguments.
inline PeerProcess StartPeer(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(DATAFILE_TEST_PEER));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  PeerProcess peer;
  peer.pid = fork();
  if (peer.pid == 0) {
    setenv("ZULCONSOLE", "headless", 1);
    execv(DATAFILE_TEST_PEER, argv.data());
    _exit(127);
  }
  return peer;
}

// The peer's exit code (-1 when it did not exit normally).
inline int WaitPeer(PeerProcess& peer) {
  if (!peer.ended && waitpid(peer.pid, &peer.status, 0) != peer.pid) return -1;
  peer.ended = true;
  return WIFEXITED(peer.status) ? WEXITSTATUS(peer.status) : -1;
}

// True once the peer has ended (its status is kept for WaitPeer).
inline bool PeerEnded(PeerProcess& peer) {
  if (!peer.ended && waitpid(peer.pid, &peer.status, WNOHANG) == peer.pid) peer.ended = true;
  return peer.ended;
}
#endif

}  // namespace testing
}  // namespace datafile
