// Money amounts and the display currency.
//
// Amounts are whole numbers of hundredths (cents) of the base currency, the
// euro. Three currency settings, each one capital letter or empty, live in
// format::state (MainCurrency, SecondaryCurrency, DisplayCurrency); all start
// empty. "P" is the peseta, shown at 166.386 pesetas to the euro; any other
// letter (the program uses "E") shows euros.
//
// The session start calls SetCurrency("a,E") (euro as main and display
// currency); the report calls SetCurrency("p") before printing and
// SetCurrency("") afterwards.
#pragma once

#include <string>

namespace format {

// A money amount, in hundredths of the euro, formatted for display in the
// current display currency, as wide as `mask`. The caller's mask says only
// the width and the style; the working mask is built from it:
//  - a "9" anywhere but after a "." (or an amount other than 0) shows a
//    zero amount as "0", else a zero amount is blank; "," asks for thousands
//    grouping every three digits; "*" or "Z" chooses star or blank fill (the
//    last one wins); "-" or "+" in the first position gives a leading sign,
//    elsewhere a trailing one (the last one wins); each "." and each "9"
//    after a "." counts a decimal place and the point;
//  - in pesetas the amount is amount / 100 * 166.386 (the rate as a
//    single-precision number) with the decimals counted; in euros it is
//    amount / 100 with two more decimal places (so a mask without decimals
//    shows cents).
// "ZZ,ZZZ,ZZ9" in euros works as "ZZZ,ZZ9.99": 123456 shows "  1.234'56".
// The result is MaskFormat's under the working mask.
std::string MoneyFormat(const std::string& mask, double amount);

// Changes the currency settings; never fails.
//  - With a ",": the text after the first comma, trimmed of blanks, names a
//    currency: its first character in capitals, or "E" when it is blank.
//    When the first character of `setting` is "A"/"a", that currency becomes the
//    main and the display currency; otherwise it becomes the secondary
//    currency (a blank part makes the secondary currency the main one).
//  - Without a ",": a first character "P"/"p" makes the secondary currency
//    the display currency (the main one when no secondary is set); anything
//    else, the empty text included, makes the main currency the display one.
void SetCurrency(const std::string& setting);

}  // namespace format
