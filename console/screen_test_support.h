// Test support for the screen layer: a fixture with a fresh session whose
// temporary directory (for the window stack file) is the test's own, the
// headless console, readers of what is on it, and typing keys by code.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "config/session.h"
#include "console/keyboard.h"
#include "console/screen.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/test_dir.h"

namespace console {
namespace testing {

// Queues the key with that code on the headless console, as the console
// reports it: a character as itself, an extended key as a zero byte and
// its scan code.
inline void QueueKeyCode(int16_t code, uint32_t controlState = 0) {
  if (code > 0 && code < 256) {
    platform::ConsoleQueueKey(std::string(1, char(code)), controlState);
  } else {
    platform::ConsoleQueueKey(std::string(1, '\0') + char(ScanCodeOf(code)), controlState);
  }
}

class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    config::session = config::SessionState();
    config::session.TempDir = dir_.path();
    screen = ScreenState();
    platform::console = platform::ConsoleState();
    platform::ConsoleStartWith(platform::ConsoleBackendKind::kHeadless);
  }
  std::string StackFile() { return dir_.file("WinPush.tmp"); }
  std::string StackBytes() {
    std::string b;
    platform::ReadFile(StackFile(), &b);
    return b;
  }
  static std::string Row(int row, int from, int to) {
    return platform::ConsoleReadRow(int16_t(row)).substr(size_t(from - 1), size_t(to - from + 1));
  }
  static unsigned char Attr(int row, int column) {
    unsigned char ch, attr;
    platform::ConsoleReadCell(int16_t(row), int16_t(column), &ch, &attr);
    return attr;
  }
  static void Put(int row, int column, const std::string& text, int fg = 7, int bg = 0) {
    platform::ConsoleSetColours(int16_t(fg), int16_t(bg));
    platform::ConsoleLocate(int16_t(row), int16_t(column));
    platform::ConsoleWrite(text);
  }
  // The whole screen as text, for before/after comparisons.
  static std::string Snapshot() {
    std::string s;
    for (int r = 1; r <= 25; ++r) {
      for (int c = 1; c <= 80; ++c) {
        unsigned char ch, attr;
        platform::ConsoleReadCell(int16_t(r), int16_t(c), &ch, &attr);
        s += char(ch);
        s += char(attr);
      }
    }
    return s;
  }

  platform::TestDir dir_;
};

}  // namespace testing
}  // namespace console
