// Test support for the pop-ups: a fixture on the headless console with a
// fresh session whose temporary and terminal directory is the test's own,
// keys queued for the key reader, and a look at the screen while a pop-up
// is open.
//
// The look: a pop-up reads its keys through the key reader, which opens the
// other pop-up's hook on its hot key. A test registers Capture as that
// hook (keyboard.Calculator inside the calendar, keyboard.Calendar inside
// the calculator) and queues the hot key where it wants to see the screen:
// Capture keeps the screen in `captures` (characters, box drawing shown as
// ASCII) and runs `onCapture` when it is set; the pop-up then ignores the
// hot key.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "console/keyboard.h"
#include "console/screen_test_support.h"
#include "dates/date_format.h"
#include "format/format_state.h"
#include "platform/console.h"

namespace console {
namespace testing {

struct Capture {
  std::vector<std::string> rows;  // rows 1..25, index 0 = row 1
  std::string cells;              // ScreenTest::Snapshot()
  // Rows `top`..`bottom`, columns `left`..`right`, as text.
  std::vector<std::string> Region(int top, int left, int bottom, int right) const {
    std::vector<std::string> out;
    for (int r = top; r <= bottom; ++r) out.push_back(rows[r - 1].substr(left - 1, right - left + 1));
    return out;
  }
  unsigned char Attr(int row, int column) const {
    return static_cast<unsigned char>(cells[((row - 1) * 80 + (column - 1)) * 2 + 1]);
  }
};

inline std::vector<Capture>& Captures() {
  static std::vector<Capture> captures;
  return captures;
}
inline std::function<void()>& OnCapture() {
  static std::function<void()> f;
  return f;
}

// A screen row with the box drawing characters of code page 850 as ASCII:
// corners and junctions "+", horizontals "-", verticals "|".
inline std::string Ascii(const std::string& row) {
  std::string out = row;
  for (char& c : out) {
    switch (static_cast<unsigned char>(c)) {
      case 0xDA: case 0xBF: case 0xC0: case 0xD9: case 0xC3: case 0xB4: c = '+'; break;
      case 0xC4: c = '-'; break;
      case 0xB3: c = '|'; break;
      default: break;
    }
  }
  return out;
}

class PopupTest : public ScreenTest {
 public:
  static std::string Cells() { return Snapshot(); }

 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    config::session.TermDir = dir_.path();
    config::session.Language = "CAT";
    keyboard = KeyboardState();
    dates::state = dates::DatesState();
    format::state = format::FormatState();
    Captures().clear();
    OnCapture() = nullptr;
  }
  void TearDown() override {
    keyboard = KeyboardState();
    OnCapture() = nullptr;
  }
  // Queues an extended key (its scan code) or plain characters.
  static void Key(unsigned char scan) { platform::ConsoleQueueKey(std::string(1, '\0') + char(scan)); }
  static void Keys(const std::string& text) { platform::ConsoleQueueText(text); }
  // The keys ReadKey delivers until none is pending: a character as its
  // byte, an extended key as a zero byte and its scan code.
  static std::string ReadKeys() {
    std::string keys;
    for (;;) {
      int16_t key, event, row, column;
      ReadKey(key, event, row, column);
      if (key == 0) return keys;
      if (key > 255) keys += std::string(1, '\0') + char(ScanCodeOf(key));
      else keys += char(key);
    }
  }
  // A screen to draw the pop-up over: every row a pattern in cyan on blue.
  static void FillScreen() {
    for (int r = 1; r <= 25; ++r) {
      std::string row;
      for (int c = 0; c < 80; ++c) row += char('a' + (r + c) % 26);
      Put(r, 1, row, 3, 1);
    }
  }
};

inline std::string CaptureScreen() {
  Capture c;
  for (int r = 1; r <= 25; ++r) c.rows.push_back(Ascii(platform::ConsoleReadRow(int16_t(r))));
  c.cells = PopupTest::Cells();
  Captures().push_back(c);
  if (OnCapture()) OnCapture()();
  return "";
}

}  // namespace testing
}  // namespace console
