// What the print program tells the program that started it: the result
// file TempDir + "zudavivi.msg", beside the spool. This header is the one
// definition of the file; the print program (tools/zudavivi) writes it and
// the report reads it back once the print program has ended, so that the
// form can show the operator what happened in the print program's own
// words (the print program's standard error is the terminal the form has
// handed over, and goes unseen once the form is drawn again).
//
// The file: text in code page 850, one record a line, each ended by CR LF:
//
//   "DOCUMENT" path     the document the print program wrote (a PDF or a
//                       text device), as the file system names it
//   "MESSAGE" text      why the print program failed, in the session's
//                       language, as it said it on standard error
//   "FOLDER" path       the folder it wrote documents of one department
//                       each into (print/device_name.h), as the file
//                       system names it
//   "FILES" number      how many documents it wrote there (decimal)
//
// Every record is optional and comes at most once; a record of any
// other kind is passed over, so that a later print program may say more.
// A print program with nothing to tell (a preview, a job a printer took)
// leaves no file. The report removes the file before it starts the print
// program and again once it has read it, so a message is never read twice
// and never comes from an earlier run.
//
// Compatibility: the name, the tags and the record end are shared with
// print programs installed separately from the report.
//
// No state: the path is read from config::session.TempDir at each call.
#pragma once

#include <string>

namespace print {

inline constexpr char kResultName[] = "zudavivi.msg";  // inside TempDir
inline constexpr char kResultDocumentTag[] = "DOCUMENT";
inline constexpr char kResultMessageTag[] = "MESSAGE";
inline constexpr char kResultFolderTag[] = "FOLDER";
inline constexpr char kResultFilesTag[] = "FILES";

struct PrintResult {
  std::string document;  // code page 850; "" when none was written
  std::string message;   // code page 850; "" when it did not fail or gave no reason
  std::string folder;    // code page 850; "" when no folder of documents was written
  long files = 0;        // documents written into `folder`
};

// The native path of the result file: TempDir + "zudavivi.msg" through the
// suite-path rule.
std::string PrintResultPath();

// Writes the result file (replacing an older one), or removes it when it
// has nothing to tell (no document, message or folder). FILES is written
// with FOLDER only. CR and LF in the texts become spaces. Returns false when
// the file cannot be written (the caller has said it on standard error
// already; nothing else depends on it).
bool WritePrintResult(const PrintResult& result);

// Reads the result file and removes it. A missing or unreadable file gives
// empty texts; a FILES record that is not a number gives 0.
PrintResult TakePrintResult();

// Removes the result file, if there is one.
void DiscardPrintResult();

}  // namespace print
