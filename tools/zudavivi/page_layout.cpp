#include "tools/zudavivi/page_layout.h"

#include <algorithm>

#include "tools/zudavivi/print_messages.h"
#include "tools/zudavivi/spool_reader.h"

namespace zudavivi {
namespace {

struct Layout {
  Page page;
  long line = 0;       // line of the next text on the current page, from 0
  long cursor = 0;     // cell right after the last text on that line
  bool begun = false;  // some text has been placed in the spool
  bool marked = false; // the current page holds text
  char justify = 'E';  // code for the next text record
  int fillColumn = 0;  // "N": fill up to this column (1-based)
  std::string fill;    // "N": fill characters
  long pages = 0;
  const std::function<bool(const Page&)>* emit = nullptr;

  bool FinishPage() {
    ++pages;
    if (!(*emit)(page)) return false;
    page.lines.clear();
    line = 0;
    cursor = 0;
    marked = false;
    return true;
  }

  // Writes `text` into the current line from cell `start`.
  void Put(long start, const std::string& text) {
    if (page.lines.size() <= static_cast<size_t>(line)) page.lines.resize(line + 1);
    std::string& cells = page.lines[line];
    size_t end = static_cast<size_t>(start) + text.size();
    if (cells.size() < end) cells.resize(end, ' ');
    std::copy(text.begin(), text.end(), cells.begin() + start);
  }

  // Places a text record: 1 when done, -1 when the text does not fit the
  // page (*error set), -2 when `emit` stopped.
  int Text(const SpoolRecord& r, long spoolLine, std::string* error) {
    if (line >= page.length) {
      if (!FinishPage()) return -2;
    }
    std::string text = r.text;
    for (char& c : text) {
      unsigned char u = static_cast<unsigned char>(c);
      if (u < 32 || u == 127 || u == 255) c = ' ';
    }
    long start = r.column >= 1 ? r.column - 1 : r.column == 0 ? cursor : 0;
    if (start + static_cast<long>(text.size()) > kMaxPageColumns) {
      size_t room = start < kMaxPageColumns ? static_cast<size_t>(kMaxPageColumns - start) : 0;
      if (text.find_first_not_of(' ', room) != std::string::npos) {
        *error = TextPastLastColumn(spoolLine, kMaxPageColumns);
        return -1;
      }
      text.resize(room);  // only blanks stood past the last column
      if (start > kMaxPageColumns) start = kMaxPageColumns;
    }
    Put(start, text);
    long end = start + static_cast<long>(text.size());
    long fillTo = fillColumn < kMaxPageColumns ? fillColumn : kMaxPageColumns;
    if (justify == 'N' && fillTo > end) {
      std::string leader(static_cast<size_t>(fillTo - end), ' ');
      if (!fill.empty()) {
        for (long k = end; k < fillTo; ++k) leader[k - end] = fill[k % fill.size()];
      }
      Put(end, leader);
      end = fillTo;
    }
    justify = 'E';
    cursor = end;
    begun = true;
    marked = true;
    if (r.advance > 0) {
      line += r.advance;
      cursor = 0;
    }
    return 1;
  }
};

}  // namespace

bool ReadDevice(const std::string& spool, std::string* device, std::string* error) {
  if (spool.empty()) {
    *error = SpoolEmpty();
    return false;
  }
  SpoolReader reader;
  StartReading(spool, &reader);
  SpoolRecord r;
  if (NextRecord(&reader, &r, error) != 1 || r.kind != RecordKind::Device) {
    *error = SpoolWithoutDevice();
    return false;
  }
  *device = r.text;
  return true;
}

int LayoutSpool(const std::string& spool, const std::function<bool(const Page&)>& emit,
                long* pages, std::string* error) {
  *pages = 0;
  std::string device;
  if (!ReadDevice(spool, &device, error)) return -1;
  SpoolReader reader;
  StartReading(spool, &reader);
  SpoolRecord r;
  NextRecord(&reader, &r, error);  // the device record, checked above
  Layout lay;
  lay.emit = &emit;
  int got;
  while ((got = NextRecord(&reader, &r, error)) > 0) {
    switch (r.kind) {
      case RecordKind::Device:
        *error = SecondDeviceRecord(reader.line);
        return -1;
      case RecordKind::Page:
        if (r.number <= 0) break;
        if (r.number > kMaxPageLines) {
          *error = PageTooLong(reader.line, r.number, kMaxPageLines);
          return -1;
        }
        if (lay.begun && !lay.FinishPage()) return -2;
        lay.page.length = r.number;
        break;
      case RecordKind::Command:
        break;
      case RecordKind::Justify:
        lay.justify = r.justify;
        lay.fillColumn = r.number;
        lay.fill = r.text;
        break;
      case RecordKind::Text: {
        int placed = lay.Text(r, reader.line, error);
        if (placed < 0) return placed;
        break;
      }
    }
  }
  if (got < 0) return -1;
  if (!lay.begun) {
    *error = SpoolWithoutText();
    return -1;
  }
  if (lay.marked && !lay.FinishPage()) return -2;
  *pages = lay.pages;
  return 0;
}

}  // namespace zudavivi
