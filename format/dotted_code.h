// Dotted codes: how communities and departments are identified.
//
// A code is groups of digits separated by "." ("12", "5.3", "123456.1234").
// Its packed form (stored in the data files' keys) is dates::Pack of the
// groups written one after the other, each filled with zeros on the left
// to a fixed width: 4 digits, except that the first group is 6 digits wide
// when the text is 6 characters long without a ".", or 11 characters long
// with at most one ".". A community is a one-group code (2 bytes packed), a
// department the community code, "." and its number (4 bytes packed).
// Because the widths are fixed, packed codes of the same length sort in the
// order of their groups' values. Changing the widths makes every stored key
// unreadable.
//
// State: none.
#pragma once

#include <string>

namespace format {

// The packed form of a code text. Each group is read as a number by the
// reading rule of numeric_text.h ("5" and "05" are the same group, a group
// with no digits is 0), taken whole and without its sign, and cut on the
// left to its width when longer. A text ending in "." or blanks has no
// further group ("12." packs like "12"). "" gives "". Never fails.
// Examples: "12" -> digits "0012"; "12.34" -> "00120034";
// "123456" -> "123456"; "123456.1234" -> "1234561234".
std::string PackCode(const std::string& code);

// The code text of a packed code, for display: each group of four digits
// (the leftmost taking up to six) written without leading zeros, "."
// between groups, zero groups at the end left out with their ".". A code
// that reads as 0 gives the empty text, so a missing code shows nothing.
// Examples (as digits): "0012" -> "12"; "00120000" -> "12";
// "1234560012" -> "123456.12"; "00000000" -> "".
std::string CodeText(const std::string& packed);

}  // namespace format
