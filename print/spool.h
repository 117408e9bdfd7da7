// The print spool writer: the report's only way to print.
//
// The report never drives a device. Between PrintOpen and PrintClose it
// writes device-independent records (print/spool_format.h) into
// TempDir + "zudavivi.tmp"; afterwards it starts the print program ZUDAVIVI,
// which renders the spool on the device named in its first record.
//
// State: the one instance `print::state` below. PrintPageLength and
// PrintLineCount live for the whole run and are changed only by PrintPage and
// PrintLine; the report reads PrintLineCount to place its own page breaks.
//
// Rules:
//  - Calling order for one report: PrintOpen, PrintPage before the first
//    PrintLine, then any mix of PrintPage, PrintCommand, PrintJustify and
//    PrintLine, then PrintClose. A record written outside a PrintOpen ...
//    PrintClose pair is a fault of the caller and stops the program
//    (ZUL_CHECK, platform/check.h); a PrintOpen that could not create the
//    file still opens the pair, so a report that goes on writing after it
//    loses its records and hears so from PrintClose.
//  - While PrintPageLength is 0 (no PrintPage yet) every text record is
//    preceded by a page-length record of 0: the caller must set the length.
//  - A spool that cannot be created or written is never passed off as good:
//    PrintOpen says when the file cannot be created, the record writers
//    remember any failed write, and PrintClose reports it and removes the
//    incomplete file, so that the print program finds no spool rather than a
//    truncated one.
//  - The records go to TempDir + "zudavivi.tmp.part"; PrintClose renames
//    that file to "zudavivi.tmp" once every record is in it, and PrintOpen
//    removes the spool of an earlier pass. A pass that never reaches
//    PrintClose (killed, stopped by a file-size limit, out of disk) leaves
//    no "zudavivi.tmp" at all, so the print program cannot print a spool cut
//    short as if it were complete. The records themselves are unchanged.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file_lock.h"
#include "platform/staged_file.h"

namespace print {

enum class PrintStatus : int16_t {
  Ok = 0,
  CannotCreate = 1,  // the spool file could not be created or emptied
  WriteFailed = 2,   // a record or the final flush could not be written
  NotOpen = 3,       // PrintClose without an open spool
};

struct PrintState {
  // The spool file, open between PrintOpen and PrintClose: written under
  // its companion name, given the spool's name by PrintClose.
  platform::StagedFile spool;
  bool writeFailed = false;    // a record was lost since PrintOpen
  bool betweenOpenAndClose = false;  // PrintOpen called, PrintClose not yet
  int16_t PrintPageLength = 0; // lines per page, as last given to PrintPage
  int16_t PrintLineCount = 0;  // lines advanced on the current page
  std::string record;          // work buffer of the record being written
  platform::FileLock passLock; // the terminal's pass lock (spool_lock.h)
};
extern PrintState state;

// The native path of the spool: TempDir + "zudavivi.tmp" through the
// suite-path rule. ZUDAVIVI reads the same file.
std::string SpoolPath();

// The native path the spool is written under until PrintClose:
// TempDir + "zudavivi.tmp.part".
std::string SpoolPartPath();

// Removes the spool of an earlier pass, creates the file the spool is
// written under (emptying one a broken pass left) and writes the device
// record "DEVICE" + device. The counters are not touched. A spool still open
// from an earlier PrintOpen is abandoned first (its records are removed).
// Returns Ok, or CannotCreate when the file cannot be created (no spool is
// open then) or WriteFailed when the device record cannot be written.
PrintStatus PrintOpen(const std::string& device);

// Closes the spool and gives it its name, zudavivi.tmp. Returns Ok when
// every record since PrintOpen reached the file and it was renamed;
// WriteFailed when any record, the final flush or the rename failed (the
// incomplete file is removed, no zudavivi.tmp is left); NotOpen when no
// spool is open.
PrintStatus PrintClose();

// Writes the page-length record "PAGE" + lines, sets PrintPageLength to lines
// and PrintLineCount to 0.
void PrintPage(int16_t lines);

// Writes the device-command record "*" + command.
void PrintCommand(const std::string& command);

// Writes the device commands that name the document the spool makes:
// "*@TITOL " + title and "*@NOM " + name (print/spool_format.h). The report
// calls it once, right after PrintOpen. CR and LF in either text become
// spaces, as in every record.
void PrintDocument(const std::string& title, const std::string& name);

// Normalises the justification code and writes "JUS" + the result (see
// NormaliseJustify).
void PrintJustify(const std::string& code);

// Writes the text record: column, text, advance. Characters 0-31, 127 and 255
// of the text become spaces. When PrintLineCount has reached PrintPageLength
// the page is broken first (PrintPage with the same length). A non-zero
// advance is added to PrintLineCount.
void PrintLine(int16_t column, const std::string& text, int16_t advance);

// The normalised form of a justification code, from the first character of
// the code without its leading and trailing spaces, in capitals:
//   "C" -> "C"; "D" or "R" -> "D"; "A" or "B" -> "A";
//   "N" -> "N" + " " + n + " " + f, where n is the magnitude of the numeric
//          value of the rest of the trimmed code, truncated (at most 32767,
//          the largest column), and f is the fill part of the untrimmed code:
//          from its first "\" to the next "\" inclusive, empty when the code
//          has fewer than two "\";
//   anything else, the empty code included -> "E".
// "N 73 \.\" stays "N 73 \.\"; "n8" gives "N 8 ".
std::string NormaliseJustify(const std::string& code);

}  // namespace print
