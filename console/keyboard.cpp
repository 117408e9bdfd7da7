// The key reader (ReadKey, WaitKey) and the key set (KeySet).
#include "console/keyboard.h"

#include "platform/coding.h"
#include "platform/console.h"

namespace console {

KeyboardState keyboard;

namespace {

// How long a waiting reader sleeps between polls when nothing is pending
// (input ends the sleep at once).
const int kIdleMs = 50;

const uint32_t kAlt = platform::kRightAltPressed | platform::kLeftAltPressed;
const uint32_t kCtrl = platform::kRightCtrlPressed | platform::kLeftCtrlPressed;

// What Alt+E types: the euro sign of code page 850.
const uint16_t kEuro = 0xD5;

// The offsets that turn a function key into its Shift, Ctrl and Alt forms,
// for F1..F10 and for F11/F12.
constexpr uint16_t Offset(int16_t to, int16_t from) {
  return static_cast<uint16_t>(static_cast<uint16_t>(to) - static_cast<uint16_t>(from));
}
constexpr uint16_t kShiftOffset = Offset(kKeyShiftF1, kKeyF1);
constexpr uint16_t kCtrlOffset = Offset(kKeyCtrlF1, kKeyF1);
constexpr uint16_t kAltOffset = Offset(kKeyAltF1, kKeyF1);
constexpr uint16_t kShiftOffset2 = Offset(kKeyShiftF11, kKeyF11);
constexpr uint16_t kCtrlOffset2 = Offset(kKeyCtrlF11, kKeyF11);
constexpr uint16_t kAltOffset2 = Offset(kKeyAltF11, kKeyF11);

// A key event text read as a code: its first two bytes (a missing byte is
// 0) as a 16-bit little-endian number.
uint16_t TextCode(const std::string& k) {
  const char bytes[2] = {k.size() > 0 ? k[0] : '\0', k.size() > 1 ? k[1] : '\0'};
  return platform::DecodeFixed16(bytes);
}

// The digit the keypad key stands for while left Alt is held, or -1.
int KeypadDigit(uint16_t code) {
  switch (static_cast<int16_t>(code)) {
    case kKeyIns: return 0;
    case kKeyEnd: return 1;
    case kKeyDown: return 2;
    case kKeyPgDn: return 3;
    case kKeyLeft: return 4;
    case kKeyPad5: return 5;
    case kKeyRight: return 6;
    case kKeyHome: return 7;
    case kKeyUp: return 8;
    case kKeyPgUp: return 9;
    default: return -1;
  }
}

// The function-key codes gain their modifier's offset; Ctrl also turns
// Home, Right and Left into their own codes.
uint16_t AddModifiers(uint16_t key, uint32_t state) {
  const int16_t k = static_cast<int16_t>(key);
  if (k == kKeyAltE) return kEuro;
  bool fn = k >= kKeyF1 && k <= kKeyF10;
  bool fn2 = k == kKeyF11 || k == kKeyF12;
  if (state & kAlt) {
    if (fn) return static_cast<uint16_t>(key + kAltOffset);
    if (fn2) return static_cast<uint16_t>(key + kAltOffset2);
  } else if (state & kCtrl) {
    if (fn) return static_cast<uint16_t>(key + kCtrlOffset);
    if (fn2) return static_cast<uint16_t>(key + kCtrlOffset2);
    if (k == kKeyHome) return static_cast<uint16_t>(kKeyCtrlHome);
    if (k == kKeyRight) return static_cast<uint16_t>(kKeyCtrlRight);
    if (k == kKeyLeft) return static_cast<uint16_t>(kKeyCtrlLeft);
  } else if (state & platform::kShiftPressed) {
    if (fn) return static_cast<uint16_t>(key + kShiftOffset);
    if (fn2) return static_cast<uint16_t>(key + kShiftOffset2);
  }
  return key;
}

// Runs a hot-key pop-up unless it is open already (or not built in).
void RunHotKey(std::string (*popup)(), int16_t& open) {
  if (popup == nullptr || open != 0) return;
  open = -1;
  keyboard.Typeahead = popup();
  open = 0;
}

// One key list entry as a code: hexadecimal digits, blanks ignored, up to
// the first other character; 0 when there are none or the value is above
// 7fff.
int16_t HexCode(const std::string& text) {
  long v = 0;
  for (char c : text) {
    if (c == ' ' || c == '\t') continue;
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else break;
    v = v * 16 + d;
    if (v > 0x7FFF) return 0;
  }
  return static_cast<int16_t>(v);
}

std::string CodeBytes(int16_t code) {
  std::string bytes;
  platform::PutFixed16(&bytes, static_cast<uint16_t>(code));
  return bytes;
}

// The first place of the 2 code bytes in KeyCodes on an entry boundary.
size_t FindEntry(const std::string& bytes) {
  size_t at = keyboard.KeyCodes.find(bytes);
  while (at != std::string::npos && at % 2 != 0) at = keyboard.KeyCodes.find(bytes, at + 1);
  return at;
}

// Calls f(entry) for each comma-separated entry of the list.
template <typename F>
void ForEachEntry(const std::string& list, F f) {
  size_t pos = 0;
  while (pos < list.size()) {
    size_t comma = list.find(',', pos);
    if (comma == std::string::npos) comma = list.size();
    f(list.substr(pos, comma - pos));
    pos = comma + 1;
  }
}

}  // namespace

void ReadKey(int16_t& key, int16_t& event, int16_t& mouseRow, int16_t& mouseColumn) {
  key = event = mouseRow = mouseColumn = 0;
  if (!keyboard.Typeahead.empty()) {
    key = static_cast<unsigned char>(keyboard.Typeahead[0]);
    keyboard.Typeahead.erase(0, 1);
    return;
  }
  if (keyboard.Mouse == MouseMode::kNotChecked) {
    keyboard.Mouse =
        platform::ConsoleMouseButtons() > 0 ? MouseMode::kEventsOff : MouseMode::kNoMouse;
  }
  if (keyboard.Mouse == MouseMode::kEventsOff) {
    platform::ConsoleMouseInput(true);
    keyboard.Mouse = MouseMode::kEventsOn;
  }

  platform::ConsoleEvent e;
  platform::ConsoleReadEvent(&e);
  // Keypad character entry: while left Alt is held, keypad keys are digits
  // of a character code; the first other key ends the entry (and is
  // dropped when digits were typed).
  int digits = 0, code = 0;
  while (e.controlState & platform::kLeftAltPressed) {
    uint16_t k = TextCode(e.text);
    if (k != 0) {
      int d = KeypadDigit(k);
      if (d < 0) break;
      code = (code * 10 + d) % 256;
      ++digits;
    }
    if (!platform::ConsoleReadEvent(&e) && (e.controlState & platform::kLeftAltPressed)) {
      platform::ConsoleWaitInput(kIdleMs);  // Alt still held: wait for the next digit
    }
  }
  if (digits > 0) {
    e.text = std::string(1, static_cast<char>(code));
  }

  if (e.text.size() < 4) {
    key = static_cast<int16_t>(AddModifiers(TextCode(e.text), e.controlState));
  }
  if (keyboard.Mouse == MouseMode::kEventsOn && e.text.size() >= 4 && e.text[2] == '\x08') {
    event = static_cast<unsigned char>(e.text[3]);
    mouseRow = e.mouseRow;
    mouseColumn = e.mouseColumn;
  }

  if (key == kKeyAltX) RunHotKey(keyboard.Calculator, keyboard.CalculatorOpen);
  if (key == kKeyAltC) RunHotKey(keyboard.Calendar, keyboard.CalendarOpen);

  if (keyboard.Mouse == MouseMode::kEventsOn && (key != 0 || event != 0)) {
    platform::ConsoleMouseInput(false);
    keyboard.Mouse = MouseMode::kEventsOff;
  }
}

void WaitKeyOrMouse(int16_t& key, int16_t& event, int16_t& mouseRow, int16_t& mouseColumn) {
  for (;;) {
    ReadKey(key, event, mouseRow, mouseColumn);
    if (key != 0 || event != 0) return;
    platform::ConsoleWaitInput(kIdleMs);
  }
}

void WaitKey(int16_t& key) {
  do {
    int16_t event, row, column;
    WaitKeyOrMouse(key, event, row, column);
    if (event != 0) {
      key = MouseEventKey(event, row, column);
    }
  } while (key == 0);
}

int16_t WaitKey() {
  int16_t key = 0;
  WaitKey(key);
  return key;
}

void KeySet(const std::string& commands, const std::string& list) {
  for (char command : commands) {
    switch (command) {
      case 'a': case 'A':
        ForEachEntry(list, [](const std::string& entry) {
          size_t eq = entry.find('=');
          int16_t code = HexCode(entry.substr(0, eq));
          int16_t result = eq == std::string::npos ? code : HexCode(entry.substr(eq + 1));
          keyboard.KeyCodes += CodeBytes(code);
          keyboard.KeyResults += CodeBytes(result);
        });
        break;
      case 'd': case 'D':
        ForEachEntry(list, [](const std::string& entry) {
          size_t at = FindEntry(CodeBytes(HexCode(entry)));
          if (at == std::string::npos) return;
          keyboard.KeyCodes.erase(at, 2);
          if (at < keyboard.KeyResults.size()) keyboard.KeyResults.erase(at, 2);
        });
        break;
      case 'e': case 'E':
        keyboard.KeyCodes.clear();
        keyboard.KeyResults.clear();
        break;
      case '+':
        if (keyboard.SavedCount == 0) {
          keyboard.SavedKeyCodes = keyboard.KeyCodes;
          keyboard.SavedKeyResults = keyboard.KeyResults;
          keyboard.SavedCount = 1;
        }
        break;
      case '-':
        if (keyboard.SavedCount != 0) {
          keyboard.KeyCodes = keyboard.SavedKeyCodes;
          keyboard.KeyResults = keyboard.SavedKeyResults;
          keyboard.SavedKeyCodes.clear();
          keyboard.SavedKeyResults.clear();
          keyboard.SavedCount = 0;
        }
        break;
      case 'h': case 'H':
        keyboard.EchoChar = 88;
        break;
      case 'v': case 'V':
        keyboard.EchoChar = 0;
        break;
      default:
        break;
    }
  }
}

bool FindKeyInSet(int16_t key, int16_t& result) {
  size_t at = FindEntry(CodeBytes(key));
  if (at == std::string::npos || at + 2 > keyboard.KeyResults.size()) return false;
  result = static_cast<int16_t>(platform::DecodeFixed16(keyboard.KeyResults.data() + at));
  return true;
}

void SetFieldOptions(const std::string& options) { keyboard.FieldOptions = options; }

void Bell() { platform::Beep(); }

void DiscardKeys() {
  keyboard.Typeahead.clear();
  platform::ConsoleEvent e;
  while (platform::ConsoleReadEvent(&e)) {
  }
}

}  // namespace console
