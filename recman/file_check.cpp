#include "recman/file_check.h"

#include <cstring>
#include <memory>

#include "recman/btrcall.h"
#include "recman/engine.h"
#include "recman/engine_choice.h"

namespace recman {

namespace {

std::string At(uint32_t pos) { return "record at position " + std::to_string(pos); }

// Walks key k in order and compares each entry with its record.
void CheckKey(Table* t, int k, CheckResult* result) {
  const FileLayout& layout = t->info().layout;
  const Key& key = layout.keys[k];
  const std::string name = "key " + std::to_string(k) + ": ";
  Fetched row;
  uint8_t prev[kMaxKeyLength];
  uint32_t prevPos = 0;
  bool first = true;
  uint32_t entries = 0;
  int16_t st = t->SeekKey(k, SeekHow::kFirst, nullptr, 0, &row);
  while (st == B_OK) {
    ++entries;
    std::string image;
    bool present = row.length >= layout.recordLength &&
                   RecordKeyImage(layout, k, row.record, &image);
    if (!present)
      result->problems.push_back(name + At(row.pos) + " has an entry but a null key");
    else if (std::memcmp(image.data(), row.image, key.length) != 0)
      result->problems.push_back(name + At(row.pos) + ": entry does not match the record");
    if (!first) {
      int c = std::memcmp(prev, row.image, key.length);
      if (c > 0 || (c == 0 && prevPos >= row.pos)) {
        // A damaged index could lead the walk in circles: stop here.
        result->problems.push_back(name + At(row.pos) + " is out of order");
        return;
      }
      if (c == 0 && !key.duplicates)
        result->problems.push_back(name + At(row.pos) + " repeats a unique value");
    }
    std::memcpy(prev, row.image, key.length);
    prevPos = row.pos;
    first = false;
    st = t->SeekKey(k, SeekHow::kAfter, prev, prevPos, &row);
  }
  if (st != B_END_OF_FILE)
    result->problems.push_back(name + "walk stopped with status " + std::to_string(st));
  // Count the records that should have an entry.
  uint32_t expected = 0;
  uint32_t last = 0;
  st = t->SeekPhysical(SeekHow::kFirst, 0, -1, &row);
  while (st == B_OK && (row.pos > last || last == 0)) {
    std::string image;
    if (row.length >= layout.recordLength && RecordKeyImage(layout, k, row.record, &image))
      ++expected;
    last = row.pos;
    st = t->SeekPhysical(SeekHow::kAfter, row.pos, -1, &row);
  }
  if (expected != entries)
    result->problems.push_back(name + std::to_string(entries) + " entries for " +
                               std::to_string(expected) + " records");
}

}  // namespace

int16_t CheckDataFile(const std::string& nativePath, CheckResult* result) {
  *result = CheckResult();
  Engine& engine = EngineFor(nativePath);
  int16_t st = engine.Probe(nativePath);
  if (st != B_OK) return st;
  st = engine.CheckStorage(nativePath, &result->problems);
  if (st != B_OK) return st;
  std::unique_ptr<Table> table;
  st = engine.Open(nativePath, /*readOnly=*/true, &table);
  if (st != B_OK) return st;
  const FileLayout& layout = table->info().layout;

  Fetched row;
  uint32_t last = 0;
  st = table->SeekPhysical(SeekHow::kFirst, 0, -1, &row);
  while (st == B_OK || st == B_IO_ERROR) {
    if (st == B_IO_ERROR) {
      result->problems.push_back("records: walk stopped with status 2");
      break;
    }
    if (result->records > 0 && row.pos <= last) {
      result->problems.push_back("records: positions out of order at " + At(row.pos));
      break;
    }
    last = row.pos;
    ++result->records;
    if (row.length < layout.recordLength ||
        (row.length > layout.recordLength && !layout.variableLength()))
      result->problems.push_back(At(row.pos) + " has length " + std::to_string(row.length));
    st = table->SeekPhysical(SeekHow::kAfter, row.pos, -1, &row);
  }
  uint32_t count = 0;
  if (table->RecordCount(&count) != B_OK)
    result->problems.push_back("record count cannot be read");
  else if (count != result->records)
    result->problems.push_back("record count says " + std::to_string(count) + ", found " +
                               std::to_string(result->records));
  for (size_t k = 0; k < layout.keys.size(); ++k)
    CheckKey(table.get(), int(k), result);
  return B_OK;
}

}  // namespace recman
