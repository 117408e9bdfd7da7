// Window coordinates, frames and scrolling over the platform console.
#include "console/screen.h"

#include <algorithm>
#include <string>

#include "platform/console.h"

namespace console {

ScreenState screen;

int16_t ScreenRows() { return platform::ConsoleRows(); }

int16_t ScreenColumns() { return platform::ConsoleColumns(); }

void LocateInWindow(int16_t row, int16_t column) {
  if (screen.WindowDepth > 0) {
    // Computed in int: a sum beyond 16 bits is off the screen either way.
    int r = row + screen.WindowTop, c = column + screen.WindowLeft;
    platform::ConsoleLocate(static_cast<int16_t>(std::clamp(r, 0, 32767)),
                            static_cast<int16_t>(std::clamp(c, 0, 32767)));
  } else {
    platform::ConsoleLocate(row, column);
  }
}

int16_t InnerTop() { return screen.WindowDepth > 0 ? int16_t(screen.WindowTop + 1) : int16_t(1); }

int16_t InnerLeft() {
  return screen.WindowDepth > 0 ? int16_t(screen.WindowLeft + 1) : int16_t(1);
}

int16_t InnerRight() {
  return screen.WindowDepth > 0 ? int16_t(screen.WindowRight - 1) : ScreenColumns();
}

void DrawFrame(int16_t style) {
  if (screen.WindowDepth <= 0) return;
  // Code page 850 box-drawing bytes: top-left, top-right, bottom-left,
  // bottom-right, horizontal, vertical.
  static const char kStyles[3][6] = {
      {' ', ' ', ' ', ' ', ' ', ' '},
      {'\xDA', '\xBF', '\xC0', '\xD9', '\xC4', '\xB3'},
      {'\xC9', '\xBB', '\xC8', '\xBC', '\xCD', '\xBA'},
  };
  if (style < 0 || style > 2) return;
  const char* s = kStyles[style];
  int16_t top = screen.WindowTop, left = screen.WindowLeft;
  int16_t bottom = screen.WindowBottom, right = screen.WindowRight;
  size_t inner = static_cast<size_t>(std::max(0, right - left - 1));
  platform::ConsoleLocate(top, left);
  platform::ConsoleWrite(s[0] + std::string(inner, s[4]) + s[1]);
  for (int row = top + 1; row <= bottom - 1; ++row) {
    platform::ConsoleLocate(static_cast<int16_t>(row), left);
    platform::ConsoleWrite(s[5] + std::string(inner, ' ') + s[5]);
  }
  platform::ConsoleLocate(bottom, left);
  platform::ConsoleWrite(s[2] + std::string(inner, s[4]) + s[3]);
}

void ScrollRegion(int16_t top, int16_t left, int16_t bottom, int16_t right, int16_t lines) {
  auto one = [](int16_t v) { return static_cast<int16_t>(std::min(v + 1, 32767)); };
  platform::ConsoleScroll(one(top), one(left), one(bottom), one(right), lines);
}

}  // namespace console
