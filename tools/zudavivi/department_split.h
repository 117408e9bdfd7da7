// One spool per department: the spool cut at its department marks
// (print/department_mark.h), and a file name for each part, for the devices
// that make one document per department (each_output.h).
//
// A part is the spool's device record followed by the records from one mark
// up to the next mark (or the end). Records before the first mark that hold
// text make a part of their own, without figures; so does a whole spool
// without marks (an old spool: one document, as every other device makes
// it). Records before the first mark that hold no text (the document's
// title and name) belong to no part. A part holding no text record is left
// out: it would make an empty document.
//
// Every page of the whole spool falls in exactly one part, and a part lays
// out as the same pages, since the report begins each department on a page
// of its own, after its mark.
//
// No state.
#pragma once

#include <string>
#include <vector>

#include "print/department_mark.h"

namespace zudavivi {

struct DepartmentPart {
  bool hasFigures = false;           // a mark whose fields could be read begins it
  print::DepartmentFigures figures;  // when hasFigures
  std::string spool;                 // the part as a spool of its own
};

// Splits a spool whose records are well formed (LayoutSpool checked it);
// a record that is not ends the last part there. Returns the parts in
// spool order.
std::vector<DepartmentPart> SplitByDepartment(const std::string& spool);

// The file names of the parts, without a folder or an extension, in the
// parts' order, each unique without regard to case:
//   - a part with figures: community "-" department " " owner, reduced as
//     the document's name is (DocumentFileName): "0001-0003_JOAN_PUJOL";
//   - a part without: `documentName` (a name DocumentFileName made), or
//     "zudavivi" when it is empty;
//   - a name reduced to nothing takes the name of a part without figures;
//     a name the system keeps for a device on Windows ("CON", "NUL",
//     "COM1", ...) gets a "_" after it;
//   - a name met before gets "-2", "-3", ... (cut first so that the whole
//     keeps to DocumentFileName's 100 characters).
std::vector<std::string> PartFileNames(const std::vector<DepartmentPart>& parts,
                                       const std::string& documentName);

}  // namespace zudavivi
