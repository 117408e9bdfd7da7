#include "forms/browse.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "forms/browse_cache_format.h"
#include "forms/form.h"
#include "forms/form_engine.h"
#include "forms/form_hooks.h"
#include "forms/form_layer_reset.h"
#include "console/keyboard.h"
#include "console/screen_test_support.h"
#include "datafile/data_open.h"
#include "datafile/file_table.h"
#include "datafile/record_ops.h"
#include "datafile/datafile_test_support.h"
#include "format/format_state.h"
#include "platform/console.h"
#include "platform/wait_hooks.h"

namespace console {
namespace {

constexpr int16_t kFile = 7;
constexpr int kRecordLength = 24;  // key (4 bytes) + text (20)

// The records' buffer and what the hooks saw and answer.
struct World {
  char buffer[kRecordLength] = {};
  std::string startKey, limit;
  std::vector<std::string> picks;   // "list/screen/field:key"
  std::vector<int16_t> lockModes;   // the file's lock mode at each row text
  std::vector<int16_t> script;      // keys typed one per key wait
  size_t next = 0;
  std::vector<std::vector<std::string>> screens;  // rows at each key wait
  std::vector<std::string> caches;                // Browse.tmp at each key wait
  std::string cachePath;
  std::vector<int16_t> cursorRows;                // at each key wait
} world;

std::string RowText(int16_t& list) {
  const int slot = datafile::OpenSlot(kFile);
  if (slot != 0) world.lockModes.push_back(datafile::table.Slots[slot].LockMode);
  if (list == 9) return "";  // a list that shows no record
  return std::string(world.buffer, 4) + " " + std::string(world.buffer + 4, 20);
}
int16_t StartKey(int16_t&, std::string& key, std::string& limit) {
  key = world.startKey;
  limit = world.limit;
  return 0;
}
int16_t Pick(int16_t& list, int16_t& screen, int16_t& field) {
  world.picks.push_back(std::to_string(list) + "/" + std::to_string(screen) + "/" +
                        std::to_string(field) + ":" + std::string(world.buffer, 4));
  return 0;
}

// The screen at key wait i, its rows joined.
std::string Shown(size_t i) {
  std::string text;
  for (const std::string& row : world.screens[i]) text += row + "\n";
  return text;
}

// At each key wait: the screen and the cache file are kept, and the next
// key of the script is typed (none left: the headless console gives Esc).
void OnWait() {
  std::vector<std::string> rows;
  for (int r = 1; r <= 25; ++r) rows.push_back(platform::ConsoleReadRow(int16_t(r)));
  world.screens.push_back(rows);
  std::string cache;
  platform::ReadFile(world.cachePath, &cache);
  world.caches.push_back(cache);
  world.cursorRows.push_back(platform::console.cursorRow);
  if (world.next < world.script.size()) testing::QueueKeyCode(world.script[world.next++]);
}

class BrowseTest : public testing::ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    int16_t status = 0;
    datafile::DataCloseAll(status);
    datafile::table = datafile::FileTable();
    ResetFormLayer();
    format::state = format::FormatState();
    formHooks.BrowseRowText = RowText;
    formHooks.BrowseStartKey = StartKey;
    formHooks.BrowsePick = Pick;
    Reset();
    platform::waitHooks = platform::WaitHookState();
    platform::AddWaitHook(OnWait);
    const std::string root = data_.path();
    config::session.RootDir = root;
    platform::MakeDirs(root + "DADES");
    platform::MakeDirs(root + "ddf");
    ASSERT_EQ(recman::WriteCreationLayoutFile(
                  platform::SuitePath(recman::CreationLayoutFileName(root, "L")),
                  datafile::testing::CreationLayout(kRecordLength, {{{1, 4, 0}}})),
              recman::LayoutFileStatus::kOk);
    datafile::DataOpen(kFile, root + "DADES\\L", world.buffer, status);
    ASSERT_EQ(status, 0);
    AddList(1, 3, 5, 14, 32, "   _LLISTA_");  // 10 rows of 26 columns
  }
  void TearDown() override {
    int16_t status = 0;
    datafile::DataCloseAll(status);
    datafile::table = datafile::FileTable();
    platform::waitHooks = platform::WaitHookState();
    ResetFormLayer();
  }
  void Reset() {
    world = World();
    world.cachePath = dir_.file(browsecache::kFileName);
  }
  static void AddList(int16_t number, int16_t top, int16_t left, int16_t bottom, int16_t right,
                      const std::string& heading, int16_t file = kFile) {
    if (form.Lists.size() <= size_t(number)) form.Lists.resize(size_t(number) + 1);
    BrowseListDef& d = form.Lists[size_t(number)];
    d.DataFile = file;
    d.Top = top;
    d.Left = left;
    d.Bottom = bottom;
    d.Right = right;
    d.Heading = heading;
    form.ListCount = int16_t(form.Lists.size() - 1);
  }
  // Records prefix + "001".. with texts "name 1"..
  static void AddRecords(int n, const std::string& prefix = "K") {
    for (int i = 1; i <= n; ++i) AddRecord(prefix + Three(i), "name " + std::to_string(i));
  }
  static void AddRecord(const std::string& key, const std::string& text) {
    std::string record = key + text;
    record.resize(kRecordLength, ' ');
    ASSERT_EQ(datafile::testing::Insert(kFile, record), 0);
  }
  static std::string Three(int i) {
    std::string s = std::to_string(i);
    return std::string(3 - s.size(), '0') + s;
  }
  // Runs a list with the keys typed one per key wait.
  static int16_t Run(const std::vector<int16_t>& keys, int16_t list = 1) {
    world.script = keys;
    int16_t result = 99;
    Browse(list, result);
    return result;
  }
  // Window row r of list 1 at key wait w, its 26 inner columns.
  static std::string Line(size_t w, int r) { return world.screens.at(w).at(size_t(2 + r)).substr(5, 26); }
  static std::string Padded(const std::string& s) { return s + std::string(26 - s.size(), ' '); }
  static std::string Text(int i) { return Padded("K" + Three(i) + " name " + std::to_string(i)); }
  // The record in the buffer: after Enter, the one chosen.
  static std::string Chosen() { return std::string(world.buffer, 4); }

  platform::TestDir data_;
};

TEST_F(BrowseTest, ThreeRecordsInATenRowWindowShowThreeLinesAndDownStopsAtTheThird) {
  AddRecords(3);
  const std::string before = Snapshot();
  EXPECT_EQ(Run({kKeyDown, kKeyDown, kKeyDown, kKeyUp, kKeyEnter}), 0);
  ASSERT_EQ(world.screens.size(), 5u);
  for (int r = 1; r <= 3; ++r) EXPECT_EQ(Line(0, r), Text(r));
  for (int r = 4; r <= 10; ++r) EXPECT_EQ(Line(0, r), Padded("")) << r;
  // Down on the third line did nothing, Up went to the second: that record
  // is chosen, read again by position although the list had read past it.
  EXPECT_EQ(Chosen(), "K002");
  EXPECT_EQ(world.screens[0][2].substr(4, 28),
            "\xC9\xCD\xCD\xCD LLISTA " + std::string(15, '\xCD') + "\xBB");
  // The screen, the window and the lock stack as they were; no cache left.
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(screen.WindowDepth, 0);
  EXPECT_TRUE(datafile::table.LockStack.empty());
  EXPECT_EQ(access(world.cachePath.c_str(), F_OK), -1);
}

TEST_F(BrowseTest, DownOnTheLastRowScrollsByOneAndPgDnThenPgUpReturnsToThePage) {
  AddRecords(25);
  std::vector<int16_t> keys(9, kKeyDown);  // to row 10
  keys.insert(keys.end(), {kKeyDown, kKeyPgDn, kKeyPgUp, kKeyEnter});
  EXPECT_EQ(Run(keys), 0);
  // Only the lines shown are in the cache: a page, then one more (entries
  // of a 10-byte header and "K001 name 1", 11 bytes, or "K010 name 10").
  EXPECT_EQ(world.caches[0].size(), size_t(9 * (10 + 11) + (10 + 12)));
  EXPECT_EQ(world.caches[10].size(), world.caches[0].size() + (10 + 12));
  EXPECT_EQ(Line(10, 1), Text(2));   // scrolled by one line
  EXPECT_EQ(Line(10, 10), Text(11));
  EXPECT_EQ(Line(11, 1), Text(12));  // PgDn
  for (int r = 1; r <= 10; ++r) EXPECT_EQ(Line(12, r), Line(10, r)) << r;  // PgUp: back
  EXPECT_EQ(Chosen(), "K011");  // the highlight kept row 10 throughout
}

TEST_F(BrowseTest, PgDnNeedsALineAfterThePageAndClampsTheHighlightAtTheEnd) {
  AddRecords(13);
  // Row 5, PgDn: 3 lines left, the highlight goes to the last; PgDn again
  // finds no line after the page.
  EXPECT_EQ(Run({kKeyDown, kKeyDown, kKeyDown, kKeyDown, kKeyPgDn, kKeyPgDn, kKeyEnter}), 0);
  EXPECT_EQ(Line(5, 1), Text(11));
  EXPECT_EQ(Line(5, 3), Text(13));
  EXPECT_EQ(Line(5, 4), Padded(""));
  EXPECT_EQ(Line(6, 1), Text(11));
  EXPECT_EQ(Chosen(), "K013");
}

TEST_F(BrowseTest, PgUpWithFewerThanAPageBeforeKeepsTheHighlightOnTheCurrentLine) {
  AddRecords(25);
  // Thirteen Downs: K004 tops the page, K013 on row 10. PgUp shows the
  // first page; the current line moved back a page, to K003 on row 3.
  std::vector<int16_t> keys(12, kKeyDown);
  keys.insert(keys.end(), {kKeyPgUp, kKeyEnter});
  EXPECT_EQ(Run(keys), 0);
  EXPECT_EQ(Line(12, 1), Text(4));
  EXPECT_EQ(Line(13, 1), Text(1));
  EXPECT_EQ(Chosen(), "K003");
  // From row 2 (K005) a page back is before the first line: row 1.
  Reset();
  keys.assign(12, kKeyDown);
  keys.insert(keys.end(), 8, kKeyUp);
  keys.insert(keys.end(), {kKeyPgUp, kKeyEnter});
  EXPECT_EQ(Run(keys), 0);
  EXPECT_EQ(Line(20, 2), Text(5));
  EXPECT_EQ(Chosen(), "K001");
}

TEST_F(BrowseTest, LongLinesScrollSidewaysWithTheHeadingAndItsArrows) {
  // List 2: 4 rows of 10 columns; lines of up to 25 characters, so the
  // offset runs from 1 to 16.
  AddList(2, 3, 5, 8, 16, "   _LLISTA_");
  AddRecord("A001", "abcdefghijklmnopqrst");
  AddRecord("A002", "short");
  std::vector<int16_t> keys(22, kKeyRight);  // stops at 16 after 15
  keys.insert(keys.end(), 16, kKeyLeft);     // back to 1, and one more
  EXPECT_EQ(Run(keys, 2), -1);
  const auto frame = [](size_t w) { return world.screens.at(w)[2].substr(4, 12); };
  const auto line = [](size_t w, int r) { return world.screens.at(w)[size_t(2 + r)].substr(5, 10); };
  EXPECT_EQ(frame(0), "\xC9\xCD\xCD\xCD LLISTA\x10");
  EXPECT_EQ(line(0, 1), "A001 abcde");
  EXPECT_EQ(frame(2), "\x11\xCD LLISTA \xCD\x10");  // H = 3
  EXPECT_EQ(line(2, 1), "01 abcdefg");
  EXPECT_EQ(line(2, 2), "02 short  ");
  // At the end: the frame line continues past the heading, "╗" closes it.
  EXPECT_EQ(frame(22), "\x11" + std::string(10, '\xCD') + "\xBB");
  EXPECT_EQ(line(22, 1), "klmnopqrst");
  EXPECT_EQ(line(21, 1), "klmnopqrst");
  EXPECT_EQ(frame(38), frame(0));
}

TEST_F(BrowseTest, EmptyStartAndLimitKeysListTheWholeFileAndALimitOnlyItsRange) {
  AddRecords(3, "A");
  AddRecords(2, "B");
  AddRecords(2, "C");
  Run({kKeyEsc});
  EXPECT_EQ(Line(0, 1), Padded("A001 name 1"));
  EXPECT_EQ(Line(0, 7), Padded("C002 name 2"));
  Reset();
  world.startKey = world.limit = "B";
  EXPECT_EQ(Run({kKeyDown, kKeyDown, kKeyEnter}), 0);
  EXPECT_EQ(Line(0, 1), Padded("B001 name 1"));
  EXPECT_EQ(Line(0, 2), Padded("B002 name 2"));
  EXPECT_EQ(Line(0, 3), Padded(""));
  EXPECT_EQ(Chosen(), "B002");
}

TEST_F(BrowseTest, AnEscTypedWhileLinesAreFetchedEndsTheListAtTheLinesHeld) {
  AddRecords(25);
  testing::QueueKeyCode(kKeyEsc);  // waiting before the first line is fetched
  EXPECT_EQ(Run({kKeyDown, kKeyPgDn, kKeyEnter}), 0);
  EXPECT_EQ(Line(0, 2), Padded(""));
  EXPECT_EQ(world.caches[2].size(), size_t(10 + 11));  // one entry, never more
  EXPECT_EQ(Chosen(), "K001");
  // Another key waiting is left for the list's own key wait.
  Reset();
  testing::QueueKeyCode(kKeyDown);
  EXPECT_EQ(Run({kKeyEnter}), 0);
  EXPECT_EQ(Line(0, 10), Text(10));
  EXPECT_EQ(Chosen(), "K002");
}

TEST_F(BrowseTest, TheDataFileIsReadWithoutLocksDuringTheListOnly) {
  AddRecords(2);
  int16_t status = 0;
  datafile::DataLockMode(kFile, "A", status);
  Run({kKeyEnter});
  ASSERT_FALSE(world.lockModes.empty());
  for (int16_t mode : world.lockModes) EXPECT_EQ(mode, 0);
  EXPECT_EQ(datafile::table.Slots[size_t(datafile::OpenSlot(kFile))].LockMode, 1);
}

TEST_F(BrowseTest, EmptyListsAndListsThatCannotBeShownChooseNothing) {
  AddRecords(2);
  AddList(3, 3, 5, 14, 32, "", 0);    // data file 0: an empty list
  AddList(9, 3, 5, 14, 32, "");       // every row text blank: passed over
  EXPECT_EQ(Run({kKeyDown, kKeyPgDn, kKeyEnter}, 3), -1);
  EXPECT_EQ(Line(0, 1), Padded(""));
  EXPECT_EQ(Run({kKeyEnter}, 9), -1);
  EXPECT_EQ(world.caches.back(), "");
  // A cache every write to which fails (the full device) holds no line.
  ASSERT_EQ(symlink("/dev/full", world.cachePath.c_str()), 0);
  world.cachePath = dir_.file("not read");  // the device would never end
  EXPECT_EQ(Run({kKeyEnter}), -1);
  EXPECT_EQ(world.screens.back()[3].substr(5, 26), Padded(""));

  // No room for a line, below the screen, not in the form: nothing shown,
  // nothing held.
  Reset();
  const std::string before = Snapshot();
  AddList(4, 3, 5, 4, 32, "");
  AddList(5, 3, 5, 30, 32, "");
  for (int16_t list : {4, 5, 6}) EXPECT_EQ(Run({}, list), -1) << list;
  EXPECT_TRUE(world.screens.empty());
  // No temporary directory: the operator is told that the window stack,
  // then that the list's cache, cannot be written; no list.
  config::session.TempDir = dir_.file("missing/");
  EXPECT_EQ(Run({}), -1);
  ASSERT_EQ(world.screens.size(), 2u);
  const std::string missing = "NO ES POT ESCRIURE EL FITXER " + dir_.file("missing/");
  EXPECT_NE(Shown(0).find(missing + "WinPush.tmp"), std::string::npos) << Shown(0);
  EXPECT_NE(Shown(1).find(missing + "Browse.tmp"), std::string::npos) << Shown(1);
  EXPECT_EQ(Snapshot(), before);
  // A folder in the cache's place: told the same way.
  Reset();
  config::session.TempDir = dir_.path();
  ASSERT_TRUE(platform::MakeDirs(dir_.file(browsecache::kFileName)));
  EXPECT_EQ(Run({}), -1);
  ASSERT_EQ(world.screens.size(), 1u);
  EXPECT_NE(Shown(0).find("NO ES POT ESCRIURE EL FITXER " + dir_.file("Browse.tmp")),
            std::string::npos)
      << Shown(0);
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(screen.ColourStack, "");
  EXPECT_TRUE(datafile::table.LockStack.empty());
}

TEST_F(BrowseTest, F4OpensTheSecondaryListAndItsPickIsMadeThere) {
  AddRecords(3);
  form.Lists[1].SecondaryList = 2;
  AddList(2, 5, 40, 12, 70, "");
  EXPECT_EQ(Run({kKeyDown, kKeyF4, kKeyDown, kKeyDown, kKeyEnter}), 0);
  ASSERT_EQ(world.picks.size(), 1u);
  EXPECT_EQ(world.picks[0], "2/0/0:K003");
  EXPECT_EQ(world.screens[2][5].substr(40, 11), "K001 name 1");  // list 2 on top
}

TEST_F(BrowseTest, ThroughTheFormEscLeavesTheFieldAndEnterPutsThePickIntoIt) {
  AddRecords(3);
  formHooks.BrowsePick = [](int16_t&, int16_t& s, int16_t& f) -> int16_t {
    form.Screens[size_t(s)].Fields[size_t(f)].Value = std::string(world.buffer, 4);
    return 0;
  };
  FormScreen s;
  s.KeyList = "d,1b,3e00";
  s.FieldCount = 2;
  s.Fields.resize(3);
  for (int16_t f = 1; f <= 2; ++f) {
    s.Fields[size_t(f)].Row = int16_t(18 + f);
    s.Fields[size_t(f)].Column = 2;
    s.Fields[size_t(f)].Width = 4;
    s.Fields[size_t(f)].Value = "old ";
    s.Fields[size_t(f)].BrowseList = 1;
  }
  form.Screens.resize(2);
  form.Screens[1] = s;
  form.ScreenCount = 1;
  // F4, Esc in the list; F4, Down, Enter: field 1 gets K002 and the cursor
  // moves on to field 2; Esc, Esc leave the form.
  world.script = {kKeyF4, kKeyEsc, kKeyF4, kKeyDown, kKeyEnter, kKeyEsc, kKeyEsc};
  int16_t screenNumber = 1, no = 0, key = 0;
  RunForm(screenNumber, no, no, key);
  EXPECT_EQ(world.screens.at(2)[18].substr(1, 4), "old ");  // after Esc in the list
  EXPECT_EQ(form.Screens[1].Fields[1].Value, "K002");
  EXPECT_EQ(form.Screens[1].Fields[2].Value, "old ");
  ASSERT_EQ(world.cursorRows.size(), 7u);
  EXPECT_EQ(world.cursorRows[5], 20);  // after the pick: in field 2
}

}  // namespace
}  // namespace console
