#include "platform/print_spooler.h"

#include <windows.h>
#include <winspool.h>

#include <algorithm>

#include "platform/codepage.h"
#include "platform/win_text.h"

namespace platform {
namespace {

HDC Dc(const SpoolerJob* job) { return static_cast<HDC>(job->dc); }

bool Failed(SpoolerJob* job) {
  if (job->error == 0) job->error = GetLastError() != 0 ? GetLastError() : ERROR_GEN_FAILURE;
  return false;
}

void ChooseFont(SpoolerJob* job, int columns, int lines) {
  if (job->font && job->fontColumns == columns && job->fontLines == lines) return;
  if (job->font) DeleteObject(static_cast<HFONT>(job->font));
  job->font = CreateFontW(-std::max(1, job->height / lines), std::max(1, job->width / columns), 0,
                          0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN,
                          L"Courier New");
  job->fontColumns = columns;
  job->fontLines = lines;
  SelectObject(Dc(job), static_cast<HFONT>(job->font));
}

void Free(SpoolerJob* job) {
  if (job->font) DeleteObject(static_cast<HFONT>(job->font));
  if (job->dc) DeleteDC(Dc(job));
  job->font = nullptr;
  job->dc = nullptr;
}

}  // namespace

bool StartSpoolerJob(const std::string& printer, const std::string& title, SpoolerJob* job) {
  *job = SpoolerJob();
  std::wstring name = Widen(printer);
  // The spooler asked first: it tells an unknown printer apart
  // (ERROR_INVALID_PRINTER_NAME), and on wine the first call into it is
  // what lists the print service's queues among the installed printers,
  // which CreateDCW then finds.
  HANDLE known = nullptr;
  if (!OpenPrinterW(&name[0], &known, nullptr)) return Failed(job);
  ClosePrinter(known);
  job->dc = CreateDCW(L"WINSPOOL", name.c_str(), nullptr, nullptr);
  if (job->dc == nullptr) return Failed(job);
  job->width = GetDeviceCaps(Dc(job), HORZRES);
  job->height = GetDeviceCaps(Dc(job), VERTRES);
  const std::wstring docName = Widen(title);
  DOCINFOW info = {};
  info.cbSize = sizeof info;
  info.lpszDocName = docName.c_str();
  if (job->width <= 0 || job->height <= 0 || StartDocW(Dc(job), &info) <= 0) {
    Failed(job);
    Free(job);
    return false;
  }
  return true;
}

bool SpoolerPage(SpoolerJob* job, const std::vector<std::string>& lines, int columns,
                 int linesPerPage) {
  if (job->dc == nullptr || columns < 1 || linesPerPage < 1) return Failed(job);
  if (StartPage(Dc(job)) <= 0) return Failed(job);
  ChooseFont(job, columns, linesPerPage);
  SetBkMode(Dc(job), TRANSPARENT);
  for (size_t row = 0; row < lines.size() && row < size_t(linesPerPage); ++row) {
    const std::string& line = lines[row];
    const int y = int(row) * job->height / linesPerPage;
    for (size_t col = 0; col < line.size() && col < size_t(columns); ++col) {
      const unsigned char byte = static_cast<unsigned char>(line[col]);
      if (byte == ' ') continue;
      const WCHAR ch = WCHAR(Cp850ToUnicode(byte));
      TextOutW(Dc(job), int(col) * job->width / columns, y, &ch, 1);
    }
  }
  if (EndPage(Dc(job)) <= 0) return Failed(job);
  return true;
}

bool EndSpoolerJob(SpoolerJob* job, bool complete) {
  if (job->dc == nullptr) return false;
  bool ok = true;
  if (complete) {
    ok = EndDoc(Dc(job)) > 0 || Failed(job);
  } else {
    AbortDoc(Dc(job));
  }
  Free(job);
  return ok;
}

}  // namespace platform
