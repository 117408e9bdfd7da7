// Environment, clocks, sleeping and the random source on Windows (contract
// in env.h). Variables are read and set in UTF-16 and handed over as UTF-8.
#include "platform/env.h"

#include <io.h>
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <random>
#include <thread>

#include "platform/win_text.h"

namespace platform {

ClockState clock;

std::string GetEnv(const std::string& name) {
  const wchar_t* v = _wgetenv(Widen(name).c_str());
  return v ? Narrow(v) : std::string();
}

bool SetEnv(const std::string& name, const std::string& value) {
  if (name.empty() || name.find('=') != std::string::npos) return false;
  const std::wstring n = Widen(name), v = Widen(value);
  // The C library's copy (getenv) and the process's (the programs started).
  return _wputenv_s(n.c_str(), v.c_str()) == 0 &&
         SetEnvironmentVariableW(n.c_str(), v.empty() ? nullptr : v.c_str()) != 0;
}

bool StandardErrorIsTerminal() { return _isatty(2) != 0; }

LocalDate Today() {
  if (clock.overridden) return clock.date;
  std::string fixed = GetEnv("ZULTODAY");
  if (fixed.size() == 8 && fixed.find_first_not_of("0123456789") == std::string::npos) {
    LocalDate d;
    d.year = std::stoi(fixed.substr(0, 4));
    d.month = std::stoi(fixed.substr(4, 2));
    d.day = std::stoi(fixed.substr(6, 2));
    if (d.month >= 1 && d.month <= 12 && d.day >= 1 && d.day <= 31) return d;
  }
  SYSTEMTIME t;
  GetLocalTime(&t);
  return LocalDate{t.wYear, t.wMonth, t.wDay};
}

int64_t CoarseNowNs() {
  if (clock.coarseFixed) return clock.coarseNs;
  return int64_t(GetTickCount64()) * 1000000;
}

int64_t WallClockNs() {
  FILETIME t;
  GetSystemTimePreciseAsFileTime(&t);
  const uint64_t ticks = (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  return (int64_t(ticks) - 116444736000000000LL) * 100;
}

void SleepMs(long ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

double RandomUnit() {
  static std::mt19937_64 gen(std::random_device{}() ^ uint64_t(GetTickCount64()) ^
                             (uint64_t(GetCurrentProcessId()) << 32));
  return std::uniform_real_distribution<double>(0.0, 1.0)(gen);
}

}  // namespace platform
