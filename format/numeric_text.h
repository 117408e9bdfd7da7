// Reading a number from text: the one rule the whole system uses whenever it
// takes the value of a text (typed fields, INI values, codes, mask checks).
//
// The rule, as TextValue applies it:
//   - leading blanks, tabs, carriage returns and line feeds are skipped;
//   - then an optional "+" or "-", digits with at most one ".", and an
//     optional exponent: a letter "E", "e", "D" or "d", an optional sign and
//     digits;
//   - reading stops at the first character that does not fit, and what was
//     read so far is the value: "1 2" reads 1, "12a" reads 12, "1.5.3" reads
//     1.5, "2e" reads 2 (an exponent letter without digits is not read);
//   - a text with no digits in its mantissa reads as 0 ("", "-", ".", "&H1F":
//     other bases are not read).
// The conversion does not depend on the locale and is correctly rounded. An
// exponent that overflows gives the largest finite double with the sign (so
// that no caller ever meets an infinity); one that underflows gives 0.
//
// No state.
#pragma once

#include <cstdint>
#include <string>

namespace format {

double TextValue(const std::string& text);

// Whether a typed number is acceptable for an edit mask (see mask_format.h):
// only digits, blanks, one "." when the mask has a "." and one leading "+"
// or "-" when the mask has a sign position. The sign must come before any
// digit or point. Returns -1 when the text is not acceptable, 0 when it is
// (the empty text is acceptable).
int16_t NumberInvalid(const std::string& text, const std::string& mask);

}  // namespace format
