// The field editor: the operator edits one fixed-width text in place on the
// screen, as free text (on one line, or wrapped over several) or as a
// choice among options, until a key of the key set (keyboard.h) ends the
// input or a mouse click falls outside the field.
//
// Free text keys: characters (inserted or typed over, by the Insert toggle
// of the platform's keyboard state table; the cursor is half height in
// insert mode, full height in overwrite mode), Left, Right, Home, End,
// Backspace, Del, Ctrl+Home and Ctrl+Y (clear), Up and Down (between the
// lines of a wrapped field), Ctrl+Left and Ctrl+Right (by words; words are
// separated by any of " ,.;:"), Ctrl+C and Ctrl+V (the clipboard), Ins
// (toggles the mode), mouse clicks inside the field (place the cursor).
// Up, Down, Ctrl+Left and Ctrl+Right end the input where they cannot move.
//
// Choice fields: the option list set before the call (SetFieldOptions,
// keyboard.h) is a run of "|code,label" entries, for example
// "|N,NO|S,S\xD6" ("|N,NO|S,SÍ"). The value is the chosen option's code;
// the label is shown between "\x11" and "\x10" (the console's "◄" and "►").
// Left and Right (and Space, and clicks on the markers) step through the
// options, wrapping round; a letter picks the next option whose label
// starts with it (capitals, accents ignored).
//
// At the end of the input: Shift+Tab is reported as Up, Tab as Enter, Enter
// as End when End is in the key set, Ctrl+F4 and Alt+F4 as Esc. With a key
// set that is not empty, a key outside it does not end the input (it is
// ignored); a key in it is reported as its result code. A mouse click
// outside the field always ends the input.
//
// State: none of its own. Reads the key set, EchoChar and FieldOptions of
// console::keyboard; reads and writes the Insert toggle and the clipboard
// of the platform (platform/console.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace console {

// One option of a choice field.
struct FieldOption {
  std::string Code;
  std::string Label;
};

// The options of an option list: each "|" starts one, its code running to
// the first "," and its label from there to the next "|" (an entry without
// a "," has the whole entry as its code and an empty label). Text before
// the first "|" is not an option. Empty for free text.
std::vector<FieldOption> ParseOptions(const std::string& options);

// Edits `value` (its length n never changes) at window-relative (row,
// column) (windows.h); row or column 0 means the cursor's current one.
// wrapWidth: characters per screen line, 0 (or less) for one line. cursor:
// the starting position, clamped to 1..n+1; on return the final position.
// With EchoChar non-zero the value is shown as that character. On return
// key is the key that ended the input (mapped as above), or, for a mouse
// click outside the field, its click code -(100 x column + row) in absolute
// console coordinates (ClickKey, platform/key_codes.h); the colour role is
// "h" and the cursor is at (row, column).
void EditField(int16_t& row, int16_t& column, int16_t& wrapWidth, std::string& value,
               int16_t& cursor, int16_t& key);

}  // namespace console
