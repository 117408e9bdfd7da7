#include "datafile/record_ops.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "datafile/data_open.h"
#include "datafile/file_table.h"
#include "datafile/datafile_test_support.h"
#include "platform/coding.h"

namespace datafile {
namespace {

using testing::Code;
using testing::CreationLayout;
using testing::Insert;

constexpr int16_t kFile = 501;

// File "R": 12-byte records. Key 0: bytes 1-2, unsigned binary. Key 1: bytes
// 3-6, text sorted by a collating sequence that ignores case, duplicates
// allowed. Bytes 7-12: payload.
std::string Record(int code, const char* name, const char* payload) {
  std::string r(12, ' ');
  platform::EncodeFixed16(&r[0], static_cast<uint16_t>(code));
  r.replace(2, 4, std::string(name, 4));
  r.replace(6, 6, std::string(payload, 6));
  return r;
}

class RecordOpsTest : public testing::DataFileTest {
 protected:
  void SetUp() override {
    DataFileTest::SetUp();
    WriteLayout("R", CreationLayout(12, {{{1, 2, recman::KF_BINARY}},
                                     {{3, 4, recman::KF_DUPLICATES | recman::KF_ALT_COLLATING}}},
                                testing::UpperCaseCollation()));
    int16_t status = -1;
    DataOpen(kFile, DataName("R"), buffer, status);
    ASSERT_EQ(status, 0);
    // Codes 1, 2, 300, 301, 302: 300 sorts after 2 only as a number.
    ASSERT_EQ(Insert(kFile, Record(1, "pera", "rec001")), 0);
    ASSERT_EQ(Insert(kFile, Record(2, "Alba", "rec002")), 0);
    ASSERT_EQ(Insert(kFile, Record(300, "mora", "rec300")), 0);
    ASSERT_EQ(Insert(kFile, Record(301, "BOIX", "rec301")), 0);
    ASSERT_EQ(Insert(kFile, Record(302, "cedr", "rec302")), 0);
  }

  std::string Payload() const { return std::string(buffer + 6, 6); }
  FileSlot& Slot() { return table.Slots[OpenSlot(kFile)]; }

  char buffer[12] = {};
};

TEST_F(RecordOpsTest, SeekModesChooseEqualGreaterOrLess) {
  int16_t status = -1;
  DataSeek(kFile, 0, Code(300), 0, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Payload(), "rec300");
  EXPECT_EQ(Slot().KeyValue, Code(300));

  DataSeek(kFile, 0, Code(3), 1, status);  // first >= 3
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Payload(), "rec300");

  DataSeek(kFile, 0, Code(299), -1, status);  // last <= 299
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Payload(), "rec002");
  EXPECT_EQ(Slot().KeyValue, Code(2));

  DataSeek(kFile, 0, Code(5), 0, status);
  EXPECT_EQ(status, recman::B_KEY_NOT_FOUND);
  EXPECT_EQ(Payload(), "rec002");
}

TEST_F(RecordOpsTest, SeekBelowEveryKeyLeavesTheRecordBuffer) {
  int16_t status = -1;
  DataSeek(kFile, 0, Code(301), 0, status);
  ASSERT_EQ(status, 0);
  std::string before(buffer, sizeof buffer);
  DataSeek(kFile, 0, Code(0), -1, status);
  EXPECT_NE(status, 0);
  EXPECT_EQ(std::string(buffer, sizeof buffer), before);
}

TEST_F(RecordOpsTest, SeekPadsOrCutsTheKeyValue) {
  int16_t status = -1;
  DataSeek(kFile, 0, "", 1, status);  // empty value: the first record
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Payload(), "rec001");
  EXPECT_EQ(Slot().KeyValue.size(), 2u);

  DataSeek(kFile, 0, Code(302) + "extra bytes", 0, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Payload(), "rec302");
  EXPECT_EQ(Slot().KeyValue, Code(302));

  // One byte 0x2C (300 = 0x012C) padded with a zero byte is 44: the first
  // code >= 44 is 300.
  DataSeek(kFile, 0, std::string("\x2C"), 1, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Payload(), "rec300");
}

TEST_F(RecordOpsTest, SeekOnAKeyTheFileLacksChangesNothing) {
  int16_t status = -1;
  DataSeek(kFile, 1, "C", 1, status);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(Payload(), "rec302");  // "cedr" collates as "CEDR"
  std::string key = Slot().KeyValue;
  DataSeek(kFile, 2, "", 1, status);
  EXPECT_EQ(status, kStatusNoSuchKey);
  DataSeek(kFile, -1, "", 1, status);
  EXPECT_EQ(status, kStatusNoSuchKey);
  EXPECT_EQ(Slot().KeyNumber, 1);
  EXPECT_EQ(Slot().KeyValue, key);
  EXPECT_EQ(Payload(), "rec302");
}

TEST_F(RecordOpsTest, SkipStepsAlongTheCurrentIndex) {
  int16_t status = -1;
  DataSeek(kFile, 1, "", 1, status);  // Alba, BOIX, cedr, mora, pera
  ASSERT_EQ(Payload(), "rec002");
  DataSkip(kFile, 1, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Payload(), "rec301");
  DataSkip(kFile, 2, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Payload(), "rec300");
  EXPECT_EQ(Slot().KeyValue, "mora");
  DataSkip(kFile, -1, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Payload(), "rec302");
  DataSkip(kFile, 0, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Payload(), "rec302");
  DataSkip(kFile, -2, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Payload(), "rec002");
}

TEST_F(RecordOpsTest, SkipPastTheEndKeepsTheRecordAndReportsTheStep) {
  int16_t status = -1;
  DataSeek(kFile, 0, Code(300), 0, status);
  ASSERT_EQ(status, 0);
  DataSkip(kFile, 3, status);  // only 301 and 302 follow
  EXPECT_EQ(status, recman::B_END_OF_FILE);
  EXPECT_EQ(Payload(), "rec300");
  EXPECT_EQ(Slot().KeyValue, Code(302));  // the last record stepped over

  DataSeek(kFile, 0, Code(302), 0, status);
  DataSkip(kFile, 1, status);
  EXPECT_EQ(status, recman::B_END_OF_FILE);
  EXPECT_EQ(Payload(), "rec302");
}

TEST_F(RecordOpsTest, PositionBringsBackARecordAndItsIndex) {
  int16_t status = -1;
  DataSeek(kFile, 1, "boix", 0, status);
  ASSERT_EQ(status, 0);
  int32_t position = DataPosition(kFile, 0);
  EXPECT_NE(position, 0);

  DataSkip(kFile, 2, status);
  ASSERT_EQ(Payload(), "rec300");
  EXPECT_EQ(DataPosition(kFile, position), 0);
  EXPECT_EQ(Payload(), "rec301");
  EXPECT_EQ(Slot().KeyValue, "BOIX");
  // Key 1 is the current path again: the next record follows BOIX there.
  DataSkip(kFile, 1, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Payload(), "rec302");
}

TEST_F(RecordOpsTest, PositionOfAMissingRecordLeavesTheBuffer) {
  int16_t status = -1;
  DataSeek(kFile, 0, Code(2), 0, status);
  ASSERT_EQ(status, 0);
  int32_t position = DataPosition(kFile, 0);
  ASSERT_NE(position, 0);
  std::string before(buffer, sizeof buffer);
  EXPECT_NE(DataPosition(kFile, position + 1000000), 0);
  EXPECT_EQ(std::string(buffer, sizeof buffer), before);
}

TEST_F(RecordOpsTest, LockModeStackSavesAndRestoresPerFile) {
  WriteLayout("S", CreationLayout(4, {{{1, 4, 0}}}));
  char other[4] = {};
  int16_t status = -1;
  DataOpen(502, DataName("S"), other, status);
  ASSERT_EQ(status, 0);
  FileSlot& first = Slot();
  FileSlot& second = table.Slots[OpenSlot(502)];

  status = 77;
  DataLockMode(kFile, "a+b", status);
  EXPECT_EQ(status, 77);  // left as it was
  EXPECT_EQ(first.LockMode, 2);
  DataLockMode(502, "+D", status);
  EXPECT_EQ(second.LockMode, 0);
  DataLockMode(kFile, "+d", status);  // stack: (R,1) (S,0) (R,2)
  EXPECT_EQ(first.LockMode, 0);
  DataLockMode(kFile, "-", status);
  EXPECT_EQ(first.LockMode, 2);
  DataLockMode(kFile, "-", status);
  EXPECT_EQ(first.LockMode, 1);
  DataLockMode(kFile, "-x?", status);  // nothing saved for R any more
  EXPECT_EQ(first.LockMode, 1);
  DataLockMode(502, "b-", status);  // S's entry survived R's pops
  EXPECT_EQ(second.LockMode, 0);
  EXPECT_TRUE(table.LockStack.empty());

  DataLockMode(777, "A", status);
  EXPECT_EQ(status, recman::B_FILE_NOT_OPEN);
}

TEST_F(RecordOpsTest, KeyImageFollowsTheIndexOrder) {
  int16_t status = -1;
  EXPECT_EQ(KeyImage(std::string("\x34\x12"), kFile), std::string("\x12\x34"));
  EXPECT_EQ(KeyImage(std::string("\x34"), kFile), std::string("\x00\x34", 2));
  DataSeek(kFile, 0, Code(300), 0, status);
  EXPECT_EQ(DataKey(kFile), std::string("\x01\x2C"));
  EXPECT_LT(DataKey(kFile), KeyImage(Code(301), kFile));
  EXPECT_GT(DataKey(kFile), KeyImage(Code(2), kFile));

  DataSeek(kFile, 1, "mora", 0, status);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(DataKey(kFile), "MORA");
  EXPECT_EQ(KeyImage("boIx", kFile), "BOIX");
  EXPECT_EQ(KeyImage("ab", kFile), "AB");  // as far as the value reaches

  EXPECT_EQ(KeyImage(std::string("\x34\x12"), 777), std::string("\x34\x12"));
  EXPECT_EQ(DataKey(777), "");
}

TEST_F(RecordOpsTest, OperationsOnNumbersNotOpenReportStatusThree) {
  for (int16_t number : {int16_t(0), int16_t(777)}) {
    int16_t status = -1;
    DataSeek(number, 0, "", 1, status);
    EXPECT_EQ(status, recman::B_FILE_NOT_OPEN);
    status = -1;
    DataSkip(number, 1, status);
    EXPECT_EQ(status, recman::B_FILE_NOT_OPEN);
    EXPECT_EQ(DataPosition(number, 0), 0);
    EXPECT_EQ(DataPosition(number, 5), recman::B_FILE_NOT_OPEN);
  }
}

}  // namespace
}  // namespace datafile
