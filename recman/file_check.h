// Integrity check of a data file: the storage itself, then every key against
// the records it indexes.
//
// CheckDataFile opens the file read-only through the storage engine (no
// locks: it may run beside programs that use the file) and lists problems:
//   - whatever the engine's own check reports (SQLite integrity_check; the
//     server engine's table and catalogue checks);
//   - a record shorter than the record length, or longer in a fixed-length
//     file;
//   - per key: an entry whose image differs from the image rebuilt from its
//     record, an entry missing for a record or present for a null key,
//     entries out of order, two records with one value in a unique key;
//   - a record count that differs from the records found.
// The walk over the records reads one record per call, so a file that other
// programs change meanwhile can show transient differences; run it on a
// quiet file for a verdict.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace recman {

struct CheckResult {
  uint32_t records = 0;                // records found in position order
  std::vector<std::string> problems;   // empty when the file is sound
};

// Returns 0 when the file could be examined (see result->problems), 12 when
// it does not exist, 30 when it is not a data file, 2 when it is too damaged
// to be examined at all.
int16_t CheckDataFile(const std::string& nativePath, CheckResult* result);

}  // namespace recman
