#include "platform/console_records.h"

#include "platform/codepage.h"

namespace platform {
namespace {

// Virtual keys that only modify or lock: Shift, Ctrl, Alt, Pause, Caps
// Lock, the Windows and menu keys, Num Lock, Scroll Lock.
bool IsModifierKey(uint16_t vk) {
  switch (vk) {
    case 0x10: case 0x11: case 0x12: case 0x13: case 0x14:
    case 0x5B: case 0x5C: case 0x5D: case 0x90: case 0x91:
    case 0xA0: case 0xA1: case 0xA2: case 0xA3: case 0xA4: case 0xA5:
      return true;
    default:
      return false;
  }
}

bool IsLetterOrDigit(char16_t c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

constexpr uint32_t kFlagMask = kRightAltPressed | kLeftAltPressed | kRightCtrlPressed |
                               kLeftCtrlPressed | kShiftPressed;

}  // namespace

bool KeyRecordEvent(const KeyRecord& record, ConsoleEvent* event) {
  if (!record.down || IsModifierKey(record.virtualKey)) return false;
  const uint32_t state = record.controlState & kFlagMask;
  const bool altGr = (state & kRightAltPressed) && (state & kLeftCtrlPressed);
  const bool alt = (state & (kLeftAltPressed | kRightAltPressed)) && !altGr;
  *event = ConsoleEvent();
  event->controlState = state;
  const char16_t ch = record.character;
  if (ch == '\t' && (state & kShiftPressed)) {
    event->text = std::string("\0\x0f", 2);
    return true;
  }
  if (ch != 0 && !(alt && IsLetterOrDigit(ch))) {
    unsigned char byte;
    if (!UnicodeToCp850(ch, &byte)) return false;
    event->text = std::string(1, char(byte));
    return true;
  }
  if (record.scanCode == 0 || record.scanCode > 0xFF) return false;
  event->text = std::string(1, '\0') + char(record.scanCode);
  return true;
}

bool MouseRecordEvent(const MouseRecord& record, uint32_t buttonsBefore, ConsoleEvent* event) {
  if (record.eventFlags != 0 && record.eventFlags != 2) return false;  // moves, wheels
  const uint32_t pressed = record.buttons & ~buttonsBefore;
  int code = (pressed & 1) ? kMouseLeft
             : (pressed & 2) ? kMouseRight
             : (pressed & 4) ? kMouseMiddle
                             : 0;
  if (record.eventFlags == 2 && code == 0) {  // a double click repeats a press
    code = (record.buttons & 1) ? kMouseLeft : (record.buttons & 2) ? kMouseRight : 0;
  }
  if (code == 0) return false;
  *event = ConsoleEvent();
  event->text = std::string("\0\0\x08", 3) + char(code);
  event->controlState = record.controlState & kFlagMask;
  event->mouseRow = int16_t(record.y + 1);
  event->mouseColumn = int16_t(record.x + 1);
  return true;
}

}  // namespace platform
