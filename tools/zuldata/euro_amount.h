// Money amounts in CSV files: euros with two decimals, as administrators
// and spreadsheets write them; the records keep whole hundredths (int32).
//
// What ReadEuros accepts (blanks around any part are ignored, the no-break
// space U+00A0 counting as a blank):
//   - digits with one decimal mark, "," or ".", and one or two decimals:
//     "123,45", "123.45", "12,5" (12,50), "1500" (1.500,00 euros);
//   - thousands separators: when both marks occur, the last one is the
//     decimal mark and the other groups thousands ("1.234,56",
//     "1,234.56"); a mark that occurs more than once groups thousands
//     ("1.234.567"); a blank may group thousands too ("1 234,56"). Groups
//     after the first have exactly three digits;
//   - a single mark followed by three digits ("1.234") is refused: it
//     would be a thousand with a thousands separator or one euro with
//     three decimals, and the tool does not guess;
//   - negative amounts: a leading "-", a trailing "-" ("123,45-", the
//     suite's own printed form) or parentheses ("(123,45)", the
//     accountants' form); a leading "+" is allowed; at most one sign;
//   - a euro sign before or after the number ("12,50 €", "€12.50",
//     "-12,50€");
//   - the empty text is 0.
// The result lies within int32 hundredths: -21.474.836,48 to
// 21.474.836,47 euros.
//
// WriteEuros writes "-1234.56" or "-1234,56": an optional minus, the
// whole euros without thousands separators, the decimal mark given and
// always two decimals ("0.00", "15.00"). ReadEuros reads every such text
// back to the same value.
//
// State: none.
#pragma once

#include <cstdint>
#include <string>

#include "format/csv_fields.h"

namespace zuldata {

// Reads an amount in euros (UTF-8 text, rules above) into hundredths.
// Returns "" on success, else what is wrong with the text, as a phrase that
// follows the field's name and value ("has three decimals; ...").
std::string ReadEuros(const std::string& text, int32_t* hundredths);

// The text of an amount of hundredths in euros, with `decimalMark` ("." or
// ",") before the two decimals (format/csv_fields.h).
using format::WriteEuros;

}  // namespace zuldata
