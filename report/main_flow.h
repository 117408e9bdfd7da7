// The report program from start to end: the session, the suite's root as
// the current directory, the seven data files, the settings of Brol.ini,
// and report passes (spool, settlements, print program).
//
// The interactive program (interactive.h) runs the selection form; a batch run
// (`torbelan --batch ...`, batch_run.h) makes one report pass for a
// selection given on the command line, without the form.
//
// Where the administrator identity comes from: Brol.ini in the root
// directory, section "Administrador", keys "Linia1" to "Linia8", read at
// start with the other settings (items: 1 first letterhead line, 2-5 further
// letterhead lines, 6 optional second line, 7 tax identifier, 8 place).
//
// State: report::state (settings and selection) and, through the layers
// below, the session, the file table and the spool.
#pragma once

#include <string>
#include <vector>

namespace report {

// Steps 1-3 of the start: SessionInit; the session's TempDir is named from
// the file system's root (a relative one from the directory the program
// started in) and given to the programs this one starts as ZULTMP; the root
// directory (when not empty) becomes the current directory, the module name is set, and the
// terminal-too-small text is put in the session's language. Returns false with
// a message when the root directory cannot be entered (the program cannot
// find any of its files then).
bool StartSession(std::string* message);

// Opens the seven data files under their logical numbers, in the order
// TDespesa, THRebut, FinquesH, FinDespH, PropietH, PagamH, CobramH. A file
// that cannot be opened ends the program inside DataOpen, with its message.
void OpenReportFiles();

// The first of the seven data files that is missing and has no creation
// layout either, so that opening it would fail ("" when none is):
// a batch run reports it on standard error instead of on a screen.
std::string MissingReportFile();

// Reads the settings from RootDir + "Brol.ini": identity items 1-8, the
// letterhead setting, the VAT and withholding rates of the two tax classes
// and their texts as written. A rate is a number with "." or "," as its
// decimal mark ("21", "21,5", "10.5%"); an empty text is 0, and so is a text
// that is not a number (which RateProblem then refuses).
void ReadSettings();

// The operator's message (pass_messages.h RateMessage, with the text as
// written) for the first rate read by ReadSettings that is not a number or
// not a percentage from 0 to 100, in the order Iva0, Iva1, Ret0, Ret1; ""
// when every rate is one. A program that gets a message prints nothing:
// fees from such a rate would be wrong.
std::string RateProblem();

// Outcome of a report pass.
enum class PassResult {
  Printed,        // spool written and handed to the print program
  NoPrinter,      // spool written; the print program could not be started
  PrinterFailed,  // the print program ran and ended with a non-zero code
  SpoolFailed,    // the spool could not be created or written; no printing
  ReadFailed,     // a read failed during the pass (report::state.FailedFile
                  // and FailedStatus); the spool is removed, no printing
  Empty,          // no settlement in the selection and `printEmpty` false;
                  // the spool is removed, no printing
  FiguresFailed,  // the figures table (report::state.FiguresFile) could not
                  // be written; the spool is removed, no printing
};

// One report pass for the current selection: open the spool on the
// session's output device, print the settlements in the printing currency,
// close the spool and start the print program and wait for it. When the
// spool fails or a read fails, the print program is not started; nor when
// the selection holds no settlement and `printEmpty` is false. With
// report::state.FiguresFile set, the figures table of the pass is written
// there once the spool is complete, before the print program starts; a
// table that cannot be written stops the pass unprinted. `message`
// gets the operator's message (pass_messages.h) for every result but
// Printed; `printerCode` (when given) the print program's exit code. What
// the print program left in its result file (print/print_result.h) goes to
// report::state (PrinterCode, PrintedDocument, PrinterMessage,
// PrintedFolder, PrintedFiles).
PassResult RunReportPass(std::string* message, bool printEmpty = true,
                         int* printerCode = nullptr);

// Closes every data file (DataCloseAll).
void CloseReportFiles();

// The program: `args` without the program name; none runs the interactive
// program (interactive.h, with its exit codes), "--batch ..." a batch run
// (batch_run.h, with its exit codes), "--help" and "--version" print the
// usage or the version on standard output (exit code 0); anything else
// says on standard error, in the session's language, which argument it
// does not know, prints the usage and returns 2. A root directory that
// cannot be entered ends the program with 5.
int TorbelanMain(const std::vector<std::string>& args);

}  // namespace report
