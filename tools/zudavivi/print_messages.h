// The messages the print program gives the operator on standard error, in
// the session's language (config::ByLanguage: Catalan, Galician-Portuguese,
// Aranese, Spanish; any other setting is Catalan).
//
// Every routine returns UTF-8 text, ready for the terminal or a log. Paths
// are native paths (as the file system names them) and go in unchanged;
// spool records are quoted as the spool reader shows them (UTF-8). Line
// numbers are the spool's record numbers, from 1.
//
// No state; reads config::session.Language at each call.
#pragma once

#include <string>

namespace zudavivi {

// Why a spool record is not in the spool format.
enum class SpoolFault {
  MalformedPageLength,   // "PAGE" without a number that fits
  MalformedFillColumn,   // "JUSN" without a number that fits
  FillNotClosed,         // "JUSN n \..." without the closing "\"
  TextAfterFill,         // "JUSN n \f\" followed by more than blanks
  UnknownJustification,  // "JUS" + a code that is none of C D A N E
  UnknownRecord,         // no record kind at all
  MalformedColumn,       // a text record whose column is not a number
  MalformedAdvance,      // a text record whose advance is not a number
};

// The reason for one record: "línia 4: <reason>: <record>".
std::string SpoolRecordFault(long line, SpoolFault fault, const std::string& shownRecord);

// Reasons for a spool as a whole, or for a record in its place.
std::string SpoolEmpty();
std::string SpoolWithoutDevice();
std::string SecondDeviceRecord(long line);
std::string SpoolWithoutText();
std::string TextPastLastColumn(long line, int lastColumn);
std::string PageTooLong(long line, long lines, int mostLines);

// main: the arguments, the spool file and a spool not well formed (the
// reason is one of the above).
std::string ArgumentsRefused();
std::string NoSpool(const std::string& spoolPath);
std::string SpoolUnreadable(const std::string& spoolPath);
std::string SpoolNotWellFormed(const std::string& spoolPath, const std::string& reason);

// An operating system error (errno) as a short phrase: the usual ones (no
// such file, permission, a full disk, a file-size limit, a read-only medium,
// ...) by name, any other one as "error N of the system"; 0 (a failure
// that set none) as a write error.
std::string SystemReason(int errnum);

// Documents: the path of the document (not of its companion file).
std::string CannotCreateDocument(const std::string& path, int errnum);
std::string CannotWriteDocument(const std::string& path, int errnum);
std::string CannotCreateTemporaryFile(const std::string& dir, int errnum);
std::string DocumentSaved(const std::string& path);

// The folder of the documents of one department each: it cannot be made,
// or `files` documents were saved in it ("25 documents desats a ...").
std::string CannotCreateFolder(const std::string& path, int errnum);
std::string DocumentsSaved(const std::string& folder, long files);

// The screen device without a terminal to show the preview on.
std::string PreviewNeedsTerminal();

// The print service. `why` is CannotStart's text.
std::string CannotStart(const std::string& program, int errnum);
std::string PrintServiceMissing(const std::string& why);
std::string JobRefused(const std::string& printer, int exitCode);

// The Windows build: the printer the spooler refused or does not know (with
// the system's error code), and the PDF device, which that build lacks.
std::string PrinterRefused(const std::string& printer, unsigned long systemError);
std::string PdfNotInThisBuild();

}  // namespace zudavivi
