// The Windows console's input records made into console key and mouse
// events (console.h), as the system's own console delivers them.
//
// A key record carries the key's virtual key code, its hardware scan code,
// the character it typed (UTF-16, 0 for none) and the control-key state,
// whose flags are the console's own (kRightAltPressed ... kShiftPressed in
// the low five bits). The event:
//   - a key release, or a modifier or lock key alone: none;
//   - a character typed without Alt (or with AltGr, Right Alt + Left Ctrl):
//     its code page 850 byte (characters the code page lacks are dropped);
//     Shift+Tab is "\0\x0f";
//   - Alt + a letter or digit: "\0" + the key's scan code;
//   - Alt + another character: that character, with the Alt flag;
//   - a key that types nothing (function keys, arrows, Ins, Del, ...):
//     "\0" + its scan code.
// A mouse record gives an event only for a button newly pressed (the
// buttons held before are the caller's to keep): left 1, right 2, middle 3,
// at the record's 0-based cell made 1-based.
//
// Pure functions: no console, no state (tests feed records directly; this
// file builds on every system).
#pragma once

#include <cstdint>

#include "platform/console.h"

namespace platform {

struct KeyRecord {
  bool down = true;
  uint16_t virtualKey = 0;
  uint16_t scanCode = 0;
  char16_t character = 0;
  uint32_t controlState = 0;
};

// The event of a key record; false when it gives none.
bool KeyRecordEvent(const KeyRecord& record, ConsoleEvent* event);

struct MouseRecord {
  uint32_t buttons = 0;      // buttons held now: 1 left, 2 right, 4 middle
  uint32_t eventFlags = 0;   // 0 a button changed, 1 moved, 2 double click, 4 wheel
  int16_t x = 0, y = 0;      // 0-based column and row
  uint32_t controlState = 0;
};

// The event of a mouse record, given the buttons held before it; false when
// it gives none.
bool MouseRecordEvent(const MouseRecord& record, uint32_t buttonsBefore, ConsoleEvent* event);

}  // namespace platform
