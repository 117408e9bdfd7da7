// The loaded form: the screens, fields and browse lists of the program's
// form file, and the form engine's one global.
//
// The form file FORMS\ + module + .JPN (form_file.h) is read once at start
// into `console::form`; from then on the form engine (form_engine.h), the
// field hooks of the program (form_hooks.h) and the browse list (browse.h)
// read and change it. Tables are indexed from 1 as the file numbers them:
// Screens[s] for s = 1..ScreenCount, Screens[s].Fields[f] for f =
// 1..FieldCount, Lists[k] for k = 1..ListCount; index 0 of each is unused
// (Lists[0] is an empty definition).
//
// Field values are texts of exactly Width characters, space-padded; the
// engine writes them only through the program's hooks.
//
// State: `console::form`, one instance of FormState; tests reset it by
// assigning a fresh FormState, or the whole form layer and the console's
// below it by ResetFormLayer (form_layer_reset.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace console {

// Field flags (a bit set).
constexpr int16_t kFieldFromBlank = 1;    // edited from spaces; left blank keeps its value
constexpr int16_t kFieldHidden = 2;       // hidden entry, shown as "X"; edited from spaces
constexpr int16_t kFieldDisplayOnly = 4;  // never edited, passed over by movement
constexpr int16_t kFieldCursorAtEnd = 8;  // cursor starts after the last non-blank

// The console a form is laid out on: every window and every field of a
// form file lies inside it (form_file.h).
constexpr int16_t kFormRows = 25;
constexpr int16_t kFormColumns = 80;
// The most fields a screen may hold: one for each cell of the screen.
constexpr int16_t kMaxFormFields = kFormRows * kFormColumns;

struct FormField {
  int16_t Row = 0;          // where the label starts, relative to the screen's window
  int16_t Column = 0;
  std::string Label;        // through the message catalogue at load
  int16_t Width = 0;        // length of Value
  int16_t WrapWidth = 0;    // characters per screen line; 0 = one line
  int16_t ExtraWidth = 0;   // columns after the value kept for a description
  int16_t Flags = 0;        // kField* bits
  int16_t Type = 0;         // meaning given by the program's hooks
  int16_t BrowseList = 0;   // list opened with F4; 0 = none
  std::string Options;      // "|code,label|code,label..."; empty = free text
  std::string Value;        // exactly Width characters
};

struct FormScreen {
  std::string KeyList;      // exit keys of its fields, as a key list
  int16_t FieldCount = 0;
  int16_t Continuation = 0; // screen that continues this one; 0 = none
  int16_t Top = 0;          // window; Top 0 = draw in the current window
  int16_t Left = 0;
  int16_t Bottom = 0;
  int16_t Right = 0;
  std::vector<FormField> Fields;  // 1..FieldCount
};

// A browse list definition: seven numbers, the heading, one more number.
struct BrowseListDef {
  int16_t DataFile = 0;     // logical file number; positive: read without locks
  int16_t KeyNumber = 0;    // index used to read the file
  int16_t Top = 0;          // window, frame included
  int16_t Left = 0;
  int16_t Bottom = 0;
  int16_t Right = 0;
  int16_t SearchScreen = 0; // form screen run before the list; 0 = none
  std::string Heading;      // through the catalogue; " " drawn as a frame line, "_" as a space
  int16_t SecondaryList = 0;  // list opened with F4 inside this one; 0 = none
};

struct FormState {
  int16_t ScreenCount = 0;
  int16_t MaxFieldCount = 0;
  std::vector<FormScreen> Screens;  // 1..ScreenCount
  int16_t ListCount = 0;
  std::vector<BrowseListDef> Lists; // 0..ListCount
  // The screen the operator last left with PgUp or PgDn; 0 = none.
  int16_t ResumeScreen = 0;
  // RunForm calls in progress (form_engine.h keeps them below a limit).
  int16_t RunDepth = 0;
};
extern FormState form;

// The screen, the field or the browse list of the loaded form, or nullptr
// when the form has none by that number (a number from a hook or a form
// file is never used as an index unchecked).
FormScreen* ScreenAt(int16_t screen);
FormField* FieldAt(int16_t screen, int16_t field);
BrowseListDef* ListAt(int16_t list);

}  // namespace console
