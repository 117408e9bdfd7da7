// The calculator pop-up: its window, the tape drawn in it and the key loop.
#include "forms/calculator.h"

#include "config/catalogue.h"
#include "config/session.h"
#include "forms/calculator_keys.h"
#include "forms/calculator_state.h"
#include "console/colours.h"
#include "console/keyboard.h"
#include "forms/popups.h"
#include "console/windows.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace console {
namespace {

constexpr int16_t kWidth = 26;
constexpr int16_t kTapeTop = 1, kTapeRule = 23, kEntryRow = 24, kBottomRow = 25;

// Box drawing characters of code page 850.
const std::string kLine(24, '\xC4');  // ─
const char kVertical[] = "\xB3";       // │

void Put(int16_t row, int16_t column, const std::string& text) {
  platform::ConsoleLocate(row, column);
  platform::ConsoleWrite(text);
}

// Opens the window at the state's column, drawing in colour role "n".
bool OpenWindow(const CalculatorState& s) {
  if (!PushWindow(kTapeTop, s.column, kBottomRow, static_cast<int16_t>(s.column + kWidth - 1))) {
    return false;
  }
  SetColourRole("n");
  return true;
}

void DrawTape(const CalculatorState& s) {
  const int16_t col = s.column;
  const int16_t first = s.firstVisible;
  if (first < kTapeRule) {
    Put(static_cast<int16_t>(first - 1), col, "\xDA" + kLine + "\xBF");  // ┌ ┐
    for (int16_t k = first; k <= kTapeLines; ++k) {
      const TapeLine& line = s.tape[k];
      Put(k, col, kVertical + CalculatorValueText(line.value, line.decimalPoint, line.decimals) +
                      " " + line.op + " " + kVertical);
    }
    Put(kTapeRule, col, "\xC3" + kLine + "\xB4");  // ├ ┤
  } else {
    Put(kTapeRule, col, "\xDA" + kLine + "\xBF");
  }
  Put(kBottomRow, col, "\xC0" + kLine + "\xD9");  // └ ┘
}

void DrawEntry(const CalculatorState& s) {
  std::string shown;
  if (s.error) {
    shown = config::Translate("ERROR").substr(0, 21);
    shown.insert(0, 21 - shown.size(), ' ');
  } else {
    shown = CalculatorValueText(s.entry, s.decimalPoint, s.decimals);
  }
  Put(kEntryRow, s.column, kVertical + shown + "   " + kVertical);
}

}  // namespace

std::string Calculator() {
  PopupSaved saved = BeginPopup("");
  const std::string path = platform::SuitePath(config::session.TermDir + kCalculatorFileName);
  if (!platform::PathExists(path)) platform::WriteFile(path, "");
  std::string bytes;
  platform::ReadFile(path, &bytes);
  CalculatorState s = ParseCalculatorFile(bytes);
  if (!OpenWindow(s)) {
    EndPopup(saved);
    return "";
  }
  DrawTape(s);

  std::string result;
  bool open = true;
  for (bool done = false; !done;) {
    DrawEntry(s);
    switch (CalculatorKey(s, WaitKey())) {
      case CalculatorAction::kNone:
        break;
      case CalculatorAction::kRedraw:
        DrawTape(s);
        break;
      case CalculatorAction::kReopen:
      case CalculatorAction::kMove:
        PopWindow();
        open = OpenWindow(s);
        if (open) DrawTape(s);
        done = !open;
        break;
      case CalculatorAction::kFinish:
        result = CalculatorResultText(s);
        done = true;
        break;
      case CalculatorAction::kCancel:
        done = true;
        break;
    }
  }

  if (open) PopWindow();
  platform::WriteFile(path, CalculatorFileBytes(s));
  EndPopup(saved);
  return result;
}

}  // namespace console
