#include "tools/zuldata/report_files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "datafile/data_messages.h"
#include "platform/codepage.h"
#include "platform/env.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "recman/btrcall.h"
#include "recman/creation_layout_file.h"
#include "tools/zuldata/commands.h"
#include "tools/zuldata/status_text.h"
#include "tools/zuldata/suite_root.h"

namespace zuldata {
namespace {

constexpr int kDataBuffer = 1536;

// A store that meets another program's lock (or a record it changed) is
// tried again after a random wait of 1 to 1 001 ms, as the data-file layer
// waits on a locked record, until the waits add up to two minutes.
constexpr double kMaxWaitMs = 1000.0;
constexpr long kGiveUpMs = 120000;

std::string Join(const std::string& root, const std::string& rest) {
  if (!root.empty() && root.back() != '/' && root.back() != '\\') return root + "/" + rest;
  return root + rest;
}

std::string DataPath(const std::string& root, const std::string& name) {
  return platform::SuitePath(Join(root, "DADES/" + name + ".dat"));
}

std::string Status(int16_t s) { return "status " + std::to_string(s); }

// Why an insert or update was refused, for the statuses a CSV row can cause.
std::string WriteRefusal(int16_t s, const std::string& path) {
  if (s == recman::B_DUPLICATE_KEY) return "its key is already there";
  if (s == recman::B_MODIFIABLE_KEY_ERROR)
    return "it would change a key that may not change, " + Status(s);
  return StatusText(s, path);
}

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
  path_ = path;
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
      *error = "cannot open " + path + " (" + StatusText(s, path) + ")";
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
      *error = "cannot create " + path + " (" + StatusText(s, path) + ")";
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
  StoreCounts counts;
  return StoreAll(records, -1, "", {}, &counts, error, failed);
}

int16_t ReportFile::DeleteByCode(const std::vector<std::string>& codes, size_t* deleted) {
  char data[kDataBuffer];
  char key[256];
  uint32_t length = kDataBuffer;
  int16_t s = recman::BTRCALL(recman::B_GET_FIRST, block_, data, &length, key, 255, 0);
  while (s == 0) {
    const std::string code(data, std::min<size_t>(length, 2));
    if (std::find(codes.begin(), codes.end(), code) != codes.end()) {
      s = recman::BTRCALL(recman::B_DELETE, block_, data, &length, key, 255, 0);
      if (s != 0) return s;
      ++*deleted;
    }
    length = kDataBuffer;
    s = recman::BTRCALL(recman::B_GET_NEXT, block_, data, &length, key, 255, 0);
  }
  return s == recman::B_END_OF_FILE ? 0 : s;
}

bool ReportFile::StoreAll(const std::vector<std::string>& records, int replaceKey,
                          const std::string& given, const std::vector<std::string>& deleteCodes,
                          StoreCounts* counts, std::string* error, size_t* failed) {
  long waited = 0;
  for (;;) {
    const int16_t s = StoreOnce(records, replaceKey, given, deleteCodes, counts, error, failed);
    if (s == 0) return true;
    const bool conflict = s == recman::B_CONFLICT || s == recman::B_RECORD_LOCKED ||
                          s == recman::B_FILE_LOCKED;
    if (!conflict || waited >= kGiveUpMs) return false;
    // Nothing of the transaction is stored: it is tried again, whole.
    if (waited == 0) {
      std::fprintf(stderr, "zuldata: %s: %s\n", path_.c_str(),
                   platform::Cp850ToUtf8(datafile::LockMessage()).c_str());
    }
    const long ms = std::lround(1.0 + platform::RandomUnit() * kMaxWaitMs);
    platform::SleepMs(ms);
    waited += ms;
  }
}

int16_t ReportFile::StoreOnce(const std::vector<std::string>& records, int replaceKey,
                              const std::string& given,
                              const std::vector<std::string>& deleteCodes, StoreCounts* counts,
                              std::string* error, size_t* failed) {
  *failed = records.size();
  *counts = StoreCounts();
  int16_t s = Transaction(recman::B_BEGIN_TRANSACTION);
  if (s != 0) {
    *error = "cannot start a transaction on " + name_ + " (" + StatusText(s, path_) + ")";
    return s;
  }
  size_t deleted = 0;
  if (!deleteCodes.empty() && (s = DeleteByCode(deleteCodes, &deleted)) != 0) {
    Transaction(recman::B_ABORT_TRANSACTION);
    *error = "cannot delete the records to replace in " + name_ + " (" + StatusText(s, path_) +
             ")";
    return s;
  }
  recman::FileLayout layout;
  if (replaceKey >= 0 && !Layout(&layout, error)) {
    Transaction(recman::B_ABORT_TRANSACTION);
    return recman::B_IO_ERROR;
  }
  size_t added = 0, updated = 0;
  for (size_t i = 0; i < records.size(); ++i) {
    bool there = false;
    if (replaceKey >= 0) {
      // Get Equal on the record's own key value: found, it is the record
      // to replace, and the get has made it the current one.
      if (records[i].size() < layout.recordLength ||
          replaceKey >= int(layout.keys.size())) {
        s = recman::B_INVALID_RECORD_LENGTH;
      } else {
        char key[256] = {};
        recman::ExtractKeyValue(layout, replaceKey,
                                reinterpret_cast<const uint8_t*>(records[i].data()),
                                reinterpret_cast<uint8_t*>(key));
        char data[kDataBuffer];
        uint32_t length = kDataBuffer;
        s = recman::BTRCALL(recman::B_GET_EQUAL, block_, data, &length, key, 255,
                            int16_t(replaceKey));
        there = s == 0;
        if (s == recman::B_KEY_NOT_FOUND) s = 0;
        if (there) {
          const size_t n = std::min(records[i].size(), sizeof data);
          for (size_t b = 0; b < n; ++b)
            if (given.empty() || (b < given.size() && given[b] != 0)) data[b] = records[i][b];
          if (given.empty()) length = uint32_t(n);
          s = recman::BTRCALL(recman::B_UPDATE, block_, data, &length, key, 255,
                              int16_t(replaceKey));
        }
      }
    }
    if (s == 0 && !there) s = Insert(records[i]);
    if (s == 0) {
      ++(there ? updated : added);
      continue;
    }
    Transaction(recman::B_ABORT_TRANSACTION);
    *failed = i;
    *error = "the record cannot be stored in " + name_ + " (" + WriteRefusal(s, path_) + ")";
    return s;
  }
  s = Transaction(recman::B_END_TRANSACTION);
  if (s != 0) {
    *error = "cannot store the records in " + name_ + " (" + StatusText(s, path_) + ")";
    return s;
  }
  counts->inserted = added;
  counts->replaced = updated;
  counts->deleted = deleted;
  return 0;
}

bool ReportFile::Layout(recman::FileLayout* layout, std::string* error) {
  std::vector<char> data(65536);
  uint32_t length = uint32_t(data.size());
  char key[256] = {};
  int16_t s = recman::BTRCALL(recman::B_STAT, block_, data.data(), &length, key, 255, 0);
  if (s == 0)
    s = recman::ParseLayout(reinterpret_cast<const uint8_t*>(data.data()), length, layout);
  if (s != 0) {
    *error = "cannot read the layout of " + name_ + " (" + StatusText(s, path_) + ")";
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
    *error = "cannot read " + name_ + " (" + StatusText(s, path_) + ")";
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
