// The PDF device: the pages as an A4 PDF document, drawn with cairo.
//
// Each page is A4 portrait with 15 mm margins. The 96 columns of a page fill
// the width between the margins and its lines the height: 66 lines, or more
// (closer together, in a smaller type) for a page of more lines. The type is
// DejaVu Sans Mono, a monospaced face that has every character of code page
// 850; every character is drawn at its own column, so columns line up exactly
// whatever the font's own advance.
//
// Speed: the font's glyph of every code page 850 byte is looked up once per
// document, and a page is drawn with one glyph-run call of all its
// characters, so the cost of a page is building its glyph array.
#pragma once

#include <string>

namespace zudavivi {

// Renders the spool into a PDF file at the native path, with `title` (UTF-8;
// none when empty) as the document's title in its metadata. Returns 0 on
// success; 1 for a spool that is not well formed and 2 when the document
// cannot be written, with *error set. The file appears only when complete.
int RenderPdf(const std::string& spool, const std::string& path, const std::string& title,
              long* pages, std::string* error);

}  // namespace zudavivi
