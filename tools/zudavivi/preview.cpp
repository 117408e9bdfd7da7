#include "tools/zudavivi/preview.h"

#include <algorithm>
#include <vector>

#include "console/colours.h"
#include "console/key_codes.h"
#include "console/keyboard.h"
#include "format/text_utils.h"
#include "platform/console.h"
#include "tools/zudavivi/page_layout.h"

namespace zudavivi {
namespace {

constexpr int kColumnStep = 8;  // Left/Right move the view by this much

struct View {
  size_t page = 0;  // page shown, from 0
  int top = 0;      // first page line on the screen, from 0
  int left = 0;     // first page column on the screen, from 0
};

std::string Number(long n) { return std::to_string(n); }

void Draw(const std::vector<Page>& pages, const View& v, int width) {
  int rows = platform::ConsoleRows() - 1;  // the last row is the status line
  int columns = platform::ConsoleColumns();
  const Page& page = pages[v.page];
  console::SetColourRole("n");
  for (int r = 0; r < rows; ++r) {
    size_t line = static_cast<size_t>(v.top + r);
    std::string cells;
    if (line < page.lines.size() && page.lines[line].size() > static_cast<size_t>(v.left)) {
      cells = page.lines[line].substr(v.left, columns);
    }
    cells.resize(columns, ' ');
    platform::ConsoleLocate(static_cast<int16_t>(r + 1), 1);
    platform::ConsoleWrite(cells);
  }
  // Status line, code page 850: "Pàgina", "Línies", "surt".
  int lastLine = std::min(v.top + rows, page.length);
  int lastColumn = std::min(v.left + columns, width);
  std::string status = " P\x85gina " + Number(v.page + 1) + "/" + Number(pages.size()) +
                       "   L\xA1nies " + Number(v.top + 1) + "-" + Number(lastLine) + "/" +
                       Number(page.length) + "   Columnes " + Number(v.left + 1) + "-" +
                       Number(lastColumn) + "/" + Number(width) +
                       "   RePag AvPag fletxes  Esc surt";
  status.resize(columns, ' ');
  console::SetColourRole("r");
  platform::ConsoleLocate(static_cast<int16_t>(rows + 1), 1);
  platform::ConsoleWrite(status);
  console::SetColourRole("n");
  platform::ConsoleHideCursor();
  platform::ConsoleFlush();
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
  for (;;) {
    int rows = platform::ConsoleRows() - 1;
    int columns = platform::ConsoleColumns();
    int maxTop = std::max(0, pages[v.page].length - rows);
    int maxLeft = std::max(0, width - columns);
    v.top = std::min(v.top, maxTop);
    v.left = std::min(v.left, maxLeft);
    Draw(pages, v, width);
    int16_t key = console::WaitKey();
    switch (key) {
      case console::kKeyEsc:
        return 0;
      case console::kKeyPgDn:
        if (v.page + 1 < pages.size()) {
          ++v.page;
          v.top = 0;
        }
        break;
      case console::kKeyPgUp:
        if (v.page > 0) {
          --v.page;
          v.top = 0;
        }
        break;
      case console::kKeyHome:
        v.page = 0;
        v.top = 0;
        break;
      case console::kKeyEnd:
        v.page = pages.size() - 1;
        v.top = 0;
        break;
      case console::kKeyDown:
        v.top = std::min(v.top + 1, maxTop);
        break;
      case console::kKeyUp:
        v.top = std::max(v.top - 1, 0);
        break;
      case console::kKeyRight:
        v.left = std::min(v.left + kColumnStep, maxLeft);
        break;
      case console::kKeyLeft:
        v.left = std::max(v.left - kColumnStep, 0);
        break;
      default:
        break;
    }
  }
}

}  // namespace zudavivi
