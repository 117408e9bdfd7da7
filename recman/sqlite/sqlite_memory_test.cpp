#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "recman/sqlite/sqlite_internal.h"

namespace recman {
namespace sqlite_internal {
namespace {

// Fills n bytes with a pattern that depends on the seed.
void Fill(void* p, int n, int seed) {
  for (int i = 0; i < n; ++i) static_cast<unsigned char*>(p)[i] = (unsigned char)(i * 7 + seed);
}
bool Holds(const void* p, int n, int seed) {
  for (int i = 0; i < n; ++i)
    if (static_cast<const unsigned char*>(p)[i] != (unsigned char)(i * 7 + seed)) return false;
  return true;
}

TEST(SqliteMemoryTest, SizesAreWhatRoundupPromisesAndBlocksDoNotOverlap) {
  const sqlite3_mem_methods& m = *BlockCacheMethods();
  std::vector<void*> blocks;
  for (int n : {1, 15, 16, 17, 500, 1023, 1024, 1025, 5000}) {
    for (int k = 0; k < 3; ++k) {
      void* p = m.xMalloc(n);
      ASSERT_NE(p, nullptr);
      EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 16, 0u);
      EXPECT_EQ(m.xSize(p), m.xRoundup(n)) << n;
      EXPECT_GE(m.xSize(p), n);
      Fill(p, m.xSize(p), int(blocks.size()));
      blocks.push_back(p);
    }
  }
  for (size_t i = 0; i < blocks.size(); ++i)
    EXPECT_TRUE(Holds(blocks[i], m.xSize(blocks[i]), int(i))) << i;
  for (void* p : blocks) m.xFree(p);
  // Freed small blocks come back for the same size, whole.
  void* again = m.xMalloc(500);
  EXPECT_EQ(m.xSize(again), m.xRoundup(500));
  Fill(again, 500, 3);
  EXPECT_TRUE(Holds(again, 500, 3));
  m.xFree(again);
  m.xFree(nullptr);
}

TEST(SqliteMemoryTest, ReallocKeepsTheContentAcrossSizes) {
  const sqlite3_mem_methods& m = *BlockCacheMethods();
  void* p = m.xMalloc(40);
  Fill(p, 40, 1);
  for (int n : {100, 1024, 3000, 9000, 2000, 600, 24}) {
    int keep = std::min(m.xSize(p), n);
    Fill(p, keep, n);
    p = m.xRealloc(p, n);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(m.xSize(p), m.xRoundup(n));
    EXPECT_TRUE(Holds(p, keep, n)) << n;
  }
  m.xFree(p);
}

}  // namespace
}  // namespace sqlite_internal
}  // namespace recman
