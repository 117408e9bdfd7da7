// The back ends of the console (console.h) behind one small interface.
//
// console.cpp owns the model and calls the back end in use through this
// table; it never calls curses itself. A back end:
//   start    takes the device over; false when it cannot (no terminal);
//   stop     gives it back (idempotent);
//   present  shows the model if it changed (console.dirty), then clears
//            console.dirty;
//   read     takes the next pending event without waiting; false when none;
//   wait     waits up to ms milliseconds for input;
//   held     the control-key state believed held while nothing is pending;
//   bell     rings the bell;
//   mouse    asks the device to report mouse events, or not;
//   size     the rows and columns of the device now;
//   clipboardSet, clipboardGet  the system's clipboard, where the device
//            has one (code page 850 text; false when it cannot be used);
//            null where it has none, and the console's stand-in serves;
//   keyboardSet, keyboardGet  the system's keyboard state table, likewise.
#pragma once

#include <string>

#include "platform/console.h"

namespace platform {

struct ConsoleBackend {
  bool (*start)();
  void (*stop)();
  void (*present)();
  bool (*read)(ConsoleEvent* event);
  void (*wait)(int ms);
  uint32_t (*held)();
  void (*bell)();
  void (*mouse)(bool on);
  void (*size)(int16_t* rows, int16_t* columns);
  bool (*clipboardSet)(const std::string& text) = nullptr;
  bool (*clipboardGet)(std::string* text) = nullptr;
  bool (*keyboardSet)(const unsigned char table[256]) = nullptr;
  bool (*keyboardGet)(unsigned char table[256]) = nullptr;
};

extern const ConsoleBackend kHeadlessBackend;
extern const ConsoleBackend kTerminalBackend;

// What the console shows for a cell's byte: its code page 850 character,
// and for the control codes 0x00-0x1F and 0x7F the glyphs of the console
// font (the field editor's "◄" and "►" are 0x11 and 0x10).
char32_t ConsoleGlyph(unsigned char byte);

// Milliseconds of a monotonic clock.
long long ConsoleClockMs();

}  // namespace platform
