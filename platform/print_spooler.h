// The Windows print spooler (Windows build only; the Linux build hands
// documents to CUPS with `lp`): pages of monospaced text lines drawn on an
// installed printer through GDI.
//
// A page is a grid of `columns` x `lines` cells filling the printer's
// printable area, each character drawn at its own cell in a monospaced
// type sized to the cell; lines are code page 850, a blank is left
// undrawn, characters past `columns` are not drawn.
//
// State: the SpoolerJob a caller keeps between StartSpoolerJob and
// EndSpoolerJob.
#pragma once

#include <string>
#include <vector>

namespace platform {

struct SpoolerJob {
  void* dc = nullptr;     // the printer's device context
  void* font = nullptr;   // the type of the page size below
  int fontColumns = 0, fontLines = 0;
  int width = 0, height = 0;  // printable area, device units
  unsigned long error = 0;    // the system's error code of the first failure
};

// Starts a document titled `title` (UTF-8) on the printer named (UTF-8).
// Returns false, with job->error set, when the spooler does not know the
// printer or refuses the document.
bool StartSpoolerJob(const std::string& printer, const std::string& title, SpoolerJob* job);

// Draws one page. Returns false, with job->error set, on failure.
bool SpoolerPage(SpoolerJob* job, const std::vector<std::string>& lines, int columns,
                 int linesPerPage);

// Ends the document (complete: the spooler prints it; else it is dropped)
// and frees the job. Returns false, with job->error set, when a complete
// document is refused at its end.
bool EndSpoolerJob(SpoolerJob* job, bool complete);

}  // namespace platform
