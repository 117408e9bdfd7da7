// The terminal back end of the Windows build: the console model drawn on a
// screen buffer of the Windows console, cell by cell with its own
// attribute bytes (the console's colours are the model's), and input read
// as the console's input records (console_records.h). The clipboard is
// the system's (CF_OEMTEXT is code page 850 on the suite's machines; the
// text is handed over as Unicode so that any code page reads it right).
//
// The keyboard state table (the Insert toggle) is the system's, this
// thread's.
//
// Sections: drawing; input; taking the console over and giving it back;
// the clipboard; the keyboard state table; the back end's table.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/codepage.h"
#include "platform/console_backend.h"
#include "platform/console_records.h"
#include "platform/process.h"

namespace platform {
namespace {

TerminalState& T() { return console.terminal; }
HANDLE In() { return static_cast<HANDLE>(T().input); }
HANDLE Out() { return static_cast<HANDLE>(T().output); }

// --- Drawing -------------------------------------------------------------

// The visible window of our buffer, in cells.
void WindowSize(int* rows, int* columns) {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(Out(), &info)) {
    *rows = console.rows;
    *columns = console.columns;
    return;
  }
  *rows = info.srWindow.Bottom - info.srWindow.Top + 1;
  *columns = info.srWindow.Right - info.srWindow.Left + 1;
}

void Size(int16_t* rows, int16_t* columns) {
  *rows = console.rows;
  *columns = console.columns;
  if (!T().active || T().suspended) return;
  int r, c;
  WindowSize(&r, &c);
  *rows = int16_t(std::clamp(r, 1, 32767));
  *columns = int16_t(std::clamp(c, 1, 32767));
}

void DrawCells(const std::vector<CHAR_INFO>& cells, int rows, int columns) {
  SMALL_RECT area = {0, 0, SHORT(columns - 1), SHORT(rows - 1)};
  WriteConsoleOutputW(Out(), cells.data(), COORD{SHORT(columns), SHORT(rows)}, COORD{0, 0},
                      &area);
}

void Present() {
  if (!T().active || T().suspended) return;
  int rows, columns;
  WindowSize(&rows, &columns);
  bool small = rows < console.rows || columns < console.columns;
  if (small != T().tooSmall) console.dirty = true;
  T().tooSmall = small;
  if (!console.dirty) return;
  console.dirty = false;
  if (small) {
    char text[80];
    std::snprintf(text, sizeof text, "Terminal too small: %d x %d needed", console.columns,
                  console.rows);
    const std::string shown = console.tooSmallText.empty() ? Utf8ToCp850(text)
                                                           : console.tooSmallText;
    std::vector<CHAR_INFO> line(size_t(std::max(columns, 1)));
    for (size_t i = 0; i < line.size(); ++i) {
      line[i].Char.UnicodeChar =
          WCHAR(i < shown.size() ? ConsoleGlyph(static_cast<unsigned char>(shown[i])) : L' ');
      line[i].Attributes = 0x07;
    }
    DrawCells(line, 1, int(line.size()));
    CONSOLE_CURSOR_INFO hidden = {25, FALSE};
    SetConsoleCursorInfo(Out(), &hidden);
    return;
  }
  std::vector<CHAR_INFO> cells(console.cells.size());
  for (size_t i = 0; i < cells.size(); ++i) {
    cells[i].Char.UnicodeChar = WCHAR(ConsoleGlyph(console.cells[i].ch));
    cells[i].Attributes = console.cells[i].attr;
  }
  DrawCells(cells, console.rows, console.columns);
  CONSOLE_CURSOR_INFO cursor = {DWORD(std::clamp<int>(console.cursorSize, 1, 100)),
                                console.cursorVisible ? TRUE : FALSE};
  SetConsoleCursorInfo(Out(), &cursor);
  SetConsoleCursorPosition(Out(),
                           COORD{SHORT(console.cursorColumn - 1), SHORT(console.cursorRow - 1)});
}

// --- Input ---------------------------------------------------------------

bool Read(ConsoleEvent* event) {
  if (!T().active || T().suspended) return false;
  for (;;) {
    DWORD pending = 0;
    if (!GetNumberOfConsoleInputEvents(In(), &pending) || pending == 0) return false;
    INPUT_RECORD r;
    DWORD got = 0;
    if (!ReadConsoleInputW(In(), &r, 1, &got) || got == 0) return false;
    bool made = false;
    if (r.EventType == KEY_EVENT) {
      const KEY_EVENT_RECORD& k = r.Event.KeyEvent;
      T().heldState = k.dwControlKeyState;
      KeyRecord key;
      key.down = k.bKeyDown != 0;
      key.virtualKey = k.wVirtualKeyCode;
      key.scanCode = k.wVirtualScanCode;
      key.character = char16_t(k.uChar.UnicodeChar);
      key.controlState = k.dwControlKeyState;
      // A held key repeats: each repeat is a key of its own.
      made = KeyRecordEvent(key, event);
      if (made && k.wRepeatCount > 1) {
        for (WORD i = 1; i < k.wRepeatCount; ++i) console.unread.push_back(*event);
      }
    } else if (r.EventType == MOUSE_EVENT) {
      const MOUSE_EVENT_RECORD& m = r.Event.MouseEvent;
      MouseRecord mouse;
      mouse.buttons = m.dwButtonState & 7;
      mouse.eventFlags = m.dwEventFlags;
      mouse.x = m.dwMousePosition.X;
      mouse.y = m.dwMousePosition.Y;
      mouse.controlState = m.dwControlKeyState;
      made = MouseRecordEvent(mouse, T().mouseButtons, event);
      T().mouseButtons = mouse.buttons;
    } else if (r.EventType == WINDOW_BUFFER_SIZE_EVENT) {
      console.dirty = true;
    }
    if (!made) continue;
    if (T().tooSmall) {  // nothing typed acts on a screen nobody can see
      bool mouse = event->text.size() >= 4 && event->text[2] == '\x08';
      if (!mouse || console.mouseEnabled) MessageBeep(MB_OK);
      continue;
    }
    return true;
  }
}

// The Alt key held now, as the last key record said: the keypad character
// entry watches it between keys.
uint32_t Held() { return T().heldState & (kLeftAltPressed | kRightAltPressed); }

void Wait(int ms) {
  if (!T().active || T().suspended) return;
  WaitForSingleObject(In(), DWORD(std::max(ms, 0)));
}

// --- Taking the console over and giving it back ----------------------------

DWORD OurInputMode() {
  DWORD mode = ENABLE_WINDOW_INPUT | ENABLE_EXTENDED_FLAGS;  // quick edit off
  if (T().mouseReporting) mode |= ENABLE_MOUSE_INPUT;
  return mode;
}

void HandBack() {
  if (T().savedOutput) SetConsoleActiveScreenBuffer(static_cast<HANDLE>(T().savedOutput));
  if (T().savedInputModeValid) SetConsoleMode(In(), T().savedInputMode);
  SetConsoleCtrlHandler(nullptr, FALSE);
}

// Ctrl+C is a key of ours (the copy key): our input mode reads it as a key
// record, and where the console still raises it as an interrupt (wine's
// console on a terminal) it is ignored instead of ending the program.
void TakeOver() {
  SetConsoleActiveScreenBuffer(Out());
  SetConsoleMode(In(), OurInputMode());
  SetConsoleCtrlHandler(nullptr, TRUE);
}

void BeforeChild() {
  if (!T().active || T().suspended) return;
  HandBack();
  T().suspended = true;
}

void AfterChild() {
  if (!T().active || !T().suspended) return;
  T().suspended = false;
  TakeOver();
  FlushConsoleInputBuffer(In());  // keys typed at the child are not ours
  console.dirty = true;
  Present();
}

void Stop() {
  if (!T().active) return;
  if (!T().suspended) HandBack();
  if (T().ownBuffer) CloseHandle(Out());
  T().output = nullptr;
  T().active = false;
  T().suspended = false;
  if (process.beforeChild == BeforeChild) process.beforeChild = nullptr;
  if (process.afterChild == AfterChild) process.afterChild = nullptr;
}

void AtExit() { ConsoleEnd(); }

bool Start() {
  if (T().active) return true;
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode;
  if (in == INVALID_HANDLE_VALUE || !GetConsoleMode(in, &mode)) return false;
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (out == INVALID_HANDLE_VALUE || !GetConsoleScreenBufferInfo(out, &info)) return false;
  T().input = in;
  T().savedInputMode = mode;
  T().savedInputModeValid = true;
  T().savedOutput = out;
  HANDLE ours = CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          CONSOLE_TEXTMODE_BUFFER, nullptr);
  T().ownBuffer = ours != INVALID_HANDLE_VALUE;
  T().output = T().ownBuffer ? ours : out;
  // The buffer as large as the window, so that nothing scrolls.
  int rows, columns;
  WindowSize(&rows, &columns);
  SetConsoleScreenBufferSize(Out(), COORD{SHORT(std::max(columns, int(console.columns))),
                                          SHORT(std::max(rows, int(console.rows)))});
  T().active = true;
  T().suspended = false;
  TakeOver();
  if (!T().hooksInstalled) {
    T().hooksInstalled = true;
    std::atexit(AtExit);
  }
  process.beforeChild = BeforeChild;
  process.afterChild = AfterChild;
  console.dirty = true;
  Present();
  return true;
}

void Bell() {
  if (T().active && !T().suspended) MessageBeep(MB_OK);
}

void Mouse(bool on) {
  // Reporting stays on once asked for, as on the terminal back end: clicks
  // while the console's mouse input is off are dropped by the console.
  if (!on || !T().active || T().mouseReporting) return;
  T().mouseReporting = true;
  if (!T().suspended) SetConsoleMode(In(), OurInputMode());
}

// --- The clipboard -------------------------------------------------------

bool ClipboardPut(const std::string& text) {
  std::wstring wide;
  for (unsigned char c : text) wide.push_back(WCHAR(Cp850ToUnicode(c)));
  if (!OpenClipboard(nullptr)) return false;
  bool ok = false;
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(WCHAR));
  if (block) {
    WCHAR* p = static_cast<WCHAR*>(GlobalLock(block));
    std::copy(wide.begin(), wide.end(), p);
    p[wide.size()] = 0;
    GlobalUnlock(block);
    ok = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    if (!ok) GlobalFree(block);
  }
  CloseClipboard();
  return ok;
}

bool ClipboardTake(std::string* text) {
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(nullptr)) return false;
  bool ok = false;
  HANDLE block = GetClipboardData(CF_UNICODETEXT);
  if (block) {
    const WCHAR* p = static_cast<const WCHAR*>(GlobalLock(block));
    if (p) {
      text->clear();
      for (; *p; ++p) {
        unsigned char byte;
        if (UnicodeToCp850(char32_t(*p), &byte)) text->push_back(char(byte));
      }
      ok = true;
      GlobalUnlock(block);
    }
  }
  CloseClipboard();
  return ok;
}

// --- The keyboard state table ----------------------------------------------

bool KeyboardSet(const unsigned char table[256]) {
  BYTE copy[256];
  std::copy(table, table + 256, copy);
  return ::SetKeyboardState(copy) != 0;
}

bool KeyboardGet(unsigned char table[256]) { return ::GetKeyboardState(table) != 0; }

}  // namespace

const ConsoleBackend kTerminalBackend = {Start, Stop, Present, Read, Wait, Held, Bell, Mouse,
                                         Size, ClipboardPut, ClipboardTake, KeyboardSet,
                                         KeyboardGet};

}  // namespace platform
