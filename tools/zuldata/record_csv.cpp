#include "tools/zuldata/record_csv.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>

#include "dates/date_math.h"
#include "dates/packed.h"
#include "format/text_utils.h"
#include "platform/codepage.h"
#include "tools/zuldata/euro_amount.h"

namespace zuldata {
namespace {

using report::Field;
using report::FieldType;

bool AllDigits(const std::string& s) {
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t");
  if (a == std::string::npos) return "";
  size_t b = s.find_last_not_of(" \t");
  return s.substr(a, b - a + 1);
}

// A decimal integer within [lo, hi].
bool ReadInteger(const std::string& text, int64_t lo, int64_t hi, int64_t* value) {
  std::string s = Trim(text);
  if (s.empty()) {
    *value = 0;
    return true;
  }
  size_t i = (s[0] == '-' || s[0] == '+') ? 1 : 0;
  if (i == s.size() || s.size() - i > 12 || !AllDigits(s.substr(i))) return false;
  int64_t v = std::strtoll(s.c_str(), nullptr, 10);
  if (v < lo || v > hi) return false;
  *value = v;
  return true;
}

// Eight digits YYYYMMDD of a date that exists (by the system's own check,
// DateInvalid: the Gregorian calendar, 29 February only in leap years, not
// the ten days dropped in October 1582), in the years 1 to 9999; or the
// empty date 00000000.
bool ValidDate(const std::string& d) {
  if (d == "00000000") return true;
  if (d.compare(0, 4, "0000") == 0) return false;
  return dates::DateInvalid(d.substr(6, 2) + "/" + d.substr(4, 2) + "/" + d.substr(0, 4)) == 0;
}

// What is wrong with eight digits YYYYMMDD that ValidDate refuses, naming
// the day when the month and the day are in range: "is 31 February 2026,
// which does not exist".
std::string DateProblem(const std::string& d) {
  static const char* const kMonths[] = {"January", "February", "March",     "April",
                                        "May",     "June",     "July",      "August",
                                        "September", "October", "November", "December"};
  const int year = std::atoi(d.substr(0, 4).c_str());
  const int month = std::atoi(d.substr(4, 2).c_str());
  const int day = std::atoi(d.substr(6, 2).c_str());
  if (year == 0) return "has the year 0000 (years run from 0001; 00000000 for no date)";
  if (month < 1 || month > 12) return "has the month " + d.substr(4, 2) + " (01 to 12)";
  if (day < 1 || day > 31) return "has the day " + d.substr(6, 2) + " (01 to 31)";
  return "is " + std::to_string(day) + " " + kMonths[month - 1] + " " + std::to_string(year) +
         ", which does not exist";
}

// Puts one CSV value into its field; returns a description of what is
// wrong, or "" when it fits.
std::string PutValue(const Field& f, const std::string& value, char* rec) {
  switch (f.type) {
    case FieldType::Packed: {
      std::string digits = Trim(value);
      if (!AllDigits(digits) || digits.size() > size_t(f.width) * 2)
        return "needs at most " + std::to_string(f.width * 2) + " digits";
      digits = std::string(f.width * 2 - digits.size(), '0') + digits;
      std::string packed = dates::Pack(digits);
      packed.copy(rec + f.offset, f.width);
      return "";
    }
    case FieldType::PackedDate: {
      std::string digits = Trim(value);
      if (digits.empty()) digits = "00000000";
      if (digits.size() != 8 || !AllDigits(digits))
        return "needs a date YYYYMMDD (00000000 for none)";
      if (!ValidDate(digits)) return DateProblem(digits);
      dates::Pack(digits).copy(rec + f.offset, 4);
      return "";
    }
    case FieldType::Int16:
    case FieldType::Int32: {
      int64_t v = 0;
      bool wide = f.type == FieldType::Int32;
      if (!ReadInteger(value, wide ? INT32_MIN : INT16_MIN, wide ? INT32_MAX : INT16_MAX, &v))
        return wide ? "needs a whole number within 32 bits" : "needs a whole number within 16 bits";
      if (wide) report::PutInt32(rec, f.offset, int32_t(v));
      else report::PutInt16(rec, f.offset, int16_t(v));
      return "";
    }
    case FieldType::Money: {
      int32_t v = 0;
      std::string problem = ReadEuros(value, &v);
      if (!problem.empty()) return problem;
      report::PutInt32(rec, f.offset, v);
      return "";
    }
    case FieldType::Byte: {
      int64_t v = 0;
      if (!ReadInteger(value, 0, 255, &v)) return "needs a number from 0 to 255";
      rec[f.offset] = char(v);
      return "";
    }
    case FieldType::Text: {
      bool lossy = false;
      std::string text = platform::Utf8ToCp850(value, '?', &lossy);
      if (lossy) return "has a character that code page 850 does not have";
      if (text.size() > f.width) return "is longer than " + std::to_string(f.width) + " characters";
      text.resize(f.width, ' ');
      text.copy(rec + f.offset, f.width);
      return "";
    }
  }
  return "has an unknown type";
}

std::string GetValue(const Field& f, const std::string& rec, char decimalMark) {
  switch (f.type) {
    case FieldType::Packed:
    case FieldType::PackedDate:
      return dates::Unpack(rec.substr(f.offset, f.width));
    case FieldType::Int16:
      return std::to_string(report::GetInt16(rec.data(), f.offset));
    case FieldType::Int32:
      return std::to_string(report::GetInt32(rec.data(), f.offset));
    case FieldType::Money:
      return WriteEuros(report::GetInt32(rec.data(), f.offset), decimalMark);
    case FieldType::Byte:
      return std::to_string(static_cast<unsigned char>(rec[f.offset]));
    case FieldType::Text: {
      return platform::Cp850ToUtf8(format::TrimTrailingBlanks(rec.substr(f.offset, f.width)));
    }
  }
  return "";
}

}  // namespace

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

const report::ReportFileLayout* LayoutNamed(const std::string& name) {
  for (const report::ReportFileLayout& l : report::kLayouts)
    if (SameNameIgnoringCase(name, l.name)) return &l;
  return nullptr;
}

bool ParseCsv(const std::string& input, std::vector<CsvRow>* rows, std::string* error,
              char separator) {
  std::string text = input;
  text.erase(0, platform::Utf8MarkLength(text));
  rows->clear();
  CsvRow row;
  std::string field;
  int line = 1;
  row.line = 1;
  bool rowHasContent = false;
  size_t i = 0;
  auto endRow = [&]() {
    row.fields.push_back(field);
    field.clear();
    bool blank = !rowHasContent && row.fields.size() == 1 && row.fields[0].empty();
    if (!blank) rows->push_back(row);
    row = CsvRow();
    rowHasContent = false;
  };
  while (i < text.size()) {
    char c = text[i];
    if (c == '"' && field.empty()) {
      int startLine = line;
      rowHasContent = true;
      ++i;
      for (;;) {
        if (i >= text.size()) {
          *error = "line " + std::to_string(startLine) + ": a quoted field is not closed";
          return false;
        }
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            field += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        if (text[i] == '\n') ++line;
        field += text[i++];
      }
      continue;
    }
    if (c == separator) {
      row.fields.push_back(field);
      field.clear();
      rowHasContent = true;
      ++i;
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      ++i;
    } else if (c == '\n') {
      endRow();
      ++line;
      row.line = line;
      ++i;
    } else {
      field += c;
      rowHasContent = true;
      ++i;
    }
  }
  if (rowHasContent || !field.empty()) endRow();
  return true;
}

void DropEmptyColumns(std::vector<CsvRow>* rows) {
  size_t width = 0;
  for (const CsvRow& r : *rows) width = std::max(width, r.fields.size());
  std::vector<bool> empty(width, true);
  for (const CsvRow& r : *rows)
    for (size_t c = 0; c < r.fields.size(); ++c)
      if (!Trim(r.fields[c]).empty()) empty[c] = false;
  for (CsvRow& r : *rows) {
    std::vector<std::string> kept;
    for (size_t c = 0; c < r.fields.size(); ++c)
      if (!empty[c]) kept.push_back(std::move(r.fields[c]));
    r.fields.swap(kept);
  }
}

bool MapHeader(const report::ReportFileLayout& layout, const CsvRow& header,
               std::vector<const Field*>* columns, std::string* error) {
  columns->clear();
  std::set<const Field*> seen;
  for (const std::string& raw : header.fields) {
    std::string name = Trim(raw);
    if (name.empty()) {
      *error = "line " + std::to_string(header.line) + ": column " +
               std::to_string(columns->size() + 1) +
               " has values but no name in the header";
      return false;
    }
    const Field* found = nullptr;
    for (size_t k = 0; k < layout.fieldCount; ++k)
      if (SameNameIgnoringCase(name, layout.fields[k].name)) found = &layout.fields[k];
    if (found == nullptr) {
      std::string names;
      for (size_t k = 0; k < layout.fieldCount; ++k)
        names += std::string(k ? ", " : "") + layout.fields[k].name;
      *error = "line " + std::to_string(header.line) + ": " + layout.name +
               " has no field \"" + name + "\" (its fields: " + names + ")";
      return false;
    }
    if (!seen.insert(found).second) {
      *error = "line " + std::to_string(header.line) + ": field \"" + found->name +
               "\" given twice";
      return false;
    }
    columns->push_back(found);
  }
  return true;
}

bool RowToRecord(const report::ReportFileLayout& layout, const std::vector<const Field*>& columns,
                 const CsvRow& row, std::string* record, std::string* error, char separator) {
  if (row.fields.size() != columns.size()) {
    *error = "line " + std::to_string(row.line) + ": " + std::to_string(row.fields.size()) +
             " fields, the header has " + std::to_string(columns.size());
    // The likeliest cause in a ","-separated file: an amount written with
    // a decimal comma and not quoted.
    if (row.fields.size() > columns.size() && separator == ',')
      *error += " (in a file separated by \",\", an amount with a decimal comma is quoted: "
                "\"12,50\"; or separate the fields by \";\")";
    return false;
  }
  record->assign(layout.recordLength, '\0');
  // Fields the row does not give hold their empty value: spaces for text,
  // packed zeros for packed digits and the zero date (bytes 0x80, never
  // zero bytes, which are no packed digits and would sort before every
  // date), 0 for numbers.
  for (size_t k = 0; k < layout.fieldCount; ++k) {
    const Field& f = layout.fields[k];
    if (f.type == FieldType::Text) record->replace(f.offset, f.width, f.width, ' ');
    if (f.type == FieldType::Packed || f.type == FieldType::PackedDate)
      record->replace(f.offset, f.width, f.width, '\x80');
  }
  for (size_t i = 0; i < columns.size(); ++i) {
    std::string problem = PutValue(*columns[i], row.fields[i], &(*record)[0]);
    if (!problem.empty()) {
      *error = "line " + std::to_string(row.line) + ": " + columns[i]->name + " \"" +
               row.fields[i] + "\" " + problem;
      return false;
    }
  }
  return true;
}

std::vector<std::string> RecordToFields(const report::ReportFileLayout& layout,
                                        const std::string& record, char decimalMark) {
  std::vector<std::string> out;
  std::string rec = record;
  rec.resize(layout.recordLength, '\0');
  for (size_t k = 0; k < layout.fieldCount; ++k) out.push_back(GetValue(layout.fields[k], rec, decimalMark));
  return out;
}

std::vector<std::string> HeaderFields(const report::ReportFileLayout& layout) {
  std::vector<std::string> out;
  for (size_t k = 0; k < layout.fieldCount; ++k) out.push_back(layout.fields[k].name);
  return out;
}

}  // namespace zuldata
