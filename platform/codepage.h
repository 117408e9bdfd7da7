// Code page 850 <-> UTF-8.
//
// Inside the system every text is a std::string of code page 850 bytes. Only
// the edges that face people or other tools (the terminal, PDF and text output,
// CSV files, the readable sources under suite/) convert, and they all convert
// through the one table in codepage.cpp.
//
// The table is the IBM code page 850 with one deliberate difference: byte 0xD5
// is the euro sign (U+20AC), as in the later revision of the code page used by
// the suite (Alt+E types it). Bytes 0x00-0x7F map to themselves, so the
// mapping is a bijection between the 256 bytes and 256 code points and a
// round trip through UTF-8 loses nothing.
#pragma once

#include <string>

namespace platform {

// The Unicode code point shown for one code page 850 byte.
char32_t Cp850ToUnicode(unsigned char byte);

// The code page 850 byte for a code point. Returns false when the code point
// has no byte (the caller decides on a replacement). U+0131 (dotless i, the
// original occupant of 0xD5) is accepted as 0xD5 too.
bool UnicodeToCp850(char32_t cp, unsigned char* byte);

// The result of decoding one UTF-8 sequence (DecodeUtf8).
enum class Utf8Status {
  kOk,          // a code point, *length bytes
  kIncomplete,  // the bytes end inside a sequence that is well formed so far
  kInvalid,     // not UTF-8; *length is 1, the byte to pass over
};

// Decodes the UTF-8 sequence that starts at text[pos] (pos < size) into
// *cp and *length. Only the shortest form of a code point is UTF-8: the
// over-long forms (C0 80 for U+0000, E0 80 80, F0 80 80 80 and the like),
// the surrogates U+D800-U+DFFF (ED A0 80 - ED BF BF) and code points above
// U+10FFFF (F4 90 80 80 and above, leads F5-FF) are kInvalid, as are a
// continuation byte without its lead and a lead followed by anything but
// continuation bytes. This is the one UTF-8 decoder of the system.
Utf8Status DecodeUtf8(const std::string& text, size_t pos, char32_t* cp, size_t* length);

// Code page 850 text to UTF-8. Never fails.
std::string Cp850ToUtf8(const std::string& text);

// UTF-8 text to code page 850. Characters without a byte, and malformed UTF-8
// (DecodeUtf8: every byte that is not part of a well-formed sequence, an
// unfinished last sequence included), become `replacement`. When `lossy` is
// given it is set to true if any replacement happened, false otherwise.
std::string Utf8ToCp850(const std::string& text, char replacement = '?',
                        bool* lossy = nullptr);

// Appends the UTF-8 encoding of one code point.
void AppendUtf8(char32_t cp, std::string* out);

// The number of bytes a UTF-8 byte-order mark (EF BB BF, which editors and
// spreadsheets put before UTF-8 text) takes at the start of `text`: 3 or 0.
size_t Utf8MarkLength(const std::string& text);

// The suite's text files (INI files, the message catalogue) are code page
// 850, but an editor of this platform saves them as UTF-8. A text file's
// bytes as code page 850 text, by this rule:
//   - a UTF-8 byte-order mark at the start is dropped;
//   - the rest, when it is well-formed UTF-8 (DecodeUtf8) and holds at
//     least one byte above 0x7F, is UTF-8 and is converted;
//   - anything else (ASCII, or bytes that are not UTF-8) is code page 850
//     as it stands.
// Code page 850 text is taken for UTF-8 only when every byte of it above
// 0x7F falls into such a sequence: each a capital accented letter, a sign
// or a box-drawing character of 0xC2-0xF4 followed by one to three of
// 0x80-0xBF (small accented letters mostly), which the suite's texts,
// written in words, do not hold.
// Returns true with *text set. Returns false when UTF-8 text holds a
// character code page 850 lacks: *missing gets its code point and *line
// its 1-based line (a line ends at LF, CR LF or a lone CR), *text is empty.
bool TextFileToCp850(const std::string& bytes, std::string* text, char32_t* missing,
                     int* line);

}  // namespace platform
