// Reading the print spool (format in print/spool_format.h) record by record.
//
// The reader walks the spool bytes in place; each call of NextRecord returns
// the next record, classified and with its numbers read. Records end with
// CR LF; a bare LF and a last record without its line end are accepted too.
// The reader holds no state outside its SpoolReader.
#pragma once

#include <cstdint>
#include <string>

namespace zudavivi {

enum class RecordKind {
  Device,   // text = device text
  Page,     // number = lines per page
  Command,  // text = command text
  Justify,  // justify, number (the "N" column) and text (the "N" fill)
  Text,     // column, text, advance
};

struct SpoolRecord {
  RecordKind kind = RecordKind::Text;
  char justify = 'E';    // Justify: 'C', 'D', 'A', 'N' or 'E'
  int16_t number = 0;    // Page: lines; Justify 'N': fill column
  int16_t column = 0;    // Text
  int16_t advance = 0;   // Text
  std::string text;      // code page 850 bytes
};

struct SpoolReader {
  const std::string* bytes = nullptr;
  size_t offset = 0;
  long line = 0;  // number of the record last returned, from 1
};

// Starts reading the given spool bytes, which must outlive the reader.
void StartReading(const std::string& bytes, SpoolReader* reader);

// Reads the next record. Returns 1 with *record filled, 0 at the end of the
// spool, or -1 for a record that is not in the spool format, with *error
// saying which line and why (UTF-8, in the session's language: print_messages.h).
int NextRecord(SpoolReader* reader, SpoolRecord* record, std::string* error);

}  // namespace zudavivi
