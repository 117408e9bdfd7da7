// State of the Windows console back end (console_windows.cpp), the
// terminal back end of the Windows build.
//
// Kept inside platform::console (console.h) so that all of the console's
// state is in one place. Only the console's own files use these fields.
//
// Lifetimes worth knowing:
//   - the back end draws on a screen buffer of its own, made active by
//     TerminalStart and handed back (the one that was active, with the
//     input modes it had) by TerminalStop and at exit;
//   - while a child program runs (platform/process.h hooks) the old buffer
//     and modes are back and `suspended` is set; afterChild makes ours
//     active again, drops the keys typed at the child and redraws.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

struct TerminalState {
  bool active = false;      // the console taken over by TerminalStart
  bool suspended = false;   // handed back while a child program runs
  bool tooSmall = false;    // the console window is below the model's size
  void* input = nullptr;    // the console's input handle
  void* output = nullptr;   // our screen buffer
  void* savedOutput = nullptr;   // the screen buffer active before us
  bool ownBuffer = false;        // `output` was made by us (closed at stop)
  unsigned long savedInputMode = 0;
  bool savedInputModeValid = false;
  bool mouseReporting = false;   // mouse input asked of the console
  uint32_t mouseButtons = 0;     // buttons held at the last mouse record
  uint32_t heldState = 0;        // control-key state of the last key record
  bool hooksInstalled = false;   // the atexit handler set
};

}  // namespace platform
