// The record manager on damaged files: a data file, either a sound file
// with bytes changed at fuzzed offsets or wholly fuzzed bytes, opened and
// put through a fuzzed sequence of BTRCALL operations (gets along every
// key, physical steps, positions, inserts, updates, deletes, transactions,
// locks). Every call must return a status; none may crash, hang or leak.
// Input: a mode byte (even: damage the sound file, odd: the file is the
// bytes after the patches), a patch count, patches (4-byte offset, byte),
// then operations of 4 bytes each (operation, key number, data buffer
// size, key bytes to give) followed by the bytes they use.
#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/files.h"
#include "recman/btrcall.h"
#include "recman/key_layout.h"
#include "recman/sqlite/lock_file.h"
#include "recman/record_manager.h"

namespace {

using namespace recman;

constexpr uint16_t kRecordLength = 24;

int16_t Call(uint16_t op, uint8_t* block, std::vector<uint8_t>* data, uint32_t length,
             std::vector<uint8_t>* key, int16_t keyNumber) {
  return BTRCALL(op, block, data->data(), &length, key->data(),
                 static_cast<uint16_t>(key->size()), keyNumber);
}

void RemoveDataFile(const std::string& path) {
  for (const std::string& p : {path, path + "-wal", path + "-shm", LockFile::PathFor(path)}) {
    std::remove(p.c_str());
  }
}

// The sound file: 40 records under a unique binary key, a key with
// duplicates over a text, and a descending, case-insensitive key with nulls.
const std::string& SoundFile() {
  static const std::string bytes = [] {
    const std::string path = fuzz::ScratchDir() + "SOUND.dat";
    std::vector<std::vector<SegmentDef>> keys(3);
    SegmentDef s;
    s.position = 1;
    s.length = 2;
    s.flags = KF_EXTENDED_TYPE | KF_BINARY;
    s.type = XT_UNSIGNED_BINARY;
    keys[0].push_back(s);
    s = SegmentDef();
    s.position = 3;
    s.length = 10;
    s.flags = KF_DUPLICATES | KF_MODIFIABLE;
    keys[1].push_back(s);
    s.position = 1;
    s.length = 2;
    keys[1].push_back(s);
    s = SegmentDef();
    s.position = 13;
    s.length = 8;
    s.flags = KF_DUPLICATES | KF_MODIFIABLE | KF_NULL | KF_DESCENDING | KF_CASE_INSENSITIVE;
    s.nullValue = ' ';
    keys[2].push_back(s);
    const std::string creation = EncodeLayout(kRecordLength, 4096, 0, keys, {});
    std::vector<uint8_t> data(1536, 0);
    std::copy(creation.begin(), creation.end(), data.begin());
    std::vector<uint8_t> key(256, 0);
    std::copy(path.begin(), path.end(), key.begin());
    uint8_t block[kPositionBlockSize] = {};
    if (Call(B_CREATE, block, &data, 1536, &key, B_CREATE_REPLACE) != 0) std::abort();
    if (Call(B_OPEN, block, &data, 0, &key, 0) != 0) std::abort();
    for (int i = 0; i < 40; ++i) {
      std::vector<uint8_t> record(kRecordLength, ' ');
      record[0] = static_cast<uint8_t>(i * 7);
      record[1] = static_cast<uint8_t>(i % 3);
      std::string name = "NOM" + std::to_string(i % 9);
      std::copy(name.begin(), name.end(), record.begin() + 2);
      if (i % 4 != 0) {
        std::string other = "cl" + std::to_string(i);
        std::copy(other.begin(), other.end(), record.begin() + 12);
      }
      std::vector<uint8_t> none(256, 0);
      if (Call(B_INSERT, block, &record, kRecordLength, &none, 0) != 0) std::abort();
    }
    std::vector<uint8_t> none(256, 0);
    Call(B_RESET, block, &none, 0, &none, 0);
    manager = RecmanState();
    std::string file;
    if (!platform::ReadFile(path, &file)) std::abort();
    RemoveDataFile(path);
    return file;
  }();
  return bytes;
}

const uint16_t kOperations[] = {
    B_GET_EQUAL,  B_GET_NEXT,   B_GET_PREVIOUS,      B_GET_GREATER,     B_GET_GE,
    B_GET_LESS,   B_GET_LE,     B_GET_FIRST,         B_GET_LAST,        B_STAT,
    B_GET_POSITION, B_GET_DIRECT, B_STEP_NEXT,       B_STEP_FIRST,      B_STEP_LAST,
    B_STEP_PREVIOUS, B_INSERT,  B_UPDATE,            B_DELETE,          B_BEGIN_TRANSACTION,
    B_END_TRANSACTION, B_ABORT_TRANSACTION, B_UNLOCK, B_GET_NEXT + B_LOCK_SINGLE_NOWAIT,
    B_GET_FIRST + B_LOCK_SINGLE_NOWAIT, B_STEP_NEXT + B_LOCK_SINGLE_NOWAIT,
};
constexpr size_t kOperationCount = sizeof kOperations / sizeof kOperations[0];
constexpr int kMaxCalls = 64;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
  fuzz::FuzzInput in(input, size);
  const uint8_t mode = in.Byte();
  std::string file = SoundFile();
  const int patches = in.Byte() % 32;
  for (int i = 0; i < patches; ++i) {
    const uint32_t offset = in.U32();
    const uint8_t value = in.Byte();
    if (!file.empty()) file[offset % file.size()] = static_cast<char>(value);
  }
  if (mode & 1) file = in.Line();
  const std::string path = fuzz::ScratchDir() + "DAMAGED.dat";
  RemoveDataFile(path);
  fuzz::WriteScratch("DAMAGED.dat", file);

  uint8_t block[kPositionBlockSize] = {};
  std::vector<uint8_t> data(16, 0);
  std::vector<uint8_t> key(256, 0);
  std::copy(path.begin(), path.end(), key.begin());
  const int16_t openMode = (mode & 2) ? B_MODE_READ_ONLY : B_MODE_NORMAL;
  if (Call(B_OPEN, block, &data, 0, &key, openMode) == 0) {
    for (int call = 0; call < kMaxCalls && !in.empty(); ++call) {
      const uint16_t op = kOperations[in.Byte() % kOperationCount];
      const int16_t keyNumber = static_cast<int16_t>(static_cast<int8_t>(in.Byte()) % 5);
      const uint32_t capacity = in.Byte() * 2u;
      const size_t keyBytes = in.Byte() % 24;
      // The data buffer holds what the call writes and, for writes and
      // Get Direct, what it reads; the key buffer the key to look for.
      std::vector<uint8_t> buffer(capacity > 0 ? capacity : 1, 0);
      for (uint32_t i = 0; i < capacity && i < kRecordLength + 4u; ++i) buffer[i] = in.Byte();
      std::vector<uint8_t> keyBuffer(256, 0);
      for (size_t i = 0; i < keyBytes; ++i) keyBuffer[i] = in.Byte();
      uint32_t length = capacity;
      BTRCALL(op, block, buffer.data(), &length, keyBuffer.data(),
              static_cast<uint16_t>(keyBuffer.size()), keyNumber);
    }
  }
  std::vector<uint8_t> none(256, 0);
  Call(B_RESET, block, &none, 0, &none, 0);
  manager = RecmanState();
  RemoveDataFile(path);
  return 0;
}
