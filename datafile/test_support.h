// Test support for the data-file layer: creation layouts built from a
// short description, and a fixture with a fresh suite root whose "ddf\"
// directory holds them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "config/session.h"
#include "config/test_dir.h"
#include "datafile/file_table.h"
#include "datafile/record_ops.h"
#include "platform/files.h"
#include "recman/btrcall.h"

namespace datafile {
namespace testing {

struct Segment {
  int position;    // 1-based first byte in the record
  int length;      // bytes
  uint16_t flags;  // recman::KF_... (KF_SEGMENTED is added as needed)
};

inline void PutU16(std::string& bytes, int offset, int value) {
  bytes[offset] = static_cast<char>(value & 0xFF);
  bytes[offset + 1] = static_cast<char>((value >> 8) & 0xFF);
}

// The record manager's creation layout for a file of fixed records
// with the given keys; `collating` (256 weights) is appended as the file's
// alternate collating sequence when given.
inline std::string CreationLayout(int recordLength,
                                const std::vector<std::vector<Segment>>& keys,
                                const std::string& collating = std::string()) {
  std::string creation(recman::FS_SIZE, '\0');
  PutU16(creation, recman::FS_RECORD_LENGTH, recordLength);
  PutU16(creation, recman::FS_PAGE_SIZE, 1024);
  PutU16(creation, recman::FS_NUMBER_OF_KEYS, static_cast<int>(keys.size()));
  for (const std::vector<Segment>& key : keys) {
    for (size_t i = 0; i < key.size(); ++i) {
      std::string entry(recman::KS_SIZE, '\0');
      uint16_t flags = key[i].flags;
      if (i + 1 < key.size()) flags |= recman::KF_SEGMENTED;
      PutU16(entry, recman::KS_POSITION, key[i].position);
      PutU16(entry, recman::KS_LENGTH, key[i].length);
      PutU16(entry, recman::KS_FLAGS, flags);
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

// The bytes of a ".xdf" file: the 16-bit length, then the layout.
inline std::string XdfFile(const std::string& creation) {
  std::string bytes(2, '\0');
  PutU16(bytes, 0, static_cast<int>(creation.size()));
  return bytes + creation;
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

  // Writes ddf/<name>.xdf for the layout.
  void WriteLayout(const std::string& name, const std::string& creation) {
    dir.Write("ddf/" + name + ".xdf", XdfFile(creation));
  }

  // The suite name of a data file under this root: ROOT + "DADES\" + name.
  std::string DataName(const std::string& name) const {
    return dir.path() + "DADES\\" + name;
  }

  config::TestDir dir;
};

}  // namespace testing
}  // namespace datafile
