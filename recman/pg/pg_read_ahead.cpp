// Read-ahead: what fetched-ahead rows can answer (contracts and protocol in
// pg_read_ahead.h).
#include "recman/pg/pg_read_ahead.h"

#include <algorithm>
#include <cstring>

namespace recman {
namespace pg {

namespace {

constexpr uint64_t kBeyondEveryPos = uint64_t(1) << 32;

int Compare(const Order& a, const Order& b) {
  int c = std::memcmp(a.image.data(), b.image.data(), std::min(a.image.size(), b.image.size()));
  if (c != 0) return c;
  if (a.pos != b.pos) return a.pos < b.pos ? -1 : 1;
  return 0;
}

}  // namespace

Bound BoundOf(SeekHow how, const uint8_t* image, uint32_t length, uint32_t pos, bool duplicates) {
  Bound b;
  b.up = how == SeekHow::kFirst || how == SeekHow::kAfter || how == SeekHow::kAtLeast ||
         how == SeekHow::kAbove;
  if (how == SeekHow::kFirst || how == SeekHow::kLast) {
    b.open = true;
    return b;
  }
  b.at.image.assign(reinterpret_cast<const char*>(image), length);
  switch (how) {
    case SeekHow::kAfter:
    case SeekHow::kBefore: b.at.pos = duplicates ? pos : 1; break;
    case SeekHow::kAtLeast:
    case SeekHow::kBelow: b.at.pos = 0; break;
    default: b.at.pos = kBeyondEveryPos; break;  // kAbove, kAtMost
  }
  return b;
}

void ReadAhead::Fill(int key, const Bound& from, uint32_t asked, std::vector<AheadRow> rows,
                     int64_t taken, uint64_t changes) {
  key_ = lastKey_ = key;
  served_ = 0;
  up_ = from.up;
  from_ = from;
  asked_ = asked;
  complete_ = rows.size() < asked;
  rows_ = std::move(rows);
  taken_ = taken;
  changes_ = changes;
}

ReadAhead::Answer ReadAhead::Find(int key, const Bound& bound, const AheadRow** row) const {
  if (key != key_) return Answer::kUnknown;
  // The known stretch, in key order: entries above low (or from the first
  // when lowOpen) and up to high (or to the last when highOpen). The
  // statement's own bound is exclusive, its last row inclusive.
  const bool lowOpen = up_ ? from_.open : complete_;
  const bool highOpen = up_ ? complete_ : from_.open;
  const Order* low = up_ ? &from_.at : (rows_.empty() ? nullptr : &rows_.back().order);
  const Order* high = up_ ? (rows_.empty() ? nullptr : &rows_.back().order) : &from_.at;
  if (bound.up) {
    if (!lowOpen && (bound.open || Compare(bound.at, *low) < 0)) return Answer::kUnknown;
    const AheadRow* best = Lowest(bound);
    if (best) {
      *row = best;
      return Answer::kRow;
    }
    if (highOpen) return Answer::kEnd;
    if (up_ && !bound.open && Compare(bound.at, *high) == 0) return Answer::kBeyond;
    return Answer::kUnknown;
  }
  if (!highOpen && (bound.open || Compare(bound.at, *high) > 0)) return Answer::kUnknown;
  const AheadRow* best = Highest(bound);
  if (best) {
    *row = best;
    return Answer::kRow;
  }
  if (lowOpen) return Answer::kEnd;
  if (!up_ && !bound.open && Compare(bound.at, *low) == 0) return Answer::kBeyond;
  return Answer::kUnknown;
}

const AheadRow* ReadAhead::Lowest(const Bound& bound) const {
  if (rows_.empty()) return nullptr;
  if (bound.open) return up_ ? &rows_.front() : &rows_.back();
  auto above = [&](const AheadRow& r) { return Compare(r.order, bound.at) > 0; };
  if (up_) {
    auto it = std::partition_point(rows_.begin(), rows_.end(), [&](const AheadRow& r) { return !above(r); });
    return it == rows_.end() ? nullptr : &*it;
  }
  auto it = std::partition_point(rows_.begin(), rows_.end(), above);
  return it == rows_.begin() ? nullptr : &*(it - 1);
}

const AheadRow* ReadAhead::Highest(const Bound& bound) const {
  if (rows_.empty()) return nullptr;
  if (bound.open) return up_ ? &rows_.back() : &rows_.front();
  auto below = [&](const AheadRow& r) { return Compare(r.order, bound.at) < 0; };
  if (up_) {
    auto it = std::partition_point(rows_.begin(), rows_.end(), below);
    return it == rows_.begin() ? nullptr : &*(it - 1);
  }
  auto it = std::partition_point(rows_.begin(), rows_.end(), [&](const AheadRow& r) { return !below(r); });
  return it == rows_.end() ? nullptr : &*it;
}

uint32_t ReadAhead::BatchFor(int key, uint32_t base) const {
  return key == lastKey_ && served_ > 0 ? NextBatch() : base;
}

Bound ReadAhead::Continuation() const {
  Bound b;
  b.up = up_;
  b.at = rows_.back().order;
  return b;
}

uint32_t ReadAhead::NextBatch() const {
  return std::min(std::max(asked_ * 8, kFirstBatch), kLargestBatch);
}

}  // namespace pg
}  // namespace recman
