// Record operations: positioning, stepping, physical positions, lock modes,
// key images and the close of all files, with the fetch that waits on locks.
//
// The report reads hundreds of thousands of records in a pass, so the fetch
// works on buffers on the stack (no heap traffic per call), copies only the
// bytes it must, and takes key lengths from the slot rather than asking the
// record manager for the file statistics on every seek.
#include "datafile/record_ops.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "console/message.h"
#include "console/windows.h"
#include "datafile/file_table.h"
#include "datafile/data_messages.h"
#include "platform/coding.h"
#include "platform/env.h"
#include "recman/btrcall.h"

namespace datafile {

namespace {

constexpr int kLockMessageRow = 24;
constexpr double kMaxLockWaitMs = 10000.0;  // plus 1: waits of 1 to 10 001 ms

// Copies the first `length` bytes of a returned key buffer into `KeyValue`,
// whose length is the length of the current key (no reallocation).
void RefreshKeyValue(FileSlot& slot, const unsigned char* key) {
  if (!slot.KeyValue.empty()) {
    std::memcpy(&slot.KeyValue[0], key, slot.KeyValue.size());
  }
}

// Copies the first `dataLength` bytes returned in the data buffer into the
// record buffer, as far as `RecordLength` allows (0 when the file was bound
// to no buffer).
void Deliver(FileSlot& slot, const unsigned char* data, uint32_t dataLength) {
  uint32_t limit = static_cast<uint32_t>(slot.RecordLength);
  uint32_t n = dataLength < limit ? dataLength : limit;
  if (n > 0) std::memcpy(slot.RecordBuffer, data, n);
}

// One fetch of the current record by `operation`, waiting on locks when the
// file's lock mode is 1. The data buffer starts as a copy of the record
// buffer and the returned data are copied back whatever the status, so a
// fetch that fails without touching the buffer leaves the record as it was.
int16_t FetchWithLockWait(FileSlot& slot, uint16_t operation) {
  if (slot.LockMode != 0 && recman::TakesLockBias(operation)) {
    operation += recman::B_LOCK_SINGLE_NOWAIT;
  }
  unsigned char data[kDataBufferSize];
  unsigned char key[kKeyBufferSize];
  const uint16_t keyLength = static_cast<uint16_t>(slot.KeyValue.size());
  int attempt = 0;
  bool messageShown = false;
  for (;;) {
    if (attempt == 1) {
      // ShowMessage puts the box on the terminal at once, so the operator
      // sees it during the waits.
      messageShown = console::ShowMessage(kLockMessageRow, LockMessage());
    }
    if (slot.RecordLength > 0) std::memcpy(data, slot.RecordBuffer, slot.RecordLength);
    uint32_t dataLength = static_cast<uint32_t>(slot.RecordLength);
    std::memcpy(key, slot.KeyValue.data(), keyLength);
    int16_t status = recman::BTRCALL(operation, slot.PositionBlock.data(), data,
                                     &dataLength, key, keyLength, slot.KeyNumber);
    Deliver(slot, data, dataLength);
    RefreshKeyValue(slot, key);

    if ((status == recman::B_RECORD_LOCKED || status == recman::B_FILE_LOCKED) &&
        slot.LockMode == 1) {
      platform::SleepMs(std::lround(platform::RandomUnit() * kMaxLockWaitMs + 1.0));
      if (attempt < 2) ++attempt;
      continue;
    }
    // Only a message that was pushed is popped: popping otherwise would
    // remove a window that belongs to someone else.
    if (messageShown) console::PopWindow();
    return status;
  }
}

int16_t SuccessIfCut(int16_t status) {
  return status == recman::B_DATA_BUFFER_LENGTH ? 0 : status;
}

}  // namespace

void DataSeek(int16_t fileNumber, int16_t keyNumber, const std::string& keyValue,
              int16_t mode, int16_t& status) {
  int s = OpenSlot(fileNumber);
  if (s == 0) {
    status = recman::B_FILE_NOT_OPEN;
    return;
  }
  FileSlot& slot = table.Slots[s];
  size_t length = static_cast<size_t>(KeyLength(slot, keyNumber));
  if (length == 0) {
    status = kStatusNoSuchKey;
    return;
  }
  slot.KeyNumber = keyNumber;
  slot.KeyValue.assign(keyValue, 0, std::min(length, keyValue.size()));
  slot.KeyValue.resize(length, '\0');
  uint16_t operation = mode == 0  ? recman::B_GET_EQUAL
                       : mode > 0 ? recman::B_GET_GE
                                  : recman::B_GET_LE;
  status = SuccessIfCut(FetchWithLockWait(slot, operation));
}

void DataSkip(int16_t fileNumber, int16_t count, int16_t& status) {
  int s = OpenSlot(fileNumber);
  if (s == 0) {
    status = recman::B_FILE_NOT_OPEN;
    return;
  }
  FileSlot& slot = table.Slots[s];
  uint16_t operation = count < 0 ? recman::B_GET_PREVIOUS : recman::B_GET_NEXT;
  status = 0;
  int n = count < 0 ? -static_cast<int>(count) : count;
  if (n > 1) {
    // Records stepped over go to scratch buffers and are never locked.
    unsigned char data[kDataBufferSize] = {};
    unsigned char key[kKeyBufferSize] = {};
    while (n > 1 && status == 0) {
      uint32_t dataLength = kDataBufferSize;
      status = recman::BTRCALL(operation, slot.PositionBlock.data(), data,
                               &dataLength, key, kKeyBufferSize, slot.KeyNumber);
      RefreshKeyValue(slot, key);
      status = SuccessIfCut(status);
      --n;
    }
  }
  if (n != 0 && status == 0) {
    status = SuccessIfCut(FetchWithLockWait(slot, operation));
  }
}

int32_t DataPosition(int16_t fileNumber, int32_t position) {
  int s = OpenSlot(fileNumber);
  if (s == 0) return position == 0 ? 0 : recman::B_FILE_NOT_OPEN;
  FileSlot& slot = table.Slots[s];
  unsigned char data[kDataBufferSize] = {};
  uint32_t dataLength = kDataBufferSize;
  if (position == 0) {
    unsigned char key[1] = {};
    int16_t status = recman::BTRCALL(recman::B_GET_POSITION, slot.PositionBlock.data(),
                                     data, &dataLength, key, 0, 0);
    if (status != 0) return 0;
    return static_cast<int32_t>(platform::DecodeFixed32(data));
  }
  platform::EncodeFixed32(data, static_cast<uint32_t>(position));
  unsigned char key[kKeyBufferSize] = {};
  int16_t status = recman::BTRCALL(recman::B_GET_DIRECT, slot.PositionBlock.data(), data,
                                   &dataLength, key, kKeyBufferSize, slot.KeyNumber);
  RefreshKeyValue(slot, key);
  status = SuccessIfCut(status);
  if (status == 0) Deliver(slot, data, dataLength);
  return status;
}

void DataLockMode(int16_t fileNumber, const std::string& commands, int16_t& status) {
  int s = OpenSlot(fileNumber);
  if (s == 0) {
    status = recman::B_FILE_NOT_OPEN;
    return;
  }
  FileSlot& slot = table.Slots[s];
  std::string& stack = table.LockStack;
  for (char c : commands) {
    switch (c) {
      case 'D': case 'd': slot.LockMode = 0; break;
      case 'A': case 'a': slot.LockMode = 1; break;
      case 'B': case 'b': slot.LockMode = 2; break;
      case '+':
        stack += static_cast<char>(s);
        stack += static_cast<char>(slot.LockMode);
        break;
      case '-':
        for (size_t i = stack.size(); i >= 2; i -= 2) {
          if (static_cast<unsigned char>(stack[i - 2]) == s) {
            slot.LockMode = static_cast<unsigned char>(stack[i - 1]);
            stack.erase(i - 2, 2);
            break;
          }
        }
        break;
      default:
        break;
    }
  }
}

std::string KeyImage(const std::string& keyValue, int16_t fileNumber) {
  int s = OpenSlot(fileNumber);
  if (s == 0) return keyValue;
  const FileSlot& slot = table.Slots[s];
  std::string image = keyValue;
  if (slot.KeyNumber < 0 || slot.KeyNumber >= static_cast<int>(slot.Keys.size())) {
    return image;
  }
  size_t offset = 0;
  for (const KeySegment& seg : slot.Keys[slot.KeyNumber]) {
    size_t length = seg.Length;
    if (seg.Flags & recman::KF_BINARY) {
      if (image.size() < offset + length) image.resize(offset + length, '\0');
      std::reverse(image.begin() + offset, image.begin() + offset + length);
    } else if ((seg.Flags & recman::KF_ALT_COLLATING) && !slot.CollatingTable.empty()) {
      size_t end = std::min(offset + length, image.size());
      for (size_t i = offset; i < end; ++i) {
        image[i] = slot.CollatingTable[static_cast<unsigned char>(image[i])];
      }
    }
    offset += length;
  }
  return image;
}

std::string DataKey(int16_t fileNumber) {
  int s = OpenSlot(fileNumber);
  if (s == 0) return std::string();
  return KeyImage(table.Slots[s].KeyValue, fileNumber);
}

void DataCloseAll(int16_t& status) {
  unsigned char data[4] = {};
  unsigned char key[1] = {};
  uint32_t dataLength = 0;
  status = recman::BTRCALL(recman::B_RESET, table.Slots[0].PositionBlock.data(), data,
                           &dataLength, key, 0, 0);
  if (status != 0) return;
  for (int s = 1; s <= kMaxFiles; ++s) table.Slots[s] = FileSlot();
}

}  // namespace datafile
