// A field input over the real key reader with the pop-ups registered, as a
// program of the suite has it: two fields, "DATA" and "IMPORT", into which
// the characters typed go, and so do those a pop-up types for the operator
// (the calendar on Alt+C, the calculator on Alt+X). Enter or Tab goes to the
// other field, Backspace takes a character off, Esc ends the program, which
// then writes the fields to the file named by its first argument as
// "DATA=...\nIMPORT=...\n" (code page 850).
//
// The session comes from the environment, as for the suite's programs
// (SessionInit: ZULTMP, the terminal's Sessio.ini and BrolTerm.ini).
//
// Further arguments are keys queued before the first read, for runs on the
// headless console (ZULCONSOLE=headless): "^2d" is the extended key of
// scan code 2d (Alt+X), anything else its characters one by one. There the
// program ends when the keys run out (the headless console answers an empty
// queue with Esc).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "config/session_init.h"
#include "console/keyboard.h"
#include "forms/popups.h"
#include "platform/console.h"
#include "platform/key_codes.h"

namespace {

const int kFieldWidth = 12;
const int kFieldRow[2] = {5, 7};
const char* const kLabel[2] = {"DATA:   [", "IMPORT: ["};

void Draw(const std::string field[2], int active) {
  for (int i = 0; i < 2; ++i) {
    std::string shown = field[i].substr(0, kFieldWidth);
    shown.resize(kFieldWidth, ' ');
    platform::ConsoleSetColours(7, 0);
    platform::ConsoleLocate(int16_t(kFieldRow[i]), 3);
    platform::ConsoleWrite(kLabel[i] + shown + "]");
  }
  int column = 3 + 9 + static_cast<int>(field[active].size());
  if (column > 3 + 9 + kFieldWidth - 1) column = 3 + 9 + kFieldWidth - 1;
  platform::ConsoleLocate(int16_t(kFieldRow[active]), int16_t(column));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  config::SessionInit();
  console::RegisterPopups();
  platform::ConsoleStart();
  for (int i = 2; i < argc; ++i) {
    std::string key = argv[i];
    if (key.size() == 3 && key[0] == '^') {
      platform::ConsoleQueueKey(std::string(1, '\0') +
                                char(std::strtol(key.c_str() + 1, nullptr, 16)));
    } else {
      platform::ConsoleQueueText(key);
    }
  }
  platform::ConsoleSetCursorSize(25);
  platform::ConsoleLocate(1, 1);
  platform::ConsoleWrite("POPUP PROBE READY");

  std::string field[2];
  int active = 0;
  for (;;) {
    Draw(field, active);
    int16_t key = console::WaitKey();
    if (key == platform::kKeyEsc) break;
    if (key == platform::kKeyEnter || key == platform::kKeyTab) {
      active = 1 - active;
    } else if (key == platform::kKeyBackspace) {
      if (!field[active].empty()) field[active].pop_back();
    } else if (key >= 32 && key <= 255) {
      field[active] += static_cast<char>(key);
    }
  }

  std::FILE* f = std::fopen(argv[1], "wb");
  if (f == nullptr) return 3;
  std::fprintf(f, "DATA=%s\nIMPORT=%s\n", field[0].c_str(), field[1].c_str());
  std::fclose(f);
  platform::ConsoleLocate(1, 1);
  platform::ConsoleWrite("POPUP PROBE ENDED");
  platform::ConsoleFlush();
  return 0;
}
