#include "datafile/data_open.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "datafile/file_table.h"
#include "datafile/record_ops.h"
#include "datafile/datafile_test_support.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace datafile {
namespace {

using testing::CreationLayout;
using testing::DataFileTest;
using testing::Insert;

TEST(SplitDataPathTest, ExtensionStartsAtFirstDotOfLastComponent) {
  struct Case {
    const char* path;
    const char* directory;
    const char* name;
    const char* extension;
  } cases[] = {
      {"DADES\\TDespesa", "DADES\\", "TDespesa", ".dat"},
      {"C:\\X\\Y.DAT", "C:\\X\\", "Y", ".DAT"},
      {"A.B\\C", "A.B\\", "C", ".dat"},
      {"D\\T.a.b", "D\\", "T", ".a.b"},
      {"C:Y.X", "C:", "Y", ".X"},
  };
  for (const Case& c : cases) {
    DataPath parts = SplitDataPath(c.path);
    EXPECT_EQ(parts.Directory, c.directory) << c.path;
    EXPECT_EQ(parts.Name, c.name) << c.path;
    EXPECT_EQ(parts.Extension, c.extension) << c.path;
  }
}

// Record of the test file "T": 2-byte binary code, 4-byte name, 14 bytes more.
std::string TLayout() {
  return CreationLayout(20, {{{1, 2, recman::KF_BINARY}},
                           {{3, 4, recman::KF_DUPLICATES}},
                           {{7, 1, recman::KF_DUPLICATES}, {1, 2, recman::KF_BINARY}}});
}

class DataOpenTest : public DataFileTest {};

TEST_F(DataOpenTest, MissingFileIsCreatedFromItsLayoutAndBoundToTopSlot) {
  WriteLayout("T", TLayout());
  WriteLayout("U", TLayout());
  char first[20] = {};
  char second[20] = {};
  int16_t status = -1;
  DataOpen(501, DataName("T"), first, status);
  ASSERT_EQ(status, 0);
  EXPECT_TRUE(platform::PathExists(dir.path() + "DADES/T.dat"));
  DataOpen(502, DataName("U"), second, status);
  ASSERT_EQ(status, 0);

  const FileSlot& slot = table.Slots[40];
  EXPECT_EQ(slot.FileNumber, 501);
  EXPECT_EQ(slot.RecordBuffer, reinterpret_cast<unsigned char*>(first));
  EXPECT_EQ(slot.RecordLength, 20);
  EXPECT_EQ(slot.KeyNumber, 0);
  EXPECT_EQ(slot.KeyValue, std::string(2, '\0'));
  EXPECT_EQ(slot.LockMode, 0);
  EXPECT_EQ(table.Slots[39].FileNumber, 502);
}

void ReportOnStandardError(const std::string& message) {
  std::fprintf(stderr, "REPORTED %s\n", message.c_str());
}

TEST_F(DataOpenTest, WithoutAScreenAFailedOpenIsReportedAndEndsWithItsExitCode) {
  // Random bytes where the file should be: the message goes to the
  // program's report routine, no key is waited for, and the exit code is
  // the one the program chose.
  ASSERT_TRUE(platform::MakeDirs(dir.path() + "DADES"));
  ASSERT_TRUE(platform::WriteFile(dir.path() + "DADES/T.dat", std::string(5000, '\x5A')));
  // A directory where the file should be fails the same way.
  ASSERT_TRUE(platform::MakeDirs(dir.path() + "DADES/D.dat"));
  for (const char* name : {"T", "D"}) {
    EXPECT_EXIT(
        {
          openFailure.Report = ReportOnStandardError;
          openFailure.ExitCode = 5;
          char buffer[20] = {};
          int16_t status = 0;
          DataOpen(501, DataName(name), buffer, status);
          std::exit(99);  // not reached: the open ends the program
        },
        ::testing::ExitedWithCode(5),
        std::string("REPORTED NO ES POT ACCEDIR AL FITXER .*/DADES/") + name + "\\.dat \\(");
  }
  EXPECT_EQ(openFailure.Report, nullptr);  // the default is the screen
}

TEST_F(DataOpenTest, ExistingFileOpensWithItsOwnExtension) {
  WriteLayout("T", TLayout());
  char buffer[20] = {};
  int16_t status = -1;
  DataOpen(501, DataName("T.DAT"), buffer, status);
  ASSERT_EQ(status, 0);
  EXPECT_TRUE(platform::PathExists(dir.path() + "DADES/T.DAT"));
  EXPECT_FALSE(platform::PathExists(dir.path() + "DADES/T.DAT.dat"));
  ASSERT_EQ(Insert(501, std::string("\x01\x00" "ABCD" "x" "-------------", 20)), 0);
  DataCloseAll(status);
  ASSERT_EQ(status, 0);
  // Found again without regard to case, and not created anew.
  DataOpen(501, DataName("t.dat"), buffer, status);
  ASSERT_EQ(status, 0);
  DataSeek(501, 0, std::string("\x01\x00", 2), 0, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(std::string(buffer + 2, 4), "ABCD");
}

TEST_F(DataOpenTest, SecondOpenOfANumberKeepsTheFirstBinding) {
  WriteLayout("T", TLayout());
  WriteLayout("U", TLayout());
  char first[20] = {};
  char other[20] = {};
  int16_t status = -1;
  DataOpen(501, DataName("T"), first, status);
  ASSERT_EQ(status, 0);
  ASSERT_EQ(Insert(501, std::string("\x07\x00" "SETE" "x" "-------------", 20)), 0);
  DataOpen(501, DataName("U"), other, status);
  EXPECT_EQ(status, kStatusAlreadyOpen);
  EXPECT_EQ(table.Slots[40].RecordBuffer, reinterpret_cast<unsigned char*>(first));
  EXPECT_EQ(table.Slots[39].FileNumber, 0);
  EXPECT_FALSE(platform::PathExists(dir.path() + "DADES/U.dat"));
  DataSeek(501, 0, std::string("\x07\x00", 2), 0, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(std::string(first + 2, 4), "SETE");
  EXPECT_EQ(std::string(other, 20), std::string(20, '\0'));
}

TEST_F(DataOpenTest, NumberZeroIsNeverOpened) {
  WriteLayout("T", TLayout());
  char buffer[20] = {};
  int16_t status = -1;
  DataOpen(0, DataName("T"), buffer, status);
  EXPECT_EQ(status, kStatusAlreadyOpen);
  EXPECT_EQ(FindSlot(501), -40);
  EXPECT_FALSE(platform::PathExists(dir.path() + "DADES/T.dat"));
}

TEST_F(DataOpenTest, FortyFirstOpenFindsNoSlot) {
  static char buffers[41][20];
  int16_t status = -1;
  for (int i = 1; i <= 41; ++i) WriteLayout("T" + std::to_string(i), TLayout());
  for (int i = 1; i <= 40; ++i) {
    DataOpen(static_cast<int16_t>(500 + i), DataName("T" + std::to_string(i)),
             buffers[i - 1], status);
    ASSERT_EQ(status, 0) << i;
    EXPECT_EQ(table.Slots[41 - i].FileNumber, 500 + i);
  }
  DataOpen(541, DataName("T41"), buffers[40], status);
  EXPECT_EQ(status, kStatusNoFreeSlot);
  EXPECT_FALSE(platform::PathExists(dir.path() + "DADES/T41.dat"));
  // The files opened before are all still bound.
  DataSeek(520, 0, "", 1, status);
  EXPECT_EQ(status, recman::B_END_OF_FILE);
}

TEST_F(DataOpenTest, KeyInfoComesFromTheFileStatistics) {
  WriteLayout("T", TLayout());
  char buffer[20] = {};
  int16_t status = -1;
  DataOpen(501, DataName("T"), buffer, status);
  ASSERT_EQ(status, 0);
  int16_t keyLength = -1;
  int16_t recordLength = -1;
  DataKeyInfo(501, 0, keyLength, recordLength);
  EXPECT_EQ(keyLength, 2);
  EXPECT_EQ(recordLength, 20);
  DataKeyInfo(501, 2, keyLength, recordLength);
  EXPECT_EQ(keyLength, 3);  // two segments, 1 + 2 bytes
  DataKeyInfo(501, 3, keyLength, recordLength);
  EXPECT_EQ(keyLength, 0);
  EXPECT_EQ(recordLength, 20);
  DataKeyInfo(501, -1, keyLength, recordLength);
  EXPECT_EQ(keyLength, 0);
  DataKeyInfo(777, 0, keyLength, recordLength);
  EXPECT_EQ(keyLength, 0);
  EXPECT_EQ(recordLength, 0);
}

TEST_F(DataOpenTest, FileWithoutKeysHasAnEmptyKeyValue) {
  WriteLayout("K", CreationLayout(10, {}));
  char buffer[10] = {};
  int16_t status = -1;
  DataOpen(501, DataName("K"), buffer, status);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(table.Slots[40].KeyValue, "");
  EXPECT_EQ(table.Slots[40].RecordLength, 10);
  DataSeek(501, 0, "", 1, status);
  EXPECT_EQ(status, kStatusNoSuchKey);
}

TEST_F(DataOpenTest, RecordsLongerThanTheCallersBufferAreDeliveredCut) {
  WriteLayout("T", TLayout());
  char buffer[12];
  std::memset(buffer, '#', sizeof buffer);
  int16_t status = -1;
  DataOpen(501, DataName("T"), buffer, status, 8);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(table.Slots[40].RecordLength, 8);
  ASSERT_EQ(Insert(501, std::string("\x01\x00" "ABCD" "x" "0123456789abc", 20)), 0);
  DataSeek(501, 0, std::string("\x01\x00", 2), 0, status);
  EXPECT_EQ(status, 0);  // 22, the record did not fit, counts as success
  EXPECT_EQ(std::string(buffer, 8), std::string("\x01\x00" "ABCDx0", 8));
  EXPECT_EQ(std::string(buffer + 8, 4), "####");
}

TEST_F(DataOpenTest, CloseAllFreesEveryNumberForANewOpen) {
  WriteLayout("T", TLayout());
  char buffer[20] = {};
  int16_t status = -1;
  DataOpen(501, DataName("T"), buffer, status);
  ASSERT_EQ(status, 0);
  DataCloseAll(status);
  ASSERT_EQ(status, 0);
  for (int s = 1; s <= kMaxFiles; ++s) EXPECT_EQ(table.Slots[s].FileNumber, 0) << s;
  DataSeek(501, 0, "", 1, status);
  EXPECT_EQ(status, recman::B_FILE_NOT_OPEN);
  DataOpen(501, DataName("T"), buffer, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(table.Slots[40].FileNumber, 501);
}

}  // namespace
}  // namespace datafile
