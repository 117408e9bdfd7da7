// Helpers shared by the record manager's tests: thin wrappers over BTRCALL
// that keep the tests readable (temporary directories: platform/test_dir.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/coding.h"
#include "recman/btrcall.h"
#include "recman/key_layout.h"

namespace recman {
namespace testing_support {

// One open file: its position block and the last results.
struct Handle {
  uint8_t block[kPositionBlockSize] = {};
  std::string data;     // data returned by the last call
  std::string key;      // key buffer after the last call
  uint32_t length = 0;  // data length returned

  // Calls BTRCALL with a data buffer holding `in` (capacity `cap`, or the
  // size of `in` when 0) and a key buffer holding `keyIn` (capacity 256).
  int16_t Call(uint16_t op, const std::string& in, const std::string& keyIn,
               int16_t keyNumber, uint32_t cap = 0, uint16_t keyCap = 256) {
    std::vector<uint8_t> d(std::max<size_t>(cap ? cap : in.size(), 1) + 16, 0);
    std::copy(in.begin(), in.end(), d.begin());
    std::vector<uint8_t> k(std::max<size_t>(keyCap, keyIn.size()) + 1, 0);
    std::copy(keyIn.begin(), keyIn.end(), k.begin());
    length = cap ? cap : uint32_t(in.size());
    int16_t st = BTRCALL(op, block, d.data(), &length, k.data(), keyCap, keyNumber);
    data.assign(d.begin(), d.begin() + std::min<size_t>(length, d.size()));
    key.assign(k.begin(), k.begin() + keyCap);
    return st;
  }

  int16_t Open(const std::string& path, int16_t mode = 0,
               const std::string& owner = std::string()) {
    return Call(B_OPEN, owner, path + std::string(1, '\0'), mode,
                uint32_t(owner.size()));
  }
  int16_t Close() { return Call(B_CLOSE, "", "", 0); }
  int16_t Insert(const std::string& record, int16_t keyNumber = 0) {
    return Call(B_INSERT, record, "", keyNumber);
  }
  int16_t Update(const std::string& record) { return Call(B_UPDATE, record, key, 0); }
  int16_t Delete() { return Call(B_DELETE, "", "", 0); }
  // A get along key `keyNumber` with the key value `keyValue` in the key buffer.
  int16_t Get(uint16_t op, int16_t keyNumber, const std::string& keyValue = "",
              uint32_t cap = 1536) {
    return Call(op, "", keyValue, keyNumber, cap);
  }
  // Get Next/Previous keep the key buffer as the last call left it.
  int16_t Step(uint16_t op, int16_t keyNumber) { return Call(op, "", key, keyNumber, 1536); }
};

// Creates a data file; returns the status of Create.
inline int16_t CreateFile(const std::string& path, const std::string& creation,
                          int16_t mode = -1) {
  uint8_t block[kPositionBlockSize] = {};
  std::vector<uint8_t> data(1536, 0);
  std::copy(creation.begin(), creation.end(), data.begin());
  uint32_t len = 1536;
  std::vector<uint8_t> key(256, 0);
  std::copy(path.begin(), path.end(), key.begin());
  return BTRCALL(B_CREATE, block, data.data(), &len, key.data(), 256, mode);
}

inline SegmentDef Seg(uint16_t position, uint16_t length, uint16_t flags = 0,
                      uint8_t type = 0) {
  SegmentDef d;
  d.position = position;
  d.length = length;
  d.flags = flags;
  d.type = type;
  return d;
}

// The counter record of the multi-process and snapshot tests, 16 bytes:
// id u32 at 0 (key 0, unique, binary), value u32 at 4, zero filler.
inline std::string CounterSpec() {
  return EncodeLayout(16, 1024, 0, {{Seg(1, 4, KF_BINARY)}}, {});
}
inline std::string Counter(uint32_t id, uint32_t value) {
  std::string r(16, '\0');
  platform::EncodeFixed32(&r[0], id);
  platform::EncodeFixed32(&r[4], value);
  return r;
}
// The key value of counter `id`, and the value of the counter last read.
inline std::string CounterKey(uint32_t id) { return Counter(id, 0).substr(0, 4); }
inline uint32_t CounterValue(const Handle& h) { return platform::DecodeFixed32(h.data.data() + 4); }

}  // namespace testing_support
}  // namespace recman
