// Byte layout of the window stack file WinPush.tmp.
//
// The file lives in the session's temporary directory while at least one
// window is pushed. It starts with a header, then holds one record per
// pushed window, oldest first. Positions in the file are counted from 1,
// as the stack top stored in the header is.
//
//   header    bytes 1-4: 32-bit little-endian signed integer, the position
//             at which the next record will be written (the stack top). A
//             new or empty file counts as stack top 5.
//   record    from position 5 on, each:
//     offset  width  field
//     0       2      cursor row at the push
//     2       2      cursor column
//     4       2      WindowTop before the push
//     6       2      WindowLeft before the push
//     8       2      WindowBottom before the push
//     10      2      WindowRight before the push
//     12      2      rectangle top row
//     14      2      rectangle left column
//     16      2      rectangle bottom row
//     18      2      rectangle right column
//     20      2N     the N cells of the rectangle, row by row, left to right:
//                    character byte, then attribute byte (foreground in the
//                    low 4 bits, background in the high 4 bits)
//     20+2N   5      record length, 20 + 2N + 5
//   The numbers are zero-padded decimal text, cut to their rightmost 2 (or
//   5) digits, so rows and columns above 99 do not survive a push.
//
// The file is never truncated: bytes beyond the stack top are stale and
// ignored. Changing any width or order here makes existing stack files
// (and programs of the suite sharing a temporary directory) incompatible.
#pragma once

#include <cstdint>

namespace console {
namespace winpush {

constexpr const char* kFileName = "WinPush.tmp";

constexpr int kHeaderSize = 4;            // bytes 1-4: the stack top
constexpr int32_t kEmptyStackTop = 5;     // position of the first record

constexpr int kNumberWidth = 2;           // each of the ten fields below
constexpr int kCursorRow = 0;
constexpr int kCursorColumn = 2;
constexpr int kPreviousTop = 4;
constexpr int kPreviousLeft = 6;
constexpr int kPreviousBottom = 8;
constexpr int kPreviousRight = 10;
constexpr int kRectTop = 12;
constexpr int kRectLeft = 14;
constexpr int kRectBottom = 16;
constexpr int kRectRight = 18;
constexpr int kCells = 20;                // 2 bytes per cell follow
constexpr int kLengthWidth = 5;           // the record length, after the cells

// Length of a record holding n cells.
constexpr int32_t RecordLength(int32_t cells) { return kCells + 2 * cells + kLengthWidth; }

}  // namespace winpush
}  // namespace console
