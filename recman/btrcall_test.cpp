// Semantics of BTRCALL through real files and a real server: create, open,
// the gets in both directions, duplicates, positions, writes, statuses for
// bad input. Every test of RecmanTest runs against both engines
// (test_engines.h); SqliteRecmanTest holds the tests of what only SQLite
// files have (files on disk to scribble on, the lock file).
#include "recman/btrcall.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <random>

#include "platform/coding.h"
#include "platform/test_dir.h"
#include "recman/file_check.h"
#include "recman/sqlite/lock_file.h"
#include "recman/record_manager.h"
#include "recman/test_engines.h"
#include "recman/recman_test_support.h"

namespace recman {
namespace {

using testing_support::CreateFile;
using testing_support::EngineKind;
using testing_support::Handle;
using testing_support::TestSuite;
using testing_support::Seg;
using platform::TestDir;

// Record of 20 bytes: name[8] (0-7), code u16 (8-9), amount i32 (10-13),
// note[6] (14-19).
std::string Rec(const std::string& name, uint16_t code, int32_t amount,
                const std::string& note = "") {
  std::string r(20, '\0');
  std::string n = name;
  n.resize(8, ' ');
  r.replace(0, 8, n);
  platform::EncodeFixed16(&r[8], code);
  platform::EncodeFixed32(&r[10], uint32_t(amount));
  std::string t = note;
  t.resize(6, ' ');
  r.replace(14, 6, t);
  return r;
}
std::string Name(const std::string& rec) { return rec.substr(0, 8); }
std::string Note(const std::string& rec) { return rec.substr(14, 6); }
std::string Pad(const std::string& s, size_t n) {
  std::string r = s;
  r.resize(n, ' ');
  return r;
}

// Key 0: name, duplicates, modifiable. Key 1: amount (signed) then code
// (unsigned), unique, segments out of record order. Key 2: note, descending,
// duplicates, modifiable.
std::string PeopleSpec() {
  return EncodeLayout(20, 1024, 0,
                      {{Seg(1, 8, KF_DUPLICATES | KF_MODIFIABLE)},
                       {Seg(11, 4, KF_EXTENDED_TYPE, XT_INTEGER), Seg(9, 2, KF_BINARY)},
                       {Seg(15, 6, KF_DUPLICATES | KF_MODIFIABLE | KF_DESCENDING)}},
                      {});
}

class RecmanTest : public ::testing::TestWithParam<EngineKind> {
 protected:
  void SetUp() override {
    ZUL_REQUIRE_ENGINE(GetParam());
    manager = RecmanState();
    path_ = suite_.File("people.dat");
    ASSERT_EQ(CreateFile(path_, PeopleSpec()), 0);
    ASSERT_EQ(h_.Open(path_), 0);
  }
  void TearDown() override { manager = RecmanState(); }

  // Names read along key 0 with op First/Next (or Last/Previous).
  std::vector<std::string> Walk(Handle& h, int key, bool forward) {
    std::vector<std::string> out;
    int16_t st = h.Get(forward ? B_GET_FIRST : B_GET_LAST, int16_t(key));
    while (st == 0) {
      out.push_back(Note(h.data));
      st = h.Step(forward ? B_GET_NEXT : B_GET_PREVIOUS, int16_t(key));
    }
    EXPECT_EQ(st, B_END_OF_FILE);
    return out;
  }

  TestDir dir_;
  TestSuite suite_{dir_, GetParam()};
  std::string path_;
  Handle h_;
};

INSTANTIATE_TEST_SUITE_P(Engines, RecmanTest,
                         ::testing::Values(EngineKind::kSqlite, EngineKind::kServer),
                         testing_support::EngineName);

class SqliteRecmanTest : public RecmanTest {};
INSTANTIATE_TEST_SUITE_P(Files, SqliteRecmanTest, ::testing::Values(EngineKind::kSqlite),
                         testing_support::EngineName);

TEST_P(RecmanTest, StatReturnsTheLayoutAsCreatedWithTheRecordCount) {
  ASSERT_EQ(h_.Insert(Rec("A", 1, 1)), 0);
  ASSERT_EQ(h_.Insert(Rec("B", 2, 2)), 0);
  ASSERT_EQ(h_.Call(B_STAT, "", "", 0, 1536), 0);
  std::string expected = PeopleSpec();
  ASSERT_EQ(h_.length, expected.size());
  EXPECT_EQ(platform::DecodeFixed32(h_.data.data() + FS_RECORD_COUNT), 2u);
  std::string got = h_.data;
  std::memset(&got[FS_RECORD_COUNT], 0, 4);
  EXPECT_EQ(got, expected);
  // A buffer too short for it: what fits, and 22.
  EXPECT_EQ(h_.Call(B_STAT, "", "", 0, 10), B_DATA_BUFFER_LENGTH);
  EXPECT_EQ(h_.length, 10u);
}

TEST_P(RecmanTest, StatKeepsTheAlternateCollatingSequence) {
  AcsDef acs;
  acs.name = "UPPER";
  for (int i = 0; i < 256; ++i) acs.table[i] = uint8_t(i >= 'a' && i <= 'z' ? i - 32 : i);
  std::string creation = EncodeLayout(10, 512, 0, {{Seg(1, 10, KF_ALT_COLLATING)}}, {acs});
  std::string p = suite_.File("acs.dat");
  ASSERT_EQ(CreateFile(p, creation), 0);
  Handle h;
  ASSERT_EQ(h.Open(p), 0);
  ASSERT_EQ(h.Call(B_STAT, "", "", 0, 1536), 0);
  EXPECT_EQ(h.data, creation);
  EXPECT_EQ(uint8_t(h.data[FS_SIZE + KS_SIZE]), ACS_SIGNATURE_BYTE);
}

TEST_P(RecmanTest, DuplicatesComeInInsertionOrderForwardsAndReversedBackwards) {
  ASSERT_EQ(h_.Insert(Rec("SMITH", 1, 10, "s1")), 0);
  ASSERT_EQ(h_.Insert(Rec("JONES", 2, 20, "j1")), 0);
  ASSERT_EQ(h_.Insert(Rec("SMITH", 3, 30, "s2")), 0);
  ASSERT_EQ(h_.Insert(Rec("ADAMS", 4, 40, "a1")), 0);
  ASSERT_EQ(h_.Insert(Rec("SMITH", 5, 50, "s3")), 0);
  std::vector<std::string> fwd = Walk(h_, 0, true);
  std::vector<std::string> want = {Pad("a1", 6), Pad("j1", 6), Pad("s1", 6),
                                   Pad("s2", 6), Pad("s3", 6)};
  EXPECT_EQ(fwd, want);
  std::vector<std::string> back = Walk(h_, 0, false);
  std::reverse(want.begin(), want.end());
  EXPECT_EQ(back, want);

  // Get Equal finds the first of the duplicates; Next and Previous go on
  // from there, also after another open inserts one more.
  ASSERT_EQ(h_.Get(B_GET_EQUAL, 0, Pad("SMITH", 8)), 0);
  EXPECT_EQ(Note(h_.data), Pad("s1", 6));
  EXPECT_EQ(h_.key.substr(0, 8), Pad("SMITH", 8));
  Handle other;
  ASSERT_EQ(other.Open(path_), 0);
  ASSERT_EQ(other.Insert(Rec("SMITH", 6, 60, "s4")), 0);
  ASSERT_EQ(h_.Step(B_GET_NEXT, 0), 0);
  EXPECT_EQ(Note(h_.data), Pad("s2", 6));
  ASSERT_EQ(h_.Step(B_GET_PREVIOUS, 0), 0);
  EXPECT_EQ(Note(h_.data), Pad("s1", 6));
  ASSERT_EQ(h_.Step(B_GET_PREVIOUS, 0), 0);
  EXPECT_EQ(Note(h_.data), Pad("j1", 6));
  ASSERT_EQ(h_.Get(B_GET_LAST, 0), 0);
  EXPECT_EQ(Note(h_.data), Pad("s4", 6));
  EXPECT_EQ(h_.Step(B_GET_NEXT, 0), B_END_OF_FILE);
  // A failed Next leaves the currency where it was.
  ASSERT_EQ(h_.Step(B_GET_PREVIOUS, 0), 0);
  EXPECT_EQ(Note(h_.data), Pad("s3", 6));
}

// After each kind of positioning, Next and Previous give the neighbours of
// the record found, duplicates included, in (key, insertion) order.
TEST_P(RecmanTest, NextAndPreviousAfterEachKindOfPositioning) {
  // Key 0 order: B/b1, D/d1, D/d2, D/d3, F/f1.
  ASSERT_EQ(h_.Insert(Rec("D", 1, 1, "d1")), 0);
  ASSERT_EQ(h_.Insert(Rec("B", 2, 2, "b1")), 0);
  ASSERT_EQ(h_.Insert(Rec("D", 3, 3, "d2")), 0);
  ASSERT_EQ(h_.Insert(Rec("F", 4, 4, "f1")), 0);
  ASSERT_EQ(h_.Insert(Rec("D", 5, 5, "d3")), 0);
  ASSERT_EQ(h_.Get(B_GET_EQUAL, 0, Pad("D", 8)), 0);
  ASSERT_EQ(h_.Step(B_GET_NEXT, 0), 0);
  ASSERT_EQ(h_.Call(B_GET_POSITION, "", "", 0, 4), 0);
  const std::string posD2 = h_.data;
  struct Case {
    const char* what;
    std::function<int16_t(Handle&)> position;
    const char* found;
    const char* next;  // "" = end of file
    const char* previous;
  };
  std::vector<Case> cases = {
      {"equal", [](Handle& h) { return h.Get(B_GET_EQUAL, 0, Pad("D", 8)); }, "d1", "d2", "b1"},
      {"greater", [](Handle& h) { return h.Get(B_GET_GREATER, 0, Pad("B", 8)); }, "d1", "d2", "b1"},
      {"greater or equal", [](Handle& h) { return h.Get(B_GET_GE, 0, Pad("C", 8)); },
       "d1", "d2", "b1"},
      {"less", [](Handle& h) { return h.Get(B_GET_LESS, 0, Pad("F", 8)); }, "d3", "f1", "d2"},
      {"less or equal", [](Handle& h) { return h.Get(B_GET_LE, 0, Pad("E", 8)); },
       "d3", "f1", "d2"},
      {"first", [](Handle& h) { return h.Get(B_GET_FIRST, 0); }, "b1", "d1", ""},
      {"last", [](Handle& h) { return h.Get(B_GET_LAST, 0); }, "f1", "", "d3"},
      {"direct", [&](Handle& h) { return h.Call(B_GET_DIRECT, posD2, "", 0, 1536); },
       "d2", "d3", "d1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Handle h;
    ASSERT_EQ(h.Open(path_), 0);
    ASSERT_EQ(c.position(h), 0);
    EXPECT_EQ(Note(h.data), Pad(c.found, 6));
    int16_t st = h.Step(B_GET_NEXT, 0);
    if (*c.next) {
      ASSERT_EQ(st, 0);
      EXPECT_EQ(Note(h.data), Pad(c.next, 6));
      ASSERT_EQ(h.Step(B_GET_PREVIOUS, 0), 0);  // back to the record found
    } else {
      EXPECT_EQ(st, B_END_OF_FILE);
    }
    st = h.Step(B_GET_PREVIOUS, 0);
    if (*c.previous) {
      ASSERT_EQ(st, 0);
      EXPECT_EQ(Note(h.data), Pad(c.previous, 6));
    } else {
      EXPECT_EQ(st, B_END_OF_FILE);
    }
  }
}

TEST_P(RecmanTest, RelationalGetsAlongASegmentedSignedAndBinaryKey) {
  // Key 1 = (amount signed, code unsigned little-endian).
  ASSERT_EQ(h_.Insert(Rec("A", 0x0102, -5, "m5")), 0);
  ASSERT_EQ(h_.Insert(Rec("B", 0x0201, -5, "m5b")), 0);
  ASSERT_EQ(h_.Insert(Rec("C", 1, 0, "z")), 0);
  ASSERT_EQ(h_.Insert(Rec("D", 1, 300, "p300")), 0);
  ASSERT_EQ(h_.Insert(Rec("E", 1, -70000, "m7")), 0);
  EXPECT_EQ(Walk(h_, 1, true),
            (std::vector<std::string>{Pad("m7", 6), Pad("m5", 6), Pad("m5b", 6),
                                      Pad("z", 6), Pad("p300", 6)}));
  auto key1 = [](int32_t amount, uint16_t code) {
    std::string r = Rec("", code, amount);
    return r.substr(10, 4) + r.substr(8, 2);
  };
  ASSERT_EQ(h_.Get(B_GET_EQUAL, 1, key1(-5, 0x0201)), 0);
  EXPECT_EQ(Name(h_.data), Pad("B", 8));
  EXPECT_EQ(h_.key.substr(0, 6), key1(-5, 0x0201));
  EXPECT_EQ(h_.Get(B_GET_EQUAL, 1, key1(-5, 7)), B_KEY_NOT_FOUND);
  ASSERT_EQ(h_.Get(B_GET_GREATER, 1, key1(-5, 0x0201)), 0);
  EXPECT_EQ(Name(h_.data), Pad("C", 8));
  ASSERT_EQ(h_.Get(B_GET_GE, 1, key1(-5, 0x0201)), 0);
  EXPECT_EQ(Name(h_.data), Pad("B", 8));
  ASSERT_EQ(h_.Get(B_GET_LESS, 1, key1(0, 1)), 0);
  EXPECT_EQ(Name(h_.data), Pad("B", 8));
  ASSERT_EQ(h_.Get(B_GET_LE, 1, key1(0, 1)), 0);
  EXPECT_EQ(Name(h_.data), Pad("C", 8));
  ASSERT_EQ(h_.Get(B_GET_LE, 1, key1(1, 0)), 0);
  EXPECT_EQ(Name(h_.data), Pad("C", 8));
  EXPECT_EQ(h_.Get(B_GET_GREATER, 1, key1(300, 1)), B_END_OF_FILE);
  EXPECT_EQ(h_.Get(B_GET_LESS, 1, key1(-70000, 1)), B_END_OF_FILE);
  // Next after a relational get continues along the key.
  ASSERT_EQ(h_.Get(B_GET_GE, 1, key1(-6, 0)), 0);
  EXPECT_EQ(Name(h_.data), Pad("A", 8));
  ASSERT_EQ(h_.Step(B_GET_NEXT, 1), 0);
  EXPECT_EQ(Name(h_.data), Pad("B", 8));
}

TEST_P(RecmanTest, DescendingKeyRunsBackwardsAndUniqueKeyRefusesDuplicates) {
  ASSERT_EQ(h_.Insert(Rec("A", 1, 1, "aaa")), 0);
  ASSERT_EQ(h_.Insert(Rec("B", 2, 1, "ccc")), 0);
  ASSERT_EQ(h_.Insert(Rec("C", 3, 1, "bbb")), 0);
  EXPECT_EQ(Walk(h_, 2, true),
            (std::vector<std::string>{Pad("ccc", 6), Pad("bbb", 6), Pad("aaa", 6)}));
  EXPECT_EQ(h_.Insert(Rec("D", 2, 1, "ddd")), B_DUPLICATE_KEY);
  Handle check;
  ASSERT_EQ(check.Open(path_), 0);
  ASSERT_EQ(check.Call(B_STAT, "", "", 0, 1536), 0);
  EXPECT_EQ(platform::DecodeFixed32(check.data.data() + FS_RECORD_COUNT), 3u);
}

TEST_P(RecmanTest, CaseInsensitiveCollatedAndNullKeys) {
  AcsDef acs;  // sorts digits after letters
  acs.name = "DIGLAST";
  for (int i = 0; i < 256; ++i) acs.table[i] = uint8_t(i);
  for (int d = '0'; d <= '9'; ++d) acs.table[d] = uint8_t(0xF0 + d - '0');
  SegmentDef nullSeg = Seg(9, 2, KF_DUPLICATES | KF_NULL);
  nullSeg.nullValue = ' ';
  std::string creation = EncodeLayout(
      10, 512, 0,
      {{Seg(1, 4, KF_DUPLICATES | KF_CASE_INSENSITIVE)},
       {Seg(5, 4, KF_DUPLICATES | KF_ALT_COLLATING)},
       {nullSeg}},
      {acs});
  std::string p = suite_.File("kinds.dat");
  ASSERT_EQ(CreateFile(p, creation), 0);
  Handle h;
  ASSERT_EQ(h.Open(p), 0);
  ASSERT_EQ(h.Insert("abcd9zzzXY"), 0);
  ASSERT_EQ(h.Insert("ABCEazzz  "), 0);
  ASSERT_EQ(h.Insert("Abcczzzz Y"), 0);
  ASSERT_EQ(h.Get(B_GET_EQUAL, 0, "ABCD"), 0);
  EXPECT_EQ(h.data, "abcd9zzzXY");
  EXPECT_EQ(h.key.substr(0, 4), "abcd");  // the value as stored, not the image
  std::vector<std::string> byAcs;
  for (int16_t st = h.Get(B_GET_FIRST, 1); st == 0; st = h.Step(B_GET_NEXT, 1))
    byAcs.push_back(h.data.substr(4, 4));
  EXPECT_EQ(byAcs, (std::vector<std::string>{"azzz", "zzzz", "9zzz"}));
  // Key 2 leaves out the record whose segment is all null value (blanks);
  // " Y" is an ordinary value.
  std::vector<std::string> byNull;
  for (int16_t st = h.Get(B_GET_FIRST, 2); st == 0; st = h.Step(B_GET_NEXT, 2))
    byNull.push_back(h.data.substr(8, 2));
  EXPECT_EQ(byNull, (std::vector<std::string>{" Y", "XY"}));
}

TEST_P(RecmanTest, BlankStringIsAnOrdinaryValueWithoutTheNullFlag) {
  ASSERT_EQ(h_.Insert(Rec("", 1, 1)), 0);
  ASSERT_EQ(h_.Get(B_GET_EQUAL, 0, Pad("", 8)), 0);
  EXPECT_EQ(h_.Get(B_GET_FIRST, 0), 0);
}

TEST_P(RecmanTest, ShortDataBufferReturnsWhatFitsAndStatus22) {
  ASSERT_EQ(h_.Insert(Rec("SHORT", 1, 1, "tail")), 0);
  ASSERT_EQ(h_.Get(B_GET_FIRST, 0, "", 5), B_DATA_BUFFER_LENGTH);
  EXPECT_EQ(h_.length, 5u);
  EXPECT_EQ(h_.data, "SHORT");
  EXPECT_EQ(h_.key.substr(0, 8), Pad("SHORT", 8));  // key still complete
  // The record is current: Get Position works.
  EXPECT_EQ(h_.Call(B_GET_POSITION, "", "", 0, 4), 0);
}

TEST_P(RecmanTest, GetDirectMakesTheGivenKeyTheCurrentPath) {
  ASSERT_EQ(h_.Insert(Rec("A", 1, 30, "n1")), 0);
  ASSERT_EQ(h_.Insert(Rec("B", 2, 10, "n2")), 0);
  ASSERT_EQ(h_.Insert(Rec("C", 3, 20, "n3")), 0);
  ASSERT_EQ(h_.Get(B_GET_EQUAL, 0, Pad("B", 8)), 0);
  ASSERT_EQ(h_.Call(B_GET_POSITION, "", "", 0, 4), 0);
  std::string posB = h_.data;
  ASSERT_EQ(h_.Get(B_GET_FIRST, 0), 0);
  // Direct to B along key 1 (amount): the next record by amount is C (20).
  ASSERT_EQ(h_.Call(B_GET_DIRECT, posB, "", 1, 1536), 0);
  EXPECT_EQ(Name(h_.data), Pad("B", 8));
  EXPECT_EQ(h_.key.substr(0, 4), Rec("", 0, 10).substr(10, 4));
  ASSERT_EQ(h_.Step(B_GET_NEXT, 1), 0);
  EXPECT_EQ(Name(h_.data), Pad("C", 8));
  EXPECT_EQ(h_.Step(B_GET_NEXT, 0), B_DIFFERENT_KEY_NUMBER);
  // Unknown positions.
  EXPECT_EQ(h_.Call(B_GET_DIRECT, std::string("\x99\x99\0\0", 4), "", 0, 1536),
            B_INVALID_RECORD_ADDRESS);
  EXPECT_EQ(h_.Call(B_GET_DIRECT, std::string(4, '\0'), "", 0, 1536),
            B_INVALID_RECORD_ADDRESS);
  EXPECT_EQ(h_.Call(B_GET_DIRECT, posB.substr(0, 2), "", 0, 2), B_DATA_BUFFER_LENGTH);
}

TEST_P(RecmanTest, WritesFollowTheCurrentRecord) {
  ASSERT_EQ(h_.Insert(Rec("A", 1, 1)), 0);
  ASSERT_EQ(h_.Insert(Rec("C", 2, 2)), 0);
  ASSERT_EQ(h_.Insert(Rec("E", 3, 3)), 0);
  ASSERT_EQ(h_.Get(B_GET_EQUAL, 0, Pad("C", 8)), 0);
  ASSERT_EQ(h_.Update(Rec("F", 2, 2)), 0);   // name is modifiable
  EXPECT_EQ(h_.key.substr(0, 8), Pad("F", 8));
  EXPECT_EQ(h_.Step(B_GET_NEXT, 0), B_END_OF_FILE);  // F is now last
  ASSERT_EQ(h_.Step(B_GET_PREVIOUS, 0), 0);
  EXPECT_EQ(Name(h_.data), Pad("E", 8));
  EXPECT_EQ(h_.Update(Rec("E", 3, 4)), B_MODIFIABLE_KEY_ERROR);  // key 1 is not
  ASSERT_EQ(h_.Delete(), 0);
  EXPECT_EQ(h_.Delete(), B_INVALID_POSITIONING);
  EXPECT_EQ(h_.Update(Rec("E", 3, 3)), B_INVALID_POSITIONING);
  EXPECT_EQ(h_.Call(B_GET_POSITION, "", "", 0, 4), B_INVALID_POSITIONING);
  ASSERT_EQ(h_.Step(B_GET_NEXT, 0), 0);  // from where E stood
  EXPECT_EQ(Name(h_.data), Pad("F", 8));
  ASSERT_EQ(h_.Step(B_GET_PREVIOUS, 0), 0);
  EXPECT_EQ(Name(h_.data), Pad("A", 8));
}

TEST_P(RecmanTest, AnUpdateBasedOnAStaleReadGivesConflict) {
  ASSERT_EQ(h_.Insert(Rec("A", 1, 1, "v1")), 0);
  Handle other;
  ASSERT_EQ(other.Open(path_), 0);
  ASSERT_EQ(h_.Get(B_GET_FIRST, 0), 0);
  ASSERT_EQ(other.Get(B_GET_FIRST, 0), 0);
  ASSERT_EQ(other.Update(Rec("A", 1, 1, "v2")), 0);
  EXPECT_EQ(h_.Update(Rec("A", 1, 1, "v3")), B_CONFLICT);
  ASSERT_EQ(h_.Get(B_GET_FIRST, 0), 0);
  EXPECT_EQ(Note(h_.data), Pad("v2", 6));
  // The record deleted and another inserted: the new one never takes the
  // old position, so the stale update cannot overwrite it.
  ASSERT_EQ(other.Get(B_GET_FIRST, 0), 0);
  ASSERT_EQ(other.Call(B_GET_POSITION, "", "", 0, 4), 0);
  const std::string oldPos = other.data;
  ASSERT_EQ(other.Delete(), 0);
  ASSERT_EQ(other.Insert(Rec("A", 1, 1, "new")), 0);
  ASSERT_EQ(other.Call(B_GET_POSITION, "", "", 0, 4), 0);
  EXPECT_NE(other.data, oldPos);
  EXPECT_EQ(h_.Update(Rec("A", 1, 1, "stale")), B_CONFLICT);
  EXPECT_EQ(h_.Call(B_GET_DIRECT, oldPos, "", 0, 1536), B_INVALID_RECORD_ADDRESS);
}

TEST_P(RecmanTest, EachPositionBlockHasItsOwnLocks) {
  ASSERT_EQ(h_.Insert(Rec("A", 1, 1)), 0);
  ASSERT_EQ(h_.Insert(Rec("B", 2, 2)), 0);
  Handle other;
  ASSERT_EQ(other.Open(path_), 0);
  ASSERT_EQ(h_.Get(B_GET_FIRST + B_LOCK_SINGLE_NOWAIT, 0), 0);
  EXPECT_EQ(other.Get(B_GET_FIRST + B_LOCK_SINGLE_NOWAIT, 0), B_RECORD_LOCKED);
  ASSERT_EQ(other.Get(B_GET_FIRST, 0), 0);  // reading without a lock is fine
  EXPECT_EQ(other.Update(Rec("A", 1, 1, "x")), B_RECORD_LOCKED);
  EXPECT_EQ(other.Delete(), B_RECORD_LOCKED);
  ASSERT_EQ(other.Get(B_GET_LAST + B_LOCK_SINGLE_NOWAIT, 0), 0);  // B is free
  // The next lock releases the previous one.
  ASSERT_EQ(h_.Get(B_GET_EQUAL + B_LOCK_SINGLE_NOWAIT, 0, Pad("B", 8)), B_RECORD_LOCKED);
  ASSERT_EQ(other.Call(B_UNLOCK, "", "", 0), 0);
  ASSERT_EQ(h_.Get(B_GET_EQUAL + B_LOCK_SINGLE_NOWAIT, 0, Pad("B", 8)), 0);
  EXPECT_EQ(other.Get(B_GET_FIRST + B_LOCK_SINGLE_WAIT, 0), 0);  // A free again
  // Update releases the lock it holds.
  ASSERT_EQ(h_.Update(Rec("B", 2, 2, "upd")), 0);
  EXPECT_EQ(other.Get(B_GET_LAST + B_LOCK_SINGLE_NOWAIT, 0), 0);
  // Close releases everything.
  ASSERT_EQ(other.Close(), 0);
  EXPECT_EQ(h_.Get(B_GET_FIRST + B_LOCK_SINGLE_NOWAIT, 0), 0);
}

TEST_P(RecmanTest, ExclusiveOpenKeepsOthersOut) {
  Handle other;
  EXPECT_EQ(other.Open(path_, B_MODE_EXCLUSIVE), B_FILE_LOCKED);
  ASSERT_EQ(h_.Close(), 0);
  ASSERT_EQ(other.Open(path_, B_MODE_EXCLUSIVE), 0);
  Handle third;
  EXPECT_EQ(third.Open(path_), B_FILE_LOCKED);
  EXPECT_EQ(CreateFile(path_, PeopleSpec(), B_CREATE_REPLACE), B_FILE_LOCKED);
  ASSERT_EQ(other.Close(), 0);
  EXPECT_EQ(third.Open(path_), 0);
}

TEST_P(RecmanTest, ReadOnlyOpenRefusesWrites) {
  Handle ro;
  ASSERT_EQ(ro.Open(path_, B_MODE_READ_ONLY), 0);
  EXPECT_EQ(ro.Insert(Rec("A", 1, 1)), B_ACCESS_DENIED);
}

TEST_P(RecmanTest, OwnerNameGuardsTheFile) {
  const std::string owner("ZUL1\0", 5);
  ASSERT_EQ(h_.Call(B_SET_OWNER, owner, owner, 0, 5, 5), 0);
  EXPECT_EQ(h_.Call(B_SET_OWNER, owner, owner, 0, 5, 5), B_OWNER_ALREADY_SET);
  ASSERT_EQ(h_.Close(), 0);
  Handle a;
  EXPECT_EQ(a.Open(path_, 0, std::string("NOPE\0", 5)), B_INVALID_OWNER);
  EXPECT_EQ(a.Open(path_), B_INVALID_OWNER);
  ASSERT_EQ(a.Open(path_, 0, owner), 0);
  ASSERT_EQ(a.Call(B_CLEAR_OWNER, "", "", 0), 0);
  Handle b;
  EXPECT_EQ(b.Open(path_), 0);
}

TEST_P(RecmanTest, CreateNeverReplacesWithModeMinusOne) {
  ASSERT_EQ(h_.Insert(Rec("KEEP", 1, 1)), 0);
  ASSERT_EQ(h_.Close(), 0);
  EXPECT_EQ(CreateFile(path_, PeopleSpec(), B_CREATE_NO_REPLACE), B_FILE_EXISTS);
  Handle h;
  ASSERT_EQ(h.Open(path_), 0);
  EXPECT_EQ(h.Get(B_GET_FIRST, 0), 0);
  ASSERT_EQ(h.Close(), 0);
  ASSERT_EQ(CreateFile(path_, PeopleSpec(), B_CREATE_REPLACE), 0);
  ASSERT_EQ(h.Open(path_), 0);
  EXPECT_EQ(h.Get(B_GET_FIRST, 0), B_END_OF_FILE);
}

// Two programs creating the same missing file at once: the one that finds
// the other at work waits, then reports the file as existing (59), or
// creates it itself if the other gave up.
TEST_P(SqliteRecmanTest, CreateWithoutReplacingWaitsForAConcurrentCreator) {
  for (bool otherSucceeds : {true, false}) {
    SCOPED_TRACE(otherSucceeds);
    std::string p = suite_.File(otherSucceeds ? "racing1.dat" : "racing2.dat");
    LockFile other;  // the other creator, at work
    ASSERT_EQ(other.Open(p, /*exclusive=*/true), 0);
    pid_t child = fork();
    if (child == 0) {
      int16_t st = CreateFile(p, PeopleSpec(), B_CREATE_NO_REPLACE);
      _exit(st == (otherSucceeds ? B_FILE_EXISTS : B_OK) ? 0 : 1);
    }
    usleep(200 * 1000);
    if (otherSucceeds) std::ofstream(p) << "made by the other";
    other.Close();
    int st = 0;
    waitpid(child, &st, 0);
    EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0);
  }
  Handle h;
  EXPECT_EQ(h.Open(suite_.File("racing2.dat")), 0);
}

TEST_P(RecmanTest, BadCreationLayoutsAreRefused) {
  std::string p = suite_.File("bad.dat");
  EXPECT_EQ(CreateFile(p, EncodeLayout(20, 1000, 0, {}, {})), B_PAGE_SIZE_ERROR);
  EXPECT_EQ(CreateFile(p, EncodeLayout(0, 1024, 0, {}, {})), B_INVALID_RECORD_LENGTH);
  EXPECT_EQ(CreateFile(p, EncodeLayout(20, 1024, 0, {{Seg(15, 8)}}, {})),
            B_INVALID_KEY_POSITION);
  EXPECT_EQ(CreateFile(p, EncodeLayout(20, 1024, 0, {{Seg(1, 0)}}, {})),
            B_INVALID_KEY_LENGTH);
  EXPECT_EQ(CreateFile(p, EncodeLayout(20, 1024, 0,
                                       {{Seg(1, 3, KF_EXTENDED_TYPE, XT_INTEGER)}}, {})),
            B_INVALID_KEY_LENGTH);
  EXPECT_EQ(CreateFile(p, EncodeLayout(20, 1024, 0, {{Seg(1, 3, KF_EXTENDED_TYPE, 77)}}, {})),
            B_EXTENDED_TYPE_ERROR);
  EXPECT_EQ(CreateFile(p, EncodeLayout(20, 1024, 0, {{Seg(1, 3, KF_ALT_COLLATING)}}, {})),
            B_INVALID_ALTERNATE_SEQUENCE);
  Handle h;
  EXPECT_EQ(h.Open(p), B_FILE_NOT_FOUND);
}

TEST_P(RecmanTest, BadCallsGetStatuses) {
  ASSERT_EQ(h_.Insert(Rec("A", 1, 1)), 0);
  EXPECT_EQ(h_.Call(99, "", "", 0), B_INVALID_OPERATION);
  EXPECT_EQ(h_.Call(B_INSERT + B_LOCK_SINGLE_NOWAIT, Rec("B", 2, 2), "", 0),
            B_INVALID_OPERATION);
  EXPECT_EQ(h_.Get(B_GET_FIRST, 3), B_INVALID_KEY_NUMBER);
  EXPECT_EQ(h_.Get(B_GET_FIRST, -1), B_INVALID_KEY_NUMBER);
  EXPECT_EQ(h_.Call(B_GET_FIRST, "", "", 0, 1536, 4), B_KEY_BUFFER_TOO_SHORT);
  EXPECT_EQ(h_.Insert(Rec("B", 2, 2).substr(0, 19)), B_DATA_BUFFER_LENGTH);
  EXPECT_EQ(h_.Insert(Rec("B", 2, 2) + "x"), B_DATA_BUFFER_LENGTH);

  Handle fresh;
  EXPECT_EQ(fresh.Step(B_GET_NEXT, 0), B_FILE_NOT_OPEN);
  ASSERT_EQ(fresh.Open(path_), 0);
  EXPECT_EQ(fresh.Step(B_GET_NEXT, 0), B_INVALID_POSITIONING);
  EXPECT_EQ(fresh.Open(path_), B_OPERATION_NOT_ALLOWED);  // block in use
  Handle garbage;
  std::memset(garbage.block, 0x5A, sizeof garbage.block);
  EXPECT_EQ(garbage.Get(B_GET_FIRST, 0), B_FILE_NOT_OPEN);
  Handle stale;
  std::memcpy(stale.block, fresh.block, sizeof stale.block);
  ASSERT_EQ(fresh.Close(), 0);
  EXPECT_EQ(stale.Get(B_GET_FIRST, 0), B_FILE_NOT_OPEN);
  EXPECT_EQ(BTRCALL(B_GET_FIRST, nullptr, nullptr, nullptr, nullptr, 0, 0), B_FILE_NOT_OPEN);
}

TEST_P(SqliteRecmanTest, PathsThatAreNotDataFiles) {
  Handle h;
  // No zero byte within the key buffer: the path is longer than the buffer.
  std::string longPath = suite_.File(std::string(300, 'x'));
  EXPECT_EQ(h.Call(B_OPEN, "", longPath, 0, 0, 256), B_INVALID_FILE_NAME);
  EXPECT_EQ(h.Call(B_OPEN, "", std::string(1, '\0'), 0), B_INVALID_FILE_NAME);
  std::string text = suite_.File("notes.txt");
  std::ofstream(text) << "just some text, not a data file\n";
  EXPECT_EQ(h.Open(text), B_NOT_A_DATA_FILE);
  std::ofstream(suite_.File("empty.dat")).close();
  EXPECT_EQ(h.Open(suite_.File("empty.dat")), B_NOT_A_DATA_FILE);
  EXPECT_EQ(h.Open(dir_.path()), B_NOT_A_DATA_FILE);
  EXPECT_EQ(h.Open(suite_.File("missing.dat")), B_FILE_NOT_FOUND);
  // A SQLite database that is not ours.
  std::string other = suite_.File("other.db");
  std::string cmd = "sqlite3 '" + other + "' 'create table t(x)'";
  if (system(cmd.c_str()) == 0) {
    EXPECT_EQ(h.Open(other), B_NOT_A_DATA_FILE);
  }
}

TEST_P(SqliteRecmanTest, DamagedFileGivesStatusesNotCrashes) {
  for (int i = 0; i < 400; ++i)
    ASSERT_EQ(h_.Insert(Rec("N" + std::to_string(i), uint16_t(i), i, "d")), 0);
  ASSERT_EQ(h_.Close(), 0);
  manager = RecmanState();
  // Scribble over the pages after the first.
  {
    std::fstream f(path_, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(4096 + 100);
    std::string junk(20000, '\xA5');
    f.write(junk.data(), junk.size());
  }
  CheckResult check;
  int16_t cst = CheckDataFile(path_, &check);
  EXPECT_TRUE(cst == B_IO_ERROR || !check.problems.empty()) << cst;
  Handle h;
  int16_t st = h.Open(path_);
  if (st == 0) {
    int steps = 0;
    for (st = h.Get(B_GET_FIRST, 0); st == 0 && steps < 1000; st = h.Step(B_GET_NEXT, 0))
      ++steps;
    EXPECT_TRUE(st == B_IO_ERROR || st == B_END_OF_FILE) << st;
    st = h.Insert(Rec("NEW", 9999, 1));
    EXPECT_TRUE(st == B_OK || st == B_IO_ERROR) << st;
    h.Close();
  } else {
    EXPECT_TRUE(st == B_IO_ERROR || st == B_NOT_A_DATA_FILE) << st;
  }
  // Scribble over the header: no longer recognisable.
  {
    std::fstream f(path_, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(0);
    f.write("garbage garbage garbage", 23);
  }
  Handle g;
  EXPECT_EQ(g.Open(path_), B_NOT_A_DATA_FILE);
}

TEST_P(RecmanTest, TransactionsCommitOrRollBackTheirWrites) {
  ASSERT_EQ(h_.Insert(Rec("KEEP", 1, 1)), 0);
  EXPECT_EQ(h_.Call(B_END_TRANSACTION, "", "", 0), B_NO_TRANSACTION);
  ASSERT_EQ(h_.Call(B_BEGIN_TRANSACTION, "", "", 0), 0);
  EXPECT_EQ(h_.Call(B_BEGIN_TRANSACTION, "", "", 0), B_TRANSACTION_ACTIVE);
  ASSERT_EQ(h_.Insert(Rec("GONE", 2, 2)), 0);
  EXPECT_EQ(h_.Insert(Rec("DUP", 2, 2)), B_DUPLICATE_KEY);  // fails alone
  ASSERT_EQ(h_.Get(B_GET_EQUAL, 0, Pad("GONE", 8)), 0);     // own write seen
  ASSERT_EQ(h_.Call(B_ABORT_TRANSACTION, "", "", 0), 0);
  EXPECT_EQ(h_.Get(B_GET_EQUAL, 0, Pad("GONE", 8)), B_KEY_NOT_FOUND);

  ASSERT_EQ(h_.Call(B_BEGIN_TRANSACTION + 1000, "", "", 0), 0);
  ASSERT_EQ(h_.Insert(Rec("NEW", 3, 3)), 0);
  ASSERT_EQ(h_.Get(B_GET_EQUAL, 0, Pad("KEEP", 8)), 0);
  ASSERT_EQ(h_.Delete(), 0);
  Handle second;  // the same file, opened again, cannot join
  ASSERT_EQ(second.Open(path_), 0);
  EXPECT_EQ(second.Insert(Rec("SECOND", 4, 4)), B_FILE_LOCKED);
  ASSERT_EQ(h_.Call(B_END_TRANSACTION, "", "", 0), 0);
  EXPECT_EQ(second.Insert(Rec("SECOND", 4, 4)), 0);
  Handle other;
  ASSERT_EQ(other.Open(path_), 0);
  EXPECT_EQ(other.Get(B_GET_EQUAL, 0, Pad("NEW", 8)), 0);
  EXPECT_EQ(other.Get(B_GET_EQUAL, 0, Pad("KEEP", 8)), B_KEY_NOT_FOUND);
}

// Thousands of calls with random operations, lengths, key numbers and bytes
// (buffers as long as the lengths claim) end in statuses, and the file stays
// sound.
TEST_P(RecmanTest, RandomCallsGiveStatusesAndLeaveTheFileSound) {
  std::mt19937 rng(7);
  for (int i = 0; i < 30; ++i)
    ASSERT_EQ(h_.Insert(Rec("R" + std::to_string(i % 7), uint16_t(i), i)), 0);
  for (int i = 0; i < 4000; ++i) {
    uint16_t op = uint16_t(rng() % 40);
    if (op == B_OPEN || op == B_CREATE) continue;  // they would name files
    if (rng() % 4 == 0) op = uint16_t(op + (rng() % 3) * 100);
    std::string data(rng() % 3 == 0 ? 20 : rng() % 40, '\0');
    for (char& c : data) c = char(rng() % 4 == 0 ? 'R' : rng());
    std::string key(rng() % 12, '\0');
    for (char& c : key) c = char(rng());
    uint16_t keyCap = uint16_t(key.size() + rng() % 8);
    int16_t keyNumber = int16_t(int(rng() % 6) - 2);
    int16_t st = h_.Call(op, data, key, keyNumber, uint32_t(data.size()), keyCap);
    EXPECT_GE(st, 0);
    if (st == B_FILE_NOT_OPEN) {
      manager = RecmanState();
      std::memset(h_.block, 0, sizeof h_.block);
      ASSERT_EQ(h_.Open(path_), 0);
    }
  }
  manager = RecmanState();
  CheckResult check;
  ASSERT_EQ(CheckDataFile(path_, &check), 0);
  EXPECT_TRUE(check.problems.empty()) << check.problems.front();
}

TEST_P(RecmanTest, ResetClosesEverything) {
  Handle other;
  ASSERT_EQ(other.Open(path_), 0);
  uint8_t scratch[kPositionBlockSize] = {};
  uint32_t len = 0;
  EXPECT_EQ(BTRCALL(B_RESET, scratch, nullptr, &len, nullptr, 0, 0), 0);
  EXPECT_EQ(h_.Get(B_GET_FIRST, 0), B_FILE_NOT_OPEN);
  EXPECT_EQ(other.Get(B_GET_FIRST, 0), B_FILE_NOT_OPEN);
  Handle excl;
  EXPECT_EQ(excl.Open(path_, B_MODE_EXCLUSIVE), 0);  // nothing left open
}

TEST_P(RecmanTest, PhysicalStepsVisitEveryRecordInPositionOrder) {
  ASSERT_EQ(h_.Insert(Rec("C", 1, 1)), 0);
  ASSERT_EQ(h_.Insert(Rec("A", 2, 2)), 0);
  ASSERT_EQ(h_.Insert(Rec("B", 3, 3)), 0);
  std::string names;
  for (int16_t st = h_.Call(B_STEP_FIRST, "", "", 0, 1536); st == 0;
       st = h_.Call(B_STEP_NEXT, "", "", 0, 1536))
    names += h_.data[0];
  EXPECT_EQ(names, "CAB");
  EXPECT_EQ(h_.Call(B_STEP_LAST, "", "", 0, 1536), 0);
  EXPECT_EQ(h_.data[0], 'B');
}

TEST_P(RecmanTest, FileWithoutKeys) {
  std::string p = suite_.File("nokeys.dat");
  ASSERT_EQ(CreateFile(p, EncodeLayout(4, 512, 0, {}, {})), 0);
  Handle h;
  ASSERT_EQ(h.Open(p), 0);
  ASSERT_EQ(h.Insert("abcd"), 0);
  EXPECT_EQ(h.Get(B_GET_FIRST, 0), B_INVALID_KEY_NUMBER);
  ASSERT_EQ(h.Call(B_STEP_FIRST, "", "", 0, 1536), 0);
  EXPECT_EQ(h.data, "abcd");
}

}  // namespace
}  // namespace recman
