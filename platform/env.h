// Environment variables, the system clock's local date, a coarse monotonic
// clock, sleeping and the random source: the small services of the
// operating system the suite reads.
//
// State: the clock overrides below, one instance, reset by tests by
// assigning a fresh ClockState.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The value of an environment variable; an unset variable reads as empty.
std::string GetEnv(const std::string& name);

// Sets the environment variable for this process and the programs it
// starts. Returns false when the name is not one (empty or holding "=").
bool SetEnv(const std::string& name, const std::string& value);

// True when the process's standard error is a terminal (not a file or pipe).
bool StandardErrorIsTerminal();

// A calendar date of the local clock.
struct LocalDate {
  int year = 0;
  int month = 0;
  int day = 0;
};

// Tests set `overridden` (and `date`) so that nothing depends on the day the
// tests run; the environment variable ZULTODAY=YYYYMMDD does the same for
// whole programs (end-to-end tests, demos with fixed figures).
// Tests may also stop the coarse clock (coarseFixed) and move it by hand
// (coarseNs) instead of sleeping, so that nothing depends on how fast they
// run.
struct ClockState {
  bool overridden = false;
  LocalDate date;
  bool coarseFixed = false;
  int64_t coarseNs = 0;  // what CoarseNowNs returns while coarseFixed
};
extern ClockState clock;

// Today's local date: the override when set, else ZULTODAY when it holds a
// valid YYYYMMDD, else the system clock.
LocalDate Today();

// A monotonic clock in nanoseconds (from an arbitrary start, never going
// back), or coarseNs while coarseFixed. It is coarse, a few milliseconds (the kernel's
// tick), and cheap: on Linux it is CLOCK_MONOTONIC_COARSE, which the C
// library reads from memory the kernel shares with every process (the
// vDSO), without a system call. For "has this been held longer than N ms"
// checks on paths that must stay free of system calls; not for timing.
int64_t CoarseNowNs();

// The wall clock: nanoseconds since the epoch (it may jump when the system
// time is set).
int64_t WallClockNs();

// Sleeps for the given number of milliseconds (nothing for 0 or less).
void SleepMs(long ms);

// A uniformly distributed number in [0, 1).
double RandomUnit();

}  // namespace platform
