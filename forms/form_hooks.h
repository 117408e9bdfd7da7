// Form hooks: the routines of a form that belong to the program, which the
// form engine and its browse lists call back. The form layer knows no
// program; a program registers its routines at start by filling the one
// table `console::formHooks`, as it registers the key reader's two pop-ups
// (keyboard.h). The form layer calls them only through the Hook* functions
// below, which give a neutral answer for a hook left unset, so that forms
// run, and are tested, with any set of hooks or none.
//
// Every argument is 16-bit (or text) and passed by reference: a hook may
// change it, and the caller sees the change.
//
// State: `console::formHooks`, one instance of FormHooks; tests register
// their own routines and reset the table by assigning a fresh FormHooks
// (ResetFormLayer, form_layer_reset.h, resets it with the rest).
#pragma once

#include <cstdint>
#include <string>

namespace console {

struct FormHooks {
  // Paints a whole screen, once, after its window is opened.
  void (*DrawScreen)(int16_t& screen) = nullptr;
  // Repaints one field's stored value (after Esc in the field).
  void (*ShowField)(int16_t& screen, int16_t& field) = nullptr;
  // Validates and stores a typed value: 0 accepted; non-zero rejected (the
  // engine beeps and edits the field again with the text as typed).
  int16_t (*AcceptField)(int16_t& screen, std::string& value, int16_t& field,
                         int16_t& key) = nullptr;
  // Whether the screen may end: 0 let it end; non-zero stay.
  int16_t (*ExitCheck)(int16_t& screen, int16_t& key) = nullptr;
  // The text of the current record's row in the browse list.
  std::string (*BrowseRowText)(int16_t& list) = nullptr;
  // Sets the key at which the browse list starts and the limit key; 0.
  int16_t (*BrowseStartKey)(int16_t& list, std::string& key, std::string& limit) = nullptr;
  // Puts the picked record into the field (and may change the field, or set
  // list to 0 to ask for the list again); the result as AcceptField's.
  int16_t (*BrowsePick)(int16_t& list, int16_t& screen, int16_t& field) = nullptr;
};
extern FormHooks formHooks;

// The registered hook's result, or the neutral answer when it is unset:
// nothing drawn, 0 (accepted, may end, started), the empty row text; an
// unset hook changes none of its arguments.
void HookDrawScreen(int16_t& screen);
void HookShowField(int16_t& screen, int16_t& field);
int16_t HookAcceptField(int16_t& screen, std::string& value, int16_t& field, int16_t& key);
int16_t HookExitCheck(int16_t& screen, int16_t& key);
std::string HookBrowseRowText(int16_t& list);
int16_t HookBrowseStartKey(int16_t& list, std::string& key, std::string& limit);
int16_t HookBrowsePick(int16_t& list, int16_t& screen, int16_t& field);

}  // namespace console
