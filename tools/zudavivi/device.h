// The output device named by the spool's DEVICE record (the terminal's
// `Sortida` setting, handed over by the report):
//
//   ""  or "PANTALLA"     preview on the console
//   "PDF" or "PDF:" path  an A4 PDF document; default TempDir + name + ".pdf"
//   "TXT" or "TXT:" path  plain UTF-8 text pages; default TempDir + name + ".txt"
//   anything else         the name of a printer of the system's print service
//
// Leading and trailing spaces do not count, and the words are recognised in
// any case ("pdf", "Pantalla"). A path is a suite file name: it goes through
// the suite-path rule, so "PDF:C:\INFORMES\LIQ.PDF" works as on the suite's
// original machines. The default name is the document's name from the spool
// (document_info.h), "zudavivi" when the spool gives none.
#pragma once

#include <string>

namespace zudavivi {

enum class DeviceKind { Screen, Pdf, Text, Printer };

struct Device {
  DeviceKind kind = DeviceKind::Screen;
  std::string path;     // Pdf, Text: native path of the document
  std::string printer;  // Printer: the print service's name for it (UTF-8)
};

// Classifies the device text (code page 850). `tempDir` is the session's
// TempDir and `documentName` a plain file name without its extension
// (DocumentFileName), for the default document paths; "" stands for
// "zudavivi". Never fails.
Device ParseDevice(const std::string& deviceText, const std::string& tempDir,
                   const std::string& documentName = "");

}  // namespace zudavivi
