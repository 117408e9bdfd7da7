// Key entries damaged in the storage, below what the storage's own
// integrity check sees: an entry holding the image of another record, or
// another record's position. Gets that meet such an entry give status 2;
// Next and Previous never come back to a record they have left, so a walk
// along the key always ends.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <set>
#include <string>

#include "platform/coding.h"
#include "platform/test_dir.h"
#include "recman/btrcall.h"
#include "recman/file_check.h"
#include "recman/key_layout.h"
#include "recman/pg/pg_names.h"
#include "recman/record_manager.h"
#include "recman/test_engines.h"
#include "recman/recman_test_support.h"

namespace recman {
namespace {

using testing_support::CreateFile;
using testing_support::EngineKind;
using testing_support::Handle;
using testing_support::Seg;
using testing_support::ServerCommand;
using testing_support::TestSuite;

// Record of 12 bytes: id u32 (key 0, unique), group text[4] (key 1,
// duplicates), filler.
std::string Rec(uint32_t id, const std::string& group) {
  std::string r(12, '\0');
  platform::EncodeFixed32(&r[0], id);
  r.replace(4, 4, group);
  return r;
}
uint32_t Id(const Handle& h) { return platform::DecodeFixed32(h.data.data()); }

// The result of walking a key from one end: the ids met in order and the
// status that ended the walk. At most `limit` steps are taken.
struct Walk {
  std::vector<uint32_t> ids;
  int16_t status = 0;
};
Walk WalkKey(Handle& h, int16_t key, bool forward, int limit = 20) {
  Walk w;
  w.status = h.Get(forward ? B_GET_FIRST : B_GET_LAST, key);
  while (w.status == 0 && int(w.ids.size()) < limit) {
    w.ids.push_back(Id(h));
    w.status = h.Step(forward ? B_GET_NEXT : B_GET_PREVIOUS, key);
  }
  return w;
}

class DamagedKeyTest : public ::testing::TestWithParam<EngineKind> {
 protected:
  void SetUp() override {
    ZUL_REQUIRE_ENGINE(GetParam());
    manager = RecmanState();
    path_ = suite_.File("d.dat");
    ASSERT_EQ(CreateFile(path_, EncodeLayout(12, 1024, 0,
                                             {{Seg(1, 4, KF_BINARY)},
                                              {Seg(5, 4, KF_DUPLICATES | KF_MODIFIABLE)}},
                                             {})),
              0);
    Handle h;
    ASSERT_EQ(h.Open(path_), 0);
    // Positions 1 to 4, in key 1's order as in key 0's.
    for (uint32_t id : {1u, 2u, 3u, 4u})
      ASSERT_EQ(h.Insert(Rec(id, std::string(4, char('A' + id - 1)))), 0);
    manager = RecmanState();  // closed, so the damage meets no open file
  }
  void TearDown() override { manager = RecmanState(); }

  // Sets key 1's stored entry of the record at position `pos` to the SQL
  // expression `entry` (over the row's own columns), as a damaged page
  // would. SQLite entries are the image and the position, a blob (SQLite's
  // || makes text: cast it back); the server's are the image alone.
  void Damage(uint32_t pos, const std::string& entry) {
    std::string sql = "UPDATE " + Table() + " SET k1 = " + entry + " WHERE pos = " +
                      std::to_string(pos);
    if (GetParam() == EngineKind::kServer) {
      ASSERT_TRUE(ServerCommand(sql)) << sql;
      return;
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path_.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db);
    sqlite3_close(db);
  }
  std::string Table() const {
    if (GetParam() == EngineKind::kSqlite) return "zul_rec";
    return pg::QuoteIdentifier(suite_.schema()) + "." +
           pg::QuoteIdentifier(pg::TableName("DADES/d.dat"));
  }
  // Key 1's entry of the record at position `from`, as an SQL expression.
  std::string EntryOf(uint32_t from) const {
    return "(SELECT k1 FROM " + Table() + " WHERE pos = " + std::to_string(from) + ")";
  }

  platform::TestDir dir_;
  TestSuite suite_{dir_, GetParam()};
  std::string path_;
};

INSTANTIATE_TEST_SUITE_P(Engines, DamagedKeyTest,
                         ::testing::Values(EngineKind::kSqlite, EngineKind::kServer),
                         testing_support::EngineName);

class SqliteDamagedKeyTest : public DamagedKeyTest {};
INSTANTIATE_TEST_SUITE_P(Files, SqliteDamagedKeyTest, ::testing::Values(EngineKind::kSqlite),
                         testing_support::EngineName);

TEST_P(DamagedKeyTest, AnEntryHoldingAnotherRecordsImageGivesStatus2) {
  // Record 2's entry in key 1 holds record 3's image ("CCCC"): key 1 now
  // reads AAAA(1) CCCC(2) CCCC(3) DDDD(4), the second not its record's.
  Damage(2, GetParam() == EngineKind::kSqlite
                ? "CAST(substr(" + EntryOf(3) + ", 1, 4) || substr(k1, 5, 4) AS BLOB)"
                : EntryOf(3));
  Handle h;
  ASSERT_EQ(h.Open(path_), 0);
  Walk forward = WalkKey(h, 1, true);
  EXPECT_EQ(forward.ids, std::vector<uint32_t>({1}));
  EXPECT_EQ(forward.status, B_IO_ERROR);
  // The failed step left the currency on record 1: the next step fails
  // again rather than skipping the damage.
  EXPECT_EQ(h.Step(B_GET_NEXT, 1), B_IO_ERROR);
  uint8_t pos[4] = {};
  uint32_t len = 4;
  ASSERT_EQ(BTRCALL(B_GET_POSITION, h.block, pos, &len, nullptr, 0, 0), 0);
  EXPECT_EQ(platform::DecodeFixed32(pos), 1u);

  Walk backward = WalkKey(h, 1, false);
  EXPECT_EQ(backward.ids, std::vector<uint32_t>({4, 3}));
  EXPECT_EQ(backward.status, B_IO_ERROR);

  // Seeks that land on the damaged entry, and one beside it.
  EXPECT_EQ(h.Get(B_GET_EQUAL, 1, "CCCC"), B_IO_ERROR);
  EXPECT_EQ(h.Get(B_GET_GE, 1, "BBBB"), B_IO_ERROR);
  EXPECT_EQ(h.Get(B_GET_LESS, 1, "DDDD"), 0);
  EXPECT_EQ(Id(h), 3u);
  // Get Direct along key 1 cannot make a current entry of the damaged one;
  // along key 0 the record reads as it is.
  std::string at2(4, '\0');
  platform::EncodeFixed32(&at2[0], 2);
  EXPECT_EQ(h.Call(B_GET_DIRECT, at2, "", 1, 1536), B_IO_ERROR);
  EXPECT_EQ(h.Call(B_GET_DIRECT, at2, "", 0, 1536), 0);
  EXPECT_EQ(Id(h), 2u);
  // Key 0 is sound: every record, then the end of the file.
  Walk key0 = WalkKey(h, 0, true);
  EXPECT_EQ(key0.ids, std::vector<uint32_t>({1, 2, 3, 4}));
  EXPECT_EQ(key0.status, B_END_OF_FILE);
  // The check names the damage.
  CheckResult check;
  manager = RecmanState();
  ASSERT_EQ(CheckDataFile(path_, &check), 0);
  bool named = false;
  for (const std::string& p : check.problems)
    named = named || p.find("key 1: record at position 2") != std::string::npos;
  EXPECT_TRUE(named) << ::testing::PrintToString(check.problems);
}

TEST_P(SqliteDamagedKeyTest, AnEntryNamingAnotherPositionEndsEveryWalk) {
  // Record 2's entry ends with another position: a step from record 2
  // would go on from (image, 2) and find the same entry again. First a copy
  // of record 3's whole entry, then record 2's own image with position 255.
  for (const std::string& entry :
       {EntryOf(3), std::string("CAST(substr(k1, 1, 4) || x'000000FF' AS BLOB)")}) {
    SCOPED_TRACE(entry);
    Damage(2, entry);
    Handle h;
    ASSERT_EQ(h.Open(path_), 0);
    for (bool forward : {true, false}) {
      Walk w = WalkKey(h, 1, forward);
      EXPECT_NE(w.status, 0) << "the walk did not end";
      EXPECT_EQ(std::set<uint32_t>(w.ids.begin(), w.ids.end()).size(), w.ids.size())
          << "a record came twice: " << ::testing::PrintToString(w.ids);
      EXPECT_EQ(std::count(w.ids.begin(), w.ids.end(), 2u), 0);
    }
    EXPECT_EQ(WalkKey(h, 1, true).status, B_IO_ERROR);
    manager = RecmanState();
  }
}

}  // namespace
}  // namespace recman
