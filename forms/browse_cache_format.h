// Byte layout of the browse list's cache file Browse.tmp.
//
// The file lives in the session's temporary directory while a browse list
// is on the screen: it is emptied when the list opens and deleted when it
// closes. It is a chain of entries, one per line of the list, appended in
// the order the lines are fetched from the data file. Positions are 1-based
// byte positions in the file; the first entry starts at position 1.
//
//   entry
//     offset  width  field
//     0       4      previous: 32-bit little-endian position of the entry
//                    appended before this one; 0 for the first entry
//     4       4      record position: 32-bit little-endian physical
//                    position of the line's record in the data file
//     8       2      length L: 16-bit little-endian length of the text
//     10      L      the line's text (code page 850), trailing blanks removed
//
// An entry ends where the next begins (its position + 10 + L). The file
// holds only lines already shown, so its size tells how far the operator
// has scrolled. Changing any width or order here makes existing cache
// files (and programs of the suite sharing a temporary directory)
// incompatible.
#pragma once

#include <cstdint>

namespace console {
namespace browsecache {

constexpr const char* kFileName = "Browse.tmp";

constexpr int kPrevious = 0;          // 4 bytes
constexpr int kRecordPosition = 4;    // 4 bytes
constexpr int kLength = 8;            // 2 bytes
constexpr int kHeaderSize = 10;       // the text follows
constexpr int32_t kFirstEntry = 1;    // position of the first entry
constexpr int32_t kNoEntry = 0;       // "previous" of the first entry

// The longest text an entry holds (L is read as a 16-bit signed length).
constexpr int kMaxTextLength = 32767;

// Length of an entry holding a text of n bytes.
constexpr int32_t EntryLength(int32_t n) { return kHeaderSize + n; }

}  // namespace browsecache
}  // namespace console
