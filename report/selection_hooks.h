// The selection form's hooks: what the form engine and its browse lists
// (forms/form_engine.h, forms/browse.h) ask of this program.
//
// The form (FORMS\TORBELAN.JPN) has two screens:
//   screen 1  field 1 settlement date (type 1, a date in input form),
//             fields 2 and 3 the first community and department, fields 4
//             and 5 the last community and department (type 2, numbers);
//             further fields are the program's to lay out (display-only
//             texts);
//   screen 2  field 1 the confirmation, "S" to go on.
// Browse lists: 1 the communities (FinquesH), 2 the departments of the
// first community, 3 those of the last (PropietH).
// Field types the hooks know: 1 date, 2 number, anything else free text.
//
// The hooks read and write the loaded form (console::form) and, for the
// browse lists, the current records of FinquesH and PropietH
// (report::state). The exit check builds the selection (selection.h).
//
// State: none of their own.
#pragma once

#include <cstdint>
#include <string>

namespace report {

// The field types of the form.
constexpr int16_t kTypeDate = 1;
constexpr int16_t kTypeNumber = 2;

// Fills console::formHooks with the seven routines below.
void RegisterFormHooks();

// Whether the loaded form has the screens and fields the hooks use
// (screen 1 with at least five fields, screen 2 with at least one).
bool FormHasSelectionFields();

// Paints the screen: the session title centred on row 1 of the console in
// colour role "rh" (at column 41 - L/2 for a title of length L, halves
// rounded to the even column), the labels in role "n", the values in
// role "h" (ShowField).
void DrawScreen(int16_t& screen);

// Paints one field's value after its label: nothing for a hidden field; a
// date written out (dd/mm/yyyy by the display settings); for a choice
// field the label of the option whose code equals the value (nothing when
// none does), in extra display width + width columns; a wrapped value on
// as many lines as it takes; else the value as it stands.
void ShowField(int16_t& screen, int16_t& field);

// Checks a typed value by the field's type (a date, blank meaning the
// working date; a number) and stores it, space-padded, in the field.
// Returns 0 when accepted, non-zero (nothing stored) when not.
int16_t AcceptField(int16_t& screen, std::string& value, int16_t& field, int16_t& key);

// Screen 1 may end (0) with Esc, or when the selection is sound (the first
// department not after the last) and the operator answers "S" on screen 2;
// otherwise -1, and the form stays: a selection that is not sound is told
// first, with the bell, in a message that waits for a key (selection.h
// SelectionMessage). Other screens may always end.
int16_t ExitCheck(int16_t& screen, int16_t& key);

// The row of the current record in a browse list: list 1 the community's
// number (three digits) and name; lists 2 and 3 the department's number,
// the owner's name and the department's designation; "" for other lists.
std::string BrowseRowText(int16_t& list);

// Where a list starts and ends: lists 2 and 3 the departments of the first
// (list 2) or last (list 3) community typed; other lists the whole file.
// Returns 0.
int16_t BrowseStartKey(int16_t& list, std::string& key, std::string& limit);

// Puts the number of the picked community (list 1) or department (lists 2
// and 3) into the field through AcceptField and returns its result; other
// lists change nothing and return 0.
int16_t BrowsePick(int16_t& list, int16_t& screen, int16_t& field);

}  // namespace report
