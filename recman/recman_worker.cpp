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
//   recman_worker writer PATH
//       opens PATH and carries out one command per line of standard input,
//       printing "ok" (or "status N") once the call has returned:
//         insert ID VALUE   inserts record ID with VALUE
//         update ID VALUE   reads record ID and updates it to VALUE
//         delete ID         reads record ID and deletes it
//         create ID VALUE   closes PATH, creates it anew (replacing it),
//                           opens it again and inserts record ID with VALUE
//       Exits 0 at the end of input.
//   recman_worker idle PATH wait|nowait
//       opens PATH and reads its first record along key 0, which leaves a
//       read snapshot held; with "wait", then waits for a key the way the
//       console does (headless console: the before-wait hooks run, then the
//       wait ends at once). Prints "idle" and sits reading standard input
//       until its end, doing nothing else.
//
// Counter/burst record (16 bytes): id u32 at 0 (key 0, unique, binary),
// value u32 at 4, filler.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/coding.h"
#include "platform/console.h"
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

// One line of standard input without its line end; false at the end.
bool ReadLine(std::string* line) {
  line->clear();
  char c;
  for (;;) {
    ssize_t n = read(0, &c, 1);
    if (n <= 0) return !line->empty();
    if (c == '\n') return true;
    line->push_back(c);
  }
}

int16_t Insert(uint8_t* block, uint32_t id, uint32_t value) {
  uint8_t data[16] = {};
  platform::EncodeFixed32(data, id);
  platform::EncodeFixed32(data + 4, value);
  uint32_t len = sizeof data;
  uint8_t key[4];
  return BTRCALL(B_INSERT, block, data, &len, key, 4, 0);
}

// Reads record id (no lock) and updates it to value or deletes it.
int16_t Change(uint8_t* block, uint32_t id, bool remove, uint32_t value) {
  uint8_t key[4];
  platform::EncodeFixed32(key, id);
  uint8_t data[16];
  uint32_t len = sizeof data;
  int16_t st = BTRCALL(B_GET_EQUAL, block, data, &len, key, 4, 0);
  if (st != 0) return st;
  if (remove) return BTRCALL(B_DELETE, block, data, &len, key, 4, 0);
  platform::EncodeFixed32(data + 4, value);
  len = sizeof data;
  return BTRCALL(B_UPDATE, block, data, &len, key, 4, 0);
}

int16_t Recreate(uint8_t* block, const char* path) {
  uint8_t creation[64];
  uint32_t len = sizeof creation;
  int16_t st = BTRCALL(B_STAT, block, creation, &len, nullptr, 0, 0);
  if (st != 0) return st;
  platform::EncodeFixed32(creation + FS_RECORD_COUNT, 0);
  BTRCALL(B_CLOSE, block, nullptr, &len, nullptr, 0, 0);
  char key[256] = {};
  std::snprintf(key, sizeof key, "%s", path);
  uint8_t none[128] = {};
  st = BTRCALL(B_CREATE, none, creation, &len, key, 256, B_CREATE_REPLACE);
  int16_t reopened = Open(block, path, 0);
  return st != 0 ? st : reopened;
}

int Writer(const char* path) {
  uint8_t block[128] = {};
  int16_t st = Open(block, path, 0);
  if (st != 0) {
    Say("open status " + std::to_string(st));
    return 3;
  }
  std::string line;
  while (ReadLine(&line)) {
    char verb[16] = {};
    unsigned long id = 0, value = 0;
    if (std::sscanf(line.c_str(), "%15s %lu %lu", verb, &id, &value) < 2) {
      Say("bad command " + line);
      return 3;
    }
    std::string v = verb;
    if (v == "insert") st = Insert(block, uint32_t(id), uint32_t(value));
    else if (v == "update") st = Change(block, uint32_t(id), false, uint32_t(value));
    else if (v == "delete") st = Change(block, uint32_t(id), true, 0);
    else if (v == "create") {
      st = Recreate(block, path);
      if (st == 0) st = Insert(block, uint32_t(id), uint32_t(value));
    } else {
      Say("bad command " + line);
      return 3;
    }
    Say(st == 0 ? "ok" : "status " + std::to_string(st));
  }
  return 0;
}

int Idle(const char* path, bool keyWait) {
  uint8_t block[128] = {};
  int16_t st = Open(block, path, 0);
  uint8_t data[16];
  uint32_t len = sizeof data;
  uint8_t key[4];
  if (st == 0) st = BTRCALL(B_GET_FIRST, block, data, &len, key, 4, 0);
  if (st != 0) {
    Say("status " + std::to_string(st));
    return 3;
  }
  if (keyWait) {
    platform::ConsoleStartWith(platform::ConsoleBackendKind::kHeadless);
    platform::ConsoleWaitInput(1000);
  }
  Say("idle");
  std::string line;
  while (ReadLine(&line)) {
  }
  return 0;
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
  if (cmd == "writer" && argc == 3) return Writer(argv[2]);
  if (cmd == "idle" && argc == 4) return Idle(argv[2], std::string(argv[3]) == "wait");
  std::fprintf(stderr, "usage: recman_worker hold|stress|txn|burst|writer|idle ...\n");
  return 2;
}
