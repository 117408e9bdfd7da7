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

namespace report {

// A suite file name as the file system names it, in code page 850; a
// relative name from the current directory on.
std::string NativeName(const std::string& suiteName);

// The message for a report pass that did not print: SpoolFailed, NoPrinter,
// ReadFailed (naming the file of report::state.FailedFile and its status),
// Empty; "" for Printed and PrinterFailed (the form does not look at the
// print program's exit code).
std::string PassMessage(PassResult result);

// A read of a data file failed with `status` during the pass: the file,
// as the file system names it, and the status.
std::string ReadFailureMessage(int16_t fileNumber, int16_t status);

// The communities (2-byte packed codes) that were charged no fees because
// the settlement date does not come after their last settled date, by
// number ("2, 5"); "" when there are none.
std::string CommunitiesWithoutFeesMessage(const std::vector<std::string>& codes);

// A fee rate of Brol.ini that is not a percentage from 0 to 100: the file,
// the key and the value read.
std::string RateMessage(const std::string& key, float value);

// The selection holds no department: nothing to print.
std::string EmptySelectionMessage();

// What a batch pass printed: settlements, pages and where they went
// (OutputPlace of the device).
std::string PrintedMessage(int32_t settlements, int32_t pages, const std::string& device);

// Where the print program puts a printout for the device text: the screen,
// a PDF or text document (with its path when the device names one), or a
// printer by name.
std::string OutputPlace(const std::string& device);

// The print program ended with a non-zero exit code.
std::string PrintFailedMessage(int code);

// The message for the first of the suite's text files (Brol.ini,
// BrolTerm.ini, Sessio.ini, the message catalogue) refused for a character
// code page 850 lacks (config::RefusedTextFile): the file, the character's
// code point and its line. "" when no file is refused. A program that gets
// a message prints nothing: the file's values cannot be read as written.
std::string RefusedTextFileMessage();

}  // namespace report
