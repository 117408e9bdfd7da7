// Draws a known screen through the terminal back end, then obeys keys:
//   p  pop the top window        c  run a child program (see below)
//   x  exit(3) from inside       q  end normally (code 0)
//   b  ring the bell
// The first argument is a work directory: the window stack file goes
// there, the program's process id is written to "pid" in it, and the child
// program of "c" prints CHILD-RAN and waits for a file "go" to appear.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "config/session.h"
#include "console/colours.h"
#include "console/keyboard.h"
#include "console/message.h"
#include "console/windows.h"
#include "platform/codepage.h"
#include "platform/console.h"
#include "platform/process.h"

namespace {

void Put(int row, int column, const std::string& utf8, int fg, int bg) {
  platform::ConsoleSetColours(static_cast<int16_t>(fg), static_cast<int16_t>(bg));
  platform::ConsoleLocate(static_cast<int16_t>(row), static_cast<int16_t>(column));
  platform::ConsoleWrite(platform::Utf8ToCp850(utf8));
}

void Draw() {
  Put(1, 1, "ZUL CONSOLE PROBE", 15, 0);
  for (int c = 0; c < 16; ++c) {
    char label[8];
    std::snprintf(label, sizeof label, "F%02d", c);
    Put(3, 1 + 4 * c, label, c, c == 0 ? 7 : 0);
    std::snprintf(label, sizeof label, "B%02d", c);
    Put(4, 1 + 4 * c, label, c == 15 ? 0 : 15, c);
  }
  Put(5, 1, "Liquidació pàg. Ñ € ½", 7, 0);
  platform::ConsoleSetColours(7, 0);
  platform::ConsoleLocate(6, 1);
  platform::ConsoleWrite("\x11 opcio \x10");
  Put(25, 71, "CANTONADA!", 14, 1);  // ends in the last cell of the screen
  console::PushWindow(8, 10, 14, 50);
  console::SetColourRole("n");
  console::DrawFrame(2);
  console::LocateInWindow(1, 2);
  platform::ConsoleWrite("Finestra doble");
  console::ShowMessage(20, platform::Utf8ToCp850("Espereu: el fitxer està bloquejat"));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::string dir = argv[1];
  config::session.TempDir = dir + "/";
  if (std::FILE* f = std::fopen((dir + "/pid").c_str(), "w")) {
    std::fprintf(f, "%d\n", static_cast<int>(getpid()));
    std::fclose(f);
  }
  platform::ConsoleStart();
  Draw();
  for (;;) {
    int16_t key = console::WaitKey();
    if (key == 'p') console::PopWindow();
    if (key == 'b') console::Bell();
    if (key == 'x') std::exit(3);
    if (key == 'q') return 0;
    if (key == 'c') {
      std::string script = "echo CHILD-RAN; while [ ! -f '" + dir + "/go' ]; do sleep 0.1; done";
      platform::RunProgram("/bin/sh", {"-c", script});
    }
  }
}
