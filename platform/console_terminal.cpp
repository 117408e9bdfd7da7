// The terminal back end: the console model drawn through ncursesw, input
// read from the terminal as bytes and decoded by console_input.cpp.
//
// Sections: colours and glyphs; drawing; input; taking the terminal over
// and giving it back (exit, fatal signals, child programs); the table.
//
// Curses is used for output only. Input bytes are read from fd 0 directly
// (curses' own key decoding does not know the modified-key sequences, and
// reading both ways would split sequences), so curses' typeahead check is
// switched off: it would otherwise abandon screen updates whenever a key is
// waiting unread.
#include <curses.h>
#include <langinfo.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/codepage.h"
#include "platform/console_backend.h"
#include "platform/console_input.h"
#include "platform/process.h"

namespace platform {
namespace {

TerminalState& T() { return console.terminal; }

// How long the rest of an escape sequence is waited for: a lone ESC is the
// Esc key once this much time passed without more bytes.
const int kEscapeWaitMs = 40;

// How long "left Alt held" is believed after an Alt+keypad key.
const int kAltHoldMs = 1000;

const char kMouseOn[] = "\x1b[?1000h\x1b[?1006h";
const char kMouseOff[] = "\x1b[?1000l\x1b[?1006l";

void WriteAll(const char* data, size_t n) {
  while (n > 0) {
    ssize_t w = ::write(1, data, n);
    if (w <= 0) return;
    data += w;
    n -= static_cast<size_t>(w);
  }
}

void WriteAll(const std::string& s) { WriteAll(s.data(), s.size()); }

// A string capability of the terminal, or "" when it has none.
std::string Capability(const char* name) {
  char* s = tigetstr(const_cast<char*>(name));
  if (s == nullptr || s == reinterpret_cast<char*>(-1)) return std::string();
  return std::string(s);
}

// --- Colours and glyphs --------------------------------------------------

// Console colour numbers put blue in bit 0 and red in bit 2; ANSI (and so
// curses) the other way round.
short CursesColour(int c) {
  short base = static_cast<short>(((c & 1) ? 4 : 0) | (c & 2) | ((c & 4) ? 1 : 0));
  if ((c & 8) && T().colours == 16) base = static_cast<short>(base + 8);
  return base;
}

// The curses pair for an attribute byte (initialised on first use) and the
// extra attributes needed on terminals with fewer colours.
short PairFor(unsigned char attr, attr_t* extra) {
  int fg = attr & 15, bg = attr >> 4;
  *extra = A_NORMAL;
  if (T().colours == 0) {
    if (bg != 0) *extra |= A_REVERSE;
    if (fg & 8) *extra |= A_BOLD;
    return 0;
  }
  int pair;
  if (T().colours == 16) {
    pair = 1 + fg * 16 + bg;
  } else {
    if (fg & 8) *extra |= A_BOLD;  // bright foreground as bold
    pair = 1 + (fg & 7) * 8 + (bg & 7);
  }
  if (pair >= COLOR_PAIRS) return 0;
  if (static_cast<size_t>(pair) >= T().pairReady.size()) T().pairReady.resize(pair + 1, false);
  if (!T().pairReady[pair]) {
    init_pair(static_cast<short>(pair), CursesColour(fg), CursesColour(bg));
    T().pairReady[pair] = true;
  }
  return static_cast<short>(pair);
}

// --- Drawing -------------------------------------------------------------

void CheckSize() {
  if (T().resized) {
    T().resized = 0;
    winsize ws{};
    if (ioctl(1, TIOCGWINSZ, &ws) == 0 && ws.ws_row > 0 && ws.ws_col > 0) {
      resize_term(ws.ws_row, ws.ws_col);
    }
    clearok(curscr, TRUE);
    console.dirty = true;
  }
  bool small = LINES < console.rows || COLS < console.columns;
  if (small != T().tooSmall) console.dirty = true;
  T().tooSmall = small;
}

// The terminal's size now, a pending resize taken in first.
void Size(int16_t* rows, int16_t* columns) {
  *rows = console.rows;
  *columns = console.columns;
  if (!T().active || T().suspended) return;
  CheckSize();
  *rows = static_cast<int16_t>(std::clamp(LINES, 1, 32767));
  *columns = static_cast<int16_t>(std::clamp(COLS, 1, 32767));
}

void SetCursorShape() {
  // DECSCUSR where the terminal knows it: a block for a tall cursor (the
  // field editor's overwrite mode), an underline otherwise.
  int shape = console.cursorSize >= 75 ? 2 : 4;
  if (shape == T().lastShape) return;
  std::string ss = Capability("Ss");
  if (ss.empty()) return;
  char* seq = tiparm(const_cast<char*>(ss.c_str()), shape);
  if (seq != nullptr) WriteAll(seq, std::strlen(seq));
  T().lastShape = shape;
}

void Present() {
  if (!T().active || T().suspended) return;
  CheckSize();
  if (!console.dirty) return;
  console.dirty = false;
  if (T().tooSmall) {
    erase();
    char text[80];
    std::snprintf(text, sizeof text, "Terminal too small: %d x %d needed", console.columns,
                  console.rows);
    const std::string shown =
        console.tooSmallText.empty() ? std::string(text) : Cp850ToUtf8(console.tooSmallText);
    mvaddnstr(0, 0, shown.c_str(), -1);
    curs_set(0);
    refresh();
    return;
  }
  // Where the terminal is larger than the model, the cells around it stay
  // blank, whatever a larger model showed there before.
  if (LINES != console.rows || COLS != console.columns) erase();
  for (int r = 1; r <= console.rows; ++r) {
    for (int c = 1; c <= console.columns; ++c) {
      const ConsoleCell& cell =
          console.cells[static_cast<size_t>(r - 1) * console.columns + (c - 1)];
      attr_t extra;
      short pair = PairFor(cell.attr, &extra);
      wchar_t wch[2] = {static_cast<wchar_t>(ConsoleGlyph(cell.ch)), 0};
      cchar_t cc;
      setcchar(&cc, wch, extra, pair, nullptr);
      mvadd_wch(r - 1, c - 1, &cc);
    }
  }
  move(console.cursorRow - 1, console.cursorColumn - 1);
  curs_set(console.cursorVisible ? (console.cursorSize >= 75 ? 2 : 1) : 0);
  refresh();
  if (console.cursorVisible) SetCursorShape();
}

// --- Input ---------------------------------------------------------------

// Moves whatever the terminal has sent into T().input, without waiting.
// A terminal that has gone away (end of input, hang-up) is marked closed.
void Drain() {
  char buf[256];
  while (!T().inputClosed) {
    pollfd p{0, POLLIN, 0};
    if (poll(&p, 1, 0) <= 0) return;
    if (!(p.revents & POLLIN)) {
      if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) T().inputClosed = true;
      return;
    }
    ssize_t n = ::read(0, buf, sizeof buf);
    if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) T().inputClosed = true;
    if (n <= 0) return;
    T().input.append(buf, static_cast<size_t>(n));
    T().inputQuietSince = ConsoleClockMs();
  }
}

// The keys that stand for digits while left Alt is held: Home, Up, PgUp,
// Left, keypad 5, Right, End, Down, PgDn, Ins.
bool IsKeypadKey(const ConsoleEvent& e) {
  if (e.text.size() != 2 || e.text[0] != '\0') return false;
  unsigned char s = static_cast<unsigned char>(e.text[1]);
  return s >= 0x47 && s <= 0x52 && s != 0x4A && s != 0x4E;
}

// While the terminal is smaller than the screen, the operator sees only the
// message that says so: nothing typed may act on a screen nobody can see.
// Every key and click is taken and refused with the bell (a mouse report
// while mouse input is off is dropped silently, as always); a resize is no
// key, it only ends the hold. Returns true when `event` is refused.
bool RefusedWhileTooSmall(const ConsoleEvent& event) {
  if (!T().tooSmall) return false;
  bool mouse = event.text.size() >= 4 && event.text[2] == '\x08';
  if (!mouse || console.mouseEnabled) beep();
  return true;
}

bool Read(ConsoleEvent* event) {
  if (!T().active || T().suspended) return false;
  Drain();
  CheckSize();
  for (;;) {
    bool quiet = ConsoleClockMs() - T().inputQuietSince >= kEscapeWaitMs;
    InputParse r = ParseTerminalInput(&T().input, quiet || T().inputClosed, event);
    if (r == InputParse::kDropped) continue;
    if (r == InputParse::kNone && T().inputClosed) {
      // Nobody can type any more: every read is Esc, which ends every
      // interactive loop, so the program winds down instead of spinning.
      *event = ConsoleEvent();
      event->text = "\x1b";
      return true;
    }
    if (r != InputParse::kEvent) return false;
    if (RefusedWhileTooSmall(*event)) continue;
    bool alt = event->controlState & (kLeftAltPressed | kRightAltPressed);
    T().altHeldUntil = (alt && IsKeypadKey(*event)) ? ConsoleClockMs() + kAltHoldMs : 0;
    return true;
  }
}

uint32_t Held() {
  return ConsoleClockMs() < T().altHeldUntil ? kLeftAltPressed : 0;
}

void Wait(int ms) {
  if (!T().active || T().suspended) return;
  if (!T().input.empty()) {
    // Part of a sequence is waiting: wait no longer than its rest may take.
    long long left = kEscapeWaitMs - (ConsoleClockMs() - T().inputQuietSince);
    ms = static_cast<int>(std::clamp<long long>(left, 0, ms));
  }
  pollfd p{0, POLLIN, 0};
  poll(&p, 1, std::max(ms, 0));  // a resize signal ends it early, as it should
}

// --- Taking the terminal over and giving it back ---------------------------

// Undoes our settings on the terminal; async-signal-safe.
void RestoreFromSignal() {
  if (!T().active) return;
  WriteAll(T().restore.data(), T().restore.size());
  if (T().savedModesValid) tcsetattr(0, TCSANOW, &T().savedModes);
}

void OnFatalSignal(int sig) {
  RestoreFromSignal();
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

void OnResize(int) { T().resized = 1; }

void LeaveCurses() {
  if (T().mouseReporting) WriteAll(kMouseOff, sizeof kMouseOff - 1);
  std::string se = Capability("Se");
  if (!se.empty() && T().lastShape >= 0) WriteAll(se);
  T().lastShape = -1;
  endwin();
}

void BeforeChild() {
  if (!T().active || T().suspended) return;
  LeaveCurses();
  T().suspended = true;
}

void AfterChild() {
  if (!T().active || !T().suspended) return;
  T().suspended = false;
  refresh();  // back into curses mode
  if (T().mouseReporting) WriteAll(kMouseOn, sizeof kMouseOn - 1);
  T().input.clear();  // keys typed at the child are not ours
  T().resized = 1;    // the child may have seen the terminal resized
  clearok(curscr, TRUE);
  console.dirty = true;
  Present();
}

void Stop() {
  if (!T().active) return;
  if (!T().suspended) LeaveCurses();
  if (T().screen != nullptr) delscreen(static_cast<SCREEN*>(T().screen));
  T().screen = nullptr;
  if (T().savedModesValid) tcsetattr(0, TCSANOW, &T().savedModes);
  T().active = false;
  T().suspended = false;
  if (process.beforeChild == BeforeChild) process.beforeChild = nullptr;
  if (process.afterChild == AfterChild) process.afterChild = nullptr;
}

void AtExit() { ConsoleEnd(); }

bool Start() {
  if (T().active) return true;
  if (!isatty(0) || !isatty(1)) return false;
  // Our resize handler first: curses installs its own only where none is.
  struct sigaction sa {};
  sa.sa_handler = OnResize;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGWINCH, &sa, nullptr);

  // Curses writes the Unicode of each cell in the locale's encoding; where
  // the environment names none (the C locale), UTF-8 is what terminals
  // expect today.
  std::setlocale(LC_CTYPE, "");
  if (std::string(nl_langinfo(CODESET)) != "UTF-8") std::setlocale(LC_CTYPE, "C.UTF-8");
  T().savedModesValid = tcgetattr(0, &T().savedModes) == 0;
  SCREEN* screen = newterm(nullptr, stdout, stdin);
  if (screen == nullptr) return false;
  T().screen = screen;
  T().active = true;
  T().suspended = false;
  raw();
  noecho();
  nonl();
  intrflush(stdscr, FALSE);
  keypad(stdscr, FALSE);
  typeahead(-1);
  T().colours = 0;
  if (has_colors() && start_color() == OK) T().colours = COLORS >= 16 && COLOR_PAIRS > 256 ? 16 : 8;
  T().pairReady.clear();

  T().restore = std::string(kMouseOff) + Capability("Se") + Capability("sgr0") +
                Capability("cnorm") + Capability("rmcup");

  if (!T().hooksInstalled) {  // process-wide registrations, made once
    T().hooksInstalled = true;
    std::atexit(AtExit);
    struct sigaction fatal {};
    fatal.sa_handler = OnFatalSignal;
    sigemptyset(&fatal.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGSEGV, SIGBUS, SIGFPE, SIGABRT, SIGILL}) {
      sigaction(sig, &fatal, nullptr);
    }
  }
  process.beforeChild = BeforeChild;
  process.afterChild = AfterChild;
  T().resized = 1;
  console.dirty = true;
  Present();
  return true;
}

void Bell() {
  if (T().active && !T().suspended) beep();
}

void Mouse(bool on) {
  // Reporting stays on once asked for: switching it off between reads would
  // hand clicks made meanwhile to the terminal's own selection. Reports that
  // arrive while the console's mouse input is off are dropped instead.
  if (!on || !T().active || T().mouseReporting) return;
  T().mouseReporting = true;
  if (!T().suspended) WriteAll(kMouseOn, sizeof kMouseOn - 1);
}

}  // namespace

const ConsoleBackend kTerminalBackend = {Start, Stop, Present, Read, Wait, Held, Bell, Mouse,
                                         Size};

}  // namespace platform
