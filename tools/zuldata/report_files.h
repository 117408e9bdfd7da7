// The report's data files of a suite root, for the data tool: open (creating
// a missing file from ROOT/ddf/NAME.xdf as the report would), store many
// records as one all-or-nothing transaction (inserting them, or replacing
// those whose unique key is already there), and read them back in key order.
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

  // Stores the records in order, in one transaction of the record manager.
  // With replaceKey < 0 every record is inserted. With a key number, a
  // record whose value of that key (a unique key) is already in the file
  // is written over the record there (Update), and the others are
  // inserted. Written over: the bytes where `given` holds a non-zero byte
  // come from the new record, the others stay as stored (an empty `given`
  // takes the whole new record). On success *inserted and *replaced hold
  // the counts. On a failure nothing of them is stored, and the result is
  // false with a message and, in *failed, the index of the record refused
  // (records.size() when the commit itself failed).
  bool StoreAll(const std::vector<std::string>& records, int replaceKey,
                const std::string& given, size_t* inserted, size_t* replaced,
                std::string* error, size_t* failed);

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
