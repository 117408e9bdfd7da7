// Read-ahead of the server engine: consecutive non-locking reads along a
// key served from rows fetched ahead, with the visibility the files give.
// Only the server engine's table (pg_table.cpp) uses it.
//
// RATIONALE
//
// Every statement is a round trip to the server (some 20 us over a Unix
// socket, 0.2 to 1 ms over a network), and a report pass makes tens of
// reads per department, most of them steps along a key. So a read outside
// any transaction, without a lock, fetches the entries that follow it along
// its key in one statement, and the next steps are served from them: the
// seek that starts a walk fetches its own entry, the next statements 8, 64,
// then 512 entries each.
//
// THE PROTOCOL
//
// Entries. Along a key the entries sort by (image, position); a unique key
// by its image alone, which is the same order with every position taken as
// 1 (Order below). Every seek of SeekHow is "the first entry beyond a bound,
// going up or down" (Bound): Get First has no bound, Get Next is beyond the
// current entry, Get Equal/Greater or Equal beyond (image, 0), Get Greater
// beyond (image, 2^32), and the same downwards.
//
// What is known. Rows fetched by one statement are every entry between two
// bounds: the statement's own bound, exclusive, and the last row it gave
// (or the end of the key, when it gave fewer rows than asked). A step (Get
// Next or Previous) whose answer lies inside the known stretch is answered
// from it, whichever way it goes (a walk that changes direction, the end of
// the file). A step whose bound lies outside it, or whose answer lies
// beyond its last row, goes to the server: beyond the last row the next
// batch is fetched from there (and replaces the rows), elsewhere the walk
// starts again with 8. A seek that starts a walk (Get First, Last, Equal,
// Greater...) always goes to the server: it sees every write that had
// returned before it began, as on the files.
//
// Visibility. The rows of a statement belong to its snapshot. They are
// served only while the snapshot is younger than kAheadLimitNs (100 ms, as
// long as the file engine holds a read snapshot at most), and only while
// nothing says that the file changed:
//   - another terminal's write: every write statement of the server engine
//     calls pg_notify on the file's channel ("zul_" and the object id of
//     its record table) inside its own transaction, so the server delivers
//     it exactly when the write commits, to every session that listens
//     there. A table listens from its first read-ahead on (one LISTEN per
//     file and connection). Before a fetched-ahead row is served, the
//     session reads what the socket holds without waiting (PQconsumeInput,
//     PQnotifies; once per tick of the coarse clock, a few ms, so that a
//     walk makes no system call per row); a notification for the file
//     drops its rows. The server
//     sends it after the commit, while the writer already goes on: a step
//     may miss a commit whose notification is still on its way, for no
//     longer than kAheadLimitNs (the bound of the promise for steps);
//   - this process's writes: the record manager's held-read protocol
//     (recman/held_reads.cpp) lets the rows go before every write of the
//     same open, and after a write of another open of the same file (the
//     session keeps a write generation per file for the opens of the
//     process, the FileLocks page);
//   - locking reads and reads inside a transaction: the protocol never
//     holds them (they go to the server one statement each), and Begin
//     Transaction lets every held read go;
//   - before the program blocks (a key wait, a child program), every held
//     read is let go.
//
// TRAPS
//   - A lost connection loses the notifications that were on their way:
//     at a reconnection (the session's epoch moves on) every table drops its
//     rows and listens again.
//   - A file replaced by Create gets a new record table, so a new object id
//     and a new channel; no open of the old file exists anywhere (Create
//     holds the exclusive open lock), so no rows of it are left to serve.
//   - A walk that changes direction is answered from the known stretch
//     while it lies inside it; at its edge the next statement fetches
//     anew in the new direction.
//   - fork: the child forgets the parent's opens (btrcall.cpp) and with them
//     their rows; its sessions are the parent's and are never used.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "recman/engine.h"

namespace recman {
namespace pg {

// The longest a fetched-ahead row is served after its statement began.
constexpr int64_t kAheadLimitNs = 100 * 1000 * 1000;

// The sizes of the batches of a walk: the seek that starts it fetches its
// own row, a step that finds no rows to serve kFirstBatch, and each batch
// fetched on from the last row eight times the one before, up to
// kLargestBatch.
constexpr uint32_t kSeekBatch = 1;
constexpr uint32_t kFirstBatch = 8;
constexpr uint32_t kLargestBatch = 512;

// A place in a key's order: an entry (image, position), or a bound between
// entries (positions of entries are 1 .. 2^32 - 1, so 0 and 2^32 lie beside
// every entry of an image). A unique key orders by image alone: its entries
// count as position 1.
struct Order {
  std::string image;  // the key's length
  uint64_t pos = 0;
};

// The bound of a seek: the entry sought is the first beyond it in the
// direction of the seek; open: from the first (up) or last (down) entry.
struct Bound {
  bool open = false;
  bool up = true;
  Order at;
};

// The bound of a seek as SeekHow gives it, for a key with (duplicates) or
// without duplicates.
Bound BoundOf(SeekHow how, const uint8_t* image, uint32_t length, uint32_t pos, bool duplicates);

// A fetched-ahead row.
struct AheadRow {
  Order order;     // position as the key orders it (1 for a unique key)
  uint32_t pos = 0;
  int64_t version = 0;
  std::string record;
};

// The rows of one key fetched by one statement, and the stretch of the key
// they cover.
class ReadAhead {
 public:
  bool empty() const { return key_ < 0; }
  int key() const { return key_; }

  // Forgets the rows (not the sizes of the batches so far).
  void Drop() { key_ = -1; rows_.clear(); }

  // The rows of a statement that sought beyond `from` and asked for
  // `asked` rows (fewer: the key ends there), each with its order; taken
  // is when the statement began, changes the file's change count then.
  void Fill(int key, const Bound& from, uint32_t asked, std::vector<AheadRow> rows,
            int64_t taken, uint64_t changes);

  enum class Answer {
    kRow,     // *row is the entry sought
    kEnd,     // there is none (end of file)
    kBeyond,  // it lies just beyond the last row: fetch on from there
    kUnknown  // the rows do not tell
  };
  // Answers a seek on `key` from the rows.
  Answer Find(int key, const Bound& bound, const AheadRow** row) const;

  // A seek was answered from the rows without a fetch.
  void NoteServed() { ++served_; }

  // The bound to fetch on from (after kBeyond), and the size of the next
  // batch.
  Bound Continuation() const;
  uint32_t NextBatch() const;

  // The size of the batch to fetch for a seek on `key` that the rows could
  // not answer (kUnknown): the next size when the last batch fetched was
  // on the same key and answered some seek besides its own (lookups that
  // keep landing near each other, as in a small file read over and over),
  // else `base`. Kept when the rows are dropped: a walk or a series of
  // lookups that lost its rows to the time limit or a write goes on with
  // batches of the size it had reached; lone lookups on a large file stay
  // at `base`.
  uint32_t BatchFor(int key, uint32_t base) const;

  int64_t taken() const { return taken_; }
  uint64_t changes() const { return changes_; }

 private:
  // The lowest row beyond an upward bound, the highest below a downward
  // one (binary searches: the rows are sorted), or null.
  const AheadRow* Lowest(const Bound& bound) const;
  const AheadRow* Highest(const Bound& bound) const;

  int key_ = -1;
  bool up_ = true;         // the statement's direction
  Bound from_;             // its bound (exclusive)
  bool complete_ = false;  // the key ends after the last row
  uint32_t asked_ = 0;
  int lastKey_ = -1;       // the key of the last batch fetched
  uint32_t served_ = 0;    // seeks it answered besides its own
  std::vector<AheadRow> rows_;  // in the statement's direction
  int64_t taken_ = 0;
  uint64_t changes_ = 0;
};

}  // namespace pg
}  // namespace recman
