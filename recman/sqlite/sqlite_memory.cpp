// SQLite's memory routines for this program: small blocks are kept for
// reuse instead of going back to malloc.
//
// Every record read makes SQLite allocate and free a few small blocks (the
// statement's cursors, copies of the columns read), and the Debian build of
// the library has no lookaside memory to serve them. Kept here, each such
// block costs a list push and pop instead of a trip through malloc and free.
//
// Block layout: 16 bytes of header, then the caller's bytes (so the caller
// gets malloc's 16-byte alignment):
//   offset 0   void*   next block in its free list (only while free)
//   offset 8   size_t  usable size of the block (what xSize reports)
// Sizes up to kSmall are rounded up to a multiple of 16 and kept, when
// freed, in one list per size (at most kKeep blocks each, so the cache
// stays under a megabyte); larger blocks go straight to malloc and free.
//
// State: the free lists, the one Cache instance below. They hold memory
// SQLite has given back, so they live for the whole process and are never
// reset. The routines take no lock: ConfigureLibrary installs them only
// together with SQLite's single-thread mode, in which every SQLite call of
// the process comes from one thread at a time.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "recman/sqlite/sqlite_internal.h"

namespace recman {
namespace sqlite_internal {

namespace {

constexpr size_t kHeader = 16;
constexpr size_t kSmall = 1024;
constexpr size_t kClasses = kSmall / 16 + 1;
constexpr uint32_t kKeep = 64;

struct Cache {
  void* free[kClasses] = {};
  uint32_t count[kClasses] = {};
};
Cache cache;

size_t& SizeField(char* block) { return *reinterpret_cast<size_t*>(block + 8); }
void*& NextField(char* block) { return *reinterpret_cast<void**>(block); }
char* BlockOf(void* p) { return static_cast<char*>(p) - kHeader; }

int Roundup(int n) {
  if (n <= 0) n = 1;
  return size_t(n) <= kSmall ? (n + 15) & ~15 : (n + 7) & ~7;
}

void* Malloc(int n) {
  const size_t size = size_t(Roundup(n));
  if (size <= kSmall) {
    const size_t c = size / 16;
    if (cache.free[c]) {
      char* block = static_cast<char*>(cache.free[c]);
      cache.free[c] = NextField(block);
      --cache.count[c];
      return block + kHeader;
    }
  }
  char* block = static_cast<char*>(std::malloc(kHeader + size));
  if (!block) return nullptr;
  SizeField(block) = size;
  return block + kHeader;
}

void Free(void* p) {
  if (!p) return;
  char* block = BlockOf(p);
  const size_t size = SizeField(block);
  if (size <= kSmall && cache.count[size / 16] < kKeep) {
    const size_t c = size / 16;
    NextField(block) = cache.free[c];
    cache.free[c] = block;
    ++cache.count[c];
    return;
  }
  std::free(block);
}

int Size(void* p) { return p ? int(SizeField(BlockOf(p))) : 0; }

void* Realloc(void* p, int n) {
  const size_t size = size_t(Roundup(n));
  const size_t old = SizeField(BlockOf(p));
  if (old > kSmall && size > kSmall) {
    char* block = static_cast<char*>(std::realloc(BlockOf(p), kHeader + size));
    if (!block) return nullptr;
    SizeField(block) = size;
    return block + kHeader;
  }
  void* q = Malloc(n);
  if (!q) return nullptr;
  std::memcpy(q, p, old < size ? old : size);
  Free(p);
  return q;
}

int Init(void*) { return SQLITE_OK; }
void Shutdown(void*) {}

}  // namespace

const sqlite3_mem_methods* BlockCacheMethods() {
  static const sqlite3_mem_methods methods = {Malloc, Free,  Realloc, Size,
                                              Roundup, Init, Shutdown, nullptr};
  return &methods;
}

}  // namespace sqlite_internal
}  // namespace recman
