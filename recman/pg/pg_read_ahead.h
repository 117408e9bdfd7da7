// Read-ahead of the server engine: consecutive non-locking reads along a
// key served from rows fetched ahead, with the visibility the files give.
// Only the server engine's table (pg_table.cpp) uses it.
//
// RATIONALE
//
// Every statement is a round trip to the server (some 20 us over a Unix
// socket, 0.2 to 1 ms over a network), and a report pass makes tens of
// reads per department: steps along a key, and lookups (Get Equal) in
// small files read over and over. So a read outside any transaction,
// without a lock, fetches the entries that follow it along its key in one
// statement, and the next reads are served from them.
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
// (or the end of the key, when it gave fewer rows than asked). A seek whose
// answer lies inside that known stretch is answered from it, found or not
// found, whichever way it goes (a walk that changes direction, the end of
// the file). A seek whose answer lies just beyond the last row fetches the
// next batch from there, eight times the last one (32, 256, 512); any
// other seek fetches from its own bound, with a batch as large as the next
// one when the last batch of the key answered seeks besides its own
// (lookups that keep landing near each other), else with 32: a browse
// list's screen of lines comes in one round trip. Which seeks the rows
// may answer depends on the write generation (below): with the machine's
// shared page, every seek; without it only the steps (Get Next and
// Previous), and a seek that starts a walk asks the server for its own row.
//
// A long walk. From the second batch of 512 fetched on in a row, the table
// sends the statement of the next batch as soon as a batch is in
// (Session::Send) and collects its result when the walk reaches it, so
// that the server makes a batch while the one before is served. That batch
// belongs to the moment it was sent, and is taken only while nothing let
// the rows before it go: every drop of the rows (a write, a notification,
// the time limit, a key wait) throws the sent statement away too
// (Session::Forget), and so does any other statement of the session, which
// first waits for its end (Session::Drain). Walks of a few hundred rows
// send nothing they may not use.
//
// Visibility. The promise is the file engine's: every read sees what had
// been committed before it began, by every write whose call had returned.
//   - writers of this machine: every data file has a write generation on
//     the shared page of its lock file, the same file beside the data
//     file's native path (in the suite root, which holds no data of a
//     server suite) and the same mapping as the file engine's
//     (recman/sqlite/lock_file.h, Session::WritePage). Every writer of the
//     server engine adds one to it after its commit returned and before
//     its call returns, and a reader compares it, one memory load, before
//     every read: the record manager's held-read protocol
//     (recman/held_reads.cpp) lets the rows go when it moved since before
//     they were fetched. So a writer that tells a reader of the machine
//     through a pipe, a file, a signal, is seen by the reader's next read,
//     exactly;
//   - writers of other machines: every write statement calls pg_notify on
//     the file's channel ("zul_" and the object id of its record table)
//     inside its own transaction, so the server delivers it when the write
//     commits, to every session that listens there. A table listens from
//     its first read-ahead on (one LISTEN per file and connection, issued
//     between statements, never while a result is pending). Before a
//     fetched-ahead row is served, the session reads what the socket holds
//     without waiting (PQconsumeInput, PQnotifies; once per tick of the
//     coarse clock, a few ms, so that a walk makes no system call per row);
//     a notification for the file drops its rows. The server sends it
//     after the commit, while the writer already goes on: a read may miss
//     another machine's commit whose notification is still on its way, for
//     no longer than kAheadLimitNs (100 ms, as long as the file engine
//     holds a read snapshot at most): rows older than that are never
//     served;
//   - this process's writes: the held-read protocol lets the rows go before
//     every write of the same open, and the write's bump of the generation
//     lets the other opens' rows go;
//   - locking reads and reads inside a transaction: the protocol never
//     holds them (they go to the server one statement each), and Begin
//     Transaction lets every held read go;
//   - before the program blocks (a key wait, a child program), every held
//     read is let go.
//
// TRAPS
//   - No shared page (the suite root's DADES folder missing or read-only):
//     the generation is one of this process's own (Session::WritePage),
//     which other processes of the machine never bump; seeks then always
//     go to the server and only steps are served, within the bound of
//     other machines' writes.
//   - A suite root on a network share: each machine maps the page from its
//     own cache, and a share may bring another machine's copy of the page
//     in, moving the generation in any direction. Visibility between
//     processes of one machine then falls back to the bound of other
//     machines' writes (notification, kAheadLimitNs); two roots of one
//     machine naming the same schema do the same.
//   - A writer that dies between its commit and its bump leaves a commit
//     that no generation announces: its notification still drops the rows,
//     and kAheadLimitNs bounds the rest.
//   - A lost connection loses the notifications that were on their way:
//     at a reconnection (the session's epoch moves on) every table drops its
//     rows and listens again.
//   - A file replaced by Create gets a new record table, so a new object id
//     and a new channel; no open of the old file exists anywhere (Create
//     holds the exclusive open lock), so no rows of it are left to serve,
//     and Create bumps the generation (the lock file is the path's, not the
//     table's).
//   - A walk that changes direction is answered from the known stretch
//     while it lies inside it; at its edge the next statement fetches
//     anew in the new direction.
//   - A reader that sees every write exactly sees a writer that keeps
//     inserting ahead of its walk as often as it inserts: such a walk ends
//     only when the writer stops.
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

// The sizes of the batches: a seek that only the server answers fetches
// its own row, one the rows may answer kFirstBatch at first, and each
// batch fetched on from the last row eight times the one before, up to
// kLargestBatch.
constexpr uint32_t kSeekBatch = 1;
constexpr uint32_t kFirstBatch = 32;  // a list's screen of lines and the one after
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
