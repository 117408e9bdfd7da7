// Records the key codes the console reader delivers: each key read with
// WaitKey is appended to the file named by the first argument as four
// hexadecimal digits and a newline; "q" ends the program.
#include <cstdio>

#include "console/keyboard.h"
#include "platform/console.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  platform::ConsoleStart();
  platform::ConsoleLocate(1, 1);
  platform::ConsoleWrite("KEYS READY");
  for (;;) {
    int16_t key = console::WaitKey();
    std::FILE* f = std::fopen(argv[1], "a");
    if (f == nullptr) return 3;
    std::fprintf(f, "%04x\n", static_cast<unsigned>(static_cast<uint16_t>(key)));
    std::fclose(f);
    if (key == 'q') return 0;
  }
}
