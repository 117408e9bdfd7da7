// Laying out the spool's records as monospaced pages of lines.
//
// A page is a grid of character cells: 96 columns (the report's page width)
// and as many lines as the last page-length record gave (66 when none has).
// The rules, applied record by record:
//
//  - Text: placed at its column (1 = the first column; 0 = right after the
//    previous text on the same line; a negative column counts as 1), then the
//    line moves down by the advance (0 keeps the line open for more text; a
//    negative advance counts as 0, paper does not go back). A later text
//    overwrites the cells of an earlier one. Control characters (0-31, 127
//    and 255) show as spaces. Text past column 96 is kept: the text output
//    keeps it, the PDF shows what fits.
//  - What a page can hold: kMaxPageColumns columns and kMaxPageLines lines,
//    the most any device prints (a wide printer in condensed type; a long
//    continuous form). Blanks past the last column are dropped, as they
//    print nothing; a text whose characters would stand past it, and a
//    page-length record above kMaxPageLines, make the spool unprintable:
//    it is refused, with the spool line named, rather than printed cut.
//    A page kept in memory therefore never exceeds 255 x 255 cells, however
//    large the columns and lengths a spool names.
//  - Justification: a code holds for the next text record only.
//    "D" (right): the text ends where it would end at its column on a
//    monospaced page, which is where it stands when placed at its column: the
//    report's amounts have the width of their mask, so an amount written at
//    column 64 under a 10-character mask ends at column 73, under every
//    other amount of that column. Trailing spaces count as characters: a
//    mask's trailing sign position is blank for positive amounts and must
//    keep the digits in line with those of negative ones.
//    "C", "A" and "E" likewise leave the text where its column puts it.
//    "N n \f\": after the text, its line is filled with the fill characters
//    up to and including column n (spaces when there is no fill part); a
//    text that already reaches column n gets no fill. A fill column past
//    the last column fills to the end of the line (the writer gives the
//    largest column, 32767, for that). The fill characters
//    repeat by column, so leaders on successive lines line up.
//  - Page length record: sets the lines per page and starts a new page,
//    except before the first text of the spool (the report begins every
//    page, its first included, with one). A length of 0 or less means the
//    writer was never given a length: such a record neither breaks the page
//    nor changes the length.
//  - A text whose line lies at or past the page length starts a new page,
//    on its first line, as the writer's own page break does.
//  - Device commands ("*@e") have no effect on the page.
//
// A page that ends with no text on it is handed on only when another page
// follows it (the spool asked for a blank page); a trailing one is dropped.
//
// No state outside the call.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace zudavivi {

inline constexpr int kPageColumns = 96;
inline constexpr int kDefaultPageLength = 66;
inline constexpr int kMaxPageColumns = 255;  // columns a page can hold
inline constexpr int kMaxPageLines = 255;    // lines a page can hold

struct Page {
  // Code page 850 lines, top to bottom. Only lines up to the last one
  // written are present; a line ends after its last written cell and may
  // carry trailing spaces.
  std::vector<std::string> lines;
  int length = kDefaultPageLength;  // lines per page it was laid out for
};

// Reads the device record, which must be the first record of the spool.
// Returns false with *error set for an empty spool or another first record.
bool ReadDevice(const std::string& spool, std::string* device, std::string* error);

// Lays out every page of the spool and hands each to `emit` in order; `emit`
// returns false to stop (its output failed). Returns 0 when the spool was
// laid out completely, with *pages the number of pages; -1 for a spool that
// is not well formed, holds no text or more than a page can hold, with
// *error set (UTF-8, in the session's language); -2 when `emit` stopped it.
int LayoutSpool(const std::string& spool, const std::function<bool(const Page&)>& emit,
                long* pages, std::string* error);

}  // namespace zudavivi
