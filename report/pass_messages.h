// The texts the report program composes for the operator about a report
// pass and its settings: shown on the screen by the form, written to
// standard error (as UTF-8) by a batch run. Each comes in the session's
// language (config::ByLanguage), in code page 850. Paths in them are shown
// as the file system names them (native paths, "/" separators), not as
// suite names.
//
// State: none of their own; read config::session.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "report/main_flow.h"
#include "report/report_state.h"

namespace report {

// A suite file name as the file system names it, in code page 850; a
// relative name from the current directory on.
std::string NativeName(const std::string& suiteName);

// The message for a report pass that did not print: SpoolFailed,
// FiguresFailed (naming report::state.FiguresFile), NoPrinter,
// ReadFailed (naming the file of report::state.FailedFile and its status),
// Empty (CommunitiesNotSettledMessage, when the pass left communities out,
// followed by "nothing is printed"; else EmptySelectionMessage),
// PrinterFailed (PrintFailedMessage with report::state.PrinterMessage);
// "" for Printed.
std::string PassMessage(PassResult result);

// A read of a data file failed with `status` during the pass: the file,
// as the file system names it, and the status.
std::string ReadFailureMessage(int16_t fileNumber, int16_t status);

// The communities left out of the pass because the settlement date does
// not come after their last settled date, by number with that date
// ("1 (30/9/2026), 5 (31/12/2026)"); "" when there are none.
std::string CommunitiesNotSettledMessage(
    const std::vector<ReportState::UnsettledCommunity>& communities);

// A fee rate of Brol.ini that is not a percentage from 0 to 100: the file,
// the key and the value as written there.
std::string RateMessage(const std::string& key, const std::string& text);

// The selection holds no department: nothing to print.
std::string EmptySelectionMessage();

// What a pass printed: settlements, pages (each in the singular for one)
// and where they went (OutputPlace of the device and of the document or the
// folder the print program says it wrote).
std::string PrintedMessage(int32_t settlements, int32_t pages, const std::string& device,
                           const std::string& document = "", const std::string& folder = "",
                           long files = 0);

// Where the print program puts a printout for the device text
// (print/device_name.h): the screen; a PDF or text document (with its path:
// `document` when the print program named the file it wrote, else the path
// the device names, if any); documents of one department each, "25
// DOCUMENTS PDF A LA CARPETA path" (`files` documents in `folder` when the
// print program named the folder it wrote, else the device's folder, if
// any, without a count); or a printer by name.
std::string OutputPlace(const std::string& device, const std::string& document = "",
                        const std::string& folder = "", long files = 0);

// The print program ended with a non-zero exit code; `words` (code page
// 850) is its own message, if it left one, added after the code.
std::string PrintFailedMessage(int code, const std::string& words = "");

// A device given on the command line (UTF-8) whose text holds a character
// code page 850 lacks, so that the spool could not carry it (a document's
// path included): the device as code page 850 shows it and the first such
// character's code point.
std::string DeviceTextMessage(const std::string& device);

// The message for the first of the suite's text files (Brol.ini,
// BrolTerm.ini, Sessio.ini, the message catalogue) refused for a character
// code page 850 lacks (config::RefusedTextFile): the file, the character's
// code point and its line. "" when no file is refused. A program that gets
// a message prints nothing: the file's values cannot be read as written.
std::string RefusedTextFileMessage();

}  // namespace report
