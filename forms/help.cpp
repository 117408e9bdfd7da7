// Help: the launcher's HTML page under the graphical shell, else the
// console viewer of the topic's .HLP file (help_text.h).
//
// The viewer reads its keys from the console directly, not through the key
// reader: no hot keys (calculator, calendar), no typeahead, no mouse.
#include "forms/help.h"

#include <algorithm>
#include <string>
#include <vector>

#include "config/language.h"
#include "config/session.h"
#include "console/colours.h"
#include "forms/help_text.h"
#include "console/keyboard.h"
#include "console/message.h"
#include "console/screen.h"
#include "console/windows.h"
#include "platform/console.h"
#include "platform/env.h"
#include "platform/paths.h"
#include "platform/process.h"

namespace console {
namespace {

const char kGeneralTopic[] = "KESTOBAL";
const int kIdleMs = 50;  // between polls of the console while no key is pending

struct Viewer {
  HelpText Text;
  int16_t Rows = 0;    // V, visible lines
  int32_t Next = 1;    // the line after the last one shown
  int32_t Top() const { return Next - Rows; }
};

// Line n at window row r: column 2 on, each run in its role.
void ShowLine(const Viewer& v, int32_t n, int16_t row) {
  SetColourRole("n");
  LocateInWindow(row, 2);
  for (const HelpRun& run : HelpLineRuns(HelpLine(v.Text, n))) {
    SetColourRole(std::string(1, run.Role));
    platform::ConsoleWrite(run.Text);
  }
}

// V lines from `top`.
void ShowPage(Viewer& v, int32_t top) {
  for (int16_t r = 1; r <= v.Rows; ++r) ShowLine(v, top + r - 1, r);
  v.Next = top + v.Rows;
}

// The inside of the window in the 0-based coordinates of ScrollRegion.
void ScrollInside(int16_t lines) {
  ScrollRegion(int16_t(screen.WindowTop), int16_t(screen.WindowLeft),
               int16_t(screen.WindowBottom - 2), int16_t(screen.WindowRight - 2), lines);
}

// Waits for a console key: a character as its code, an extended key as
// scan code x 256. Mouse events and anything else are passed over.
int16_t ReadConsoleKey() {
  for (;;) {
    platform::ConsoleEvent e;
    if (platform::ConsoleReadEvent(&e)) {
      if (e.text.size() == 1) return int16_t(static_cast<unsigned char>(e.text[0]));
      if (e.text.size() == 2 && e.text[0] == '\0') {
        return int16_t(static_cast<uint16_t>(static_cast<unsigned char>(e.text[1]) << 8));
      }
      continue;
    }
    platform::ConsoleWaitInput(kIdleMs);
  }
}

// Under the graphical shell: the interpreter of COMSPEC, as given, runs
// the launcher with the topic's page. True when it was started.
bool StartLauncher(const std::string& topic) {
  const std::string comspec = platform::GetEnv("COMSPEC");
  if (comspec.empty()) return false;
  std::vector<std::string> words =
      platform::SplitCommandLine(comspec + " /C QOVIRE AJUDA\\" + topic + ".HTM");
  if (words.empty()) return false;
  const std::string program = words.front();
  words.erase(words.begin());
  return platform::StartProgram(program, words);
}

// The topic's .HLP file for the session's language: the language's own
// folder when it holds the topic, else the Catalan text.
std::string HelpFileName(const std::string& topic) {
  const std::string& language = config::session.Language;
  if (language == "SPA" || language == "GLG" || language == "OCI") {
    const std::string own = platform::SuitePath("AJUDA\\" + language + "\\" + topic + ".HLP");
    if (platform::PathExists(own)) return own;
  }
  return platform::SuitePath("AJUDA\\" + topic + ".HLP");
}

std::string NoHelpMessage(const std::string& topic) {
  return config::ByLanguage("NO HI HA AJUDA PER A " + topic, "NOM H\xB5 AJUDA PARA " + topic,
                            "NON I A AJUDA ENT\xB7 " + topic, "NO HAY AYUDA PARA " + topic);
}

}  // namespace

void ShowHelp(const std::string& topic) {
  if (config::session.RunMode == "WIN" && StartLauncher(topic)) return;

  Viewer v;
  if (!LoadHelpText(HelpFileName(topic), ScreenColumns(), v.Text)) {
    ShowMessageAndWait(int16_t(ScreenRows() / 2), NoHelpMessage(topic));
    return;
  }
  const int16_t top = 4, left = 1;
  const int16_t bottom = int16_t(ScreenRows() - 3), right = ScreenColumns();
  v.Rows = int16_t(bottom - top - 1);
  SetColourRole("+h");
  if (!PushWindow(top, left, bottom, right)) {
    SetColourRole("-");
    return;
  }
  DrawFrame(2);
  SetColourRole("n");
  ShowPage(v, 1);

  const int32_t count = v.Text.LineCount;
  for (bool done = false; !done;) {
    switch (ReadConsoleKey()) {
      case kKeyF1:
        if (topic != kGeneralTopic) ShowHelp(kGeneralTopic);
        break;
      case kKeyDown:
        if (v.Next <= count) {
          SetColourRole("n");
          ScrollInside(1);
          ShowLine(v, v.Next, v.Rows);
          ++v.Next;
        }
        break;
      case kKeyUp:
        if (v.Top() > 1) {
          --v.Next;
          SetColourRole("n");
          ScrollInside(-1);
          ShowLine(v, v.Top(), 1);
        }
        break;
      case kKeyPgDn:
        if (v.Next <= count) ShowPage(v, std::min(v.Next, count - v.Rows + 1));
        break;
      case kKeyPgUp:
        if (v.Top() > 1) ShowPage(v, std::max<int32_t>(1, v.Top() - v.Rows + 1));
        break;
      case kKeyHome:
        if (v.Top() > 1) ShowPage(v, 1);
        break;
      case kKeyEnd:
        if (v.Next <= count) ShowPage(v, count - v.Rows + 1);
        break;
      case kKeyEsc:
        done = true;
        break;
      default:
        break;
    }
  }
  PopWindow();
  SetColourRole("-");
}

}  // namespace console
