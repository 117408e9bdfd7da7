// The report's data files of a suite root, for the data tool: open (creating
// a missing file from ROOT/ddf/NAME.xdf as the report would), store many
// records as one all-or-nothing transaction (inserting them, or replacing
// those whose unique key is already there, after deleting those of some
// communities), and read them back in key order.
//
// Files are reached through the record manager's BTRCALL at
// ROOT/DADES/NAME.dat, opened with the deployment's owner name when the
// environment gives one (ZULOWNER), else with none.
//
// State: none beyond the open handle.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "recman/key_layout.h"

namespace zuldata {

class ReportFile {
 public:
  ReportFile() = default;
  ~ReportFile();
  ReportFile(const ReportFile&) = delete;
  ReportFile& operator=(const ReportFile&) = delete;

  // Opens ROOT/DADES/<name>.dat, creating it from ROOT/ddf/<name>.xdf when
  // missing. Returns false with a message.
  bool Open(const std::string& root, const std::string& name, std::string* error);

  // Inserts the records in order, in one transaction of the record
  // manager: on a failure nothing of them is stored, and the result is
  // false with a message and, in *failed, the index of the record refused
  // (records.size() when the commit itself failed).
  bool InsertAll(const std::vector<std::string>& records, std::string* error, size_t* failed);

  // What StoreAll did.
  struct StoreCounts {
    size_t inserted = 0;
    size_t replaced = 0;
    size_t deleted = 0;
  };

  // Stores the records in order, in one transaction of the record manager.
  // First, when `deleteCodes` is not empty, every record of the file whose
  // first two bytes (the community code, in the files whose records begin
  // with it) are one of them is deleted, in the same transaction.
  // With replaceKey < 0 every record is inserted. With a key number, a
  // record whose value of that key (a unique key) is already in the file
  // is written over the record there (Update), and the others are
  // inserted. Written over: the bytes where `given` holds a non-zero byte
  // come from the new record, the others stay as stored (an empty `given`
  // takes the whole new record). On success *counts holds the counts. On a
  // failure nothing is deleted or stored, and the result is false with a
  // message and, in *failed, the index of the record refused
  // (records.size() when a deletion or the commit itself failed).
  bool StoreAll(const std::vector<std::string>& records, int replaceKey,
                const std::string& given, const std::vector<std::string>& deleteCodes,
                StoreCounts* counts, std::string* error, size_t* failed);

  // The layout of the open file, from its Stat (recman/key_layout.h).
  // Returns false with a message.
  bool Layout(recman::FileLayout* layout, std::string* error);

  // Inserts one record without undo (bulk generation). Returns the status.
  int16_t Insert(const std::string& record);

  // Begin (19), End (20) or Abort (21) Transaction. Returns the status.
  int16_t Transaction(uint16_t operation);

  // Every record in the order of key 0. Returns false with a message.
  bool ReadAll(std::vector<std::string>* records, std::string* error);

  void Close();

 private:
  // Inside a transaction: deletes every record whose first two bytes are
  // one of `codes`, walking key 0 (a Get Next goes on from a deleted
  // record). Returns 0 or the status of the call that failed.
  int16_t DeleteByCode(const std::vector<std::string>& codes, size_t* deleted);

  unsigned char block_[128] = {};
  bool open_ = false;
  std::string name_;
  std::string path_;  // native path of the open file
};

// The creation layout bytes of ROOT/ddf/<name>.xdf (without the
// 2-byte length), or false with a message.
bool ReadCreationLayout(const std::string& root, const std::string& name, std::string* creation,
                      std::string* error);

}  // namespace zuldata
