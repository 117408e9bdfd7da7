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

// Changes the currency settings; never fails.
//  - With a ",": the text after the first comma, trimmed of blanks, names a
//    currency: its first character in capitals, or "E" when it is blank.
//    When the first character of `spec` is "A"/"a", that currency becomes the
//    main and the display currency; otherwise it becomes the secondary
//    currency (a blank part makes the secondary currency the main one).
//  - Without a ",": a first character "P"/"p" makes the secondary currency
//    the display currency (the main one when no secondary is set); anything
//    else, the empty text included, makes the main currency the display one.
void SetCurrency(const std::string& spec);

}  // namespace format
