// The suite-path rule: how a file name of the suite becomes a path here.
//
// The suite names its files as on its original DOS/Windows machines
// ("DADES\TDespesa.dat", "FORMS\TORBELAN.JPN", "C:\X\Y.DAT"), and files copied
// from those machines keep whatever capitalisation they had. Every file open
// of the system passes its name through SuitePath, which applies, in order:
//
//  1. Text: the name is code page 850; it is converted to UTF-8, the encoding
//     of file names here.
//  2. Separators: every "\" becomes "/", and a run of them counts as one
//     ("T1/\zudavivi.tmp" is "T1/zudavivi.tmp"; a leading "//" stays).
//  3. Drive letters: a name that starts with a letter and ":" names a drive.
//     The drive maps to the directory in the environment variable
//     ZULDRIVE_<LETTER> (capital letter, e.g. ZULDRIVE_C=/srv/brol) when that
//     is set, else to the file-system root "/". "C:\X\Y.DAT" thus becomes
//     "/X/Y.DAT", or "/srv/brol/X/Y.DAT" with the variable set. A drive with
//     no separator after it ("C:Y.DAT", relative to the drive's current
//     directory) maps the same way: "/Y.DAT".
//  4. Case: when the path so built does not exist, it is resolved component
//     by component; a component that does not exist as written is replaced by
//     the one entry of its directory whose name matches it without regard to
//     case (ASCII and accented Latin letters; the first in byte order if
//     several do). Components that
//     match nothing are kept as written, so a file about to be created gets
//     the name the suite gave it, inside the directories that do exist.
//
// SuitePath never fails; it does not create anything.
#pragma once

#include <string>

namespace platform {

std::string SuitePath(const std::string& suiteName);

// True when a file or directory exists at the native path.
bool PathExists(const std::string& nativePath);

}  // namespace platform
