// The text of a CSV file before its rows are read: its encoding, its
// byte-order mark, the characters the suite can store, and its separator.
//
// A CSV file for `zuldata import` is UTF-8, with or without the UTF-8
// byte-order mark (EF BB BF, which spreadsheets write for "CSV UTF-8").
// CheckCsvText refuses anything else with a message that says what the
// file looks like instead, so that the administrator knows how to save it
// again:
//   - a UTF-16 or UTF-32 byte-order mark, or NUL bytes: UTF-16 (or UTF-32);
//   - a sequence shaped like UTF-8 (a lead byte and a continuation byte)
//     that is no UTF-8 (an over-long form, a surrogate, beyond U+10FFFF):
//     named as a malformed sequence, by line and column;
//   - other bytes that are not UTF-8: the first such byte by line and column, and
//     the 8-bit encoding the file most likely is. The high bytes are read as
//     Windows-1252 and as code page 850; the reading in which more of them
//     are letters wins (Windows-1252 on a tie). Windows-1252 is named
//     "Windows-1252" when a byte 0x80-0x9F holds one of its own
//     characters, else "Windows-1252 or ISO-8859-1", the two being the
//     same there.
// A well-formed file may still hold characters that code page 850, the
// suite's character set, lacks (platform/codepage.h; the euro sign is one
// it has): the first one is refused by name, code point, line and column
// ("line 3, column 12: RIGHT SINGLE QUOTATION MARK U+2019 ..."), with the
// character to write instead where there is an obvious one.
//
// Lines and columns are 1-based; columns count characters, not bytes; a
// byte-order mark is not counted.
//
// Separator (CsvSeparator): a first line "sep=;" or "sep=," (the hint
// some spreadsheets read and write) names it; otherwise the header line
// decides: ";" when it holds more ";" than "," outside double quotes,
// else ",". Spreadsheets set to Catalan or Spanish write ";", because ","
// is their decimal mark.
//
// State: none.
#pragma once

#include <string>

namespace zuldata {

// Checks the bytes of a CSV file (rules above). On success returns true and
// sets *text to the UTF-8 text without its byte-order mark. Returns false
// with a message otherwise.
bool CheckCsvText(const std::string& bytes, std::string* text, std::string* error);

// The separator of a checked CSV text (rules above). When the text opens
// with a "sep=" line, that line's characters are replaced by nothing but
// its line end stays, so that the rows keep their line numbers.
char CsvSeparator(std::string* text);

// The Unicode name of a code point, for messages: its standard name for the
// characters a spreadsheet or a word processor is likely to put in a text
// and code page 850 lacks, else "". Only the names, not the whole database.
const char* CharacterName(char32_t cp);

}  // namespace zuldata
