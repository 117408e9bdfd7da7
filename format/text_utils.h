// Text utilities over code page 850 text: capitals with or without accents,
// the text stack, layout measures, names stored with their leading part last,
// and the paragraph formatter.
//
// State (in format::state): AccentMode, read by UpperText; TextStack, the
// stack of PushText/PopText. Both start empty/false and live for the process.
//
// Every routine here works on bytes; none changes its arguments except
// WrapParagraph, whose text is replaced by its result. None fails.
#pragma once

#include <cstdint>
#include <string>

namespace format {

// The text in capitals, of the same length. Only the codes 64 to 237 change,
// by one of two tables chosen by format::state.AccentMode at the time of the
// call:
//  - AccentMode false (0): a-z become A-Z and the accented small letters of
//    the code page become their accented capitals (é -> É, ñ -> Ñ, ã -> Ã);
//    everything else stays.
//  - AccentMode true (-1): letters become plain capitals without accents
//    (é, É -> E; ç, Ç -> C; ß -> S; þ, Þ -> T); every other code of 64..237
//    (the "@", brackets, box drawing, symbols) becomes a blank.
std::string UpperText(const std::string& text);

// Pushes a text on the text stack. The length is stored in 16 bits, so a
// text longer than 65535 bytes is pushed cut to its first 65535 bytes.
void PushText(const std::string& text);

// Removes and returns the text last pushed. A pop must match an earlier push;
// on an empty stack the result is the empty text and the stack stays empty.
std::string PopText();

// -1 when every byte of the text equals `code` (also for the empty text),
// else 0.
int16_t IsAllChar(const std::string& text, int16_t code);

// The text without leading and trailing blanks (only the space character
// counts as a blank; tabs and other bytes are kept). TrimLeadingBlanks and
// TrimTrailingBlanks remove one side only. All give "" for an all-blank text.
std::string TrimBlanks(const std::string& s);
std::string TrimLeadingBlanks(const std::string& s);
std::string TrimTrailingBlanks(const std::string& s);

// (width - length of text) / 2, truncated toward zero: the offset that
// centres the text in a field of `width` (negative when it does not fit).
// Clamped to the 16-bit range.
int16_t CentreOffset(const std::string& text, int16_t width);

// A name stored with its leading part last, after a "*" ("MOLI VELL*EL",
// "HOSPITALET*L'"), in reading order ("EL MOLI VELL", "L'HOSPITALET"): the
// part after the "*", a blank (left out when the stored name, without
// trailing blanks, ends in "'"), then the part before, each part trimmed of
// blanks. Without a "*", or with the "*" in the first position, the name is
// returned trimmed of leading and trailing blanks.
std::string NameOrder(const std::string& stored);

// Breaks `text` into lines of `width` characters and replaces it by the
// lines joined without separators. Codes below 32 (control codes: print
// attributes) stay in the lines but take no width. A word that does not fit
// moves to the next line; a single word wider than a line is cut. A positive
// `indent` indents the first line by that many blanks; a negative one
// indents every later line by its magnitude. `alignment`, compared in
// capitals as a whole: "E", "L", "I" pad with blanks on the right; "N" pads
// with "-"; "D", "R" pad on the left; "C" centres; "A", "B" justify every
// line but the last by widening its gaps (a justified line is not padded);
// anything else leaves the lines as they are.
// Every line takes at least one character of the text, so a width too small
// for the indent still ends (one character per line).
void WrapParagraph(std::string& text, int16_t indent, int16_t width, const std::string& alignment);

// The `count` bytes stored from `address`, as a text; empty for a null
// address or a count of 0 or less.
std::string CopyBytes(const void* address, int32_t count);

}  // namespace format
