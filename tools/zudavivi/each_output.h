// The devices of one document per department (PDF-EACH, TXT-EACH,
// print/device_name.h): the spool cut at its department marks
// (department_split.h), each part rendered as a PDF or text document of its
// own in the device's folder, and an index of them, "index.csv"
// (print/figures_table.h), beside them.
//
// A PDF's title is the spool's title, the community and the department:
// "DETALL DE LIQUIDACIÓ FINS AL 31 DE DESEMBRE DEL 2026 - 1 L'ERA D'EN
// PUJOL - 3 1r 1a JOAN PUJOL I FERRER".
//
// The folder (and its parents) is made when missing. Every document and the
// index are first written whole beside their places (the name + ".part")
// and only then, once all of them are complete, given their names; so a
// run that fails (a folder that cannot be written, a disk that fills) leaves
// no document of its own under a final name and the folder's earlier files
// as they were. A document of an earlier run with the same name is replaced.
//
// No state outside the call.
#pragma once

#include <string>

#include "tools/zudavivi/device.h"

namespace zudavivi {

// Renders the spool into `device.path` (a native folder) as one document
// per part, PDF for PdfEach and text for TextEach. `title` is the spool's
// title (UTF-8, "" for none) and `documentName` its reduced name
// (DocumentFileName), for a part without figures. Returns 0 with *files the
// number of documents and *pages their pages; 1 for a spool that is not
// well formed; 2 when the folder, a document or the index cannot be
// written; with *error set (UTF-8, naming the final path).
int RenderEach(const std::string& spool, const Device& device, const std::string& title,
               const std::string& documentName, long* files, long* pages, std::string* error);

}  // namespace zudavivi
