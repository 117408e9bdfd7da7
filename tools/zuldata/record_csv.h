// Records of the report's files as CSV rows, by the record layouts of
// report/record_layouts.h.
//
// CSV form (what `zuldata import` reads and `zuldata export` writes; the
// administrator's description is tools/zuldata/README.md):
//   - UTF-8 text, an optional byte-order mark, lines ended by LF or CR LF
//     (the checks of the text before it is parsed: csv_text.h); fields
//     separated by "," or ";" (csv_text.h says which), a field in double
//     quotes may hold the separator, line ends and doubled quotes ("").
//   - The first line is a header of field names, each one a field of the
//     file's layout (letters in any case: "Code" is "code"), each at most
//     once, in any order. A column with no name and no value in any row
//     (a spreadsheet's trailing ";;") is no column. Fields the header leaves out import as their
//     empty value: spaces (text), packed zeros (packed digits; the zero
//     date for dates), 0 (numbers, amounts and bytes).
//   - Values by field type: packed digits as their digit text (at most
//     twice the width in digits, filled with zeros on the left: "1" and
//     "0001" are the same community code); packed dates as YYYYMMDD
//     ("00000000" or empty for the empty date); integers in decimal within
//     their 16 or 32 bits; amounts in euros with two decimals, either
//     decimal mark (euro_amount.h), kept as hundredths; text as UTF-8 of
//     characters that code page 850 has, at most the field's width; a byte
//     0-255. A date must exist in the calendar (29 February only in leap
//     years; one that does not is named: "is 31 February 2026, which does
//     not exist"); text must be well-formed UTF-8 in its shortest form
//     (platform::DecodeUtf8), so no over-long form can bring in a NUL.
//   - Export writes every field of the layout, text without its trailing
//     spaces, amounts with the decimal mark asked for.
//
// State: none.
#pragma once

#include <string>
#include <vector>

#include "format/csv_fields.h"
#include "report/record_layouts.h"

namespace zuldata {

// One parsed CSV row and the line it starts on (1-based).
struct CsvRow {
  int line = 0;
  std::vector<std::string> fields;
};

// Splits CSV text into rows, fields separated by `separator`. Empty lines
// are skipped. Returns false with a message (naming the line) for an
// unterminated quoted field.
bool ParseCsv(const std::string& text, std::vector<CsvRow>* rows, std::string* error,
              char separator = ',');

// The CSV text of one row (fields quoted where they need it), with LF.
using format::CsvLine;

// True when two names are the same but for the case of ASCII letters.
bool SameNameIgnoringCase(const std::string& a, const std::string& b);

// The layout of one of the report's files by its name in any case
// ("FinquesH", "finquesh", "FINQUESH"), or nullptr.
const report::ReportFileLayout* LayoutNamed(const std::string& name);

// Removes the columns that hold nothing: no name in the header (rows[0])
// and no value in any row (blanks count as nothing), wherever they stand,
// also beyond the end of a shorter header. Spreadsheets write such columns
// as trailing separators (";;").
void DropEmptyColumns(std::vector<CsvRow>* rows);

// Maps a header row to field indexes of the layout, names compared without
// regard to case. Returns false with a message for an unknown name (listing
// the layout's names), an empty one or a repeated one.
bool MapHeader(const report::ReportFileLayout& layout, const CsvRow& header,
               std::vector<const report::Field*>* columns, std::string* error);

// Builds a record from a row (its fields in the order of `columns`).
// Returns false with a message naming the line and the field when a value
// does not fit its field, or the line when it has more or fewer fields than
// the header (`separator` is the file's, for the hint on decimal commas).
bool RowToRecord(const report::ReportFileLayout& layout,
                 const std::vector<const report::Field*>& columns, const CsvRow& row,
                 std::string* record, std::string* error, char separator = ',');

// The CSV fields of a record, in layout order; amounts with `decimalMark`.
std::vector<std::string> RecordToFields(const report::ReportFileLayout& layout,
                                        const std::string& record, char decimalMark = '.');

// The header of an export: every field name of the layout.
std::vector<std::string> HeaderFields(const report::ReportFileLayout& layout);

}  // namespace zuldata
