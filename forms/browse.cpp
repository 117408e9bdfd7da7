// The browse list: one call of Browse runs one list.
//
//   - List: the state of one call (window size, horizontal offset, the
//     page's rows in the cache, fetching flags, the cache itself);
//   - fetching: lines come from the data file only when the cache has no
//     entry at the position asked for, one line per fetch (records whose
//     row text is blank are passed over), so the list never reads further
//     than the operator has scrolled;
//   - drawing: the heading on the top frame line and a page of lines;
//   - Browse: the key loop.
//
// The page is kept as the cache positions of its rows, so that the current
// line is always the one under the highlight: rows[highlight].
#include "forms/browse.h"

#include <algorithm>
#include <string>
#include <vector>

#include "config/session.h"
#include "forms/browse_cache.h"
#include "console/colours.h"
#include "forms/form.h"
#include "forms/form_engine.h"
#include "forms/form_hooks.h"
#include "console/keyboard.h"
#include "console/message.h"
#include "console/windows.h"
#include "datafile/file_table.h"
#include "datafile/record_ops.h"
#include "format/text_utils.h"
#include "platform/console.h"
#include "platform/key_codes.h"
#include "platform/paths.h"

namespace console {
namespace {

// Code page 850 bytes of the heading.
const char kFrameTopLeft = '\xC9';   // ╔
const char kFrameTopRight = '\xBB';  // ╗
const char kFrameLine = '\xCD';      // ═
const char kMoreLeft = '\x11';       // ◄
const char kMoreRight = '\x10';      // ►

struct List {
  int16_t Number = 0;
  BrowseListDef Def;
  int16_t Rows = 0;      // R, visible rows
  int16_t Columns = 0;   // C, visible columns
  int32_t Offset = 1;    // H, first character shown
  int32_t Longest = 0;   // longest text seen so far
  int16_t Highlight = 1;
  std::vector<int32_t> Page;  // cache position of each row 1..R; 0 = blank row
  int32_t AfterPage = 0;      // position after the page; 0 when the data ended
  bool Started = false;
  bool Ended = false;
  std::string StartKey;
  std::string Limit;          // as BrowseStartKey gave it
  std::string LimitImage;     // its comparable form
  BrowseCache Cache;
  bool CacheFailed = false;       // a line could not be written to the cache
  bool CacheFailureTold = false;  // and the operator was told
};

// Where the list's messages stand.
constexpr int16_t kCacheMessageRow = 12;

// Whether the current record's key is beyond the limit: the comparable
// form of its first (length of limit) bytes above the limit's.
bool BeyondLimit(const List& l) {
  if (l.Limit.empty()) return false;
  const int slot = datafile::OpenSlot(l.Def.DataFile);
  if (slot == 0) return true;
  const std::string prefix = datafile::table.Slots[slot].KeyValue.substr(0, l.Limit.size());
  return datafile::KeyImage(prefix, l.Def.DataFile) > l.LimitImage;
}

// Appends the next line to the cache, passing over records whose row text
// is blank; nothing once the data have ended. The data end at a read
// error, at a key beyond the limit, at an Esc waiting in the console input
// (the operator stops a long fetch) and when the cache cannot be written.
void Fetch(List& l) {
  if (l.Ended) return;
  const int16_t file = l.Def.DataFile;
  int16_t status = 0;
  if (!l.Started) {
    l.Started = true;
    datafile::DataSeek(file, l.Def.KeyNumber, l.StartKey, datafile::kSeekGreaterOrEqual, status);
    l.LimitImage = datafile::KeyImage(l.Limit, file);
    if (status != datafile::kStatusOk || BeyondLimit(l)) {
      l.Ended = true;
      return;
    }
  }
  for (;;) {
    const std::string text = format::TrimTrailingBlanks(HookBrowseRowText(l.Number));
    bool appended = false;
    if (!text.empty()) {
      int32_t position = 0;
      if (AppendBrowseEntry(l.Cache, datafile::DataPosition(file, 0), text, position) !=
          CacheStatus::kOk) {
        l.Ended = true;
        l.CacheFailed = true;
        return;
      }
      appended = true;
    }
    datafile::DataSkip(file, datafile::kSkipNext, status);
    if (status != datafile::kStatusOk || BeyondLimit(l) ||
        platform::ConsoleTakeKeyIfWaiting("\x1b")) {
      l.Ended = true;
    }
    if (appended || l.Ended) return;
  }
}

// The entry at a cache position, fetched first when the cache ends there.
bool EntryAt(List& l, int32_t position, CacheEntry& entry) {
  if (position <= 0) return false;
  if (position > l.Cache.Size) Fetch(l);
  return ReadBrowseEntry(l.Cache, position, entry) == CacheStatus::kOk;
}

// The C characters of a text from the offset H, padded with spaces.
std::string Visible(const List& l, const std::string& text) {
  std::string shown;
  if (size_t(l.Offset - 1) < text.size()) shown = text.substr(size_t(l.Offset - 1), size_t(l.Columns));
  shown.resize(size_t(l.Columns), ' ');
  return shown;
}

void DrawRow(const List& l, int16_t row, const std::string& text) {
  LocateInWindow(row, 1);
  platform::ConsoleWrite(Visible(l, text));
}

// Whether Right may scroll further: H at most the longest line minus C.
bool MoreToTheRight(const List& l) { return l.Offset <= l.Longest - l.Columns; }

void DrawHeading(const List& l) {
  SetColourRole("+n");
  std::string line(1, l.Offset == 1 ? kFrameTopLeft : kMoreLeft);
  const std::string& heading = l.Def.Heading;
  for (int32_t p = l.Offset; p < l.Offset + l.Columns; ++p) {
    char c = size_t(p) <= heading.size() ? heading[size_t(p - 1)] : ' ';
    if (c == ' ') c = kFrameLine;
    else if (c == '_') c = ' ';
    line += c;
  }
  const bool more = MoreToTheRight(l) || int32_t(heading.size()) > l.Offset + l.Columns - 1;
  line += more ? kMoreRight : kFrameTopRight;
  LocateInWindow(0, 0);
  platform::ConsoleWrite(line);
  SetColourRole("-");
}

// Draws a page from a cache position: rows 1..R, blank ones after the end
// of the data; the highlight is clamped to the last row drawn.
void DrawPage(List& l, int32_t from) {
  l.Page.assign(size_t(l.Rows) + 1, 0);
  int32_t position = from;
  int16_t drawn = 0;
  for (int16_t row = 1; row <= l.Rows; ++row) {
    CacheEntry entry;
    if (EntryAt(l, position, entry)) {
      DrawRow(l, row, entry.Text);
      l.Page[size_t(row)] = position;
      l.Longest = std::max(l.Longest, int32_t(entry.Text.size()));
      position = entry.End();
      ++drawn;
    } else {
      DrawRow(l, row, "");
      position = 0;
    }
  }
  l.AfterPage = position;
  l.Highlight = std::max<int16_t>(1, std::min(l.Highlight, std::max<int16_t>(drawn, 1)));
}

// The current line (under the highlight); false on an empty page.
bool Current(List& l, CacheEntry& entry) {
  const int32_t position = l.Page[size_t(l.Highlight)];
  return position != 0 && ReadBrowseEntry(l.Cache, position, entry) == CacheStatus::kOk;
}

void Redraw(List& l) {
  DrawHeading(l);
  DrawPage(l, l.Page[1] != 0 ? l.Page[1] : browsecache::kFirstEntry);
}

// PgUp: the page R entries further back (or from the first entry); the
// current line moves back as far, and the highlight stays on it (row 1 when
// it reached the first entry).
void PageUp(List& l) {
  CacheEntry entry;
  if (l.Page[1] == 0 || ReadBrowseEntry(l.Cache, l.Page[1], entry) != CacheStatus::kOk ||
      entry.Previous == 0) {
    return;
  }
  int16_t steps = 0;
  while (steps < l.Rows && entry.Previous != 0) {
    CacheEntry previous;
    if (ReadBrowseEntry(l.Cache, entry.Previous, previous) != CacheStatus::kOk) break;
    entry = previous;
    ++steps;
  }
  l.Highlight = std::max<int16_t>(1, int16_t(l.Highlight - (l.Rows - steps)));
  DrawPage(l, entry.Position);
}

// Enter: the current line's record read again by its position.
void Choose(List& l, int16_t& result) {
  CacheEntry entry;
  if (!Current(l, entry) || entry.RecordPosition == 0 || l.Def.DataFile <= 0) return;
  result = static_cast<int16_t>(datafile::DataPosition(l.Def.DataFile, entry.RecordPosition));
}

}  // namespace

void Browse(int16_t& list, int16_t& result) {
  result = -1;
  const BrowseListDef* def = ListAt(list);
  if (def == nullptr) return;
  List l;
  l.Number = list;
  l.Def = *def;
  l.Rows = static_cast<int16_t>(l.Def.Bottom - l.Def.Top - 1);
  l.Columns = static_cast<int16_t>(l.Def.Right - l.Def.Left - 1);
  if (l.Rows < 1 || l.Columns < 1) return;  // no room for a line

  if (l.Def.SearchScreen != 0) {
    int16_t screenNumber = l.Def.SearchScreen, noPageUp = 0, noPageDown = 0, key = 0;
    RunForm(screenNumber, noPageUp, noPageDown, key);
    if (key == kKeyEsc) return;
  }
  int16_t listNumber = list;
  result = HookBrowseStartKey(listNumber, l.StartKey, l.Limit);
  if (result != 0) return;
  result = -1;

  const int16_t file = l.Def.DataFile;
  int16_t lockStatus = 0;
  if (file > 0) datafile::DataLockMode(file, "+d", lockStatus);
  SetColourRole("+n");
  if (!PushWindow(l.Def.Top, l.Def.Left, l.Def.Bottom, l.Def.Right)) {
    // A window off the screen: nothing is drawn and nothing is chosen.
    SetColourRole("-");
    if (file > 0) datafile::DataLockMode(file, "-", lockStatus);
    return;
  }
  DrawFrame(1);
  SetColourRole("h");
  KeySet("+ea", "d,1b,4800,5000,4900,5100,4b00,4d00");
  if (l.Def.SecondaryList != 0) KeySet("a", "3e00");

  const std::string cachePath =
      platform::SuitePath(config::session.TempDir + browsecache::kFileName);
  if (OpenBrowseCache(l.Cache, cachePath) != CacheStatus::kOk) {
    // Without its cache the list could hold no line: the operator is told
    // why, and no list is shown.
    ShowMessageAndWait(kCacheMessageRow, TerminalFileMessage(cachePath));
    KeySet("-", "");
    PopWindow();
    SetColourRole("-");
    if (file > 0) datafile::DataLockMode(file, "-", lockStatus);
    return;
  }
  l.Page.assign(size_t(l.Rows) + 1, 0);
  DrawHeading(l);
  DrawPage(l, browsecache::kFirstEntry);

  bool secondary = false;
  for (bool done = false; !done;) {
    if (l.CacheFailed && !l.CacheFailureTold) {
      // The lines fetched so far stay; the operator learns why no more come.
      l.CacheFailureTold = true;
      ShowMessageAndWait(kCacheMessageRow, TerminalFileMessage(cachePath));
    }
    CacheEntry current;
    const bool hasCurrent = Current(l, current);
    SetColourRole("u");
    DrawRow(l, l.Highlight, hasCurrent ? current.Text : "");
    const int16_t key = WaitKey();
    SetColourRole("h");
    DrawRow(l, l.Highlight, hasCurrent ? current.Text : "");
    switch (key) {
      case kKeyLeft:
        if (l.Offset > 1) {
          --l.Offset;
          Redraw(l);
        }
        break;
      case kKeyRight:
        if (MoreToTheRight(l)) {
          ++l.Offset;
          Redraw(l);
        }
        break;
      case kKeyUp: {
        CacheEntry previous;
        if (!hasCurrent || current.Previous == 0 ||
            ReadBrowseEntry(l.Cache, current.Previous, previous) != CacheStatus::kOk) {
          break;
        }
        if (l.Highlight > 1) {
          --l.Highlight;
        } else {
          DrawPage(l, previous.Position);
        }
        break;
      }
      case kKeyDown: {
        CacheEntry next;
        if (!hasCurrent || !EntryAt(l, current.End(), next)) break;
        if (l.Highlight < l.Rows) {
          ++l.Highlight;
        } else {
          DrawPage(l, l.Rows >= 2 ? l.Page[2] : next.Position);
        }
        break;
      }
      case kKeyPgUp:
        PageUp(l);
        break;
      case kKeyPgDn: {
        CacheEntry next;
        if (l.AfterPage != 0 && EntryAt(l, l.AfterPage, next)) DrawPage(l, next.Position);
        break;
      }
      case kKeyEnter:
        Choose(l, result);
        done = true;
        break;
      case kKeyEsc:
        done = true;
        break;
      case kKeyF4:
        if (l.Def.SecondaryList != 0) {
          secondary = true;
          done = true;
        }
        break;
      default:
        break;
    }
  }

  CloseBrowseCache(l.Cache);
  if (secondary) {
    int16_t inner = l.Def.SecondaryList;
    Browse(inner, result);
    if (result == 0) {
      int16_t noScreen = 0, noField = 0;
      HookBrowsePick(inner, noScreen, noField);
    }
  }
  KeySet("-", "");
  PopWindow();
  SetColourRole("-");
  if (file > 0) datafile::DataLockMode(file, "-", lockStatus);
}

}  // namespace console
