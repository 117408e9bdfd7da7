// A batch run: `torbelan --batch` makes one report pass for a selection
// given on the command line, without the form, and tells what it did on
// standard error (UTF-8, in the session's language).
//
//   torbelan --batch DATE FIRST LAST [--device DEVICE] [--figures FILE.csv]
//   torbelan --batch DATE COMMUNITY [LAST_COMMUNITY] [--device DEVICE]
//            [--figures FILE.csv]
//
// DATE is typed as in the date field; FIRST and LAST are departments
// "community.department"; whole communities are plain numbers: "2" is 2.0
// to 2.9999 (the department part of a key holds four digits), "2 5" is 2.0
// to 5.9999. The two forms do not mix. --device gives the output device of
// this run (as the terminal's Sortida setting names devices: PDF:FILE,
// TXT:FILE, PDF, TXT, PANTALLA or a printer); it goes to the print program
// in the spool's device record, and no INI file changes (PDF-EACH:FOLDER
// and TXT-EACH:FOLDER make one document per department, print/
// device_name.h). --figures writes the figures of every department printed
// as a CSV table for the books (department_figures.h) in the same pass; a
// table that cannot be written stops the pass before anything is printed
// (kExitNothingPrinted). A relative FILE or FOLDER is named from the
// directory torbelan was started in. The spool holds code page 850 text,
// so a device (a FILE's or FOLDER's path) with a character code page 850
// lacks is refused with a message and kExitArguments.
//
// Without a screen, a data file that cannot be opened is reported on
// standard error (datafile::openFailure) and the run ends with
// kExitDataError; so does a read that fails during the pass, and no spool
// is handed to the print program then. Communities left out because the
// date does not come after their last settled date are named on standard
// error; when nothing else is printed the run ends with
// kExitNothingPrinted. What the print program says it did (the document it
// wrote, or why it failed: print/print_result.h) is part of the run's last
// line.
//
// Every message, the refusals of the command line included, is in the
// session's language; the usage (--help) is in English.
//
// State: report::state and config::session, through the main flow.
#pragma once

#include <string>
#include <vector>

namespace report {

// Exit codes of a batch run; the interactive program ends with
// kExitPrinted, or with kExitDataError or kExitSettings when it stops
// before the form (interactive.h).
constexpr int kExitPrinted = 0;         // the printout went to the print program
constexpr int kExitNothingPrinted = 1;  // no department selected, or no spool
constexpr int kExitArguments = 2;       // arguments that cannot be read
constexpr int kExitNoPrintProgram = 3;  // the print program could not be started
constexpr int kExitPrintFailed = 4;     // the print program ended with a non-zero code
constexpr int kExitDataError = 5;       // a data file cannot be opened or read
constexpr int kExitSettings = 6;        // a fee rate is not a percentage, or a text
                                        // file of the suite is refused

struct BatchArguments {
  std::string date;    // code page 850, as the other texts below but the device
  std::string first;   // "community.department"
  std::string last;
  bool hasDevice = false;
  std::string device;  // as given (UTF-8), a relative document file made absolute
  std::string figures; // --figures: native path (UTF-8), relative made absolute; "" none
};

// Reads `args` ("--batch" first) into `out`. Returns false with a message
// (code page 850, in the session's language) when the number of arguments
// does not fit a form above, --device or --figures lacks its value, department and
// community forms are mixed, or a whole community is not one to four
// digits (named as typed). The date and the department codes are checked
// by SetSelection (selection.h).
bool ParseBatchArguments(const std::vector<std::string>& args, BatchArguments* out,
                         std::string* message);

// The message for an argument the program does not know (code page 850;
// the argument as typed).
std::string UnknownArgumentMessage(const std::string& argument);

// The usage and the exit codes, as --help prints them.
std::string UsageText();

// The run, after StartSession: the selection, the device, the data files,
// the settings, the pass and what it did. Returns one of the exit codes.
int RunBatch(const BatchArguments& batch);

}  // namespace report
