// The text console: an 80 x 25 screen of cells and the operator's keyboard
// and mouse, as the suite's programs see them.
//
// The screen is a model in memory and the single source of truth. Every
// operation below reads or changes the model; a back end presents it:
//   - terminal: draws the model on the user's terminal through ncursesw
//     (code page 850 shown as Unicode, the 16 console colours, the cursor)
//     and turns the terminal's input into key and mouse events;
//   - headless: shows nothing; key events come from a queue that tests fill,
//     and tests read the cells back.
// The back end is chosen in one place, ConsoleStart: headless when the
// environment variable ZULCONSOLE is "headless", else the terminal (or
// headless, with a note on stderr, when there is no terminal to draw on).
// Every operation starts the console on first use, so a program need not
// call ConsoleStart itself. Unit tests that touch the console call
// ConsoleStartWith(kHeadless) first, so that a test run from a terminal
// never takes it over.
//
// Coordinates are 1-based: row 1..rows, column 1..columns. A cell holds a
// character byte of code page 850 and an attribute byte: foreground colour
// in the low 4 bits, background in the high 4 bits. Bytes below 32 show as
// the console font's glyphs for them (0x10 is "►", 0x11 "◄"). Colours are
// the console's: 0 black, 1 blue, 2 green, 3 cyan, 4 red, 5 magenta,
// 6 brown, 7 grey, 8..15 their bright forms.
//
// Key events come in the console's text form:
//   - ""                  nothing pending;
//   - one character       a plain key (code page 850 byte; 13 Enter, 27 Esc,
//                         8 Backspace, 9 Tab, control characters as typed);
//   - "\0" + scan code    an extended key (function keys, arrows, Ins, Del,
//                         Home, End, PgUp, PgDn, Shift+Tab, Alt+letters);
//   - 4 characters        a mouse event: "\0\0\x08" + event code, with the
//                         event's place in mouseRow/mouseColumn (1-based
//                         screen coordinates). Event codes: the button
//                         pressed, kMouseLeft, kMouseRight or kMouseMiddle
//                         (key_codes.h).
// Each event carries the control-key state of the moment it was made, as the
// standard console flags below. Modifiers travel only as flags: Shift+F1 is
// F1's scan code with kShiftPressed, Ctrl+Right is Right's with a Ctrl flag.
//
// State: `platform::console`, one instance of ConsoleState. Tests reset it by
// assigning a fresh ConsoleState (headless only: a running terminal must be
// ended with ConsoleEnd first).
//
// The bell, the keyboard state table (for the Insert toggle) and the
// clipboard are process-wide services of the same console; their stand-ins
// are at the end of this file.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#ifdef _WIN32
#include "platform/console_windows.h"
#else
#include "platform/console_terminal.h"
#endif
#include "platform/key_codes.h"

namespace platform {

// Control-key state flags of a key event.
constexpr uint32_t kRightAltPressed = 1;
constexpr uint32_t kLeftAltPressed = 2;
constexpr uint32_t kRightCtrlPressed = 4;
constexpr uint32_t kLeftCtrlPressed = 8;
constexpr uint32_t kShiftPressed = 16;

struct ConsoleEvent {
  std::string text;           // the text form described above
  uint32_t controlState = 0;  // the flags above
  int16_t mouseRow = 0;       // mouse events only
  int16_t mouseColumn = 0;
};

struct ConsoleCell {
  unsigned char ch = ' ';
  unsigned char attr = 0x07;  // grey on black
};

enum class ConsoleBackendKind { kNone, kHeadless, kTerminal };

struct ConsoleState {
  ConsoleBackendKind backend = ConsoleBackendKind::kNone;  // kNone: not started

  // The screen model.
  int16_t rows = 25;
  int16_t columns = 80;
  std::vector<ConsoleCell> cells;  // rows x columns, row by row
  int16_t cursorRow = 1;
  int16_t cursorColumn = 1;
  int16_t cursorSize = 25;     // percent of the cell height, 1..100
  bool cursorVisible = true;
  int16_t foreground = 7;      // colours of the next write
  int16_t background = 0;
  bool dirty = true;           // model changed since the back end last drew it

  // Input.
  bool mouseEnabled = false;       // report mouse events (ConsoleMouseInput)
  int16_t mouseButtons = 3;        // what ConsoleMouseButtons reports
  uint32_t lastControlState = 0;   // control-key state of the last read

  // Headless back end: events waiting to be read, oldest first, and how many
  // times a program waited for a key with the queue empty (see
  // ConsoleWaitInput).
  std::deque<ConsoleEvent> queue;
  int starvedWaits = 0;

  // Events taken from the back end by ConsoleTakeKeyIfWaiting and not
  // wanted there: ConsoleReadEvent delivers them first, oldest first.
  std::deque<ConsoleEvent> unread;

  // Terminal back end (console_terminal.h).
  TerminalState terminal;
  // Shown alone while the terminal is smaller than the screen: code page
  // 850, set by the program in the session's language; empty gives
  // "Terminal too small: 80 x 25 needed".
  std::string tooSmallText;

  // Process-wide stand-ins.
  std::array<unsigned char, 256> keyboardTable{};  // keyboard state table
  std::string clipboard;                           // code page 850 text
  int bells = 0;                                   // times the bell rang
};
extern ConsoleState console;

// --- Starting and ending -------------------------------------------------

// Starts the console with the back end the environment selects (see above),
// if it is not running yet. The model is cleared to blanks in grey on black.
// Returns the back end in use.
ConsoleBackendKind ConsoleStart();

// Starts the console with the given back end (tests use kHeadless). A
// console already running is ended first. Returns false, leaving the
// console headless, when the terminal back end cannot start.
bool ConsoleStartWith(ConsoleBackendKind kind);

// Gives the terminal back to the shell (idempotent). The terminal back end
// also does this by itself on exit() and on fatal signals.
void ConsoleEnd();

// Draws the model on the terminal if it changed since the last drawing.
// Reading input does this too; a program that draws and then works for a
// while without reading keys (a progress line) calls it itself. Nothing
// for the headless back end.
void ConsoleFlush();

// --- The screen model ----------------------------------------------------

int16_t ConsoleRows();
int16_t ConsoleColumns();

// The largest screen model ConsoleSetSize makes.
constexpr int16_t kConsoleMaxRows = 500;
constexpr int16_t kConsoleMaxColumns = 1000;

// Gives the screen model a new size, each clamped to 1..the largest above,
// cleared to blanks in grey on black with the cursor at row 1, column 1.
// The suite's forms keep the console's 80 x 25; a program that uses the
// whole terminal (the print preview) sets the size ConsoleDeviceSize gives.
void ConsoleSetSize(int16_t rows, int16_t columns);

// The rows and columns of what the model is shown on: the terminal's size
// now, a resize of its window taken in; headless, the model's own size.
void ConsoleDeviceSize(int16_t* rows, int16_t* columns);

// Moves the cursor. A row (column) outside 1..rows (1..columns) keeps the
// cursor's current row (column).
void ConsoleLocate(int16_t row, int16_t column);
int16_t ConsoleCursorRow();
int16_t ConsoleCursorColumn();

// Sets the colours of the next writes (each taken modulo 16).
void ConsoleSetColours(int16_t foreground, int16_t background);

// Writes the text at the cursor in the current colours, moving the cursor
// one column per character. At the end of a row the text goes on at the
// start of the next row; what would fall beyond the last cell of the
// screen is dropped, and the cursor then stays on the last cell.
void ConsoleWrite(const std::string& text);

// Writes n spaces (nothing for n <= 0), as ConsoleWrite.
void ConsoleWriteSpaces(int n);

// The character and attribute of a cell. A cell off the screen reads as a
// blank with attribute 0 and the result is false.
bool ConsoleReadCell(int16_t row, int16_t column, unsigned char* ch, unsigned char* attr);

// The characters of a whole row as text, ConsoleColumns() bytes of code
// page 850 (attributes left out). A row off the screen reads as blanks.
std::string ConsoleReadRow(int16_t row);

// Scrolls the rectangle (1-based, inclusive) by n lines: up for n > 0, down
// for n < 0. The rows uncovered are blanked in the current colours. The
// rectangle is cut to the screen; an empty rectangle does nothing.
void ConsoleScroll(int16_t top, int16_t left, int16_t bottom, int16_t right, int16_t lines);

// Sets the cursor height in percent of the cell (clamped to 1..100) and
// shows it; ConsoleHideCursor hides it until the next ConsoleSetCursorSize.
void ConsoleSetCursorSize(int16_t percent);
void ConsoleHideCursor();

// --- Input ---------------------------------------------------------------

// Takes the next key or mouse event without waiting. Returns false, with an
// empty text, when nothing is pending; the control-key state is then the
// state the back end believes is held (see console_terminal.h for the
// terminal's Alt rule). Mouse events are delivered only while mouse input
// is on; others are dropped.
bool ConsoleReadEvent(ConsoleEvent* event);

// Takes the next pending event when it is the plain or extended key `key`
// (its text form, e.g. "\x1b" for Esc) and returns true; returns false and
// leaves any other event pending, for the next ConsoleReadEvent, when it
// is not. Never waits. Mouse events are dropped while mouse input is off,
// as ConsoleReadEvent drops them.
bool ConsoleTakeKeyIfWaiting(const std::string& key);

// Called by a program that polls for keys and found none: draws the model,
// runs the before-wait hooks (platform/wait_hooks.h) and waits up to `ms`
// milliseconds for input to arrive. Headless: when the
// queue is empty, the wait is a starved one: starvedWaits goes up by one and
// an Esc key is queued, so that a test that queued too few keys ends (every
// interactive loop of the suite leaves on Esc) instead of hanging.
void ConsoleWaitInput(int ms);

// The number of mouse buttons (0: no mouse).
int16_t ConsoleMouseButtons();

// Switches the reporting of mouse events on or off.
void ConsoleMouseInput(bool on);

// Headless back end: appends an event to the queue. ConsoleQueueKey queues a
// key in text form; ConsoleQueueText queues each character of a code page
// 850 text as a plain key; ConsoleQueueMouse queues a mouse event.
void ConsoleQueueKey(const std::string& text, uint32_t controlState = 0);
void ConsoleQueueText(const std::string& text);
void ConsoleQueueMouse(int16_t row, int16_t column, int eventCode, uint32_t controlState = 0);

// --- Process-wide stand-ins ------------------------------------------------

// Rings the bell (the terminal's bell; counted in console.bells).
void Beep();

// Copies the keyboard state table out / in (256 bytes, by virtual key code:
// bit 7 held, bit 0 toggled; the Insert toggle is bit 0 of entry 0x2D, set
// meaning insert mode). On the Windows console it is the system's table of
// this thread (GetKeyboardState / SetKeyboardState), elsewhere and before
// the console starts the stand-in below.
void GetKeyboardState(unsigned char table[256]);
void SetKeyboardState(const unsigned char table[256]);
constexpr int kVirtualKeyInsert = 0x2D;

// The clipboard, plain text in code page 850: kept in the process, and on
// the Windows console also the system's clipboard, which ClipboardGet reads
// first (text another program copied included).
void ClipboardSet(const std::string& text);
std::string ClipboardGet();

}  // namespace platform
