// Registration of the hot-key pop-ups and the opening and closing they share.
#include "forms/popups.h"

#include "forms/calculator.h"
#include "forms/calendar.h"
#include "console/colours.h"
#include "console/keyboard.h"
#include "platform/console.h"

namespace console {

void RegisterPopups() {
  keyboard.Calendar = Calendar;
  keyboard.Calculator = Calculator;
}

PopupSaved BeginPopup(const std::string& keyList) {
  PopupSaved saved;
  saved.keyCodes = keyboard.KeyCodes;
  saved.keyResults = keyboard.KeyResults;
  KeySet(keyList.empty() ? "e" : "ea", keyList);
  SetColourRole("+n");
  saved.cursorVisible = platform::console.cursorVisible;
  saved.cursorSize = platform::console.cursorSize;
  platform::ConsoleHideCursor();
  return saved;
}

void EndPopup(const PopupSaved& saved) {
  if (saved.cursorVisible) {
    platform::ConsoleSetCursorSize(saved.cursorSize);
  } else {
    platform::ConsoleHideCursor();
  }
  SetColourRole("-");
  keyboard.KeyCodes = saved.keyCodes;
  keyboard.KeyResults = saved.keyResults;
}

}  // namespace console
