// The screen layer's state and the console's size.
#include "console/screen.h"

#include "platform/console.h"

namespace console {

ScreenState screen;

int16_t ScreenRows() { return platform::ConsoleRows(); }

int16_t ScreenColumns() { return platform::ConsoleColumns(); }

}  // namespace console
