#include "print/spool.h"

#include <cmath>

#include "config/session.h"
#include "format/numeric_text.h"
#include "format/text_utils.h"
#include "platform/check.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "print/spool_format.h"

namespace print {

PrintState state;

namespace {

// The spool reaches the file in blocks of this size: a report writes some
// forty records per department, and one write per block keeps the kernel
// out of the loop.
constexpr size_t kSpoolBuffer = 64 * 1024;

// Writes state.record, which already ends in CR LF. A lost record is
// remembered for PrintClose; nothing is written while no spool is open.
void WriteBuffered() {
  ZUL_CHECK(state.betweenOpenAndClose);
  const std::string& r = state.record;
  if (!platform::StagedOpen(state.spool)) {
    state.writeFailed = true;
    return;
  }
  if (!platform::StagedWrite(&state.spool, r.data(), r.size())) state.writeFailed = true;
}

// Appends one record and its CR LF.
void WriteRecord(const std::string& tag, const std::string& text) {
  state.record.assign(tag);
  state.record += text;
  state.record += kRecordEnd;
  WriteBuffered();
}

// CR and LF end a record, so a device name, command or fill part holding one
// would split its record in two and the print program would misread the rest
// of the spool. They become spaces; every other byte is passed as given
// (device commands may carry printer control bytes).
std::string KeepOnOneRecord(std::string text) {
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

}  // namespace

std::string SpoolPath() {
  return platform::SuitePath(config::session.TempDir + kSpoolName);
}

std::string SpoolPartPath() {
  return platform::SuitePath(config::session.TempDir + kSpoolPartName);
}

PrintStatus PrintOpen(const std::string& device) {
  platform::AbandonStaged(&state.spool);
  state.writeFailed = false;
  state.betweenOpenAndClose = true;
  // The spool of an earlier pass goes first: should this pass break, no
  // spool is there to be printed in its place.
  const std::string spoolPath = SpoolPath();
  platform::RemoveFile(spoolPath);
  if (!platform::BeginStaged(spoolPath, SpoolPartPath(), kSpoolBuffer, &state.spool))
    return PrintStatus::CannotCreate;
  WriteRecord(kDeviceTag, KeepOnOneRecord(device));
  return state.writeFailed ? PrintStatus::WriteFailed : PrintStatus::Ok;
}

PrintStatus PrintClose() {
  state.betweenOpenAndClose = false;
  if (!platform::StagedOpen(state.spool)) return PrintStatus::NotOpen;
  const bool lost = state.writeFailed;
  state.writeFailed = false;
  if (lost) {
    platform::AbandonStaged(&state.spool);
    return PrintStatus::WriteFailed;
  }
  // The rename replaces the name in one step: a print program sees either
  // no spool or the whole of it.
  return platform::CommitStaged(&state.spool, false) ? PrintStatus::Ok : PrintStatus::WriteFailed;
}

void PrintPage(int16_t lines) {
  state.record.assign(kPageTag);
  AppendSpoolNumber(lines, &state.record);
  state.record += kRecordEnd;
  WriteBuffered();
  state.PrintPageLength = lines;
  state.PrintLineCount = 0;
}

void PrintCommand(const std::string& command) {
  WriteRecord(kCommandTag, KeepOnOneRecord(command));
}

void PrintDocument(const std::string& title, const std::string& name) {
  WriteRecord(kCommandTag, kTitleCommand + KeepOnOneRecord(title));
  WriteRecord(kCommandTag, kNameCommand + KeepOnOneRecord(name));
}

void PrintJustify(const std::string& code) {
  // "D" and "C", the codes the report sends before every amount, are their
  // own normal form.
  if (code.size() == 1 && (code[0] == 'D' || code[0] == 'C')) {
    WriteRecord(kJustifyTag, code);
    return;
  }
  WriteRecord(kJustifyTag, NormaliseJustify(code));
}

void PrintLine(int16_t column, const std::string& text, int16_t advance) {
  if (state.PrintLineCount >= state.PrintPageLength) PrintPage(state.PrintPageLength);
  std::string& record = state.record;
  record.clear();
  AppendSpoolNumber(column, &record);
  record += kFieldSeparator;
  size_t textStart = record.size();
  record += text;
  // Control codes, DEL and 255 would upset the record structure or the
  // device: they print as spaces.
  for (size_t i = textStart; i < record.size(); ++i) {
    unsigned char u = static_cast<unsigned char>(record[i]);
    if (u < 32 || u == 127 || u == 255) record[i] = ' ';
  }
  record += kFieldSeparator;
  AppendSpoolNumber(advance, &record);
  record += kRecordEnd;
  WriteBuffered();
  // 16-bit arithmetic, as the report reads the count: it wraps rather than
  // overflowing.
  if (advance != 0) state.PrintLineCount = static_cast<int16_t>(state.PrintLineCount + advance);
}

std::string NormaliseJustify(const std::string& code) {
  std::string trimmed = format::TrimBlanks(code);
  char first = trimmed.empty() ? '\0' : trimmed[0];
  if (first >= 'a' && first <= 'z') first = static_cast<char>(first - 'a' + 'A');
  switch (first) {
    case 'C':
      return "C";
    case 'D':
    case 'R':
      return "D";
    case 'A':
    case 'B':
      return "A";
    case 'N': {
      double v = std::fabs(format::TextValue(trimmed.substr(1)));
      // Columns are 16-bit: a larger fill column means "to the end of any
      // line", which 32767 already does.
      int32_t n = v >= 32767.0 ? 32767 : static_cast<int32_t>(v);
      std::string fill;
      size_t open = code.find(kFillDelimiter);
      if (open != std::string::npos) {
        size_t close = code.find(kFillDelimiter, open + 1);
        if (close != std::string::npos) fill = code.substr(open, close - open + 1);
      }
      return "N " + std::to_string(n) + " " + KeepOnOneRecord(fill);
    }
    default:
      return "E";
  }
}

}  // namespace print
