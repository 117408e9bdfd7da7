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

// Code page 850 text to UTF-8. Never fails.
std::string Cp850ToUtf8(const std::string& text);

// UTF-8 text to code page 850. Characters without a byte, and malformed UTF-8
// sequences, become `replacement`. When `lossy` is given it is set to true if
// any replacement happened, false otherwise.
std::string Utf8ToCp850(const std::string& text, char replacement = '?',
                        bool* lossy = nullptr);

// Appends the UTF-8 encoding of one code point.
void AppendUtf8(char32_t cp, std::string* out);

}  // namespace platform
