#include "platform/env.h"

#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <random>
#include <thread>

namespace platform {

ClockState clock;

std::string GetEnv(const std::string& name) {
  const char* v = std::getenv(name.c_str());
  return v ? std::string(v) : std::string();
}

bool SetEnv(const std::string& name, const std::string& value) {
  if (name.empty() || name.find('=') != std::string::npos) return false;
  return ::setenv(name.c_str(), value.c_str(), 1) == 0;
}

bool StandardErrorIsTerminal() { return ::isatty(2) == 1; }

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
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  return LocalDate{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

int64_t CoarseNowNs() {
  if (clock.coarseFixed) return clock.coarseNs;
  timespec t{};
#ifdef CLOCK_MONOTONIC_COARSE
  clock_gettime(CLOCK_MONOTONIC_COARSE, &t);
#else
  clock_gettime(CLOCK_MONOTONIC, &t);
#endif
  return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

int64_t WallClockNs() {
  timespec t{};
  clock_gettime(CLOCK_REALTIME, &t);
  return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

void SleepMs(long ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

double RandomUnit() {
  static std::mt19937_64 gen(std::random_device{}());
  return std::uniform_real_distribution<double>(0.0, 1.0)(gen);
}

}  // namespace platform
