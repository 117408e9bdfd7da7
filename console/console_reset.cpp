#include "console/console_reset.h"

#include "console/keyboard.h"
#include "console/screen.h"

namespace console {

void ResetConsoleLayer() {
  keyboard = KeyboardState();
  screen = ScreenState();
}

}  // namespace console
