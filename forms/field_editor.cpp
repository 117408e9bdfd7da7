// EditField: the key loop of one field input, for free text and for choice
// fields.
//
// Sections, in order:
//   Helpers                   Insert mode (the console's keyboard state),
//                             word separators, Fit, Folded
//   The editor                class Editor: one field input's state
//   Drawing and the cursor    Start, Select, Draw, PlaceCursor
//   Keys and clicks           ReadOneKey, ClickInside, FreeTextKey, ChoiceKey
//   The key loop              Run
//   Entry points              ParseOptions, EditField (field_editor.h)
#include "forms/field_editor.h"

#include <algorithm>

#include "console/colours.h"
#include "console/keyboard.h"
#include "console/windows.h"
#include "format/format_state.h"
#include "format/text_utils.h"
#include "platform/console.h"
#include "platform/key_codes.h"

namespace console {
namespace {

// The console's cursor heights for the two modes, in percent.
const int16_t kInsertCursor = 50;
const int16_t kOverwriteCursor = 99;

// The console font's glyphs that mark a choice field's label.
const char kLeftMarker = '\x11';   // "◄"
const char kRightMarker = '\x10';  // "►"

// ---- Helpers: Insert mode, word separators, fitting, case folding ---------

bool InsertMode() {
  unsigned char table[256];
  platform::GetKeyboardState(table);
  return (table[platform::kVirtualKeyInsert] & 1) != 0;
}

void SetInsertMode(bool on) {
  unsigned char table[256];
  platform::GetKeyboardState(table);
  unsigned char& entry = table[platform::kVirtualKeyInsert];
  entry = static_cast<unsigned char>(on ? entry | 1 : entry & ~1);
  platform::SetKeyboardState(table);
}

bool IsWordSeparator(char c) {
  return c == ' ' || c == ',' || c == '.' || c == ';' || c == ':';
}

// The text cut or padded with spaces to `width`.
std::string Fit(const std::string& text, int width) {
  std::string s = text.substr(0, size_t(std::max(width, 0)));
  s.resize(size_t(std::max(width, 0)), ' ');
  return s;
}

// The first letter of a label or a typed character as the choice pick
// compares them: a capital without its accent.
char Folded(char c) {
  int16_t saved = format::state.AccentMode;
  format::state.AccentMode = -1;
  std::string s = format::UpperText(std::string(1, c));
  format::state.AccentMode = saved;
  return s[0];
}

// ---- The editor of one field input ----------------------------------------

class Editor {
 public:
  Editor(int16_t row, int16_t column, int16_t wrapWidth, std::string& value, int16_t cursor)
      : row_(row), column_(column), value_(value), n_(int(value.size())) {
    width_ = wrapWidth > 0 ? wrapWidth : n_ + 1;
    cursor_ = std::clamp<int>(cursor, 1, n_ + 1);
    options_ = ParseOptions(keyboard.FieldOptions);
    echo_ = static_cast<char>(keyboard.EchoChar);
  }

  int16_t Run();
  int16_t cursor() const { return static_cast<int16_t>(cursor_); }

 private:
  bool choice() const { return !options_.empty(); }
  void Start();
  void Draw();
  void PlaceCursor();
  int16_t ReadOneKey();
  // Handles one key; returns true when the key ends the input.
  bool FreeTextKey(int16_t key);
  bool ChoiceKey(int16_t key);
  bool ClickInside(int16_t key, int* r, int* c) const;
  void Select(int option);

  int row_, column_;
  std::string& value_;
  int n_;
  int width_;
  int cursor_;
  std::vector<FieldOption> options_;
  int selected_ = 0;
  int labelWidth_ = 0;  // the widest label: D
  char echo_;
};

// ---- Drawing and the cursor -----------------------------------------------

void Editor::Start() {
  if (choice()) {
    selected_ = 0;
    for (size_t k = 0; k < options_.size(); ++k) {
      if (options_[k].Code == value_) {
        selected_ = int(k);
        break;
      }
    }
    for (const FieldOption& o : options_) labelWidth_ = std::max(labelWidth_, int(o.Label.size()));
    LocateInWindow(int16_t(row_), int16_t(column_ - 1));
    platform::ConsoleWrite(std::string(1, kLeftMarker));
    LocateInWindow(int16_t(row_), int16_t(column_ + labelWidth_));
    platform::ConsoleWrite(std::string(1, kRightMarker));
  }
  SetColourRole("u");
  if (choice()) {
    Select(selected_);
  } else {
    Draw();
  }
}

void Editor::Select(int option) {
  selected_ = option;
  value_ = Fit(options_[size_t(option)].Code, n_);
  LocateInWindow(int16_t(row_), int16_t(column_));
  platform::ConsoleWrite(Fit(options_[size_t(option)].Label, labelWidth_));
}

void Editor::Draw() {
  for (int k = 0, line = 0; k < n_; k += width_, ++line) {
    LocateInWindow(int16_t(row_ + line), int16_t(column_));
    if (echo_ != 0) {
      platform::ConsoleWrite(std::string(size_t(width_ - 1), echo_));
    } else {
      platform::ConsoleWrite(value_.substr(size_t(k), size_t(width_)));
    }
  }
}

void Editor::PlaceCursor() {
  int line = (cursor_ - 1) / width_;
  int col = (cursor_ - 1) % width_;
  if (cursor_ == n_ + 1 && col == 0 && line > 0) {  // just after a full last line
    --line;
    col = width_;
  }
  LocateInWindow(int16_t(row_ + line), int16_t(column_ + col));
}

// ---- Keys and clicks ------------------------------------------------------

int16_t Editor::ReadOneKey() {
  for (;;) {
    bool insert = InsertMode();
    if (choice()) {
      platform::ConsoleHideCursor();
    } else {
      PlaceCursor();
      platform::ConsoleSetCursorSize(insert ? kInsertCursor : kOverwriteCursor);
    }
    int16_t key, event, mouseRow, mouseColumn;
    WaitKeyOrMouse(key, event, mouseRow, mouseColumn);
    if (event != 0) return ClickKey(mouseRow, mouseColumn);
    if (key != kKeyIns) return key;
    SetInsertMode(!insert);
  }
}

// A negative key as a click: its place relative to the current window.
// Codes that no click can make (F11, F12 and their forms are negative too)
// land far outside any field.
bool Editor::ClickInside(int16_t key, int* r, int* c) const {
  int row = 0, column = 0;
  if (!ClickPlace(key, &row, &column)) return false;
  *r = RowInWindow(int16_t(row));
  *c = ColumnInWindow(int16_t(column));
  if (choice()) return *r == row_ && *c >= column_ - 1 && *c <= column_ + labelWidth_;
  int lines = std::max(1, (n_ + width_ - 1) / width_);
  if (*r < row_ || *r >= row_ + lines || *c < column_ || *c >= column_ + width_) return false;
  int at = (*r - row_) * width_ + (*c - column_) + 1;
  return at <= n_ + 1;
}

bool Editor::FreeTextKey(int16_t key) {
  const bool printable = (key >= 32 && key <= 126) || (key >= 128 && key <= 254);
  if (printable) {
    char ch = static_cast<char>(key);
    if (cursor_ > n_) return false;  // full: ignored
    if (InsertMode()) {
      if (value_[size_t(n_ - 1)] != ' ') return false;
      value_.insert(size_t(cursor_ - 1), 1, ch);
      value_.pop_back();
      ++cursor_;
      Draw();
    } else {
      value_[size_t(cursor_ - 1)] = ch;
      if (echo_ == 0) {
        PlaceCursor();
        platform::ConsoleWrite(std::string(1, ch));
      }
      ++cursor_;
    }
    return false;
  }
  if (key < 0) {
    int r, c;
    if (!ClickInside(key, &r, &c)) return true;
    cursor_ = (r - row_) * width_ + (c - column_) + 1;
    return false;
  }
  switch (key) {
    case kKeyLeft:
      cursor_ = std::max(cursor_ - 1, 1);
      return false;
    case kKeyRight:
      cursor_ = std::min(cursor_ + 1, n_ + 1);
      return false;
    case kKeyBackspace:
      if (cursor_ > 1) {
        --cursor_;
        value_.erase(size_t(cursor_ - 1), 1);
        value_.push_back(' ');
        Draw();
      }
      return false;
    case kKeyDel:
      if (cursor_ <= n_) {
        value_.erase(size_t(cursor_ - 1), 1);
        value_.push_back(' ');
        Draw();
      }
      return false;
    case kKeyCtrlHome:
    case kKeyCtrlY:
      value_.assign(size_t(n_), ' ');
      cursor_ = 1;
      Draw();
      return false;
    case kKeyUp:
    case kKeyShiftTab:
      if (cursor_ <= width_) return true;
      cursor_ -= width_;
      return false;
    case kKeyDown:
      if (cursor_ + width_ > n_ + 1) return true;
      cursor_ += width_;
      return false;
    case kKeyCtrlLeft: {
      if (cursor_ <= 1) return true;
      int p = cursor_ - 1;
      while (p >= 1 && IsWordSeparator(value_[size_t(p - 1)])) --p;
      while (p >= 2 && !IsWordSeparator(value_[size_t(p - 2)])) --p;
      cursor_ = std::max(p, 1);
      return false;
    }
    case kKeyCtrlRight: {
      if (cursor_ > n_) return true;
      int p = cursor_;
      while (p <= n_ && !IsWordSeparator(value_[size_t(p - 1)])) ++p;
      while (p <= n_ && IsWordSeparator(value_[size_t(p - 1)])) ++p;
      cursor_ = p;
      return false;
    }
    case kKeyCtrlC:
      platform::ClipboardSet(format::TrimBlanks(value_));
      return false;
    case kKeyCtrlV: {
      std::string pasted;
      for (char c : platform::ClipboardGet()) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u >= 32 && u != 127 && u != 255) pasted += c;
      }
      pasted = format::TrimBlanks(pasted);
      // Written over the value from the cursor on, never beyond its end;
      // the cursor goes after what was pasted.
      for (char c : pasted) {
        if (cursor_ > n_) break;
        value_[size_t(cursor_ - 1)] = c;
        ++cursor_;
      }
      Draw();
      return false;
    }
    default:
      return true;
  }
}

bool Editor::ChoiceKey(int16_t key) {
  const int count = int(options_.size());
  if ((key >= 33 && key <= 126) || (key >= 128 && key <= 254)) {
    char typed = Folded(static_cast<char>(key));
    for (int step = 1; step <= count; ++step) {
      int k = (selected_ + step) % count;
      const std::string& label = options_[size_t(k)].Label;
      if (!label.empty() && Folded(label[0]) == typed) {
        Select(k);
        break;
      }
    }
    return false;
  }
  if (key < 0) {
    int r, c;
    if (!ClickInside(key, &r, &c)) return true;
    if (c == column_ - 1) key = kKeyLeft;
    else if (c == column_ + labelWidth_) key = kKeyRight;
    else return false;  // on the label
  }
  switch (key) {
    case kKeyLeft:
      Select((selected_ + count - 1) % count);
      return false;
    case kKeyRight:
    case ' ':
      Select((selected_ + 1) % count);
      return false;
    case kKeyBackspace:
    case kKeyDel:
    case kKeyCtrlHome:
    case kKeyCtrlY:
    case kKeyCtrlV:
      return false;
    case kKeyCtrlC:
      platform::ClipboardSet(options_[size_t(selected_)].Code);
      return false;
    default:
      return true;
  }
}

// ---- The key loop ---------------------------------------------------------

int16_t Editor::Run() {
  Start();
  int16_t key;
  for (;;) {
    key = ReadOneKey();
    platform::ConsoleHideCursor();
    // Home and End place the cursor in free text and choice fields alike.
    if (key == kKeyHome) {
      cursor_ = 1;
      continue;
    }
    if (key == kKeyEnd) {
      cursor_ = int(format::TrimTrailingBlanks(value_).size()) + 1;
      continue;
    }
    bool ends = choice() ? ChoiceKey(key) : FreeTextKey(key);
    if (!ends) continue;

    int16_t unused;
    if (key == kKeyShiftTab) key = kKeyUp;
    if (key == kKeyTab) key = kKeyEnter;
    if (key == kKeyEnter && FindKeyInSet(kKeyEnd, unused)) key = kKeyEnd;
    if (key == kKeyCtrlF4 || key == kKeyAltF4) key = kKeyEsc;
    if (keyboard.KeyCodes.empty() || key < 0) break;
    int16_t result;
    if (FindKeyInSet(key, result)) {
      key = result;
      break;
    }
  }
  SetColourRole("h");
  if (choice()) {
    LocateInWindow(int16_t(row_), int16_t(column_ - 1));
    platform::ConsoleWrite(" ");
    LocateInWindow(int16_t(row_), int16_t(column_ + labelWidth_));
    platform::ConsoleWrite(" ");
  }
  LocateInWindow(int16_t(row_), int16_t(column_));
  return key;
}

}  // namespace

// ---- Entry points ---------------------------------------------------------

std::vector<FieldOption> ParseOptions(const std::string& options) {
  std::vector<FieldOption> parsed;
  size_t bar = options.find('|');
  while (bar != std::string::npos) {
    size_t next = options.find('|', bar + 1);
    std::string entry = options.substr(bar + 1, next == std::string::npos ? std::string::npos
                                                                           : next - bar - 1);
    size_t comma = entry.find(',');
    FieldOption o;
    o.Code = entry.substr(0, comma);
    if (comma != std::string::npos) o.Label = entry.substr(comma + 1);
    parsed.push_back(o);
    bar = next;
  }
  return parsed;
}

void EditField(int16_t& row, int16_t& column, int16_t& wrapWidth, std::string& value,
               int16_t& cursor, int16_t& key) {
  if (row == 0) row = RowInWindow(platform::ConsoleCursorRow());
  if (column == 0) column = ColumnInWindow(platform::ConsoleCursorColumn());
  Editor editor(row, column, wrapWidth, value, cursor);
  key = editor.Run();
  cursor = editor.cursor();
}

}  // namespace console
