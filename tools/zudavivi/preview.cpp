#include "tools/zudavivi/preview.h"

#include <algorithm>
#include <vector>

#include "console/colours.h"
#include "console/keyboard.h"
#include "format/text_utils.h"
#include "platform/console.h"
#include "platform/key_codes.h"
#include "tools/zudavivi/page_layout.h"
#include "tools/zudavivi/preview_status.h"

namespace zudavivi {
namespace {

constexpr int kColumnStep = 8;  // Left/Right move the view by this much
constexpr int kIdleMs = 50;     // a key wait looks at the window's size this often
constexpr char kCutRight = '\xAF';  // "»" in code page 850
constexpr char kCutLeft = '\xAE';   // "«"

struct View {
  size_t page = 0;  // page shown, from 0
  int top = 0;      // first page line on the screen, from 0
  int left = 0;     // first page column on the screen, from 0
};

// Gives the model the terminal's size. Returns true when it changed.
bool FitTerminal() {
  int16_t rows = 0;
  int16_t columns = 0;
  platform::ConsoleDeviceSize(&rows, &columns);
  if (rows == platform::ConsoleRows() && columns == platform::ConsoleColumns()) return false;
  platform::ConsoleSetSize(rows, columns);
  return true;
}

// Whether the cells [from, to) of a line hold anything but blanks.
bool Shows(const std::string& line, size_t from, size_t to) {
  to = std::min(to, line.size());
  for (size_t i = from; i < to; ++i) {
    if (line[i] != ' ') return true;
  }
  return false;
}

void Draw(const std::vector<Page>& pages, const View& v, int width) {
  int rows = std::max(platform::ConsoleRows() - 1, 0);  // the last row is the status line
  int columns = platform::ConsoleColumns();
  const Page& page = pages[v.page];
  const size_t left = static_cast<size_t>(v.left);
  console::SetColourRole("n");
  for (int r = 0; r < rows; ++r) {
    size_t index = static_cast<size_t>(v.top + r);
    std::string cells;
    if (index < page.lines.size()) {
      const std::string& line = page.lines[index];
      if (line.size() > left) cells = line.substr(left, columns);
      cells.resize(columns, ' ');
      if (Shows(line, left + columns, line.size())) cells[columns - 1] = kCutRight;
      if (left > 0 && Shows(line, 0, left)) cells[0] = kCutLeft;
    }
    cells.resize(columns, ' ');
    platform::ConsoleLocate(static_cast<int16_t>(r + 1), 1);
    platform::ConsoleWrite(cells);
  }
  PreviewPlace place;
  place.page = static_cast<long>(v.page) + 1;
  place.pages = static_cast<long>(pages.size());
  place.firstLine = v.top + 1;
  place.lastLine = std::max(std::min(v.top + rows, page.length), v.top + 1);
  place.pageLines = page.length;
  place.firstColumn = v.left + 1;
  place.lastColumn = std::min(v.left + columns, width);
  place.pageColumns = width;
  console::SetColourRole("r");
  platform::ConsoleLocate(static_cast<int16_t>(rows + 1), 1);
  platform::ConsoleWrite(PreviewStatusLine(place, columns));
  console::SetColourRole("n");
  platform::ConsoleHideCursor();
  platform::ConsoleFlush();
}

// Waits for a key; 0 when the terminal's size changed first (the view is
// drawn again for the new size).
int16_t WaitKeyOrResize() {
  for (;;) {
    // The model takes a new size before any key is read: keys typed on a
    // terminal smaller than the model are refused (platform/console.h).
    if (FitTerminal()) return 0;
    int16_t key = 0, event = 0, row = 0, column = 0;
    console::ReadKey(key, event, row, column);
    if (key != 0) return key;
    platform::ConsoleWaitInput(kIdleMs);
  }
}

}  // namespace

int RunPreview(const std::string& spool, std::string* error) {
  std::vector<Page> pages;
  long count = 0;
  int laid = LayoutSpool(
      spool, [&pages](const Page& p) { pages.push_back(p); return true; }, &count, error);
  if (laid != 0) return 1;

  // The width to scroll across: the page's 96 columns, or a longer line.
  int width = kPageColumns;
  for (const Page& p : pages) {
    for (const std::string& l : p.lines) {
      width = std::max(width, static_cast<int>(format::TrimTrailingBlanks(l).size()));
    }
  }
  View v;
  FitTerminal();
  for (;;) {
    int rows = std::max(platform::ConsoleRows() - 1, 1);
    int columns = platform::ConsoleColumns();
    int maxTop = std::max(0, pages[v.page].length - rows);
    int maxLeft = std::max(0, width - columns);
    v.top = std::min(v.top, maxTop);
    v.left = std::min(v.left, maxLeft);
    Draw(pages, v, width);
    switch (WaitKeyOrResize()) {
      case platform::kKeyEsc:
        return 0;
      case platform::kKeyPgDn:
        if (v.page + 1 < pages.size()) {
          ++v.page;
          v.top = 0;
        }
        break;
      case platform::kKeyPgUp:
        if (v.page > 0) {
          --v.page;
          v.top = 0;
        }
        break;
      case platform::kKeyHome:
        v.page = 0;
        v.top = 0;
        break;
      case platform::kKeyEnd:
        v.page = pages.size() - 1;
        v.top = 0;
        break;
      case platform::kKeyDown:
        v.top = std::min(v.top + 1, maxTop);
        break;
      case platform::kKeyUp:
        v.top = std::max(v.top - 1, 0);
        break;
      case platform::kKeyRight:
        v.left = std::min(v.left + kColumnStep, maxLeft);
        break;
      case platform::kKeyLeft:
        v.left = std::max(v.left - kColumnStep, 0);
        break;
      default:
        break;
    }
  }
}

}  // namespace zudavivi
