#include "tools/zuldata/report_files.h"

#include <cstring>

#include "platform/env.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "recman/btrcall.h"
#include "recman/creation_layout_file.h"
#include "tools/zuldata/commands.h"

namespace zuldata {
namespace {

constexpr int kDataBuffer = 1536;

std::string Join(const std::string& root, const std::string& rest) {
  if (!root.empty() && root.back() != '/' && root.back() != '\\') return root + "/" + rest;
  return root + rest;
}

std::string DataPath(const std::string& root, const std::string& name) {
  return platform::SuitePath(Join(root, "DADES/" + name + ".dat"));
}

std::string Status(int16_t s) { return "status " + std::to_string(s); }

}  // namespace

bool ReadCreationLayout(const std::string& root, const std::string& name, std::string* creation,
                      std::string* error) {
  return ReadXdf(platform::SuitePath(recman::CreationLayoutFileName(Join(root, ""), name)),
                 creation, error);
}

ReportFile::~ReportFile() { Close(); }

bool ReportFile::Open(const std::string& root, const std::string& name, std::string* error) {
  Close();
  name_ = name;
  std::string path = DataPath(root, name);
  std::string owner = platform::GetEnv("ZULOWNER");
  if (!owner.empty()) owner.resize(4, ' ');

  for (int attempt = 0; attempt < 2; ++attempt) {
    std::memset(block_, 0, sizeof block_);
    char data[kDataBuffer] = {};
    std::memcpy(data, owner.data(), owner.size());
    uint32_t length = owner.empty() ? 0 : uint32_t(owner.size() + 1);
    char key[256] = {};
    std::strncpy(key, path.c_str(), 255);
    int16_t s = recman::BTRCALL(recman::B_OPEN, block_, data, &length, key, 256, 0);
    if (s == 0) {
      open_ = true;
      return true;
    }
    if (s != recman::B_FILE_NOT_FOUND || attempt > 0) {
      *error = "cannot open " + path + " (" + Status(s) + ")";
      return false;
    }
    // Missing: create it from its creation layout, as the report does.
    std::string creation;
    if (!ReadCreationLayout(root, name, &creation, error)) return false;
    if (!platform::MakeDirs(platform::SuitePath(Join(root, "DADES")))) {
      *error = "cannot make the folder " + Join(root, "DADES");
      return false;
    }
    unsigned char scratch[128] = {};
    char buffer[kDataBuffer] = {};
    std::memcpy(buffer, creation.data(), std::min(creation.size(), sizeof buffer));
    uint32_t layoutLength = kDataBuffer;
    s = recman::BTRCALL(recman::B_CREATE, scratch, buffer, &layoutLength, key, 256,
                        recman::B_CREATE_NO_REPLACE);
    if (s != 0) {
      *error = "cannot create " + path + " (" + Status(s) + ")";
      return false;
    }
  }
  return false;
}

int16_t ReportFile::Insert(const std::string& record) {
  char data[kDataBuffer];
  std::memcpy(data, record.data(), std::min(record.size(), sizeof data));
  uint32_t length = uint32_t(record.size());
  char key[256] = {};
  return recman::BTRCALL(recman::B_INSERT, block_, data, &length, key, 255, 0);
}

bool ReportFile::InsertAll(const std::vector<std::string>& records, std::string* error,
                           size_t* failed) {
  *failed = records.size();
  int16_t s = Transaction(recman::B_BEGIN_TRANSACTION);
  if (s != 0) {
    *error = "cannot start a transaction on " + name_ + " (" + Status(s) + ")";
    return false;
  }
  for (size_t i = 0; i < records.size(); ++i) {
    s = Insert(records[i]);
    if (s == 0) continue;
    Transaction(recman::B_ABORT_TRANSACTION);
    *failed = i;
    *error = "the record cannot be stored in " + name_ + " (" +
             (s == recman::B_DUPLICATE_KEY ? std::string("its key is already there")
                                           : Status(s)) + ")";
    return false;
  }
  s = Transaction(recman::B_END_TRANSACTION);
  if (s != 0) {
    *error = "cannot store the records in " + name_ + " (" + Status(s) + ")";
    return false;
  }
  return true;
}

int16_t ReportFile::Transaction(uint16_t operation) {
  char data[4] = {};
  uint32_t length = 0;
  char key[4] = {};
  return recman::BTRCALL(operation, block_, data, &length, key, 0, 0);
}

bool ReportFile::ReadAll(std::vector<std::string>* records, std::string* error) {
  records->clear();
  char data[kDataBuffer];
  char key[256];
  uint32_t length = kDataBuffer;
  int16_t s = recman::BTRCALL(recman::B_GET_FIRST, block_, data, &length, key, 255, 0);
  while (s == 0) {
    records->emplace_back(data, length);
    length = kDataBuffer;
    s = recman::BTRCALL(recman::B_GET_NEXT, block_, data, &length, key, 255, 0);
  }
  if (s != recman::B_END_OF_FILE) {
    *error = "cannot read " + name_ + " (" + Status(s) + ")";
    return false;
  }
  return true;
}

void ReportFile::Close() {
  if (!open_) return;
  char data[4] = {};
  uint32_t length = 0;
  char key[4] = {};
  recman::BTRCALL(recman::B_CLOSE, block_, data, &length, key, 0, 0);
  open_ = false;
}

}  // namespace zuldata
