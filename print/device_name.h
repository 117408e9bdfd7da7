// The output devices as the terminal's `Sortida` setting (and the batch
// run's --device) names them; the device text reaches the print program in
// the spool's DEVICE record. This is the one reading of those names: the
// print program renders by it, the report tells the operator by it.
//
//   ""  or "PANTALLA"          preview on the console
//   "PDF" or "PDF:" path       one A4 PDF document
//   "TXT" or "TXT:" path       one plain UTF-8 text document
//   "PDF-EACH" or
//   "PDF-EACH:" folder         one PDF document per settled department, in
//                              the folder, with the index "index.csv"
//   "TXT-EACH" or
//   "TXT-EACH:" folder         the same as text documents
//   anything else              a printer of the system's print service
//
// Leading and trailing spaces do not count, the words are recognised in any
// case ("pdf-each", "Pantalla"), and spaces after the ":" are passed over.
// A path or folder is a suite file name (platform/paths.h); without one the
// print program chooses it in the session's temporary folder.
//
// No state.
#pragma once

#include <cstddef>
#include <string>

namespace print {

enum class DeviceKind { Screen, Pdf, Text, PdfEach, TextEach, Printer };

struct DeviceName {
  DeviceKind kind = DeviceKind::Screen;
  // Pdf, Text, PdfEach, TextEach: the path or folder as written, "" when
  // none; Printer: the printer's name (the trimmed text).
  std::string path;
  // Where `path` begins in the device text as given; npos when empty.
  size_t pathOffset = std::string::npos;
};

// Reads a device text (code page 850 or UTF-8: only the ASCII words are
// looked at, the path is kept byte for byte). Never fails.
DeviceName ClassifyDevice(const std::string& deviceText);

// True for the devices that write documents to files: Pdf, Text, PdfEach,
// TextEach.
bool WritesFiles(DeviceKind kind);

// True for the devices that write one document per department.
bool OnePerDepartment(DeviceKind kind);

}  // namespace print
