// The screen and keyboard layer's state as the program starts: one call for
// tests, which otherwise would reset each instance on its own.
#pragma once

namespace console {

// Assigns a fresh KeyboardState to console::keyboard and a fresh
// ScreenState to console::screen. The platform console (platform::console)
// is not touched: its back end is started and ended on its own.
void ResetConsoleLayer();

}  // namespace console
