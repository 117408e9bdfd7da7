// Dates written out for people: the short numeric form with the configured
// separator and order ("5/1/2025"), the short form with an abbreviated month
// ("5/gen/2025"), the long form in words in the session's language ("5 de
// gener del 2025") and the international form ("2025-01-05").
//
// Settings, read from config::EnvRootDir() + "Brol.ini", section "Usuari", on first use
// and kept for the life of the process:
//   DatCaracter  the separator, 1 character; "/" when missing or blank
//   DatOrdre     the order of the parts, 3 characters of "D" (day), "M"
//                (month) and "A" (year); "DMA" when missing or blank
// A longer value is cut, a shorter one padded with blanks. The order's
// letters are compared exactly: small letters show nothing.
//
// Language: config::session.Language, read at each call: "SPA", "GLG",
// "OCI", anything else Catalan. Month names and connectors are code page
// 850 text.
//
// State: dates::state (the two settings as loaded; a setting holding NUL
// characters is not loaded yet). Tests reset it by assigning a fresh
// DatesState.
#pragma once

#include <cstdint>
#include <string>

namespace dates {

struct DatesState {
  std::string DateSeparator = std::string(1, '\0');  // DatCaracter
  std::string DateOrder = std::string(3, '\0');      // DatOrdre
};
extern DatesState state;

// Styles of FormatDate.
constexpr int16_t kDateIso = -1;      // YYYY-MM-DD, whatever the settings
constexpr int16_t kDateNumeric = 0;   // 5/1/2025, padded to a fixed width
constexpr int16_t kDateShortName = 1; // 5/gen/2025, padded to a fixed width
constexpr int16_t kDateLong = 2;      // 5 de gener del 2025 (2 or more)

// The packed date as text. `parts` names the parts to show ("dma", "ma",
// any case); they appear in the configured order. Styles 0 and 1 give a
// fixed width: (style + 2 with "M") + (4 with "A") + (2 with "D") +
// (length of parts - 1), padded with blanks or cut. The zero date gives
// blanks of that width, "" in the long form and "0000-00-00" in style -1.
// A month outside 1..12 has no name (blank in styles 1 and 2).
std::string FormatDate(const std::string& packed, int16_t style, const std::string& parts);

}  // namespace dates
