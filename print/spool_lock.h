// One report pass at a time in a terminal's folder.
//
// The spool has one name in the terminal's folder (TempDir +
// "zudavivi.tmp"), so two passes that share the folder (two batch runs, two
// programs started with the same ZULTMP) would write and print each
// other's spool. A pass therefore holds the lock file TempDir +
// "zudavivi.lck" (platform/file_lock.h) from before it opens the spool
// until its print program has ended; a second pass waits for it, trying
// again at random intervals of 100 to 600 ms, without limit, as the data
// files wait on a locked record. The lock dies with the program that holds
// it, and the lock file exists only while it is held.
//
// State: print::state.passLock (spool.h).
#pragma once

#include <functional>
#include <string>

#include "print/spool.h"

namespace print {

inline constexpr char kSpoolLockName[] = "zudavivi.lck";  // inside TempDir

// The native path of the lock file: TempDir + "zudavivi.lck".
std::string SpoolLockPath();

// Takes the terminal's pass lock, waiting while another program holds it;
// `waiting` (when given) is called once, before the first wait, to tell
// the operator. Returns Ok when the lock is held (also when this program
// held it already), CannotCreate when the lock file cannot be made (the
// terminal's folder cannot be written: no spool could be either).
PrintStatus LockSpool(const std::function<void()>& waiting = nullptr);

// Lets the pass lock go (its file is removed); nothing when not held.
void UnlockSpool();

}  // namespace print
