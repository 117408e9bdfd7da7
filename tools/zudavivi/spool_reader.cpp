#include "tools/zudavivi/spool_reader.h"

#include <cstring>

#include "platform/codepage.h"
#include "print/spool_format.h"
#include "tools/zudavivi/print_messages.h"

namespace zudavivi {
namespace {

bool StartsWith(const std::string& s, const char* prefix) {
  return s.compare(0, std::strlen(prefix), prefix) == 0;
}

// The record as the operator should see it in a message: UTF-8, shortened.
std::string Shown(const std::string& record) {
  std::string shown = record.size() > 60 ? record.substr(0, 60) + "..." : record;
  return "\"" + platform::Cp850ToUtf8(shown) + "\"";
}

int Fail(const SpoolReader& r, SpoolFault why, const std::string& record, std::string* error) {
  *error = SpoolRecordFault(r.line, why, Shown(record));
  return -1;
}

// "N" + number + " " + fill part: the number runs up to the fill part's
// opening "\" (or to the end), the fill is what lies between the two "\".
int ReadFillCode(const SpoolReader& r, const std::string& code, SpoolRecord* rec,
                 std::string* error) {
  size_t open = code.find(print::kFillDelimiter);
  std::string number = code.substr(1, open == std::string::npos ? std::string::npos : open - 1);
  if (!print::ParseSpoolNumber(number, &rec->number)) {
    return Fail(r, SpoolFault::MalformedFillColumn, code, error);
  }
  rec->text.clear();
  if (open != std::string::npos) {
    size_t close = code.find(print::kFillDelimiter, open + 1);
    if (close == std::string::npos) {
      return Fail(r, SpoolFault::FillNotClosed, code, error);
    }
    if (close + 1 != code.size() && code.find_first_not_of(' ', close + 1) != std::string::npos) {
      return Fail(r, SpoolFault::TextAfterFill, code, error);
    }
    rec->text = code.substr(open + 1, close - open - 1);
  }
  return 1;
}

}  // namespace

void StartReading(const std::string& bytes, SpoolReader* reader) {
  *reader = SpoolReader();
  reader->bytes = &bytes;
}

int NextRecord(SpoolReader* reader, SpoolRecord* rec, std::string* error) {
  const std::string& bytes = *reader->bytes;
  if (reader->offset >= bytes.size()) return 0;
  size_t end = bytes.find('\n', reader->offset);
  size_t next = end == std::string::npos ? bytes.size() : end + 1;
  if (end == std::string::npos) end = bytes.size();
  if (end > reader->offset && bytes[end - 1] == '\r') --end;
  std::string record = bytes.substr(reader->offset, end - reader->offset);
  reader->offset = next;
  ++reader->line;

  rec->text.clear();
  rec->number = rec->column = rec->advance = 0;
  rec->justify = 'E';
  if (StartsWith(record, print::kDeviceTag)) {
    rec->kind = RecordKind::Device;
    rec->text = record.substr(std::strlen(print::kDeviceTag));
    return 1;
  }
  if (StartsWith(record, print::kPageTag)) {
    rec->kind = RecordKind::Page;
    if (!print::ParseSpoolNumber(record.substr(std::strlen(print::kPageTag)), &rec->number)) {
      return Fail(*reader, SpoolFault::MalformedPageLength, record, error);
    }
    return 1;
  }
  if (StartsWith(record, print::kCommandTag)) {
    rec->kind = RecordKind::Command;
    rec->text = record.substr(std::strlen(print::kCommandTag));
    return 1;
  }
  if (StartsWith(record, print::kJustifyTag)) {
    rec->kind = RecordKind::Justify;
    std::string code = record.substr(std::strlen(print::kJustifyTag));
    char c = code.empty() ? '\0' : code[0];
    switch (c) {
      case 'C':
      case 'D':
      case 'A':
      case 'E':
        if (code.find_first_not_of(' ', 1) != std::string::npos) {
          return Fail(*reader, SpoolFault::UnknownJustification, record, error);
        }
        rec->justify = c;
        return 1;
      case 'N':
        rec->justify = 'N';
        return ReadFillCode(*reader, code, rec, error) < 0 ? -1 : 1;
      default:
        return Fail(*reader, SpoolFault::UnknownJustification, record, error);
    }
  }
  size_t first = record.find(print::kFieldSeparator);
  size_t last = record.rfind(print::kFieldSeparator);
  if (first == std::string::npos || first == last) {
    return Fail(*reader, SpoolFault::UnknownRecord, record, error);
  }
  rec->kind = RecordKind::Text;
  if (!print::ParseSpoolNumber(record.substr(0, first), &rec->column)) {
    // A record that does not even begin like a number is not a text record.
    char c = record[0];
    bool looksNumeric = c == ' ' || c == '-' || c == '+' || (c >= '0' && c <= '9');
    return Fail(*reader, looksNumeric ? SpoolFault::MalformedColumn : SpoolFault::UnknownRecord,
                record, error);
  }
  if (!print::ParseSpoolNumber(record.substr(last + 1), &rec->advance)) {
    return Fail(*reader, SpoolFault::MalformedAdvance, record, error);
  }
  rec->text = record.substr(first + 1, last - first - 1);
  return 1;
}

}  // namespace zudavivi
