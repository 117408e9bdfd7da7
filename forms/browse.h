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
// Keys: Up, Down, PgUp, PgDn move the highlight and scroll; Left and
// Right scroll the lines sideways (the heading with them, "◄" / "►" on
// the frame telling there is more); Enter chooses; Esc leaves; F4 opens
// the list's secondary list, if it has one. Lines are fetched only when
// the operator scrolls forward onto them; an Esc typed while lines are
// being fetched stops the fetching, and the list ends at the lines held.
// A data file that cannot be read (number 0 included) gives an empty list.
// While the list is on the screen its data file is read without record
// locks; its lock mode is restored afterwards.
//
// State: none kept between calls.
#pragma once

#include <cstdint>

namespace console {

// Runs browse list `list`. result: 0 when a record was chosen (it is then
// the data file's current record, read again by its position), -1 when
// the operator left with Esc or chose nothing, the record manager's status
// when reading the chosen record again failed, or the non-zero answer of
// the BrowseStartKey hook. Enter on an empty list chooses nothing (-1). A
// list the form lacks, or whose window has no room for a line or does not
// fit on the screen, shows nothing and gives -1. The screen, the window,
// the colour role, the key set and the file's lock mode are as they were
// when it returns.
void Browse(int16_t& list, int16_t& result);

}  // namespace console
