// The form layer's state, and the screen and keyboard layer's below it, as
// the program starts: one call for tests.
#pragma once

namespace console {

// Assigns fresh states to the console's four instances: console::form,
// console::formHooks (every hook unset), console::keyboard and
// console::screen (ResetConsoleLayer).
void ResetFormLayer();

}  // namespace console
