// CSV import: the text checked (encoding, characters) and its separator
// found, rows parsed, the header mapped to one of the report's file
// layouts, every row turned into a record; a record that was accepted comes
// back out as fields that turn into the same record again, in both export
// forms ("," with decimal points, ";" with decimal commas).
// Input: one byte choosing the layout, then the bytes of the CSV file.
#include <cstdlib>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "report/record_layouts.h"
#include "tools/zuldata/csv_text.h"
#include "tools/zuldata/record_csv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzInput in(data, size);
  const report::ReportFileLayout& layout = report::kLayouts[in.Byte() % 7];
  std::vector<zuldata::CsvRow> rows;
  std::string error, text;
  if (!zuldata::CheckCsvText(in.Rest(), &text, &error)) return 0;
  const char separator = zuldata::CsvSeparator(&text);
  if (!zuldata::ParseCsv(text, &rows, &error, separator) || rows.empty()) return 0;
  std::vector<const report::Field*> columns;
  if (!zuldata::MapHeader(layout, rows[0], &columns, &error)) return 0;
  const std::vector<std::string> header = zuldata::HeaderFields(layout);
  std::vector<const report::Field*> all;
  zuldata::CsvRow headerRow;
  headerRow.fields = header;
  if (!zuldata::MapHeader(layout, headerRow, &all, &error)) std::abort();
  for (size_t i = 1; i < rows.size(); ++i) {
    std::string record;
    if (!zuldata::RowToRecord(layout, columns, rows[i], &record, &error, separator)) continue;
    if (record.size() != layout.recordLength) std::abort();
    for (char sep : {',', ';'}) {
      zuldata::CsvRow again;
      again.fields = zuldata::RecordToFields(layout, record, sep == ',' ? '.' : ',');
      std::string back;
      if (!zuldata::RowToRecord(layout, all, again, &back, &error, sep) || back != record)
        std::abort();
      // The export's line parses back to the same fields.
      std::vector<zuldata::CsvRow> line;
      if (!zuldata::ParseCsv(zuldata::CsvLine(again.fields, sep), &line, &error, sep) ||
          line.size() != 1 || line[0].fields != again.fields) {
        std::abort();
      }
    }
  }
  return 0;
}
