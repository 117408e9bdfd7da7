// Writing CSV files as the suite's tools write them for spreadsheets and
// mail merges: one line of fields, and money amounts as plain euros.
//
// The form (what `zuldata export` writes, what `zuldata import` reads back,
// and what the report's tables of figures use):
//   - fields separated by "," (or ";" where the caller asks), a line ended
//     by LF; a field is put in double quotes when it holds the separator,
//     a double quote, CR or LF, or begins or ends with a blank; a double
//     quote inside is doubled;
//   - amounts: an optional minus, the whole euros without thousands
//     separators, the decimal mark given and always two decimals
//     ("-1234.56", "0.00", "15,00").
// The texts are written as given (the callers give UTF-8).
//
// State: none.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace format {

// The CSV text of one row, ended by LF (rules above).
std::string CsvLine(const std::vector<std::string>& fields, char separator = ',');

// The text of an amount of hundredths in euros, with `decimalMark` ("." or
// ",") before the two decimals. Every int32 amount is written exactly.
std::string WriteEuros(int32_t hundredths, char decimalMark);

}  // namespace format
