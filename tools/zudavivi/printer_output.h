// The printer device: the pages as a PDF document handed to the system's
// print service with `lp -d PRINTER FILE`.
//
// `lp` is found on the PATH and started directly, without a shell, so a
// printer name can hold any character. The PDF is made in a temporary file
// in the session's temporary directory and removed once `lp` has taken it
// (the print service keeps its own copy of a queued job).
#pragma once

#include <string>
#include <vector>

namespace zudavivi {

// Runs a program found on the PATH with the given arguments and waits for
// it. Returns its exit code (128 + signal number when a signal ended it), or
// -1 when it could not be started (not found, not executable), with *error
// saying why. With `errorOutput`, what the program writes on its standard
// error is collected there (and passed on to ours as well, unchanged).
int RunFromPath(const std::string& program, const std::vector<std::string>& args,
                std::string* error, std::string* errorOutput = nullptr);

// Renders the spool as PDF into a temporary file in `tempDirNative` and
// prints it on the printer; `title` (UTF-8) is the PDF's title. Returns 0
// when the print service accepted the job; 1 for a spool that is not well
// formed, 2 when the PDF cannot be written, 3 when the print service is
// missing or refused the job, with *error set; when it refused it, *detail
// (when given) gets the first line lp wrote on its standard error (UTF-8,
// "" when it wrote none).
int RenderPrinter(const std::string& spool, const std::string& printer,
                  const std::string& tempDirNative, const std::string& title, long* pages,
                  std::string* error, std::string* detail = nullptr);

}  // namespace zudavivi
