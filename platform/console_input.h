// The terminal's input bytes made into console key events.
//
// Terminals send keys as bytes: characters as UTF-8, other keys as escape
// sequences (xterm, tmux, screen, the Linux console and rxvt forms), the
// Alt key as an ESC prefix, mouse clicks as reports (SGR "\e[<b;x;yM" or
// the older "\e[M" + 3 bytes). ParseTerminalInput takes one key's bytes
// from the front of a buffer and turns them into the console's text form
// and control-key state (console.h):
//   - characters: their code page 850 byte (characters the code page lacks
//     are dropped); Enter 13, Tab 9, Backspace (DEL or BS) 8, control keys
//     as their codes;
//   - F1..F12, arrows, Home, End, PgUp, PgDn, Ins, Del, keypad 5: "\0" +
//     scan code, with the modifiers of the sequence as flags (Shift 16, Alt
//     as left Alt 2, Ctrl as left Ctrl 8);
//   - Shift+Tab: "\0\x0f" with Shift;
//   - ESC + a letter or digit: "\0" + the key's scan code with left Alt
//     (Shift too for a capital); ESC + another key: that key with left Alt;
//   - mouse button presses: the mouse form; releases, motion and the wheel
//     are dropped.
// A sequence the parser does not know is dropped whole: its bytes never
// come out as characters.
//
// The scan codes are those of the key codes in key_codes.h; the sequences
// and the keys they stand for are tables in console_input.cpp.
//
// No state beyond the buffer the caller keeps: the parser is a pure
// function, so tests feed it bytes directly.
#pragma once

#include <string>

#include "platform/console.h"

namespace platform {

enum class InputParse {
  kNone,        // the buffer is empty
  kEvent,       // *event holds a key or mouse event; its bytes are removed
  kDropped,     // bytes of an unknown or unusable sequence were removed
  kIncomplete,  // the bytes so far begin a longer sequence: wait for more
};

// Takes the first key from *bytes. `quiet` says that no more bytes came
// within the wait for the rest of a sequence: an ESC alone is then the Esc
// key, and an incomplete sequence is dropped instead of waited for.
InputParse ParseTerminalInput(std::string* bytes, bool quiet, ConsoleEvent* event);

// The scan code of a letter or digit key (US layout), 0 for other bytes.
unsigned char ScanCodeOfKey(unsigned char ch);

}  // namespace platform
