// Packed digit strings: the form in which every date, code and key of the
// suite is stored.
//
// A string of decimal digits is kept two digits per byte. The byte for the
// digits a and b (in that order) is 128 + 10*a + b, so every byte lies in
// 0x80..0xE3 and packed values of equal length compare byte by byte in the
// order of the numbers they hold. An odd number of digits is completed with
// a trailing 0. Example: "20250105" packs to 94 99 81 85 (hex).
//
// Changing this encoding makes every stored data file unreadable.
//
// State: none.
#pragma once

#include <cstdint>
#include <string>

namespace dates {

// Packs a digit text. The text is first trimmed of spaces, right-justified in
// its own length and filled with zeros on the left (" 12" -> "012"); any
// remaining space counts as "0", and so does any other non-digit character.
// The result has (length + 1) / 2 bytes; Pack("") is "".
std::string Pack(const std::string& digits);

// Unpacks: each byte gives the two-digit text of its low seven bits (the last
// two digits when that value exceeds 99). The result is twice as long.
std::string Unpack(const std::string& packed);

// The number written in decimal, without its sign, filled with zeros on the
// left and cut on the left to exactly `width` characters:
// ZeroPad(5, 2) = "05", ZeroPad(123, 2) = "23", ZeroPad(-7, 3) = "007".
// A width of zero or less gives "".
std::string ZeroPad(double x, int16_t width);

}  // namespace dates
