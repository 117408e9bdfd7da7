// Numeric edit masks: a number formatted position by position under a mask
// such as "ZZ,ZZZ,ZZ9" or "***,**9.99-".
//
// Mask characters:
//   "9"       digit position that always shows a digit ("0" when none)
//   "Z", "z"  digit position that shows a blank for a leading zero (in the
//             fraction: a blank for a trailing zero)
//   "*"       digit position that shows "*" for a leading zero
//   "."       decimal point; shows the decimal separator (or the fill of the
//             position to its right when that shows no digit)
//   ","       thousands separator; shows the thousands separator, or the fill
//             of the position to its right when no digit stands to its left
//   "-"       sign position: "-" for a negative number, blank otherwise
//   "+"       sign position: "-" for a negative number, "+" otherwise
//   other     copied unchanged
// Without a sign position, a negative number shows its "-" in the first
// "Z", "*" or "," position left of its digits.
//
// The result always has exactly the mask's length. A number that does not
// fit is shown plainly ("-", integer digits, decimal separator, fraction
// digits) right-justified, its fraction cut at the field's end when only
// that does not fit; when even its sign and integer digits do not fit,
// the field is a row of "!". Without a sign position the "-" goes to the
// first "Z", "*" or "," left of the digits, past any "9"s ("ZZ9.99" shows
// -0.5 as " -0'50"); when there is none (a mask of "9"s only, "999.99")
// the number is shown plainly too, right-justified, and as "!"s when the
// plain form with all its digits does not fit: a sign is never dropped.
// Values round to the mask's fraction digits, halves to even, on the binary
// value (the double nearest 1.005 lies below it and shows as 1.00).
// Infinities and NaN give "!"s.
//
// State (in format::state): DecCaracter and MilCaracter, the separators.
// They are read from config::EnvRootDir() + "Brol.ini", section "Usuari", keys
// "DecCaracter" and "MilCaracter", on the first call, and kept; a setting
// holding code 0 is not loaded yet. The first non-blank character of a value
// counts; a missing or blank value gives "'" (decimal) and "." (thousands).
#pragma once

#include <string>

namespace format {

// The value formatted under the mask; never fails.
std::string MaskFormat(const std::string& mask, double value);

// Loads the separators into format::state when not loaded yet. MaskFormat
// calls it; other callers need it only to show a separator themselves.
void LoadSeparators();

}  // namespace format
