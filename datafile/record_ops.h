// Record operations on open data files, and the wait on locked records.
//
// Every operation names the file by the logical number given to DataOpen and
// delivers the fetched record into the record buffer bound there, never more
// than the file's `RecordLength` bytes. An operation on a number that is not
// open (number 0 included) does nothing and reports status 3.
//
// Statuses: 0 success; the record manager's own codes (4 key not found, 9 end
// of file, 84 record locked, 85 file locked, ...); 3 the file number is not
// open; 1004 the key number does not exist in the file. Status 22 (data
// buffer too short) counts as success for positioning and stepping: the
// record is delivered cut to `RecordLength`.
//
// Lock modes (`LockMode` of each file, set by DataLockMode; 0 after open):
//   0 "D"  reads take no record lock
//   1 "A"  reads take the record manager's no-wait single-record lock; while
//          the record or the file is locked by another program (84, 85) the
//          read waits a random 1 to 10 001 ms and retries, without limit,
//          showing the lock message on row 24 from the second attempt on
//          and removing it when the wait ends. Random waits keep terminals
//          that collide from retrying in step.
//   2 "B"  reads take the no-wait lock; a conflict is returned at once.
// Only the final fetch of DataSeek and DataSkip takes a lock; records stepped
// over by DataSkip and records fetched by DataPosition are read without.
//
// State: the file table and the lock-mode stack (file_table.h).
#pragma once

#include <cstdint>
#include <string>

#include "recman/btrcall.h"

namespace datafile {

// ---- Seek modes, skip directions and the statuses callers test -------------

// DataSeek's mode: the record whose key equals the value, the first whose
// key is greater or equal (any mode above 0), the last whose key is less or
// equal (any mode below 0).
constexpr int16_t kSeekEqual = 0;
constexpr int16_t kSeekGreaterOrEqual = 1;
constexpr int16_t kSeekLessOrEqual = -1;

// DataSkip's count for the next and the previous record along the index.
constexpr int16_t kSkipNext = 1;
constexpr int16_t kSkipPrevious = -1;

// The statuses of the record operations that callers tell apart: the record
// manager's own codes (recman/btrcall.h); the layer's own are in
// file_table.h.
constexpr int16_t kStatusOk = recman::B_OK;                        // 0
constexpr int16_t kStatusFileNotOpen = recman::B_FILE_NOT_OPEN;    // 3
constexpr int16_t kStatusKeyNotFound = recman::B_KEY_NOT_FOUND;    // 4
constexpr int16_t kStatusEndOfFile = recman::B_END_OF_FILE;        // 9
constexpr int16_t kStatusRecordLocked = recman::B_RECORD_LOCKED;   // 84
constexpr int16_t kStatusFileLocked = recman::B_FILE_LOCKED;       // 85

// Positions on index `keyNumber` and fetches the record. Mode 0: the first
// record whose key equals `keyValue`; mode > 0: the first record whose key
// is greater than or equal to it; mode < 0: the last record whose key is
// less than or equal to it. The key value is padded with zero bytes or cut
// to the key's length. Sets the file's `KeyNumber` and `KeyValue`; a failed
// fetch leaves the record buffer as it was. Status 1004 (nothing changes)
// when the file has no key `keyNumber`.
void DataSeek(int16_t fileNumber, int16_t keyNumber, const std::string& keyValue,
              int16_t mode, int16_t& status);

// Steps `count` records along the current index (backwards when negative)
// and fetches the last one; the records stepped over are not delivered.
// Count 0 does nothing (status 0). When a step fails (9 at the end of the
// file) its status is returned, the record buffer keeps its previous record
// and `KeyValue` is that of the last record stepped over.
void DataSkip(int16_t fileNumber, int16_t count, int16_t& status);

// Position 0: the physical position of the current record (0 on failure or
// when the number is not open). Other positions: fetches the record at that
// position (without a lock), makes the file's `KeyNumber` the current index
// again and returns the status; the record buffer changes only on success.
int32_t DataPosition(int16_t fileNumber, int32_t position);

// Applies the commands, in order and without regard to case: "D", "A", "B"
// set the lock mode to 0, 1, 2; "+" saves the mode on the lock-mode stack;
// "-" restores the most recent mode saved for this file and drops that entry
// (nothing happens when there is none); other characters are ignored.
// Status 3 when the number is not open; otherwise `status` is left as it was.
void DataLockMode(int16_t fileNumber, const std::string& commands, int16_t& status);

// The key value rewritten so that plain byte comparison follows the order of
// the file's current index: binary segments (little-endian unsigned) become
// most significant byte first, padding a short value with zero bytes;
// segments sorted by the alternate collating sequence become their weights.
// The value unchanged when the number is not open.
std::string KeyImage(const std::string& keyValue, int16_t fileNumber);

// KeyImage of the file's current `KeyValue`; empty when the number is not open.
std::string DataKey(int16_t fileNumber);

// Resets the record manager's connection, which closes every data file of
// the program and releases its locks. Status 0 frees every slot; otherwise
// the record manager's status, and the table stays as it was.
void DataCloseAll(int16_t& status);

}  // namespace datafile
