// State of the terminal back end of the console (console_terminal.cpp).
//
// Kept inside platform::console (console.h) so that all of the console's
// state is in one place. Only the console's own files use these fields.
//
// Lifetimes worth knowing:
//   - curses mode is entered by TerminalStart and left by TerminalStop, by
//     exit() (an atexit handler) and by the fatal-signal handler, which
//     writes the precomputed `restore` bytes and the saved terminal modes
//     with async-signal-safe calls only;
//   - while a child program runs (platform/process.h hooks) curses mode is
//     left and `suspended` is set; afterChild re-enters it and redraws the
//     whole screen from the model;
//   - a window resize (SIGWINCH) only sets `resized`; the next read or
//     flush asks the kernel for the new size and redraws.
#pragma once

#include <termios.h>

#include <csignal>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct TerminalState {
  bool active = false;      // curses mode entered by TerminalStart
  bool suspended = false;   // curses mode left while a child program runs
  bool tooSmall = false;    // the terminal is below the model's size
  void* screen = nullptr;   // the curses SCREEN
  int colours = 0;          // 0 (none), 8 or 16 usable colours
  std::vector<bool> pairReady;  // curses colour pairs initialised so far

  termios savedModes{};     // the terminal's modes before curses started
  bool savedModesValid = false;
  std::string restore;      // bytes that undo our terminal settings

  std::string input;        // bytes read and not yet made into events
  long long inputQuietSince = 0;  // ms clock when `input` last grew
  bool inputClosed = false;       // end of input: the terminal has gone away
  bool mouseReporting = false;    // the terminal was asked for mouse reports

  // Terminals report no key releases, so "left Alt held" (which the keypad
  // character entry watches between keys) is kept for a moment after an
  // Alt+keypad key: until this ms clock time, or until a key without Alt.
  long long altHeldUntil = 0;
  bool hooksInstalled = false;  // atexit and fatal-signal handlers set
  int lastShape = -1;       // cursor shape last sent (DECSCUSR), -1 none

  // Set by the SIGWINCH handler; read and cleared by the back end.
  volatile std::sig_atomic_t resized = 0;
};

}  // namespace platform
