// The print spool file: the records the report writes and the print program
// ZUDAVIVI reads. This header is the one definition of the format; the
// writer (print/spool.h) and the reader (tools/zudavivi) both use it.
//
// The spool is TempDir + "zudavivi.tmp": text in code page 850, one record a
// line, every line ended by CR LF. The records, by their first characters:
//
//   "DEVICE" device text      the output device; always the first record
//   "PAGE" number             lines per page; starts a new page
//   "*" command text          a device command, e.g. "*@e"; the print
//                             program skips the commands it does not know
//   "*@TITOL " title          the document's title (a device command)
//   "*@NOM " name             the document's name, without a folder or an
//                             extension (a device command)
//   "*@DEPARTAMENT " fields   a department's settlement begins here, with
//                             its figures (a device command; the fields are
//                             print/department_mark.h's)
//   "JUS" code                justification of the next text: "C", "D",
//                             "A", "E", or "N" number " " fill, as in
//                             "JUSN 73 \.\" (fill with "." up to column 73)
//   number "," text "," number
//                             a text at a column, then an advance of lines;
//                             the text is not quoted and may hold commas, so
//                             the column is what precedes the first comma
//                             and the advance what follows the last one
//
// Numbers are written with a sign position (a space for zero and positive
// values, "-" for negative ones), the decimal digits and one trailing space:
// 5 is " 5 ", -1 is "-1 ", 66 is " 66 ".
//
// The title and name commands come after the device record and before the
// first page-length record, once each; a print program that reads them uses
// the title as the document's title (the PDF's metadata) and the name for
// the file it makes when the device names none ("LIQUIDACIO_2026-12-31"
// gives TempDir + "LIQUIDACIO_2026-12-31.pdf"). A print program that does
// not know them passes them over like any device command it does not know,
// so a spool that carries them prints on every print program of the suite;
// a spool without them gets the default name "zudavivi".
//
// Compatibility: the tags, the number format and the record end are read by
// print programs that are installed separately from the report; changing any
// of them makes existing print programs misread new spools.
//
// No state.
#pragma once

#include <cstdint>
#include <string>

namespace print {

inline constexpr char kSpoolName[] = "zudavivi.tmp";  // inside TempDir
// The name the spool is written under, in TempDir too, until it is complete
// (print/spool.h); print programs never read it.
inline constexpr char kSpoolPartName[] = "zudavivi.tmp.part";
inline constexpr char kRecordEnd[] = "\r\n";          // end of every record
inline constexpr char kDeviceTag[] = "DEVICE";        // + device text
inline constexpr char kPageTag[] = "PAGE";            // + number
inline constexpr char kCommandTag[] = "*";            // + command text
inline constexpr char kJustifyTag[] = "JUS";          // + normalised code
inline constexpr char kTitleCommand[] = "@TITOL ";    // "*" + this + title
inline constexpr char kNameCommand[] = "@NOM ";       // "*" + this + name
inline constexpr char kFieldSeparator = ',';          // inside text records
inline constexpr char kFillDelimiter = '\\';          // around an "N" fill part

// The spool form of a number: " 5 " for 5, "-1 " for -1, " 0 " for 0.
std::string SpoolNumber(int32_t value);

// Appends the spool form of a number to *out (the same text SpoolNumber
// returns, without a temporary).
void AppendSpoolNumber(int32_t value, std::string* out);

// Reads a number in the spool form. Surrounding spaces are optional (a
// hand-made spool may write "PAGE66"), a "+" is accepted as a sign, and the
// value must fit 16 bits, like every number the writer produces. Returns
// false for anything else (no digits, other characters, out of range),
// leaving *value unchanged.
bool ParseSpoolNumber(const std::string& text, int16_t* value);

}  // namespace print
