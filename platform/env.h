// Environment variables, the system clock's local date, sleeping and the
// random source: the small services of the operating system the suite reads.
//
// State: the clock override below, one instance, reset by tests by assigning
// a fresh ClockState.
#pragma once

#include <string>

namespace platform {

// The value of an environment variable; an unset variable reads as empty.
std::string GetEnv(const std::string& name);

// A calendar date of the local clock.
struct LocalDate {
  int year = 0;
  int month = 0;
  int day = 0;
};

// Tests set `overridden` (and `date`) so that nothing depends on the day the
// tests run; the environment variable ZULTODAY=YYYYMMDD does the same for
// whole programs (end-to-end tests, demos with fixed figures).
struct ClockState {
  bool overridden = false;
  LocalDate date;
};
extern ClockState clock;

// Today's local date: the override when set, else ZULTODAY when it holds a
// valid YYYYMMDD, else the system clock.
LocalDate Today();

// Sleeps for the given number of milliseconds (nothing for 0 or less).
void SleepMs(long ms);

// A uniformly distributed number in [0, 1).
double RandomUnit();

}  // namespace platform
