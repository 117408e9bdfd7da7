#include "report/selection_hooks.h"

#include <algorithm>

#include "config/session.h"
#include "console/colours.h"
#include "console/message.h"
#include "console/screen.h"
#include "console/windows.h"
#include "dates/date_format.h"
#include "dates/date_math.h"
#include "dates/packed.h"
#include "format/dotted_code.h"
#include "format/numeric_text.h"
#include "format/text_utils.h"
#include "forms/field_editor.h"
#include "forms/form.h"
#include "forms/form_engine.h"
#include "forms/form_hooks.h"
#include "platform/console.h"
#include "report/record_layouts.h"
#include "report/report_state.h"
#include "report/selection.h"

namespace report {
namespace {

// The list numbers of the form's browse lists.
constexpr int16_t kListCommunities = 1;
constexpr int16_t kListFirstDepartments = 2;
constexpr int16_t kListLastDepartments = 3;

std::string Fit(const std::string& text, size_t width) {
  std::string s = text.substr(0, width);
  s.resize(width, ' ');
  return s;
}

// The value of a field of the form; "" when the form lacks it.
std::string ValueOf(int16_t screen, int16_t field) {
  const console::FormField* f = console::FieldAt(screen, field);
  return f != nullptr ? f->Value : std::string();
}

// A department of the form as "community.department", as typed (a blank
// department counts as 0).
std::string ShownDepartment(int16_t communityField, int16_t departmentField) {
  std::string department = format::TrimBlanks(ValueOf(1, departmentField));
  return format::TrimBlanks(ValueOf(1, communityField)) + "." +
         (department.empty() ? std::string("0") : department);
}

// The last three digits of a packed code.
std::string LastThreeDigits(const std::string& packed) {
  std::string digits = dates::Unpack(packed);
  return digits.size() > 3 ? digits.substr(digits.size() - 3) : digits;
}

// The column of a title of `length` characters centred on column 41:
// 41 - length / 2, a half rounded to the even neighbour; at least 1.
int16_t TitleColumn(size_t length) {
  long twice = 82 - long(length);  // twice 41 - length / 2
  long column = twice >= 0 ? twice / 2 : -((1 - twice) / 2);  // floor of the half
  if (twice % 2 != 0 && column % 2 != 0) ++column;
  return static_cast<int16_t>(std::max(column, 1L));
}

}  // namespace

void RegisterFormHooks() {
  console::formHooks.DrawScreen = DrawScreen;
  console::formHooks.ShowField = ShowField;
  console::formHooks.AcceptField = AcceptField;
  console::formHooks.ExitCheck = ExitCheck;
  console::formHooks.BrowseRowText = BrowseRowText;
  console::formHooks.BrowseStartKey = BrowseStartKey;
  console::formHooks.BrowsePick = BrowsePick;
}

bool FormHasSelectionFields() {
  return console::FieldAt(1, 5) != nullptr && console::FieldAt(2, 1) != nullptr;
}

void DrawScreen(int16_t& screen) {
  const console::FormScreen* s = console::ScreenAt(screen);
  if (s == nullptr) return;
  console::SetColourRole("rh");
  const std::string& title = config::session.SessionTitle;
  const int16_t column = TitleColumn(title.size());
  platform::ConsoleLocate(1, column);
  platform::ConsoleWrite(title.substr(0, size_t(std::max(0, console::ScreenColumns() - column + 1))));

  console::SetColourRole("n");
  // Counted in int: a 16-bit counter would never pass a count of 32767.
  for (int j = 1; j <= s->FieldCount; ++j) {
    const console::FormField& f = s->Fields[size_t(j)];
    console::LocateInWindow(f.Row, f.Column);
    platform::ConsoleWrite(f.Label);
  }
  console::SetColourRole("h");
  for (int j = 1; j <= s->FieldCount; ++j) {
    int16_t field = static_cast<int16_t>(j);
    ShowField(screen, field);
  }
}

void ShowField(int16_t& screen, int16_t& field) {
  const console::FormField* f = console::FieldAt(screen, field);
  if (f == nullptr) return;
  console::LocateInWindow(f->Row, static_cast<int16_t>(f->Column + f->Label.size()));
  if ((f->Flags & console::kFieldHidden) != 0) return;
  if (f->Type == kTypeDate) {
    platform::ConsoleWrite(dates::FormatDate(dates::ParseDate(f->Value), dates::kDateNumeric, "dma"));
    return;
  }
  if (!f->Options.empty()) {
    for (const console::FieldOption& o : console::ParseOptions(f->Options)) {
      if (o.Code == f->Value) {
        platform::ConsoleWrite(Fit(o.Label, size_t(f->ExtraWidth + f->Width)));
        break;
      }
    }
    return;
  }
  const int wrap = f->WrapWidth;
  if (wrap > 0) {
    const int16_t row = platform::ConsoleCursorRow();
    const int16_t column = platform::ConsoleCursorColumn();
    for (size_t k = 0, line = 0; k < f->Value.size(); k += size_t(wrap), ++line) {
      platform::ConsoleLocate(static_cast<int16_t>(row + line), column);
      platform::ConsoleWrite(f->Value.substr(k, size_t(wrap)));
    }
    return;
  }
  platform::ConsoleWrite(f->Value);
}

int16_t AcceptField(int16_t& screen, std::string& value, int16_t& field, int16_t&) {
  console::FormField* f = console::FieldAt(screen, field);
  if (f == nullptr) return 0;
  int16_t error = 0;
  if (f->Type == kTypeDate) {
    if (format::IsAllChar(value, ' ') != 0)
      value = Fit(dates::DateToInput(config::session.WorkDate), value.size());
    error = dates::DateInvalid(value);
  } else if (f->Type == kTypeNumber) {
    error = format::NumberInvalid(value, "");
  }
  if (error == 0) {
    f->Value = Fit(value, f->Value.size());
    ShowField(screen, field);
  }
  return error;
}

int16_t ExitCheck(int16_t& screen, int16_t& key) {
  if (key == 27 || screen != 1) return 0;
  const SelectionStatus status = BuildSelection(
      ValueOf(1, 1), ValueOf(1, 2) + "." + ValueOf(1, 3), ValueOf(1, 4) + "." + ValueOf(1, 5));
  if (status != SelectionStatus::kOk) {
    // Said as the batch run says it, with the bell; the form stays.
    console::ShowMessageAndWait(kMessageRow, SelectionMessage(status, ShownDepartment(2, 3),
                                                              ShownDepartment(4, 5)));
    return -1;
  }
  console::FormField* answer = console::FieldAt(2, 1);
  if (answer == nullptr) return -1;
  answer->Value.assign(answer->Value.size(), ' ');
  int16_t confirmation = 2, noPageUp = 0, noPageDown = 0;
  console::RunForm(confirmation, noPageUp, noPageDown, key);
  answer = console::FieldAt(2, 1);
  return format::TrimTrailingBlanks(answer->Value) == "S" ? 0 : -1;
}

std::string BrowseRowText(int16_t& list) {
  if (list == kListCommunities) {
    const char* rec = state.FinquesH.data();
    return LastThreeDigits(GetBytes(rec, finques::kCode)) + "  " + GetBytes(rec, finques::kName);
  }
  if (list == kListFirstDepartments || list == kListLastDepartments) {
    const char* rec = state.PropietH.data();
    return LastThreeDigits(GetBytes(rec, propiet::kKey)) + "  " + GetBytes(rec, propiet::kOwner) +
           "  " + GetBytes(rec, propiet::kDesignation);
  }
  return "";
}

int16_t BrowseStartKey(int16_t& list, std::string& key, std::string& limit) {
  if (list == kListFirstDepartments) {
    key = format::PackCode("0" + ValueOf(1, 2));
  } else if (list == kListLastDepartments) {
    key = format::PackCode("0" + ValueOf(1, 4));
  } else {
    key.clear();
  }
  limit = key;
  return 0;
}

int16_t BrowsePick(int16_t& list, int16_t& screen, int16_t& field) {
  std::string value;
  if (list == kListCommunities) {
    value = LastThreeDigits(GetBytes(state.FinquesH.data(), finques::kCode));
  } else if (list == kListFirstDepartments || list == kListLastDepartments) {
    value = LastThreeDigits(GetBytes(state.PropietH.data(), propiet::kKey));
  } else {
    return 0;
  }
  int16_t key = 0;
  return AcceptField(screen, value, field, key);
}

}  // namespace report
