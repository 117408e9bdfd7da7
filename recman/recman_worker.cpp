// recman_worker: a small program the record manager's tests start as real
// separate processes (fork and exec) to share data files with them.
//
//   recman_worker hold PATH MODE [lock]
//       opens PATH with open mode MODE (0, -4, ...); with "lock", takes the
//       no-wait lock of the first record along key 0; prints "ready" or
//       "status N", then sleeps until killed.
//   recman_worker stress PATH ITERATIONS COUNTERS
//       ITERATIONS times: locks counter record (i mod COUNTERS) with a
//       no-wait get (retrying after a short random pause on 84), adds 1 to
//       its value and updates it. Exit 0, or 3 with a message on a failure.
//   recman_worker txn PATH ID MS
//       inserts record ID inside a transaction, prints "ready", keeps the
//       transaction (and with it the file's write lock) MS milliseconds,
//       then ends it and exits 0.
//   recman_worker burst PATH FIRST
//       inserts records with ids FIRST, FIRST+1, ... until killed, printing
//       each id after its insert returned 0.
//
// Counter/burst record (16 bytes): id u32 at 0 (key 0, unique, binary),
// value u32 at 4, filler.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/coding.h"
#include "platform/env.h"
#include "recman/btrcall.h"
#include "recman/key_layout.h"

using namespace recman;

namespace {

int Say(const std::string& line) {
  std::string l = line + "\n";
  return int(write(1, l.data(), l.size()));
}

int16_t Open(uint8_t* block, const char* path, int16_t mode) {
  char key[256] = {};
  std::snprintf(key, sizeof key, "%s", path);
  char owner[8] = {};
  uint32_t len = 0;
  return BTRCALL(B_OPEN, block, owner, &len, key, 256, mode);
}

int Hold(const char* path, int16_t mode, bool lock) {
  uint8_t block[128] = {};
  int16_t st = Open(block, path, mode);
  if (st == 0 && lock) {
    uint8_t data[16];
    uint32_t len = sizeof data;
    uint8_t key[4];
    st = BTRCALL(B_GET_FIRST + B_LOCK_SINGLE_NOWAIT, block, data, &len, key, 4, 0);
  }
  Say(st == 0 ? "ready" : "status " + std::to_string(st));
  for (;;) pause();
}

int Stress(const char* path, long iterations, uint32_t counters) {
  uint8_t block[128] = {};
  int16_t st = Open(block, path, 0);
  if (st != 0) {
    Say("open status " + std::to_string(st));
    return 3;
  }
  for (long i = 0; i < iterations; ++i) {
    uint8_t key[4];
    platform::EncodeFixed32(key, uint32_t(i % counters) + 1);
    uint8_t data[16];
    uint32_t len = sizeof data;
    for (;;) {
      len = sizeof data;
      st = BTRCALL(B_GET_EQUAL + B_LOCK_SINGLE_NOWAIT, block, data, &len, key, 4, 0);
      if (st != B_RECORD_LOCKED) break;
      platform::SleepMs(long(platform::RandomUnit() * 2));
    }
    if (st != 0) {
      Say("get status " + std::to_string(st));
      return 3;
    }
    platform::EncodeFixed32(data + 4, platform::DecodeFixed32(data + 4) + 1);
    len = sizeof data;
    st = BTRCALL(B_UPDATE, block, data, &len, key, 4, 0);
    if (st != 0) {
      Say("update status " + std::to_string(st));
      return 3;
    }
  }
  return 0;
}

int Transaction(const char* path, uint32_t id, long ms) {
  uint8_t block[128] = {};
  int16_t st = Open(block, path, 0);
  uint32_t len = 0;
  if (st == 0) st = BTRCALL(B_BEGIN_TRANSACTION, block, nullptr, &len, nullptr, 0, 0);
  uint8_t data[16] = {};
  uint8_t key[4];
  platform::EncodeFixed32(data, id);
  len = sizeof data;
  if (st == 0) st = BTRCALL(B_INSERT, block, data, &len, key, 4, 0);
  Say(st == 0 ? "ready" : "status " + std::to_string(st));
  if (st != 0) return 3;
  platform::SleepMs(ms);
  st = BTRCALL(B_END_TRANSACTION, block, nullptr, &len, nullptr, 0, 0);
  return st == 0 ? 0 : 3;
}

int Burst(const char* path, uint32_t first) {
  uint8_t block[128] = {};
  int16_t st = Open(block, path, 0);
  if (st != 0) {
    Say("open status " + std::to_string(st));
    return 3;
  }
  for (uint32_t id = first;; ++id) {
    uint8_t data[16] = {};
    platform::EncodeFixed32(data, id);
    platform::EncodeFixed32(data + 4, id * 7);
    uint32_t len = sizeof data;
    uint8_t key[4];
    st = BTRCALL(B_INSERT, block, data, &len, key, 4, 0);
    if (st != 0) {
      Say("insert status " + std::to_string(st));
      return 3;
    }
    Say(std::to_string(id));
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string cmd = argc > 1 ? argv[1] : "";
  if (cmd == "hold" && argc >= 4)
    return Hold(argv[2], int16_t(std::atoi(argv[3])), argc > 4 && std::string(argv[4]) == "lock");
  if (cmd == "stress" && argc == 5)
    return Stress(argv[2], std::atol(argv[3]), uint32_t(std::atol(argv[4])));
  if (cmd == "txn" && argc == 5)
    return Transaction(argv[2], uint32_t(std::atol(argv[3])), std::atol(argv[4]));
  if (cmd == "burst" && argc == 4) return Burst(argv[2], uint32_t(std::atol(argv[3])));
  std::fprintf(stderr, "usage: recman_worker hold|stress|txn|burst ...\n");
  return 2;
}
