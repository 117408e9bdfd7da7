#include "platform/console_input.h"

#include <cstdlib>
#include <vector>

#include "platform/codepage.h"
#include "platform/key_codes.h"

namespace platform {
namespace {

const char kEsc = '\x1b';

constexpr unsigned char kScanShiftTab = ScanCodeOf(kKeyShiftTab);

// The keys of the escape sequences, as tables in the order a reader looks
// them up in a terminal's documentation. A sequence whose final or number
// is not listed is no key.

// CSI or SS3 with a letter final ("\e[A", "\eOP", "\e[1;5C"): arrows, Home,
// End, keypad 5, F1-F4.
struct LetterKey {
  char final;
  int16_t key;
};
constexpr LetterKey kLetterKeys[] = {
    {'A', kKeyUp},   {'B', kKeyDown}, {'C', kKeyRight}, {'D', kKeyLeft},
    {'H', kKeyHome}, {'F', kKeyEnd},  {'E', kKeyPad5},  {'G', kKeyPad5},
    {'P', kKeyF1},   {'Q', kKeyF2},   {'R', kKeyF3},    {'S', kKeyF4},
};

// "CSI n ~" (and rxvt's "CSI n $", "^", "@"): the editing keys and F1-F12.
struct TildeKey {
  int number;
  int16_t key;
};
constexpr TildeKey kTildeKeys[] = {
    {1, kKeyHome}, {7, kKeyHome}, {2, kKeyIns},  {3, kKeyDel},  {4, kKeyEnd},
    {8, kKeyEnd},  {5, kKeyPgUp}, {6, kKeyPgDn}, {11, kKeyF1},  {12, kKeyF2},
    {13, kKeyF3},  {14, kKeyF4},  {15, kKeyF5},  {17, kKeyF6},  {18, kKeyF7},
    {19, kKeyF8},  {20, kKeyF9},  {21, kKeyF10}, {23, kKeyF11}, {24, kKeyF12},
};

// The Linux console's F1-F5: "\e[[A" .. "\e[[E".
constexpr int16_t kLinuxFunctionKeys[] = {kKeyF1, kKeyF2, kKeyF3, kKeyF4, kKeyF5};

// The button of a mouse report's low two bits (0 left, 1 middle, 2 right).
constexpr int16_t kMouseButtons[3] = {kMouseLeft, kMouseMiddle, kMouseRight};

// The scan code of the key a letter final names, 0 when none.
unsigned char LetterKeyScan(char final) {
  for (const LetterKey& k : kLetterKeys) {
    if (k.final == final) return ScanCodeOf(k.key);
  }
  return 0;
}

// The scan code of the key of "CSI n ~", 0 when none.
unsigned char TildeKeyScan(int n) {
  for (const TildeKey& k : kTildeKeys) {
    if (k.number == n) return ScanCodeOf(k.key);
  }
  return 0;
}

// xterm modifier parameter (1 + bit mask: 1 Shift, 2 Alt, 4 Ctrl, 8 Meta)
// as console flags.
uint32_t ModifierFlags(int param) {
  if (param < 2) return 0;
  int bits = param - 1;
  uint32_t flags = 0;
  if (bits & 1) flags |= kShiftPressed;
  if (bits & (2 | 8)) flags |= kLeftAltPressed;
  if (bits & 4) flags |= kLeftCtrlPressed;
  return flags;
}

InputParse Extended(std::string* bytes, size_t used, unsigned char scan,
                    uint32_t flags, ConsoleEvent* event) {
  bytes->erase(0, used);
  if (scan == 0) return InputParse::kDropped;
  *event = ConsoleEvent();
  event->text = std::string(1, '\0') + char(scan);
  event->controlState = flags;
  return InputParse::kEvent;
}

InputParse Plain(std::string* bytes, size_t used, unsigned char ch, uint32_t flags,
                 ConsoleEvent* event) {
  bytes->erase(0, used);
  *event = ConsoleEvent();
  event->text = std::string(1, char(ch));
  event->controlState = flags;
  return InputParse::kEvent;
}

InputParse Drop(std::string* bytes, size_t used) {
  bytes->erase(0, used);
  return InputParse::kDropped;
}

// A mouse report: button bits as xterm sends them (low two bits the button,
// 3 = release; +4 Shift, +8 Meta, +16 Ctrl, +32 motion, +64 wheel).
InputParse Mouse(std::string* bytes, size_t used, int buttonBits, bool release,
                 int column, int row, ConsoleEvent* event) {
  bytes->erase(0, used);
  int button = buttonBits & 3;
  if (release || button == 3 || (buttonBits & (32 | 64)) || row < 1 || column < 1 ||
      row > 0x7FFF || column > 0x7FFF) {
    return InputParse::kDropped;
  }
  *event = ConsoleEvent();
  event->text = std::string("\0\0\x08", 3) + char(kMouseButtons[button]);
  if (buttonBits & 4) event->controlState |= kShiftPressed;
  if (buttonBits & 8) event->controlState |= kLeftAltPressed;
  if (buttonBits & 16) event->controlState |= kLeftCtrlPressed;
  event->mouseRow = static_cast<int16_t>(row);
  event->mouseColumn = static_cast<int16_t>(column);
  return InputParse::kEvent;
}

// Numeric parameters of a CSI sequence ("1;5" -> {1, 5}); empty ones are 0.
std::vector<int> Params(const std::string& text) {
  std::vector<int> out;
  std::string cur;
  for (char c : text) {
    if (c == ';' || c == ':') {
      out.push_back(cur.empty() ? 0 : std::atoi(cur.c_str()));
      cur.clear();
    } else if (cur.size() < 6) {
      cur += c;
    }
  }
  out.push_back(cur.empty() ? 0 : std::atoi(cur.c_str()));
  return out;
}

// Longest escape sequence waited for; anything longer is noise.
const size_t kMaxSequence = 40;

// "\e[" ...: bytes[0..1] are ESC and '['.
InputParse ParseCsi(std::string* bytes, bool quiet, ConsoleEvent* event) {
  const std::string& b = *bytes;
  if (b.size() < 3) {
    if (!quiet) return InputParse::kIncomplete;
    return Plain(bytes, 2, '[', kLeftAltPressed, event);  // Alt+[
  }
  // The older mouse report: "\e[M" and three bytes, each value + 32.
  if (b[2] == 'M') {
    if (b.size() < 6) return quiet ? Drop(bytes, b.size()) : InputParse::kIncomplete;
    int cb = static_cast<unsigned char>(b[3]) - 32;
    int x = static_cast<unsigned char>(b[4]) - 32;
    int y = static_cast<unsigned char>(b[5]) - 32;
    return Mouse(bytes, 6, cb, (cb & 3) == 3, x, y, event);
  }
  // The Linux console's F1-F5: "\e[[A" .. "\e[[E".
  if (b[2] == '[') {
    if (b.size() < 4) return quiet ? Drop(bytes, b.size()) : InputParse::kIncomplete;
    char c = b[3];
    if (c >= 'A' && c <= 'E') {
      return Extended(bytes, 4, ScanCodeOf(kLinuxFunctionKeys[c - 'A']), 0, event);
    }
    return Drop(bytes, 4);
  }
  // Parameter bytes 0x30-0x3F, intermediates 0x20-0x2F, one final byte.
  // rxvt ends modified keys with '$' (Shift), '^' (Ctrl) or '@' (both).
  size_t i = 2;
  while (i < b.size()) {
    unsigned char c = static_cast<unsigned char>(b[i]);
    if (c >= 0x20 && c <= 0x3F) {
      ++i;
      continue;
    }
    if (c >= 0x40 && c <= 0x7E) break;
    // A byte that cannot be part of the sequence: drop what came before it.
    return Drop(bytes, i);
  }
  if (i >= b.size()) {
    if (quiet || b.size() > kMaxSequence) return Drop(bytes, b.size());
    return InputParse::kIncomplete;
  }
  size_t used = i + 1;
  char final = b[i];
  std::string params = b.substr(2, i - 2);
  if (!params.empty() && params[0] == '<') {  // SGR mouse report
    std::vector<int> p = Params(params.substr(1));
    if (p.size() != 3 || (final != 'M' && final != 'm')) return Drop(bytes, used);
    return Mouse(bytes, used, p[0], final == 'm', p[1], p[2], event);
  }
  if (!params.empty() && (params[0] < '0' || params[0] > ';')) return Drop(bytes, used);
  if (params.find_first_of(" !\"#$%&'()*+,-./") != std::string::npos) return Drop(bytes, used);
  std::vector<int> p = Params(params);
  int first = p[0];
  uint32_t flags = p.size() > 1 ? ModifierFlags(p[1]) : 0;
  switch (final) {
    case 'Z':
      return Extended(bytes, used, kScanShiftTab, kShiftPressed | flags, event);
    case '~':
      return Extended(bytes, used, TildeKeyScan(first), flags, event);
    case '$':
      return Extended(bytes, used, TildeKeyScan(first), kShiftPressed, event);
    case '^':
      return Extended(bytes, used, TildeKeyScan(first), kLeftCtrlPressed, event);
    case '@':
      return Extended(bytes, used, TildeKeyScan(first), kLeftCtrlPressed | kShiftPressed, event);
    default:
      // "\e[1;5C" and the like; "\e[3C" is not a key.
      if (p.size() == 1 && first > 1) return Drop(bytes, used);
      return Extended(bytes, used, LetterKeyScan(final), flags, event);
  }
}

// "\eO" ...: single-shift 3 forms (application cursor and keypad modes).
InputParse ParseSs3(std::string* bytes, bool quiet, ConsoleEvent* event) {
  const std::string& b = *bytes;
  if (b.size() < 3) {
    if (!quiet) return InputParse::kIncomplete;
    return Extended(bytes, 2, ScanCodeOfKey('o'), kLeftAltPressed | kShiftPressed, event);
  }
  size_t i = 2;
  uint32_t flags = 0;
  if (b[i] >= '0' && b[i] <= '9') {  // "\eO2P": modifier before the final
    flags = ModifierFlags(b[i] - '0');
    ++i;
    if (i >= b.size()) return quiet ? Drop(bytes, i) : InputParse::kIncomplete;
  }
  char final = b[i];
  size_t used = i + 1;
  if (final == 'M') return Plain(bytes, used, '\r', flags, event);  // keypad Enter
  if (final >= 'j' && final <= 'y') {  // keypad characters in application mode
    static const char kKeypad[] = "*+,-./0123456789";
    return Plain(bytes, used, static_cast<unsigned char>(kKeypad[final - 'j']), flags, event);
  }
  return Extended(bytes, used, LetterKeyScan(final), flags, event);
}

// One key without an ESC prefix starting at bytes[from]. On kEvent, `used`
// is the number of bytes from `from` it took.
InputParse ParseKey(const std::string& b, size_t from, bool quiet, ConsoleEvent* event,
                    size_t* used) {
  unsigned char c = static_cast<unsigned char>(b[from]);
  *event = ConsoleEvent();
  *used = 1;
  if (c == 0x7F || c == 0x08) {
    event->text = "\x08";
  } else if (c == 0x00) {
    return InputParse::kDropped;  // Ctrl+Space: no console key
  } else if (c < 0x80) {
    event->text = std::string(1, char(c));
  } else {
    char32_t cp = 0;
    size_t n = 1;
    switch (DecodeUtf8(b, from, &cp, &n)) {
      case Utf8Status::kOk:
        break;
      case Utf8Status::kIncomplete:
        return quiet ? InputParse::kDropped : InputParse::kIncomplete;
      case Utf8Status::kInvalid:
        return InputParse::kDropped;
    }
    *used = n;
    unsigned char byte = 0;
    if (!UnicodeToCp850(cp, &byte) || byte < 0x20 || byte == 0x7F) return InputParse::kDropped;
    event->text = std::string(1, char(byte));
  }
  return InputParse::kEvent;
}

}  // namespace

unsigned char ScanCodeOfKey(unsigned char ch) {
  static const char kRows[4][11] = {"1234567890", "qwertyuiop", "asdfghjkl", "zxcvbnm"};
  static const unsigned char kFirst[4] = {0x02, 0x10, 0x1E, 0x2C};
  if (ch >= 'A' && ch <= 'Z') ch = static_cast<unsigned char>(ch - 'A' + 'a');
  for (int r = 0; r < 4; ++r) {
    for (int k = 0; kRows[r][k]; ++k) {
      if (kRows[r][k] == static_cast<char>(ch)) return static_cast<unsigned char>(kFirst[r] + k);
    }
  }
  return 0;
}

InputParse ParseTerminalInput(std::string* bytes, bool quiet, ConsoleEvent* event) {
  const std::string& b = *bytes;
  if (b.empty()) return InputParse::kNone;
  if (b[0] != kEsc) {
    size_t used = 1;
    InputParse r = ParseKey(b, 0, quiet, event, &used);
    if (r == InputParse::kIncomplete) return r;
    bytes->erase(0, used);
    return r;
  }
  if (b.size() == 1) {
    if (!quiet) return InputParse::kIncomplete;
    return Plain(bytes, 1, kKeyEsc, 0, event);
  }
  if (b[1] == '[') return ParseCsi(bytes, quiet, event);
  if (b[1] == 'O') return ParseSs3(bytes, quiet, event);
  if (b[1] == kEsc) {
    // "\e\e[A" is Alt+Up on some terminals; "\e\e" alone is Esc twice.
    if (b.size() == 2 && !quiet) return InputParse::kIncomplete;
    if (b.size() > 2 && (b[2] == '[' || b[2] == 'O')) {
      std::string rest = b.substr(1);
      InputParse r = ParseTerminalInput(&rest, quiet, event);
      if (r == InputParse::kIncomplete) return r;
      *bytes = rest;
      if (r == InputParse::kEvent) event->controlState |= kLeftAltPressed;
      return r;
    }
    return Plain(bytes, 1, kKeyEsc, 0, event);
  }
  // ESC + one key: that key with Alt held.
  size_t used = 1;
  InputParse r = ParseKey(b, 1, quiet, event, &used);
  if (r == InputParse::kIncomplete) return r;
  bytes->erase(0, 1 + used);
  if (r != InputParse::kEvent) return r;
  unsigned char ch = static_cast<unsigned char>(event->text[0]);
  unsigned char scan = ScanCodeOfKey(ch);
  event->controlState = kLeftAltPressed;
  if (scan != 0) {
    if (ch >= 'A' && ch <= 'Z') event->controlState |= kShiftPressed;
    event->text = std::string(1, '\0') + char(scan);
  }
  return InputParse::kEvent;
}

}  // namespace platform
