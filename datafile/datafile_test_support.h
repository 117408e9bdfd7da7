// Test support for the data-file layer: creation layouts built from a
// short description, and a fixture with a fresh suite root whose "ddf\"
// directory holds them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "config/session.h"
#include "datafile/file_table.h"
#include "datafile/record_ops.h"
#include "platform/coding.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/test_dir.h"
#include "recman/btrcall.h"
#include "recman/creation_layout_file.h"

namespace datafile {
namespace testing {

struct Segment {
  int position;    // 1-based first byte in the record
  int length;      // bytes
  uint16_t flags;  // recman::KF_... (KF_SEGMENTED is added as needed)
};

// The value of a 2-byte binary key (little-endian, as the files store it).
inline std::string Code(int code) {
  std::string bytes;
  platform::PutFixed16(&bytes, static_cast<uint16_t>(code));
  return bytes;
}

// The record manager's creation layout for a file of fixed records
// with the given keys; `collating` (256 weights) is appended as the file's
// alternate collating sequence when given.
inline std::string CreationLayout(int recordLength,
                                const std::vector<std::vector<Segment>>& keys,
                                const std::string& collating = std::string()) {
  std::string creation(recman::FS_SIZE, '\0');
  platform::EncodeFixed16(&creation[recman::FS_RECORD_LENGTH],
                          static_cast<uint16_t>(recordLength));
  platform::EncodeFixed16(&creation[recman::FS_PAGE_SIZE], 1024);
  platform::EncodeFixed16(&creation[recman::FS_NUMBER_OF_KEYS],
                          static_cast<uint16_t>(keys.size()));
  for (const std::vector<Segment>& key : keys) {
    for (size_t i = 0; i < key.size(); ++i) {
      std::string entry(recman::KS_SIZE, '\0');
      uint16_t flags = key[i].flags;
      if (i + 1 < key.size()) flags |= recman::KF_SEGMENTED;
      platform::EncodeFixed16(&entry[recman::KS_POSITION],
                              static_cast<uint16_t>(key[i].position));
      platform::EncodeFixed16(&entry[recman::KS_LENGTH], static_cast<uint16_t>(key[i].length));
      platform::EncodeFixed16(&entry[recman::KS_FLAGS], flags);
      creation += entry;
    }
  }
  if (!collating.empty()) {
    std::string acs(recman::ACS_SIZE, '\0');
    acs[recman::ACS_SIGNATURE] = static_cast<char>(recman::ACS_SIGNATURE_BYTE);
    acs.replace(recman::ACS_NAME, 8, "UPPER   ");
    acs.replace(recman::ACS_TABLE, 256, collating);
    creation += acs;
  }
  return creation;
}

// A collating sequence that sorts small letters as capitals.
inline std::string UpperCaseCollation() {
  std::string table(256, '\0');
  for (int b = 0; b < 256; ++b) {
    table[b] = static_cast<char>(b >= 'a' && b <= 'z' ? b - 'a' + 'A' : b);
  }
  return table;
}

// Inserts a record into an open file through its slot's position block.
inline int16_t Insert(int16_t fileNumber, const std::string& record) {
  int s = OpenSlot(fileNumber);
  if (s == 0) return recman::B_FILE_NOT_OPEN;
  std::string data = record;
  uint32_t length = static_cast<uint32_t>(data.size());
  unsigned char key[256] = {};
  return recman::BTRCALL(recman::B_INSERT, table.Slots[s].PositionBlock.data(), &data[0],
                         &length, key, 255, 0);
}

// A fresh suite root for each test, with "DADES/" and "ddf/", as the
// session's RootDir; the file table and the record manager start empty.
class DataFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    int16_t status = 0;
    DataCloseAll(status);
    table = FileTable();
    config::session = config::SessionState();
    config::session.RootDir = dir.path();
    platform::MakeDirs(dir.path() + "DADES");
    platform::MakeDirs(dir.path() + "ddf");
  }
  void TearDown() override {
    int16_t status = 0;
    DataCloseAll(status);
    table = FileTable();
  }

  // Writes the creation layout file of the data file `name` under this root.
  void WriteLayout(const std::string& name, const std::string& creation) {
    std::string file = platform::SuitePath(recman::CreationLayoutFileName(dir.path(), name));
    ASSERT_EQ(recman::WriteCreationLayoutFile(file, creation), recman::LayoutFileStatus::kOk);
  }

  // The suite name of a data file under this root: ROOT + "DADES\" + name.
  std::string DataName(const std::string& name) const {
    return dir.path() + "DADES\\" + name;
  }

  platform::TestDir dir;
};

}  // namespace testing
}  // namespace datafile
