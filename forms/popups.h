// The hot-key pop-ups: the calendar (Alt+C, calendar.h) and the calculator
// (Alt+X, calculator.h), which the key reader opens from any key wait and
// whose result it types for the operator (keyboard.h). A program registers
// them once at start with RegisterPopups.
//
// Every pop-up opens and closes the same way, so that what it changes is
// given back as it was:
//   opening   the key set is copied aside and replaced ("ea" with the
//             pop-up's keys, or "e" for none), colour role "n" is pushed,
//             the cursor is hidden;
//   closing   the cursor comes back as it was (shown in its size, or hidden),
//             the colour role is popped, the key set is put back from the
//             copy.
// The copy is the pop-up's own, not the key set's one save slot ("+" and
// "-", keyboard.h): a pop-up opens from inside a field input, whose set
// already holds that slot, and the field must find its own keys again
// when the pop-up closes (else the key that opened the pop-up would end
// the field with the set in force before it).
// The pop-up's window is pushed after opening and popped before closing.
//
// State: none of its own (the key reader's hooks and guards live in
// console::keyboard).
#pragma once

#include <cstdint>
#include <string>

namespace console {

// Sets console::keyboard.Calendar and .Calculator.
void RegisterPopups();

// What a pop-up restores on closing.
struct PopupSaved {
  bool cursorVisible = true;
  int16_t cursorSize = 25;
  std::string keyCodes;    // the key set in force at the opening
  std::string keyResults;
};

// Opens a pop-up: copies the key set aside and lets only the keys of `keyList` in
// (none when it is empty), pushes colour role "n" and hides the cursor.
PopupSaved BeginPopup(const std::string& keyList);

// Closes it: the cursor as it was, the colour role and the key set back.
void EndPopup(const PopupSaved& saved);

}  // namespace console
