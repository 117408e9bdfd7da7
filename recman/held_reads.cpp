// Held read snapshots: reads without system calls while nothing changes.
//
// RATIONALE
//
// Each SQLite read transaction costs system calls: a shared lock on the
// database and on a read mark of the -shm file, their release, and a size
// check of the database (some four fcntl and two fstat calls). A report
// pass makes tens of reads per department, so a read transaction per call
// puts the kernel, not SQLite, at the top of the profile. So an open file
// keeps its read transaction (its snapshot) from one non-locking read to
// the next, as long as that cannot make a call miss a commit.
//
// The promise kept: every call sees what other processes (and other opens
// in this process) had committed before the call began, i.e. every write
// whose BTRCALL had returned.
//
// The change signal. The first page of the data file's lock file
// (lock_file.h) is mapped MAP_SHARED by every open in every process; it
// holds a 64-bit write generation.
//   - A writer adds one to it with an atomic add after its commit and
//     before its BTRCALL returns: after every Insert, Update, Delete, Set
//     and Clear Owner that reached the storage (whatever its status: a
//     failed commit might still have landed, and a needless signal only
//     costs a fresh snapshot), after End Transaction (not Abort) for each
//     file written in the transaction, and after Create.
//   - A reader, before each non-locking read, loads the generation (an
//     atomic load, a plain memory read) and compares it with the value it
//     loaded before its held snapshot began. Equal: no writer has returned
//     since the snapshot was taken, so the snapshot holds every write that
//     had returned before this call began; the read uses it. Different: the
//     snapshot is let go and a new one begun.
//   Within a held snapshot the engine may also keep the scan of a Get Next
//   or Get Previous open for the next one (sqlite_table.cpp); it is closed
//   with the snapshot.
// Order is what makes this sound. The reader loads the generation BEFORE
// its new snapshot begins (the snapshot is taken by the first read after
// the deferred BEGIN), so a write that bumps in between is only counted
// as unseen, and costs one needless renewal at the next call; loading after
// would record a generation whose write the snapshot may lack. The writer
// bumps AFTER its commit, so a reader that sees the new generation and then
// takes a snapshot finds the commit in it.
//
// What else lets a snapshot go (the caller's own actions):
//   - a write of the same open: the table lets it go before BEGIN
//     IMMEDIATE, and the write's bump renews the other opens' snapshots;
//   - a get or step with a lock bias: it reads without a held snapshot,
//     each of its statements a read transaction of its own (the record is
//     sought again once locked and must then be the latest);
//   - Begin Transaction lets every snapshot go, and inside a transaction
//     nothing is held;
//   - Close and Reset, with the connection.
// And time: a snapshot holds back every writer's checkpoint (the WAL file
// grows while any reader sits on an old snapshot), so:
//   - no snapshot is kept longer than kHoldLimitNs past its beginning: each
//     BTRCALL reads the coarse monotonic clock (platform::CoarseNowNs, read
//     from the vDSO without a system call) and lets every snapshot go once
//     the oldest is older than that;
//   - before a blocking wait (the console's key wait, the wait for a child
//     program) every snapshot is let go through the platform's before-wait
//     hook (platform/wait_hooks.h), registered at the first Open. So an
//     operator sitting on a form holds back nobody, and neither the form
//     engine nor the data-file layer nor the report knows of this.
// A program that computes for long without calling BTRCALL and without
// waiting keeps its snapshots that long; the suite's programs read on
// steadily or wait for a key.
//
// Traps:
//   - A process that dies holding the page or a snapshot: the page holds a
//     plain number and no lock state, so nothing is left to clean; its
//     snapshot dies with its connection. A writer that dies between its
//     commit and its bump leaves a commit that no generation announces:
//     readers on older snapshots miss it until their snapshot ends, within
//     kHoldLimitNs or at their next wait, and any later write announces it.
//   - A file replaced by Create: Create holds the exclusive open byte, so
//     no open of the old file exists anywhere, in this process or another,
//     and every snapshot after it is taken on the new file. The lock file
//     (and with it the generation) is never removed, so the page survives
//     the replacement; Create bumps it anyway, so no generation loaded
//     before the replacement can match one after it.
//   - Two opens of one file in one process: each open maps the page
//     itself, so the process has two mappings of the same page. They are
//     the same memory (MAP_SHARED of one file), so a bump through one is
//     seen through the other, and a write of one open renews the other's
//     snapshot exactly as a write of another process does.
//   - No shared page (a file system that refuses to extend or map the lock
//     file): nothing is held; every read is its own read transaction.
//   - fork: the child forgets the parent's opens (btrcall.cpp) and so its
//     snapshots; the parent's stay its own.
//   - Other machines: the page is shared memory of one machine, as SQLite's
//     own -shm file is; files shared between machines need a server engine.
//
// Limit run (benchmarks only): with ZULRECMAN_UNCHECKED_READS=1 in the
// environment when the first file is opened, reads keep their snapshot
// with no change check and no time limit at all (waits still let it go).
// Such a process may read stale data for as long as it runs; it measures
// what the checks cost and is never for use with shared files.

#include "platform/env.h"
#include "platform/wait_hooks.h"
#include "recman/record_manager.h"

namespace recman {

namespace {

// The wait hook: before the program blocks, nothing stays held.
void LetGoBeforeWait() { LetGoAllReads(); }

}  // namespace

void InstallHeldReads() {
  if (manager.uncheckedReads < 0)
    manager.uncheckedReads = platform::GetEnv("ZULRECMAN_UNCHECKED_READS") == "1" ? 1 : 0;
  platform::AddWaitHook(LetGoBeforeWait);
}

void LetGoRead(OpenFile* f) {
  if (!f->held) return;
  f->held = false;
  f->table->ReleaseRead();
}

void LetGoAllReads() {
  for (auto& f : manager.files)
    if (f) LetGoRead(f.get());
  manager.anyHeld = false;
}

void ExpireHeldReads() {
  if (!manager.anyHeld || manager.uncheckedReads > 0) return;
  if (platform::CoarseNowNs() - manager.oldestHeldNs >= kHoldLimitNs) LetGoAllReads();
}

void BeginRead(OpenFile* f, bool locking) {
  if (locking || manager.transaction || !f->locks->hasSharedPage()) {
    LetGoRead(f);
    return;
  }
  if (manager.uncheckedReads > 0 && f->held) return;
  const uint64_t generation = f->locks->Generation();  // before the snapshot
  if (f->held) {
    if (generation == f->heldGeneration && f->table->holdingRead()) return;
    LetGoRead(f);
  }
  if (f->table->HoldRead() != B_OK) return;  // this read goes without
  f->held = true;
  f->heldGeneration = generation;
  if (!manager.anyHeld) {
    manager.anyHeld = true;
    manager.oldestHeldNs = platform::CoarseNowNs();
  }
}

void EndRead(OpenFile* f, int16_t status) {
  // Not found and end of file are answers; anything else may have left the
  // snapshot in doubt, so the next read begins afresh.
  if (status != B_OK && status != B_END_OF_FILE && status != B_KEY_NOT_FOUND &&
      status != B_INVALID_RECORD_ADDRESS)
    LetGoRead(f);
}

void SignalWrite(OpenFile* f) {
  if (!manager.transaction) f->locks->BumpGeneration();
}

}  // namespace recman
