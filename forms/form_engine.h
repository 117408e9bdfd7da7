// The form engine: runs one screen of the loaded form (form.h) at a time.
//
// It opens the screen's window, lets the operator move between its fields
// and edit each with the field editor (field_editor.h), offers help on F1
// (help.h, the session's MenuName as topic) and browse lists on F4
// (browse.h), and calls the program back through the form hooks
// (form_hooks.h) to draw the screen, show and accept values and decide
// whether the screen may end. Screens can be chained: a screen's
// continuation runs when the operator goes on past its last field.
//
// Moves between fields, by the key that ended a field's input:
//   PgUp / PgDn      to the first / last field; on the first / last field
//                    with its exit allowed, leaves the screen and records
//                    it in form.ResumeScreen
//   End, key 2       leaves the screen
//   Esc              to the first field; on the first field leaves
//   Enter, Down, F2  to the next field (Enter past the last leaves; Down
//                    on the last stays); on the last field (F2 on any) runs
//                    the continuation screen, and leaves too when that
//                    ended by PgUp, PgDn, End, key 2, Enter, Down or Up
//   Up               to the previous field; on the first field of a
//                    continuation, leaves it as Esc
//   a mouse click    to the editable field under it (label, value or
//                    description), if any
//   0 (after F1, F4) stays; any other key leaves the screen with that key
// Display-only fields (flag 4) are never edited: the move that reached one
// goes on past it. Before the screen ends the ExitCheck hook is asked;
// when it says stay, editing starts again at the first field. A screen
// whose fields are all display-only is drawn, checked once and closed.
//
// Form data are checked before use: a screen number the form lacks ends
// RunForm at once with key Esc, a continuation the form lacks counts as
// none, and screens nested deeper than kMaxFormDepth (a continuation chain
// that runs round in a circle) end at once with key Esc as well.
//
// State: form.ResumeScreen (form.h); the key set (keyboard.h) is saved
// and restored around every field.
#pragma once

#include <cstdint>

namespace console {

// How many RunForm calls may be nested (continuations, screens run by
// hooks and browse lists).
constexpr int kMaxFormDepth = 32;

// Runs screen |screen| (a negative number runs it as a continuation of the
// screen that calls it; the number is made positive in place).
// allowPageUpExit / allowPageDownExit: 0 makes PgUp / PgDn only jump to
// the first / last field; non-zero lets them leave the screen from the
// first / last field. key receives the key that ended the screen.
void RunForm(int16_t& screen, int16_t& allowPageUpExit, int16_t& allowPageDownExit,
             int16_t& key);

}  // namespace console
