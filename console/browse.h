// Browse list: the records of a data file, one line per record, in a
// framed window; the operator scrolls through them and picks one with
// Enter. The form engine opens list k with F4 on a field that names it.
//
// The list's definition (data file, index, window, search screen, heading,
// secondary list) is console::form.Lists[k] (form.h). What a record's line
// says, where the list starts and ends and what a pick does are the
// program's: the form hooks BrowseRowText, BrowseStartKey and BrowsePick
// (form_hooks.h). Lines fetched are kept in the cache file Browse.tmp of
// the session's temporary directory while the list is on the screen.
//
// State: none kept between calls.
#pragma once

#include <cstdint>

namespace console {

// Runs browse list `list`. result: 0 when a record was chosen (it is then
// the data file's current record, read again by its position), -1 when
// the operator left with Esc or chose nothing, the record manager's status
// when reading the chosen record again failed, or the non-zero answer of
// the BrowseStartKey hook. The screen, the window, the colour role and the
// key set are as they were when it returns.
void Browse(int16_t& list, int16_t& result);

}  // namespace console
