// The status line at the foot of the screen preview.
//
// It says where the view stands (page, lines and columns shown), how to move
// it and how to leave, in the session's language (config::ByLanguage:
// Catalan, Galician-Portuguese, Aranese, Spanish), for example
//   " Pàgina 10 de 12  línies 1-39/66  ↑ ↓  PgUp PgDn  Esc surt"
// and, when the page is wider than the screen,
//   " Pàgina 10 de 12  línies 1-24/66  columnes 1-80/96  ← → ↑ ↓  PgUp PgDn  Esc surt"
// (the arrows that scroll the page where it is cut, as the console glyphs
// of bytes 0x1B, 0x1A, 0x18 and 0x19; "PgUp PgDn", the keys that turn the
// pages, are named so in every language).
//
// It never is wider than the screen: the parts are kept by importance (the
// page, the arrows, Esc, PgUp PgDn, the lines, the columns) as long as they
// fit, and shown in their usual order, so that on 80 columns every key
// shows at any page number; when not even the page fits, the page shows as
// "10/12", cut at the screen's width.
//
// No state; reads config::session.Language.
#pragma once

#include <string>

namespace zudavivi {

struct PreviewPlace {
  long page = 1;          // page shown, from 1
  long pages = 1;         // pages in the document
  long firstLine = 1;     // page lines shown, from 1, inclusive
  long lastLine = 1;
  long pageLines = 1;     // lines of the page
  long firstColumn = 1;   // page columns shown, from 1, inclusive
  long lastColumn = 1;
  long pageColumns = 1;   // columns of the widest line (at least the page's)
};

// The status line for a screen `width` columns wide: code page 850 text of
// exactly `width` characters (blank-padded); "" for a width below 1.
std::string PreviewStatusLine(const PreviewPlace& place, int width);

}  // namespace zudavivi
