// Key codes: the one list of the codes every key of the programs is known
// by, the mouse button codes, and the two codings of a click as a key. The
// console's key reader (console/keyboard.h) delivers the codes, the key set
// and the forms compare with them, the print program's preview steers by
// them, and the terminal input decoder (console_input.h) produces their scan
// codes.
//
// A key code is 16 bits:
//   - 1..255: a character of code page 850 (a plain key, or one typed by its
//     decimal code on the keypad); the control keys are their control codes
//     (Enter 13, Esc 27, Tab 9, Backspace 8, Ctrl+C 3, Ctrl+V 22, Ctrl+Y 25);
//   - an extended key: its scan code x 256 (F1 is scan code 3b, code 3b00);
//     with Shift, Ctrl or Alt a function key has a code of its own;
//   - 0: no key.
// The codes from 8000 hexadecimal up (F11, F12 and their Shift, Ctrl and Alt
// forms) are negative as signed 16-bit values, as int16_t holds them
// (static_cast<int16_t>(0x8500)); the field editor's click codes (ClickKey)
// are negative too.
//
// Header only, with no code and no link dependency. The names live in the
// inline namespace platform::keys, so that a layer above takes them in
// whole with `using namespace platform::keys` (console/keyboard.h does).
// Changing a value changes what the suite's key lists ("d,1b,4800") mean.
#pragma once

#include <cstdint>

namespace platform {
inline namespace keys {

// ---- Characters ------------------------------------------------------------
constexpr int16_t kKeyCtrlC = 3;
constexpr int16_t kKeyBackspace = 8;
constexpr int16_t kKeyTab = 9;
constexpr int16_t kKeyEnter = 13;
constexpr int16_t kKeyCtrlV = 22;
constexpr int16_t kKeyCtrlY = 25;
constexpr int16_t kKeyEsc = 27;

// ---- Function keys ---------------------------------------------------------
constexpr int16_t kKeyF1 = 0x3B00;
constexpr int16_t kKeyF2 = 0x3C00;
constexpr int16_t kKeyF3 = 0x3D00;
constexpr int16_t kKeyF4 = 0x3E00;
constexpr int16_t kKeyF5 = 0x3F00;
constexpr int16_t kKeyF6 = 0x4000;
constexpr int16_t kKeyF7 = 0x4100;
constexpr int16_t kKeyF8 = 0x4200;
constexpr int16_t kKeyF9 = 0x4300;
constexpr int16_t kKeyF10 = 0x4400;
constexpr int16_t kKeyF11 = static_cast<int16_t>(0x8500);
constexpr int16_t kKeyF12 = static_cast<int16_t>(0x8600);

constexpr int16_t kKeyShiftF1 = 0x5400;
constexpr int16_t kKeyShiftF2 = 0x5500;
constexpr int16_t kKeyShiftF3 = 0x5600;
constexpr int16_t kKeyShiftF4 = 0x5700;
constexpr int16_t kKeyShiftF5 = 0x5800;
constexpr int16_t kKeyShiftF6 = 0x5900;
constexpr int16_t kKeyShiftF7 = 0x5A00;
constexpr int16_t kKeyShiftF8 = 0x5B00;
constexpr int16_t kKeyShiftF9 = 0x5C00;
constexpr int16_t kKeyShiftF10 = 0x5D00;
constexpr int16_t kKeyShiftF11 = static_cast<int16_t>(0x8700);
constexpr int16_t kKeyShiftF12 = static_cast<int16_t>(0x8800);

constexpr int16_t kKeyCtrlF1 = 0x5E00;
constexpr int16_t kKeyCtrlF2 = 0x5F00;
constexpr int16_t kKeyCtrlF3 = 0x6000;
constexpr int16_t kKeyCtrlF4 = 0x6100;
constexpr int16_t kKeyCtrlF5 = 0x6200;
constexpr int16_t kKeyCtrlF6 = 0x6300;
constexpr int16_t kKeyCtrlF7 = 0x6400;
constexpr int16_t kKeyCtrlF8 = 0x6500;
constexpr int16_t kKeyCtrlF9 = 0x6600;
constexpr int16_t kKeyCtrlF10 = 0x6700;
constexpr int16_t kKeyCtrlF11 = static_cast<int16_t>(0x8900);
constexpr int16_t kKeyCtrlF12 = static_cast<int16_t>(0x8A00);

constexpr int16_t kKeyAltF1 = 0x6800;
constexpr int16_t kKeyAltF2 = 0x6900;
constexpr int16_t kKeyAltF3 = 0x6A00;
constexpr int16_t kKeyAltF4 = 0x6B00;
constexpr int16_t kKeyAltF5 = 0x6C00;
constexpr int16_t kKeyAltF6 = 0x6D00;
constexpr int16_t kKeyAltF7 = 0x6E00;
constexpr int16_t kKeyAltF8 = 0x6F00;
constexpr int16_t kKeyAltF9 = 0x7000;
constexpr int16_t kKeyAltF10 = 0x7100;
constexpr int16_t kKeyAltF11 = static_cast<int16_t>(0x8B00);
constexpr int16_t kKeyAltF12 = static_cast<int16_t>(0x8C00);

// ---- Cursor and editing keys (the keypad's with Num Lock off) --------------
constexpr int16_t kKeyHome = 0x4700;
constexpr int16_t kKeyUp = 0x4800;
constexpr int16_t kKeyPgUp = 0x4900;
constexpr int16_t kKeyLeft = 0x4B00;
constexpr int16_t kKeyPad5 = 0x4C00;  // the keypad's middle key
constexpr int16_t kKeyRight = 0x4D00;
constexpr int16_t kKeyEnd = 0x4F00;
constexpr int16_t kKeyDown = 0x5000;
constexpr int16_t kKeyPgDn = 0x5100;
constexpr int16_t kKeyIns = 0x5200;
constexpr int16_t kKeyDel = 0x5300;
constexpr int16_t kKeyCtrlLeft = 0x7300;
constexpr int16_t kKeyCtrlRight = 0x7400;
constexpr int16_t kKeyCtrlHome = 0x7700;
constexpr int16_t kKeyShiftTab = 0x0F00;

// ---- Alt + letter ----------------------------------------------------------
constexpr int16_t kKeyAltE = 0x1200;  // the reader turns it into the euro sign
constexpr int16_t kKeyAltF = 0x2100;
constexpr int16_t kKeyAltX = 0x2D00;  // opens the calculator
constexpr int16_t kKeyAltC = 0x2E00;  // opens the calendar

// ---- Mouse -----------------------------------------------------------------
// The button of a mouse event, as the console reports it (the fourth
// character of a mouse event's text, console.h) and the key reader passes
// it on.
constexpr int16_t kMouseLeft = 1;
constexpr int16_t kMouseRight = 2;
constexpr int16_t kMouseMiddle = 3;

// The scan code of an extended key: the high byte of its code.
constexpr uint8_t ScanCodeOf(int16_t key) {
  return static_cast<uint8_t>(static_cast<uint16_t>(key) >> 8);
}

// The field editor's code for a click at an absolute console place (row and
// column 1-based): -(100 x column + row), as a 16-bit value.
constexpr int16_t ClickKey(int16_t row, int16_t column) {
  return static_cast<int16_t>(-(100 * int(column) + int(row)));
}

// The absolute place a click code names: row (-key) mod 100 and column
// (-key) / 100. Returns false, and leaves row and column alone, for a key
// that is not negative. Negative codes no click makes (F11, F12 and their
// forms) give places far outside any 80 x 25 screen.
constexpr bool ClickPlace(int16_t key, int* row, int* column) {
  if (key >= 0) return false;
  const int code = -int(key);
  *row = code % 100;
  *column = code / 100;
  return true;
}

// The key WaitKey reports for a mouse event: the low 16 bits (signed) of
// 256 x column + 64 x button + row.
constexpr int16_t MouseEventKey(int16_t button, int16_t row, int16_t column) {
  return static_cast<int16_t>(
      static_cast<uint16_t>(256 * int(column) + 64 * int(button) + int(row)));
}

}  // namespace keys
}  // namespace platform
