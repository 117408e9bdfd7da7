// The console's screen model and the choice of back end. The model is the
// truth; the back end (console_backend.h) only shows it and supplies input.
#include "platform/console.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "platform/codepage.h"
#include "platform/console_backend.h"
#include "platform/env.h"
#include "platform/wait_hooks.h"

namespace platform {

ConsoleState console;

namespace {

const ConsoleBackend& Backend() {
  return console.backend == ConsoleBackendKind::kTerminal ? kTerminalBackend : kHeadlessBackend;
}

void Ensure() {
  if (console.backend == ConsoleBackendKind::kNone) ConsoleStart();
}

void ClearModel() {
  if (console.rows < 1) console.rows = 1;
  if (console.columns < 1) console.columns = 1;
  console.cells.assign(static_cast<size_t>(console.rows) * console.columns, ConsoleCell());
  console.cursorRow = 1;
  console.cursorColumn = 1;
  console.dirty = true;
}

ConsoleCell& Cell(int row, int column) {
  return console.cells[static_cast<size_t>(row - 1) * console.columns + (column - 1)];
}

unsigned char CurrentAttr() {
  return static_cast<unsigned char>((console.foreground & 15) | ((console.background & 15) << 4));
}

}  // namespace

long long ConsoleClockMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// --- Starting and ending -------------------------------------------------

ConsoleBackendKind ConsoleStart() {
  if (console.backend != ConsoleBackendKind::kNone) return console.backend;
  if (GetEnv("ZULCONSOLE") == "headless") {
    ConsoleStartWith(ConsoleBackendKind::kHeadless);
  } else if (!ConsoleStartWith(ConsoleBackendKind::kTerminal)) {
    std::fprintf(stderr, "console: no terminal to draw on; running without a screen\n");
  }
  return console.backend;
}

bool ConsoleStartWith(ConsoleBackendKind kind) {
  ConsoleEnd();
  ClearModel();
  if (kind == ConsoleBackendKind::kTerminal) {
    console.backend = ConsoleBackendKind::kTerminal;
    if (kTerminalBackend.start()) return true;
  }
  console.backend = ConsoleBackendKind::kHeadless;
  kHeadlessBackend.start();
  return kind != ConsoleBackendKind::kTerminal;
}

void ConsoleEnd() {
  if (console.backend == ConsoleBackendKind::kNone) return;
  Backend().stop();
  console.backend = ConsoleBackendKind::kNone;
}

void ConsoleFlush() {
  Ensure();
  Backend().present();
}

// --- The screen model ----------------------------------------------------

int16_t ConsoleRows() {
  Ensure();
  return console.rows;
}

int16_t ConsoleColumns() {
  Ensure();
  return console.columns;
}

void ConsoleSetSize(int16_t rows, int16_t columns) {
  Ensure();
  console.rows = std::clamp<int16_t>(rows, 1, kConsoleMaxRows);
  console.columns = std::clamp<int16_t>(columns, 1, kConsoleMaxColumns);
  ClearModel();
}

void ConsoleDeviceSize(int16_t* rows, int16_t* columns) {
  Ensure();
  Backend().size(rows, columns);
}

void ConsoleLocate(int16_t row, int16_t column) {
  Ensure();
  if (row >= 1 && row <= console.rows) console.cursorRow = row;
  if (column >= 1 && column <= console.columns) console.cursorColumn = column;
  console.dirty = true;
}

int16_t ConsoleCursorRow() {
  Ensure();
  return console.cursorRow;
}

int16_t ConsoleCursorColumn() {
  Ensure();
  return console.cursorColumn;
}

void ConsoleSetColours(int16_t foreground, int16_t background) {
  Ensure();
  console.foreground = static_cast<int16_t>(foreground & 15);
  console.background = static_cast<int16_t>(background & 15);
}

void ConsoleWrite(const std::string& text) {
  Ensure();
  unsigned char attr = CurrentAttr();
  for (char c : text) {
    // A cursor at the last cell after a write that filled it: the screen is
    // full and further characters are dropped.
    if (console.cursorColumn > console.columns) break;
    ConsoleCell& cell = Cell(console.cursorRow, console.cursorColumn);
    cell.ch = static_cast<unsigned char>(c);
    cell.attr = attr;
    if (console.cursorColumn < console.columns) {
      ++console.cursorColumn;
    } else if (console.cursorRow < console.rows) {
      console.cursorColumn = 1;
      ++console.cursorRow;
    } else {
      console.cursorColumn = static_cast<int16_t>(console.columns + 1);
    }
  }
  if (console.cursorColumn > console.columns) console.cursorColumn = console.columns;
  console.dirty = true;
}

void ConsoleWriteSpaces(int n) {
  if (n <= 0) return;
  ConsoleWrite(std::string(static_cast<size_t>(std::min(n, 32767)), ' '));
}

bool ConsoleReadCell(int16_t row, int16_t column, unsigned char* ch, unsigned char* attr) {
  Ensure();
  if (row < 1 || row > console.rows || column < 1 || column > console.columns) {
    *ch = ' ';
    *attr = 0;
    return false;
  }
  const ConsoleCell& cell = Cell(row, column);
  *ch = cell.ch;
  *attr = cell.attr;
  return true;
}

std::string ConsoleReadRow(int16_t row) {
  Ensure();
  std::string text(static_cast<size_t>(console.columns), ' ');
  if (row < 1 || row > console.rows) return text;
  for (int16_t c = 1; c <= console.columns; ++c) text[c - 1] = static_cast<char>(Cell(row, c).ch);
  return text;
}

void ConsoleScroll(int16_t top, int16_t left, int16_t bottom, int16_t right, int16_t lines) {
  Ensure();
  int t = std::max<int>(top, 1), l = std::max<int>(left, 1);
  int b = std::min<int>(bottom, console.rows), r = std::min<int>(right, console.columns);
  if (t > b || l > r || lines == 0) return;
  ConsoleCell blank;
  blank.attr = CurrentAttr();
  int height = b - t + 1;
  int n = lines;
  for (int k = 0; k < height; ++k) {
    // Moving up, fill from the top; moving down, from the bottom.
    int row = n > 0 ? t + k : b - k;
    int from = n > 0 ? row + n : row + n;
    for (int c = l; c <= r; ++c) {
      Cell(row, c) = (from >= t && from <= b) ? Cell(from, c) : blank;
    }
  }
  console.dirty = true;
}

void ConsoleSetCursorSize(int16_t percent) {
  Ensure();
  console.cursorSize = static_cast<int16_t>(std::clamp<int>(percent, 1, 100));
  console.cursorVisible = true;
  console.dirty = true;
}

void ConsoleHideCursor() {
  Ensure();
  console.cursorVisible = false;
  console.dirty = true;
}

// --- Input ---------------------------------------------------------------

bool ConsoleReadEvent(ConsoleEvent* event) {
  Ensure();
  *event = ConsoleEvent();
  Backend().present();
  ConsoleEvent e;
  if (!console.unread.empty()) {
    *event = console.unread.front();
    console.unread.pop_front();
    console.lastControlState = event->controlState;
    return true;
  }
  while (Backend().read(&e)) {
    bool mouse = e.text.size() >= 4 && e.text[2] == '\x08';
    if (mouse && !console.mouseEnabled) continue;  // reports while off are lost
    *event = e;
    console.lastControlState = e.controlState;
    return true;
  }
  console.lastControlState = Backend().held();
  event->controlState = console.lastControlState;
  return false;
}

bool ConsoleTakeKeyIfWaiting(const std::string& key) {
  Ensure();
  ConsoleEvent e;
  if (console.unread.empty()) {
    for (;;) {
      if (!Backend().read(&e)) return false;
      bool mouse = e.text.size() >= 4 && e.text[2] == '\x08';
      if (mouse && !console.mouseEnabled) continue;
      console.unread.push_back(e);
      break;
    }
  }
  if (console.unread.front().text != key) return false;
  console.lastControlState = console.unread.front().controlState;
  console.unread.pop_front();
  return true;
}

void ConsoleWaitInput(int ms) {
  Ensure();
  Backend().present();
  if (!console.unread.empty()) return;  // an event is pending already
  RunBeforeWaitHooks();
  Backend().wait(ms);
}

int16_t ConsoleMouseButtons() {
  Ensure();
  return console.mouseButtons;
}

void ConsoleMouseInput(bool on) {
  Ensure();
  if (console.mouseEnabled == on) return;
  console.mouseEnabled = on;
  Backend().mouse(on);
}

void ConsoleQueueKey(const std::string& text, uint32_t controlState) {
  ConsoleEvent e;
  e.text = text;
  e.controlState = controlState;
  console.queue.push_back(e);
}

void ConsoleQueueText(const std::string& text) {
  for (char c : text) ConsoleQueueKey(std::string(1, c));
}

void ConsoleQueueMouse(int16_t row, int16_t column, int eventCode, uint32_t controlState) {
  ConsoleEvent e;
  e.text = std::string("\0\0\x08", 3) + char(eventCode);
  e.controlState = controlState;
  e.mouseRow = row;
  e.mouseColumn = column;
  console.queue.push_back(e);
}

// --- Process-wide stand-ins ------------------------------------------------

char32_t ConsoleGlyph(unsigned char byte) {
  static const char16_t kControl[32] = {
      0x0020, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022,
      0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C,
      0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,
      0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC};
  if (byte < 0x20) return kControl[byte];
  if (byte == 0x7F) return 0x2302;
  return Cp850ToUnicode(byte);
}

void Beep() {
  ++console.bells;
  if (console.backend != ConsoleBackendKind::kNone) Backend().bell();
}

void GetKeyboardState(unsigned char table[256]) {
  if (console.backend != ConsoleBackendKind::kNone && Backend().keyboardGet &&
      Backend().keyboardGet(table))
    return;
  std::memcpy(table, console.keyboardTable.data(), 256);
}

void SetKeyboardState(const unsigned char table[256]) {
  std::memcpy(console.keyboardTable.data(), table, 256);
  if (console.backend != ConsoleBackendKind::kNone && Backend().keyboardSet)
    Backend().keyboardSet(table);
}

void ClipboardSet(const std::string& text) {
  console.clipboard = text;
  if (console.backend != ConsoleBackendKind::kNone && Backend().clipboardSet)
    Backend().clipboardSet(text);
}

std::string ClipboardGet() {
  std::string text;
  if (console.backend != ConsoleBackendKind::kNone && Backend().clipboardGet &&
      Backend().clipboardGet(&text))
    return text;
  return console.clipboard;
}

}  // namespace platform
