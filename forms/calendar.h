// The calendar pop-up (Alt+C): a quarter of a year at the right edge of the
// screen, a highlighted day moved with the cursor keys, and the chosen date
// given back as the text the key reader types into the field being edited.
//
// The window: rows 1-24, columns 59-80, single frame, colour role "n" for
// the year (centred in the top frame line), the weekday header and the
// month names, "h" for the days, "u" for the highlighted day. Inside it
// (window-relative rows; the frame is row 0):
//   row 1          weekday header, Monday first, of config::session.Language:
//                  "SPA", "GLG" " L  M  X  J  V  S  D"; "OCI"
//                  "DL DT DC DJ DD DS DG"; any other "DL DT DC DJ DV DS DG"
//   rows 2, 9, 16  the names of the quarter's three months, in capitals
//   the 6 rows after each name: its weeks, a day in columns 3w-2 and 3w-1
//                  for weekday w (1 Monday .. 7 Sunday), blanks where the
//                  month has no day
// The quarter shown is the one of the highlighted month: January-March,
// April-June, July-September or October-December. Leap years follow the
// Gregorian rule for every year.
//
// Keys (all others are ignored; the calendar reads them with WaitKey and
// sets its own key set while open):
//   Right, Left     the next / previous day, across months and years
//   Down, Up        the same weekday of the next / previous week
//   PgDn, PgUp      three months on / back, the day cut to the month's last
//   Home, End       January / December of the year shown, the same day
//   "F", "f", Alt+F the date chosen: the result
//   Esc             nothing chosen: the empty result
// A move that would leave the years 1 to 9999 is ignored.
//
// State: none kept between openings; it opens on the session's working date
// (config::session.WorkDate), or on today's date when the session has no
// valid working date (a day beyond its month's end is cut to the last day).
// The key reader's CalendarOpen flag keeps a second Alt+C inside the
// calendar from opening another one (keyboard.h).
#pragma once

#include <string>

namespace console {

// Runs the calendar. Returns the chosen date as FormatDate writes it in
// style 0 with the parts "dma" ("5/1/2025" and two blanks with the default
// settings), or "" after Esc. The screen under the window, the colour role,
// the key set and the cursor are as before when it returns. When its
// window cannot be saved (the window stack file cannot be written) the
// calendar does not open and the result is "".
std::string Calendar();

}  // namespace console
