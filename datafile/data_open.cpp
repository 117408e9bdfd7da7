// Opening data files: the slot search, the path rule, the open with its wait
// on locked files and creation of missing ones, the file statistics read
// once at open, and the failure path that ends the program.
#include "datafile/data_open.h"

#include <cstdlib>
#include <cstring>

#include "config/session.h"
#include "console/message.h"
#include "datafile/file_table.h"
#include "datafile/data_messages.h"
#include "datafile/owner.h"
#include "datafile/record_ops.h"
#include "platform/codepage.h"
#include "platform/coding.h"
#include "platform/env.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "recman/btrcall.h"
#include "recman/creation_layout_file.h"

namespace datafile {

OpenFailureState openFailure;

namespace {

constexpr long kLockedFileRetryMs = 3000;  // wait between opens of a locked file

// Reads the file statistics once and keeps what the record operations need:
// the declared record length, the segments of every key and the alternate
// collating table. Entries that would run past the returned data are not
// believed: a damaged statistics block gives fewer keys, never a read beyond
// the buffer.
void ReadFileShape(FileSlot& slot) {
  unsigned char data[kDataBufferSize] = {};
  unsigned char key[kKeyBufferSize] = {};
  uint32_t dataLength = kDataBufferSize;
  recman::BTRCALL(recman::B_STAT, slot.PositionBlock.data(), data, &dataLength,
                  key, kKeyBufferSize, 0);
  int limit = dataLength < kDataBufferSize ? static_cast<int>(dataLength)
                                           : kDataBufferSize;
  slot.FileRecordLength = platform::DecodeFixed16(data + recman::FS_RECORD_LENGTH);
  int keyCount = platform::DecodeFixed16(data + recman::FS_NUMBER_OF_KEYS);

  int offset = recman::FS_SIZE;
  bool usesTable = false;
  for (int k = 0; k < keyCount; ++k) {
    std::vector<KeySegment> segments;
    int total = 0;
    bool more = true;
    while (more && offset + recman::KS_SIZE <= limit) {
      KeySegment seg;
      seg.Length = platform::DecodeFixed16(data + offset + recman::KS_LENGTH);
      seg.Flags = platform::DecodeFixed16(data + offset + recman::KS_FLAGS);
      more = (seg.Flags & recman::KF_SEGMENTED) != 0;
      if (seg.Flags & recman::KF_ALT_COLLATING) usesTable = true;
      total += seg.Length;
      segments.push_back(seg);
      offset += recman::KS_SIZE;
    }
    // A key cut short by the end of the data, or longer than a key buffer
    // can carry, is not a key this layer can work with.
    if (more || total > recman::kMaxKeyLength) break;
    slot.Keys.push_back(std::move(segments));
  }
  if (usesTable && offset + recman::ACS_SIZE <= limit) {
    slot.CollatingTable.assign(
        reinterpret_cast<const char*>(data + offset + recman::ACS_TABLE), 256);
  }
}

// Reads the creation layout into `creation` (which holds the data buffer
// of Create, zero-filled). Returns 0, or the status that refuses it: a
// layout longer than the data buffer cannot be passed to Create. A
// layout file that is short or damaged is passed on as it reads (bytes it
// lacks as zero bytes), for Create to judge.
int16_t ReadCreationLayout(const std::string& name, unsigned char* creation) {
  std::string xdf = platform::SuitePath(
      recman::CreationLayoutFileName(config::session.RootDir, name));
  std::string layout;
  if (recman::ReadCreationLayoutFile(xdf, &layout) == recman::LayoutFileStatus::kCannotRead) {
    // Opening for binary access creates the file: an empty layout is
    // left behind for the administrator to see.
    if (!platform::PathExists(xdf)) platform::WriteFile(xdf, std::string());
  }
  if (layout.size() > static_cast<size_t>(kDataBufferSize)) return recman::B_DATA_BUFFER_LENGTH;
  std::memcpy(creation, layout.data(), layout.size());
  return 0;
}

// Opens the file `fileName` (a suite name already known to fit the key
// buffer), with the waits and the creation of a missing file. Returns the
// final status.
int16_t OpenWithWait(FileSlot& slot, const std::string& fileName,
                     const std::string& name) {
  unsigned char key[kKeyBufferSize] = {};
  std::memcpy(key, fileName.data(), fileName.size());
  std::string owner = OwnerName();
  bool created = false;
  for (;;) {
    slot.PositionBlock.fill(0);
    unsigned char ownerBuffer[kOwnerNameLength + 1] = {};
    std::memcpy(ownerBuffer, owner.data(), kOwnerNameLength);
    uint32_t ownerLength = kOwnerNameLength + 1;
    int16_t status = recman::BTRCALL(recman::B_OPEN, slot.PositionBlock.data(),
                                     ownerBuffer, &ownerLength, key,
                                     kKeyBufferSize, recman::B_MODE_NORMAL);
    if (status == recman::B_FILE_LOCKED) {
      platform::SleepMs(kLockedFileRetryMs);
      continue;
    }
    // One creation per open: a file that is still missing after it was
    // created is reported, not created again for ever.
    if (status != recman::B_FILE_NOT_FOUND || created) return status;

    unsigned char creation[kDataBufferSize] = {};
    int16_t refused = ReadCreationLayout(name, creation);
    if (refused != 0) return refused;
    uint32_t layoutLength = kDataBufferSize;
    FileSlot& scratch = table.Slots[0];
    status = recman::BTRCALL(recman::B_CREATE, scratch.PositionBlock.data(), creation,
                             &layoutLength, key, kKeyBufferSize,
                             recman::B_CREATE_NO_REPLACE);
    // 59: another terminal created the file since our open; open theirs.
    if (status != 0 && status != recman::B_FILE_EXISTS) return status;
    created = true;
  }
}

// Tells the operator that a file cannot be opened and ends the program.
[[noreturn]] void EndOnOpenFailure(const std::string& path, int status) {
  if (openFailure.Report != nullptr) {
    openFailure.Report(OpenFailureMessage(path, status));
  } else {
    console::ShowMessageAndWait(12, OpenFailureMessage(path, status));
  }
  // Ordinary files are opened and closed within each operation, so only
  // the data files remain to be closed.
  int16_t closeStatus = 0;
  DataCloseAll(closeStatus);
  std::exit(openFailure.ExitCode);
}

}  // namespace

int FindSlot(int16_t fileNumber) {
  int freeSlot = 0;
  for (int s = 1; s <= kMaxFiles; ++s) {
    int16_t held = table.Slots[s].FileNumber;
    if (held == 0) {
      freeSlot = s;
    } else if (held == fileNumber) {
      return s;
    }
  }
  return -freeSlot;
}

DataPath SplitDataPath(const std::string& path) {
  DataPath parts;
  parts.Name = path;
  parts.Extension = ".dat";
  size_t nameEnd = path.size();
  for (size_t i = path.size(); i-- > 0;) {
    char c = path[i];
    if (c == '.') {
      parts.Name = path.substr(0, i);
      parts.Extension = path.substr(i);
      nameEnd = i;
    } else if (c == ':' || c == '\\' || c == '/') {
      parts.Directory = path.substr(0, i + 1);
      parts.Name = path.substr(i + 1, nameEnd - (i + 1));
      break;
    }
  }
  return parts;
}

void DataOpen(int16_t fileNumber, const std::string& path, void* recordBuffer,
              int16_t& status, int32_t recordBufferSize) {
  int found = fileNumber == 0 ? 1 : FindSlot(fileNumber);
  if (found > 0) {
    status = kStatusAlreadyOpen;
    return;
  }
  if (found == 0) {
    status = kStatusNoFreeSlot;
    return;
  }
  FileSlot& slot = table.Slots[-found];
  slot = FileSlot();
  slot.FileNumber = fileNumber;
  slot.RecordBuffer = static_cast<unsigned char*>(recordBuffer);
  if (recordBuffer == nullptr) recordBufferSize = 0;  // nowhere to deliver

  // The file name goes to the record manager as the suite names it; the
  // record manager applies the suite-path rule. The name and its zero byte
  // travel in the 256-byte key buffer: a longer one is an invalid name, not
  // an overflow.
  DataPath parts = SplitDataPath(path);
  std::string fileName = parts.Directory + parts.Name + parts.Extension;
  int16_t result = fileName.size() + 1 > kKeyBufferSize
                       ? recman::B_INVALID_FILE_NAME
                       : OpenWithWait(slot, fileName, parts.Name);
  // The operator sees the file as the file system names it.
  if (result != 0) EndOnOpenFailure(platform::Utf8ToCp850(platform::SuitePath(fileName)), result);

  ReadFileShape(slot);
  int32_t length = slot.FileRecordLength;
  if (length > kDataBufferSize) length = kDataBufferSize;
  if (recordBufferSize >= 0 && length > recordBufferSize) length = recordBufferSize;
  slot.RecordLength = length;
  slot.KeyValue.assign(KeyLength(slot, 0), '\0');
  status = 0;
}

void DataKeyInfo(int16_t fileNumber, int16_t keyNumber, int16_t& keyLength,
                 int16_t& recordLength) {
  keyLength = 0;
  recordLength = 0;
  int s = OpenSlot(fileNumber);
  if (s == 0) return;
  const FileSlot& slot = table.Slots[s];
  recordLength = static_cast<int16_t>(slot.FileRecordLength);
  keyLength = static_cast<int16_t>(KeyLength(slot, keyNumber));
}

}  // namespace datafile
