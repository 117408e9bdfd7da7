#include "console/browse.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "console/browse_cache_format.h"
#include "console/form.h"
#include "console/form_engine.h"
#include "console/form_hooks.h"
#include "console/keyboard.h"
#include "console/test_support.h"
#include "datafile/data_open.h"
#include "datafile/file_table.h"
#include "datafile/record_ops.h"
#include "datafile/test_support.h"
#include "format/format_state.h"
#include "platform/coding.h"
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
    keyboard = KeyboardState();
    format::state = format::FormatState();
    form = FormState();
    formHooks = FormHooks();
    formHooks.BrowseRowText = RowText;
    formHooks.BrowseStartKey = StartKey;
    formHooks.BrowsePick = Pick;
    world = World();
    world.cachePath = dir_.file(browsecache::kFileName);
    platform::waitHooks = platform::WaitHookState();
    platform::AddWaitHook(OnWait);

    root_ = data_.path();
    config::session.RootDir = root_;
    platform::MakeDirs(root_ + "DADES");
    platform::MakeDirs(root_ + "ddf");
    std::string file = platform::SuitePath(recman::CreationLayoutFileName(root_, "L"));
    ASSERT_EQ(recman::WriteCreationLayoutFile(
                  file, datafile::testing::CreationLayout(kRecordLength, {{{1, 4, 0}}})),
              recman::LayoutFileStatus::kOk);
    datafile::DataOpen(kFile, root_ + "DADES\\L", world.buffer, status);
    ASSERT_EQ(status, 0);
    // List 1: 10 rows of 26 columns at rows 3-14, columns 5-32.
    AddList(1, 3, 5, 14, 32, "   _LLISTA_");
  }
  void TearDown() override {
    int16_t status = 0;
    datafile::DataCloseAll(status);
    datafile::table = datafile::FileTable();
    platform::waitHooks = platform::WaitHookState();
    form = FormState();
    formHooks = FormHooks();
    keyboard = KeyboardState();
  }

  static void AddList(int16_t number, int16_t top, int16_t left, int16_t bottom, int16_t right,
                      const std::string& heading, int16_t secondary = 0,
                      int16_t file = kFile) {
    if (form.Lists.size() <= size_t(number)) form.Lists.resize(size_t(number) + 1);
    BrowseListDef& d = form.Lists[size_t(number)];
    d.DataFile = file;
    d.KeyNumber = 0;
    d.Top = top;
    d.Left = left;
    d.Bottom = bottom;
    d.Right = right;
    d.Heading = heading;
    d.SecondaryList = secondary;
    form.ListCount = int16_t(form.Lists.size() - 1);
  }
  // Records "K001".."Kn" with texts "name 1".."name n" (or the given texts).
  static void AddRecords(int n, const std::string& prefix = "K") {
    for (int i = 1; i <= n; ++i) AddRecord(prefix + Three(i), "name " + std::to_string(i));
  }
  static void AddRecord(const std::string& key, const std::string& text) {
    std::string record = key;
    record.resize(4, ' ');
    record += text;
    record.resize(kRecordLength, ' ');
    ASSERT_EQ(datafile::testing::Insert(kFile, record), 0);
  }
  static std::string Three(int i) {
    std::string s = std::to_string(i);
    return std::string(3 - s.size(), '0') + s;
  }
  // Runs list 1 with the keys typed one per key wait.
  static int16_t Run(const std::vector<int16_t>& keys, int16_t list = 1) {
    world.script = keys;
    int16_t result = 99;
    Browse(list, result);
    return result;
  }
  // Window row r (1..10) of list 1 at key wait w, its 26 inner columns.
  static std::string Line(size_t w, int r) { return world.screens.at(w).at(size_t(2 + r)).substr(5, 26); }
  static std::string Padded(const std::string& s) { return s + std::string(26 - s.size(), ' '); }
  // The row text of record i as the list shows it.
  static std::string Text(int i) { return Padded("K" + Three(i) + " name " + std::to_string(i)); }
  // Which window row is highlighted (role "u" attribute) at the last wait is
  // not recorded; the current line shows in the record buffer after Enter.
  static std::string Chosen() { return std::string(world.buffer, 4); }
  static long CacheSize(size_t w) { return long(world.caches.at(w).size()); }

  platform::TestDir data_;
  std::string root_;
};

TEST_F(BrowseTest, ThreeRecordsInATenRowWindowShowThreeLinesAndDownStopsAtTheThird) {
  AddRecords(3);
  const std::string before = Snapshot();
  EXPECT_EQ(Run({kKeyDown, kKeyDown, kKeyDown, kKeyUp, kKeyEnter}), 0);
  ASSERT_EQ(world.screens.size(), 5u);
  EXPECT_EQ(Line(0, 1), Text(1));
  EXPECT_EQ(Line(0, 2), Text(2));
  EXPECT_EQ(Line(0, 3), Text(3));
  for (int r = 4; r <= 10; ++r) EXPECT_EQ(Line(0, r), Padded("")) << r;
  // Down on the third line did nothing, Up went to the second: that record
  // is chosen, read again by position although the list had read past it.
  EXPECT_EQ(Chosen(), "K002");
  // The frame and its heading: "   _LLISTA_" with blanks as the frame line.
  EXPECT_EQ(world.screens[0][2].substr(4, 28),
            "\xC9\xCD\xCD\xCD LLISTA " + std::string(15, '\xCD') + "\xBB");
  EXPECT_EQ(world.screens[0][13].substr(4, 1), "\xC0");  // single-line frame below
  // Everything as it was: screen, window, key set, cache file gone.
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(screen.WindowDepth, 0);
  EXPECT_EQ(access(world.cachePath.c_str(), F_OK), -1);
  EXPECT_TRUE(world.picks.empty());  // BrowsePick is the form engine's call
}

TEST_F(BrowseTest, TheCacheHoldsTheFetchedLinesInItsByteLayout) {
  AddRecords(3);
  // The records' physical positions, as the list stores them.
  std::vector<int32_t> positions;
  int16_t status = 0;
  datafile::DataSeek(kFile, 0, "", 1, status);
  for (int i = 0; i < 3; ++i) {
    positions.push_back(datafile::DataPosition(kFile, 0));
    datafile::DataSkip(kFile, 1, status);
  }
  Run({});
  std::string expected;
  int32_t previous = 0;
  for (int i = 0; i < 3; ++i) {
    const int32_t at = int32_t(expected.size()) + 1;
    const std::string text = "K" + Three(i + 1) + " name " + std::to_string(i + 1);
    platform::PutFixed32(&expected, uint32_t(previous));
    platform::PutFixed32(&expected, uint32_t(positions[size_t(i)]));
    platform::PutFixed16(&expected, uint16_t(text.size()));
    expected += text;  // trailing blanks of the row text removed
    previous = at;
  }
  ASSERT_EQ(world.caches.size(), 1u);
  EXPECT_EQ(world.caches[0], expected);
  EXPECT_EQ(expected.substr(10 + 11, 4), std::string("\x01\0\0\0", 4));  // entry 2 points at 1
}

TEST_F(BrowseTest, DownOnTheLastRowScrollsByOneAndPgDnThenPgUpReturnsToThePage) {
  AddRecords(25);
  std::vector<int16_t> keys(9, kKeyDown);  // to row 10
  keys.insert(keys.end(), {kKeyDown, kKeyPgDn, kKeyPgUp, kKeyEnter});
  EXPECT_EQ(Run(keys), 0);
  ASSERT_EQ(world.screens.size(), 13u);
  // Only the lines shown are fetched: a page of 10 entries, then one more
  // ("K001 name 1" is 11 bytes, "K010 name 10" 12, each after a header of 10).
  EXPECT_EQ(world.caches[0].size(), size_t(9 * (10 + 11) + (10 + 12)));
  EXPECT_EQ(Line(9, 1), Text(1));
  EXPECT_EQ(Line(10, 1), Text(2));   // scrolled by one line
  EXPECT_EQ(Line(10, 10), Text(11));
  EXPECT_EQ(world.caches[10].size(), world.caches[0].size() + (10 + 12));
  EXPECT_EQ(Line(11, 1), Text(12));  // PgDn: the page after
  EXPECT_EQ(Line(11, 10), Text(21));
  for (int r = 1; r <= 10; ++r) EXPECT_EQ(Line(12, r), Line(10, r)) << r;  // PgUp: back
  EXPECT_EQ(Chosen(), "K011");  // the highlight kept row 10 throughout
}

TEST_F(BrowseTest, PgDnNeedsALineAfterThePageAndClampsTheHighlightAtTheEnd) {
  AddRecords(13);
  // Row 5, PgDn: 3 lines left, the highlight goes to the last (K013).
  EXPECT_EQ(Run({kKeyDown, kKeyDown, kKeyDown, kKeyDown, kKeyPgDn, kKeyPgDn, kKeyEnter}), 0);
  EXPECT_EQ(Line(5, 1), Text(11));
  EXPECT_EQ(Line(5, 3), Text(13));
  EXPECT_EQ(Line(5, 4), Padded(""));
  EXPECT_EQ(Line(6, 1), Text(11));  // no line after the page: PgDn stays
  EXPECT_EQ(Chosen(), "K013");
}

TEST_F(BrowseTest, PgDnOnAFullPageWithNothingAfterItChangesNothing) {
  AddRecords(10);
  EXPECT_EQ(Run({kKeyPgDn, kKeyEnter}), 0);
  EXPECT_EQ(Line(1, 1), Text(1));
  EXPECT_EQ(Chosen(), "K001");
}

TEST_F(BrowseTest, PgUpWithFewerThanAPageBeforeKeepsTheHighlightOnTheCurrentLine) {
  AddRecords(25);
  // To row 10 (K010), three more Downs: the page starts at K004, K013 on
  // row 10. PgUp: the first page; the current line moved back a page, to
  // K003, and the highlight is on it.
  std::vector<int16_t> keys(12, kKeyDown);
  keys.insert(keys.end(), {kKeyPgUp, kKeyEnter});
  EXPECT_EQ(Run(keys), 0);
  EXPECT_EQ(Line(12, 1), Text(4));
  EXPECT_EQ(Line(13, 1), Text(1));
  EXPECT_EQ(Chosen(), "K003");

  // Near the top of that page (row 2, K005): back a page would be before
  // the first line, so the highlight is on row 1.
  world.screens.clear();
  world.next = 0;
  keys.assign(12, kKeyDown);
  keys.insert(keys.end(), 8, kKeyUp);
  keys.insert(keys.end(), {kKeyPgUp, kKeyEnter});
  EXPECT_EQ(Run(keys), 0);
  EXPECT_EQ(Line(20, 2), Text(5));
  EXPECT_EQ(Line(21, 1), Text(1));
  EXPECT_EQ(Chosen(), "K001");
  // PgUp on the first page does nothing.
  world.screens.clear();
  world.next = 0;
  EXPECT_EQ(Run({kKeyDown, kKeyPgUp, kKeyEnter}), 0);
  EXPECT_EQ(Chosen(), "K002");
}

TEST_F(BrowseTest, LongLinesScrollSidewaysWithTheHeadingAndItsArrows) {
  // List 2: 4 rows of 10 columns (rows 3-8, columns 5-16); lines of 25
  // characters, so the offset H runs from 1 to 16.
  AddList(2, 3, 5, 8, 16, "   _LLISTA_");  // 11 characters
  AddRecord("A001", "abcdefghijklmnopqrst");
  AddRecord("A002", "short");
  std::vector<int16_t> keys(2, kKeyRight);           // H = 3
  keys.insert(keys.end(), 20, kKeyRight);            // stops at H = 16
  keys.insert(keys.end(), 15, kKeyLeft);             // back to H = 1
  keys.push_back(kKeyLeft);                          // nothing further left
  keys.push_back(kKeyEsc);
  EXPECT_EQ(Run(keys, 2), -1);
  const auto frame = [](size_t w) { return world.screens.at(w)[2].substr(4, 12); };
  const auto line = [](size_t w, int r) { return world.screens.at(w)[size_t(2 + r)].substr(5, 10); };
  EXPECT_EQ(frame(0), "\xC9\xCD\xCD\xCD LLISTA\x10");  // more of the heading to the right
  EXPECT_EQ(line(0, 1), "A001 abcde");
  EXPECT_EQ(frame(2), "\x11\xCD LLISTA \xCD\x10");     // H = 3: scrolled, more still
  EXPECT_EQ(line(2, 1), "01 abcdefg");
  EXPECT_EQ(line(2, 2), "02 short  ");
  EXPECT_EQ(frame(22), "\x11" + std::string(10, '\xCD') + "\xBB");  // H = 16: the end
  EXPECT_EQ(line(22, 1), "klmnopqrst");
  EXPECT_EQ(line(22, 2), std::string(10, ' '));
  EXPECT_EQ(line(21, 1), "klmnopqrst");                // Right at the end did nothing
  EXPECT_EQ(frame(37), frame(0));
  EXPECT_EQ(line(38, 1), "A001 abcde");
}

TEST_F(BrowseTest, EmptyStartAndLimitKeysListTheWholeFileAndALimitOnlyItsRange) {
  AddRecords(3, "A");
  AddRecords(2, "B");
  AddRecords(2, "C");
  Run({kKeyEsc});
  EXPECT_EQ(Line(0, 1), Padded("A001 name 1"));
  EXPECT_EQ(Line(0, 7), Padded("C002 name 2"));
  // Start "B", limit "B": the keys that begin with B, nothing after them.
  world = World();
  world.cachePath = dir_.file(browsecache::kFileName);
  world.startKey = world.limit = "B";
  EXPECT_EQ(Run({kKeyDown, kKeyDown, kKeyEnter}), 0);
  EXPECT_EQ(Line(0, 1), Padded("B001 name 1"));
  EXPECT_EQ(Line(0, 2), Padded("B002 name 2"));
  EXPECT_EQ(Line(0, 3), Padded(""));
  EXPECT_EQ(Chosen(), "B002");
  // A range with no record: an empty list, Enter chooses nothing.
  world = World();
  world.cachePath = dir_.file(browsecache::kFileName);
  world.startKey = world.limit = "AB";
  EXPECT_EQ(Run({kKeyDown, kKeyEnter}), -1);
  EXPECT_EQ(Line(0, 1), Padded(""));
}

TEST_F(BrowseTest, RecordsWithABlankRowTextArePassedOver) {
  AddRecords(3);
  AddList(9, 3, 5, 14, 32, "");  // the row-text hook gives "" for list 9
  EXPECT_EQ(Run({kKeyDown, kKeyEnter}, 9), -1);
  EXPECT_EQ(Line(0, 1), Padded(""));
  EXPECT_EQ(world.caches[0], "");
}

TEST_F(BrowseTest, EscLeavesWithMinusOneAndNothingChosen) {
  AddRecords(3);
  EXPECT_EQ(Run({kKeyDown, kKeyEsc}), -1);
  EXPECT_TRUE(world.picks.empty());
}

TEST_F(BrowseTest, AnEscTypedWhileLinesAreFetchedEndsTheListAtTheLinesHeld) {
  AddRecords(25);
  testing::QueueKeyCode(kKeyEsc);  // waiting before the first line is fetched
  EXPECT_EQ(Run({kKeyDown, kKeyPgDn, kKeyEnter}), 0);
  EXPECT_EQ(Line(0, 1), Text(1));
  EXPECT_EQ(Line(0, 2), Padded(""));
  EXPECT_EQ(world.caches[2].size(), size_t(10 + 11));  // one entry, never more
  EXPECT_EQ(Chosen(), "K001");

  // Another key waiting is left for the list's own key wait.
  world = World();
  world.cachePath = dir_.file(browsecache::kFileName);
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
  EXPECT_TRUE(datafile::table.LockStack.empty());
}

TEST_F(BrowseTest, DataFileZeroGivesAnEmptyListInWhichEnterChoosesNothing) {
  AddRecords(2);
  AddList(3, 3, 5, 14, 32, "", 0, 0);
  EXPECT_EQ(Run({kKeyDown, kKeyPgDn, kKeyEnter}, 3), -1);
  EXPECT_EQ(Line(0, 1), Padded(""));
  EXPECT_EQ(world.caches[0], "");
}

TEST_F(BrowseTest, AListThatCannotBeShownGivesMinusOneAndLeavesTheScreen) {
  const std::string before = Snapshot();
  AddList(4, 3, 5, 4, 32, "");   // no row between the frame lines
  AddList(5, 3, 5, 30, 32, "");  // below the screen
  int16_t list = 4, result = 0;
  Browse(list, result);
  EXPECT_EQ(result, -1);
  list = 5;
  Browse(list, result);
  EXPECT_EQ(result, -1);
  list = 6;  // not in the form
  Browse(list, result);
  EXPECT_EQ(result, -1);
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(screen.ColourStack, "");
  EXPECT_TRUE(datafile::table.LockStack.empty());
}

TEST_F(BrowseTest, ACacheThatCannotBeWrittenEndsTheListAtTheLinesHeld) {
  AddRecords(3);
  // Every write to the cache fails (the full device).
  ASSERT_EQ(symlink("/dev/full", world.cachePath.c_str()), 0);
  world.cachePath = dir_.file("not read");  // the device would never end
  EXPECT_EQ(Run({kKeyDown, kKeyEnter}), -1);
  EXPECT_EQ(Line(0, 1), Padded(""));
  // A temporary directory that does not exist: not even the window can be
  // saved, so nothing is shown and nothing chosen.
  config::session.TempDir = dir_.file("missing/");
  world.screens.clear();
  world.next = 0;
  const std::string before = Snapshot();
  EXPECT_EQ(Run({kKeyEnter}), -1);
  EXPECT_TRUE(world.screens.empty());
  EXPECT_EQ(Snapshot(), before);
  EXPECT_TRUE(datafile::table.LockStack.empty());
}

TEST_F(BrowseTest, F4OpensTheSecondaryListAndItsPickIsMadeThere) {
  AddRecords(3);
  form.Lists[1].SecondaryList = 2;
  AddList(2, 5, 40, 12, 70, "");
  // List 1: Down, F4; list 2: Down, Down, Enter.
  EXPECT_EQ(Run({kKeyDown, kKeyF4, kKeyDown, kKeyDown, kKeyEnter}), 0);
  ASSERT_EQ(world.picks.size(), 1u);
  EXPECT_EQ(world.picks[0], "2/0/0:K003");
  EXPECT_EQ(world.screens[2][5].substr(40, 29), "K001 name 1" + std::string(18, ' '));  // list 2
  // F4 in a list without a secondary list does nothing.
  form.Lists[1].SecondaryList = 0;
  world = World();
  world.cachePath = dir_.file(browsecache::kFileName);
  EXPECT_EQ(Run({kKeyF4, kKeyEnter}), 0);
  EXPECT_TRUE(world.picks.empty());
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
