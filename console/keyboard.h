// Keyboard: the one reader every key of the program passes through, and the
// key set that says which keys end a field input. Keys are delivered as the
// key codes of platform/key_codes.h.
//
// ReadKey turns console events (platform/console.h) into key codes: it adds
// the modifier combinations of function keys the console reports only as
// flags, lets the operator type any character by its decimal code on the
// keypad while holding left Alt, delivers the Typeahead text first, and
// opens the calculator (Alt+X) and the calendar (Alt+C) from any key wait
// through the hooks below (nothing happens while a hook is unset).
//
// The key set: KeyCodes holds the keys that end the current field input
// as 2-byte little-endian codes, KeyResults the code each is reported as.
// It is changed with KeySet from key lists: comma-separated hexadecimal
// codes without prefix ("d,1b,4800"), an entry "code=result" reporting the
// key as another code. One copy of the set can be saved ("+") and restored
// ("-"); a second save while one is held does nothing.
//
// State: `console::keyboard`, one instance of KeyboardState; tests reset it
// by assigning a fresh KeyboardState, or with the screen together by
// ResetConsoleLayer (console_reset.h).
#pragma once

#include <cstdint>
#include <string>

#include "platform/key_codes.h"

namespace console {

// The key codes, mouse button codes and click codes (platform/key_codes.h)
// as names of this layer: platform::kKeyF1 and the like.
using namespace platform::keys;

enum class MouseMode { kNotChecked, kEventsOff, kEventsOn, kNoMouse };

struct KeyboardState {
  std::string KeyCodes;      // 2-byte little-endian codes of the accepted keys
  std::string KeyResults;    // the code reported for each, same positions
  std::string SavedKeyCodes;     // the one saved copy of the set ...
  std::string SavedKeyResults;
  int16_t SavedCount = 0;        // ... and whether it is held (0 or 1)
  int16_t EchoChar = 0;      // 0 normal input, 88 ("X") hidden input
  std::string FieldOptions;  // option list for the next field input
  std::string Typeahead;     // delivered before any real key, one per read
  int16_t CalculatorOpen = 0;  // -1 while the calculator runs
  int16_t CalendarOpen = 0;    // -1 while the calendar runs
  MouseMode Mouse = MouseMode::kNotChecked;

  // The hot-key pop-ups: each returns the text to be typed for the
  // operator (empty when nothing was chosen). Unset: the key does nothing.
  std::string (*Calculator)() = nullptr;
  std::string (*Calendar)() = nullptr;
};
extern KeyboardState keyboard;

// Reads one key without waiting. key is 0 when nothing is pending. For a
// mouse event key is 0, event the event code and mouseRow/mouseColumn its
// place (absolute 1-based); otherwise those three are 0. Alt+X and Alt+C
// are returned like any key after their pop-up has run; the pop-up's
// result arrives on the following reads as typed characters.
void ReadKey(int16_t& key, int16_t& event, int16_t& mouseRow, int16_t& mouseColumn);

// Waits for a key or a mouse event. A mouse event comes back as the low 16
// bits (signed) of 256 x mouseColumn + 64 x event + mouseRow (MouseEventKey).
// Never 0.
void WaitKey(int16_t& key);
int16_t WaitKey();

// Waits for a key or a mouse event and reports it as ReadKey does (the
// field editor's wait).
void WaitKeyOrMouse(int16_t& key, int16_t& event, int16_t& mouseRow, int16_t& mouseColumn);

// Applies each command letter of `commands` (any case) in order with the
// same key list: "A" add the entries, "D" delete them, "E" empty the set,
// "+" save a copy, "-" restore it, "H" hidden input (EchoChar 88), "V"
// visible input (EchoChar 0); other letters are ignored. Hexadecimal that
// is not a number, or is above 7fff, converts to 0.
void KeySet(const std::string& commands, const std::string& list);

// Looks a key up in the key set (only at entry boundaries). Returns true
// and the code to report in `result` when the key is in the set.
bool FindKeyInSet(int16_t key, int16_t& result);

// Stores the option list for the next field input.
void SetFieldOptions(const std::string& options);

// Rings the console bell.
void Bell();

// Drops the keys typed and not yet read, and the Typeahead text.
void DiscardKeys();

}  // namespace console
