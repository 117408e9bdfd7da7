// RunForm: one screen of the loaded form, field by field.
//
// Map of this file:
//   - helpers over the form's screens and fields;
//   - RunField: one field's input (key set, editor, F1, F4, Esc, accept);
//   - Move: the moves table;
//   - RunForm: window, drawing, resuming a continuation, the field loop and
//     the exit check.
#include "forms/form_engine.h"

#include <algorithm>
#include <string>

#include "config/session.h"
#include "forms/browse.h"
#include "console/colours.h"
#include "forms/field_editor.h"
#include "forms/form.h"
#include "forms/form_hooks.h"
#include "forms/help.h"
#include "console/keyboard.h"
#include "console/windows.h"
#include "format/text_utils.h"
#include "platform/coding.h"
#include "platform/console.h"
#include "platform/key_codes.h"

namespace console {
namespace {

bool Editable(const FormField& f) { return (f.Flags & kFieldDisplayOnly) == 0; }

// The lowest and the highest editable field; first > last when none is.
void EditableRange(int16_t screen, int16_t& first, int16_t& last) {
  const FormScreen* s = ScreenAt(screen);
  const int count = s != nullptr ? s->FieldCount : 0;
  int f = 1;  // in int: past a count of 32767 without wrapping
  while (f <= count && !Editable(s->Fields[size_t(f)])) ++f;
  int l = count;
  while (l >= 1 && !Editable(s->Fields[size_t(l)])) --l;
  first = static_cast<int16_t>(std::min(f, 32767));
  last = static_cast<int16_t>(l);
}

// The screen that continues this one, 0 when there is none (or the form
// has no screen by that number).
int16_t ContinuationOf(int16_t screen) {
  const FormScreen* s = ScreenAt(screen);
  if (s == nullptr || ScreenAt(s->Continuation) == nullptr) return 0;
  return s->Continuation;
}

// Keys with which a continuation's end ends its parent too.
bool EndsParent(int16_t key) {
  return key == kKeyPgUp || key == kKeyPgDn || key == kKeyEnd || key == 2 ||
         key == kKeyEnter || key == kKeyDown || key == kKeyUp;
}

void PushNumber(int16_t v) {
  std::string bytes;
  platform::PutFixed16(&bytes, static_cast<uint16_t>(v));
  format::PushText(bytes);
}

int16_t PopNumber() {
  std::string bytes = format::PopText();
  bytes.resize(2, '\0');
  return static_cast<int16_t>(platform::DecodeFixed16(bytes.data()));
}

std::string Fit(const std::string& text, int16_t width) {
  std::string s = text.substr(0, size_t(width));
  s.resize(size_t(width), ' ');
  return s;
}

// F4 on field f: the field's browse list, and the pick put into the field
// by the BrowsePick hook. Sets key to the move that follows (0: stay).
void BrowseField(int16_t screen, int16_t& f, int16_t& key) {
  key = 0;
  const FormField* field = FieldAt(screen, f);
  int16_t list = field != nullptr ? field->BrowseList : 0;
  if (list <= 0) return;
  for (;;) {
    int16_t result = 0;
    Browse(list, result);
    if (result != 0) return;
    PushNumber(f);
    PushNumber(list);
    int16_t hookScreen = screen;
    HookBrowsePick(list, hookScreen, f);
    if (list == 0) {  // the hook asks for the list again
      list = PopNumber();
      f = PopNumber();
      continue;
    }
    PopNumber();
    const int16_t picked = PopNumber();
    if (FieldAt(screen, f) == nullptr) f = picked;
    int16_t first, last;
    EditableRange(screen, first, last);
    if (picked == f) {
      key = kKeyDown;
      if (f == last && ContinuationOf(screen) == 0) key = kKeyEnter;
    } else if (f < ScreenAt(screen)->FieldCount && !Editable(*FieldAt(screen, f))) {
      key = kKeyDown;
    }
    return;
  }
}

// Runs field f of the screen; key receives the key that ended it (left
// unchanged for a display-only field, so that the move goes on past it).
// A hook may move f to another field.
void RunField(int16_t screen, int16_t& f, int16_t& key) {
  const FormScreen* s = ScreenAt(screen);
  FormField* field = FieldAt(screen, f);
  if (s == nullptr || field == nullptr) return;
  KeySet("+ea", s->KeyList.empty() ? "3b00" : s->KeyList + ",3b00");

  const int16_t row = field->Row;
  const int16_t inputColumn = static_cast<int16_t>(field->Column + field->Label.size());
  const int16_t width = field->Width;
  const int16_t extra = field->ExtraWidth;
  const bool fromBlank = (field->Flags & (kFieldFromBlank | kFieldHidden)) != 0;
  const bool hidden = (field->Flags & kFieldHidden) != 0;
  const bool editable = Editable(*field);
  std::string text = fromBlank ? std::string(size_t(width), ' ') : field->Value;
  if (hidden) KeySet("h", "");
  if (extra != 0 && editable) {
    LocateInWindow(row, static_cast<int16_t>(inputColumn + width));
    platform::ConsoleWriteSpaces(extra);
  }

  while (editable) {
    field = FieldAt(screen, f);
    if (field == nullptr) break;
    SetFieldOptions(field->Options);
    int16_t editRow = row, editColumn = inputColumn, wrap = field->WrapWidth;
    int16_t cursor = (field->Flags & kFieldCursorAtEnd) != 0
                         ? static_cast<int16_t>(format::TrimTrailingBlanks(text).size() + 1)
                         : int16_t(1);
    EditField(editRow, editColumn, wrap, text, cursor, key);

    if (key == kKeyF1) {
      const std::string topic = format::TrimTrailingBlanks(config::session.MenuName);
      if (!topic.empty()) ShowHelp(topic);
      key = 0;
      break;
    }
    if (key == kKeyF4) {
      BrowseField(screen, f, key);
      break;
    }
    if (key == kKeyEsc) {
      int16_t hookScreen = screen;
      HookShowField(hookScreen, f);
      break;
    }
    if (extra != 0) {
      // A hidden value stays hidden here too.
      LocateInWindow(row, inputColumn);
      platform::ConsoleWrite(hidden ? std::string(text.size(), char(keyboard.EchoChar)) : text);
      platform::ConsoleWriteSpaces(extra);
    }
    if (fromBlank && format::IsAllChar(text, ' ')) text = Fit(field->Value, width);
    int16_t hookScreen = screen;
    if (HookAcceptField(hookScreen, text, f, key) == 0) break;
    Bell();
  }

  text.clear();
  if (hidden) KeySet("v", "");
  KeySet("-", "");
}

// Moves from field `field` by `key`; returns false when the move leaves
// the screen.
bool Move(int16_t screen, bool topLevel, int16_t& field, int16_t& key, int16_t& allowPageUpExit,
          int16_t& allowPageDownExit) {
  int16_t first, last;
  EditableRange(screen, first, last);
  const int16_t continuation = ContinuationOf(screen);
  int clickRow = 0, clickColumn = 0;
  if (ClickPlace(key, &clickRow, &clickColumn)) {  // a mouse click
    const int r = RowInWindow(static_cast<int16_t>(clickRow));
    const int c = ColumnInWindow(static_cast<int16_t>(clickColumn));
    const FormScreen* s = ScreenAt(screen);
    for (int f = 1; f <= s->FieldCount; ++f) {
      const FormField& fd = s->Fields[size_t(f)];
      if (!Editable(fd)) continue;
      const int lines = fd.WrapWidth != 0 ? fd.Width / fd.WrapWidth : 1;
      const int columns = fd.WrapWidth != 0 ? fd.WrapWidth : fd.Width;
      if (fd.Row <= r && r < fd.Row + lines && fd.Column <= c &&
          c < fd.Column + int(fd.Label.size()) + columns + fd.ExtraWidth) {
        field = static_cast<int16_t>(f);
        break;
      }
    }
    return true;
  }
  switch (key) {
    case 0:
      return true;
    case kKeyPgUp:
      if (field > first || allowPageUpExit == 0) {
        field = first;
        form.ResumeScreen = 0;
        return true;
      }
      form.ResumeScreen = screen;
      return false;
    case kKeyPgDn:
      if (field < last || allowPageDownExit == 0) {
        field = last;
        form.ResumeScreen = 0;
        return true;
      }
      form.ResumeScreen = screen;
      return false;
    case kKeyEnd:
    case 2:
      return false;
    case kKeyEsc:
      if (field > first) {
        field = first;
        return true;
      }
      return false;
    case kKeyEnter:
    case kKeyDown:
    case kKeyF2:
      if ((field == last || key == kKeyF2) && continuation != 0) {
        int16_t sub = static_cast<int16_t>(-continuation);
        RunForm(sub, allowPageUpExit, allowPageDownExit, key);
        return !EndsParent(key);
      }
      if (key == kKeyDown) {
        if (field < last) ++field;
      } else if (key == kKeyEnter) {
        ++field;
      }
      return true;
    case kKeyUp:
      if (field > first) {
        --field;
        return true;
      }
      if (!topLevel) {
        key = kKeyEsc;
        return false;
      }
      return true;
    default:
      return false;
  }
}

// Resuming: when the operator left a continuation of this screen with
// PgUp or PgDn, it is run again at once. Returns true when that run ended
// this screen too.
bool Resume(int16_t screen, int16_t& allowPageUpExit, int16_t& allowPageDownExit,
            int16_t& key) {
  if (form.ResumeScreen > 0) {
    int16_t s = screen;
    for (int steps = 0; s != 0 && s != form.ResumeScreen && steps <= form.ScreenCount; ++steps)
      s = ContinuationOf(s);
    if (s != form.ResumeScreen) form.ResumeScreen = 0;
  }
  const int16_t continuation = ContinuationOf(screen);
  if (form.ResumeScreen > 0 && form.ResumeScreen != screen && continuation != 0) {
    int16_t sub = continuation;
    RunForm(sub, allowPageUpExit, allowPageDownExit, key);
    return EndsParent(key);
  }
  form.ResumeScreen = 0;
  return false;
}

}  // namespace

void RunForm(int16_t& screen, int16_t& allowPageUpExit, int16_t& allowPageDownExit,
             int16_t& key) {
  const bool topLevel = screen >= 0;
  if (screen < 0) screen = static_cast<int16_t>(-screen);
  const FormScreen* s = ScreenAt(screen);
  if (s == nullptr || form.RunDepth >= kMaxFormDepth) {
    key = kKeyEsc;
    return;
  }
  ++form.RunDepth;

  bool pushed = false;
  if (s->Top != 0) {
    SetColourRole("+n");
    pushed = PushWindow(s->Top, s->Left, s->Bottom, s->Right);
    if (pushed) DrawFrame(2);
    SetColourRole("-");
    if (!pushed) {
      // A window off the screen: its fields would land over the screen
      // below, in the wrong places. The screen is not run.
      key = kKeyEsc;
      --form.RunDepth;
      return;
    }
  }
  int16_t hookScreen = screen;
  HookDrawScreen(hookScreen);

  int16_t first, last;
  EditableRange(screen, first, last);
  if (first > last) {
    hookScreen = screen;
    HookExitCheck(hookScreen, key);
  } else {
    bool fields = !Resume(screen, allowPageUpExit, allowPageDownExit, key);
    for (;;) {
      if (fields) {
        int16_t field = first;
        for (;;) {
          EditableRange(screen, first, last);
          if (field < first || field > last) break;
          RunField(screen, field, key);
          if (!Move(screen, topLevel, field, key, allowPageUpExit, allowPageDownExit)) break;
        }
      }
      hookScreen = screen;
      if (HookExitCheck(hookScreen, key) == 0) break;
      fields = true;
      EditableRange(screen, first, last);
    }
  }
  if (pushed) PopWindow();
  --form.RunDepth;
}

}  // namespace console
