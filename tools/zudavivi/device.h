// The output device named by the spool's DEVICE record (the terminal's
// `Sortida` setting, handed over by the report), as print/device_name.h
// reads it:
//
//   ""  or "PANTALLA"         preview on the console
//   "PDF" or "PDF:" path      an A4 PDF document; default TempDir + name + ".pdf"
//   "TXT" or "TXT:" path      plain UTF-8 text pages; default TempDir + name + ".txt"
//   "PDF-EACH" or
//   "PDF-EACH:" folder        one PDF document per department in the folder
//                             (each_output.h); default TempDir + name
//   "TXT-EACH" or
//   "TXT-EACH:" folder        the same as text documents
//   anything else             the name of a printer of the system's print service
//
// A path is a suite file name: it goes through the suite-path rule, so
// "PDF:C:\INFORMES\LIQ.PDF" works as on the suite's original machines. The
// default name is the document's name from the spool (document_info.h),
// "zudavivi" when the spool gives none.
#pragma once

#include <string>

#include "print/device_name.h"

namespace zudavivi {

using print::DeviceKind;

struct Device {
  DeviceKind kind = DeviceKind::Screen;
  std::string path;     // Pdf, Text: native path of the document;
                        // PdfEach, TextEach: native path of the folder
  std::string printer;  // Printer: the print service's name for it (UTF-8)
};

// Classifies the device text (code page 850). `tempDir` is the session's
// TempDir and `documentName` a plain file name without its extension
// (DocumentFileName), for the default paths; "" stands for "zudavivi".
// Never fails.
Device ParseDevice(const std::string& deviceText, const std::string& tempDir,
                   const std::string& documentName = "");

}  // namespace zudavivi
