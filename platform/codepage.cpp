#include "platform/codepage.h"

namespace platform {
namespace {

// Code points of bytes 0x80-0xFF. Changing an entry changes how every stored
// text is shown and exported.
const char32_t kHigh[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,  // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // A0
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,  // B0
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,  // C8
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x20AC, 0x00CD, 0x00CE,  // D0
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,  // D8
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,  // E0
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,  // E8
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,  // F0
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,  // F8
};

}  // namespace

char32_t Cp850ToUnicode(unsigned char byte) {
  return byte < 0x80 ? char32_t(byte) : kHigh[byte - 0x80];
}

bool UnicodeToCp850(char32_t cp, unsigned char* byte) {
  if (cp < 0x80) {
    *byte = static_cast<unsigned char>(cp);
    return true;
  }
  if (cp == 0x0131) {
    *byte = 0xD5;
    return true;
  }
  for (int i = 0; i < 128; ++i) {
    if (kHigh[i] == cp) {
      *byte = static_cast<unsigned char>(0x80 + i);
      return true;
    }
  }
  return false;
}

void AppendUtf8(char32_t cp, std::string* out) {
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

std::string Cp850ToUtf8(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  for (unsigned char c : text) AppendUtf8(Cp850ToUnicode(c), &out);
  return out;
}

Utf8Status DecodeUtf8(const std::string& text, size_t pos, char32_t* cp, size_t* length) {
  *length = 1;
  const unsigned char lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80) {
    *cp = lead;
    return Utf8Status::kOk;
  }
  // The length of the sequence and the range its second byte must lie in:
  // the narrow ranges after E0, ED, F0 and F4 leave out the over-long forms,
  // the surrogates and everything beyond U+10FFFF.
  size_t n = 0;
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    n = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    n = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    n = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return Utf8Status::kInvalid;  // C0, C1, F5-FF, or a continuation byte
  }
  char32_t value = lead & (n == 2 ? 0x1F : n == 3 ? 0x0F : 0x07);
  for (size_t k = 1; k < n; ++k) {
    if (pos + k >= text.size()) return Utf8Status::kIncomplete;
    const unsigned char c = static_cast<unsigned char>(text[pos + k]);
    if (k == 1 ? (c < low || c > high) : (c & 0xC0) != 0x80) return Utf8Status::kInvalid;
    value = (value << 6) | (c & 0x3F);
  }
  *cp = value;
  *length = n;
  return Utf8Status::kOk;
}

std::string Utf8ToCp850(const std::string& text, char replacement, bool* lossy) {
  std::string out;
  out.reserve(text.size());
  bool replaced = false;
  size_t i = 0;
  while (i < text.size()) {
    char32_t cp = 0;
    size_t len = 1;
    unsigned char byte = 0;
    if (DecodeUtf8(text, i, &cp, &len) == Utf8Status::kOk && UnicodeToCp850(cp, &byte)) {
      out.push_back(static_cast<char>(byte));
    } else {
      out.push_back(replacement);
      replaced = true;
    }
    i += len;  // a malformed byte is passed over alone
  }
  if (lossy) *lossy = replaced;
  return out;
}

size_t Utf8MarkLength(const std::string& text) {
  return text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
}

bool TextFileToCp850(const std::string& bytes, std::string* text, char32_t* missing,
                     int* line) {
  const size_t start = Utf8MarkLength(bytes);
  bool high = false;
  for (size_t i = start; i < bytes.size();) {
    char32_t cp = 0;
    size_t length = 1;
    if (DecodeUtf8(bytes, i, &cp, &length) != Utf8Status::kOk) {
      *text = bytes.substr(start);  // not UTF-8: code page 850
      return true;
    }
    high = high || cp >= 0x80;
    i += length;
  }
  if (!high) {
    *text = bytes.substr(start);
    return true;
  }
  text->clear();
  text->reserve(bytes.size() - start);
  int lineNumber = 1;
  for (size_t i = start; i < bytes.size();) {
    char32_t cp = 0;
    size_t length = 1;
    DecodeUtf8(bytes, i, &cp, &length);
    unsigned char byte = 0;
    if (!UnicodeToCp850(cp, &byte)) {
      text->clear();
      *missing = cp;
      *line = lineNumber;
      return false;
    }
    if (cp == '\n' || (cp == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n')))
      ++lineNumber;
    text->push_back(static_cast<char>(byte));
    i += length;
  }
  return true;
}

}  // namespace platform
