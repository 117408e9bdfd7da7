#include "tools/zuldata/csv_text.h"

#include <cstdio>

#include "platform/codepage.h"

namespace zuldata {
namespace {

struct Named {
  char32_t cp;
  const char* name;
  const char* instead;  // what to write instead, or nullptr
};

// Characters that spreadsheets and word processors put into texts (their
// automatic quotes and dashes, decomposed accents, the Windows-1252 extras)
// and that code page 850 lacks. In code point order.
const Named kNamed[] = {
    {0x013F, "LATIN CAPITAL LETTER L WITH MIDDLE DOT", "L\xC2\xB7"},
    {0x0140, "LATIN SMALL LETTER L WITH MIDDLE DOT", "l\xC2\xB7"},
    {0x0152, "LATIN CAPITAL LIGATURE OE", "OE"},
    {0x0153, "LATIN SMALL LIGATURE OE", "oe"},
    {0x0160, "LATIN CAPITAL LETTER S WITH CARON", nullptr},
    {0x0161, "LATIN SMALL LETTER S WITH CARON", nullptr},
    {0x0178, "LATIN CAPITAL LETTER Y WITH DIAERESIS", nullptr},
    {0x017D, "LATIN CAPITAL LETTER Z WITH CARON", nullptr},
    {0x017E, "LATIN SMALL LETTER Z WITH CARON", nullptr},
    {0x02C6, "MODIFIER LETTER CIRCUMFLEX ACCENT", "^"},
    {0x02DC, "SMALL TILDE", "~"},
    {0x0300, "COMBINING GRAVE ACCENT", nullptr},
    {0x0301, "COMBINING ACUTE ACCENT", nullptr},
    {0x0302, "COMBINING CIRCUMFLEX ACCENT", nullptr},
    {0x0303, "COMBINING TILDE", nullptr},
    {0x0308, "COMBINING DIAERESIS", nullptr},
    {0x0327, "COMBINING CEDILLA", nullptr},
    {0x2009, "THIN SPACE", " "},
    {0x200B, "ZERO WIDTH SPACE", ""},
    {0x2010, "HYPHEN", "-"},
    {0x2011, "NON-BREAKING HYPHEN", "-"},
    {0x2012, "FIGURE DASH", "-"},
    {0x2013, "EN DASH", "-"},
    {0x2014, "EM DASH", "-"},
    {0x2018, "LEFT SINGLE QUOTATION MARK", "'"},
    {0x2019, "RIGHT SINGLE QUOTATION MARK", "'"},
    {0x201A, "SINGLE LOW-9 QUOTATION MARK", "'"},
    {0x201C, "LEFT DOUBLE QUOTATION MARK", "\""},
    {0x201D, "RIGHT DOUBLE QUOTATION MARK", "\""},
    {0x201E, "DOUBLE LOW-9 QUOTATION MARK", "\""},
    {0x2020, "DAGGER", nullptr},
    {0x2021, "DOUBLE DAGGER", nullptr},
    {0x2022, "BULLET", nullptr},
    {0x2026, "HORIZONTAL ELLIPSIS", "..."},
    {0x202F, "NARROW NO-BREAK SPACE", " "},
    {0x2030, "PER MILLE SIGN", nullptr},
    {0x2039, "SINGLE LEFT-POINTING ANGLE QUOTATION MARK", "<"},
    {0x203A, "SINGLE RIGHT-POINTING ANGLE QUOTATION MARK", ">"},
    {0x2122, "TRADE MARK SIGN", nullptr},
    {0x2212, "MINUS SIGN", "-"},
    {0x2260, "NOT EQUAL TO", nullptr},
    {0x2264, "LESS-THAN OR EQUAL TO", nullptr},
    {0x2265, "GREATER-THAN OR EQUAL TO", nullptr},
    {0x2713, "CHECK MARK", nullptr},
    {0xFEFF, "ZERO WIDTH NO-BREAK SPACE", ""},
    {0xFFFD, "REPLACEMENT CHARACTER", nullptr},
};

const Named* FindNamed(char32_t cp) {
  for (const Named& n : kNamed)
    if (n.cp == cp) return &n;
  return nullptr;
}

// Combining marks and spaces do not show on their own in a message.
bool Invisible(char32_t cp) {
  return (cp >= 0x0300 && cp <= 0x036F) || (cp >= 0x2000 && cp <= 0x200F) ||
         (cp >= 0x2028 && cp <= 0x202F) || cp == 0xFEFF;
}

std::string CodePoint(char32_t cp) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "U+%04X", unsigned(cp));
  return buf;
}

std::string Where(int line, int column) {
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

const char kSaveAgain[] =
    "save it again as CSV in UTF-8 (\"CSV UTF-8\" in Excel, the character set "
    "\"Unicode (UTF-8)\" in LibreOffice)";

bool IsLetter(char32_t cp) {
  return (cp >= 0xC0 && cp <= 0x24F && cp != 0xD7 && cp != 0xF7) || cp == 0xAA || cp == 0xBA ||
         cp == 0xB5 || cp == 0x192 || cp == 0x131;
}

// Windows-1252 at 0x80-0x9F: the bytes that hold no character there, and
// those that hold letters (0xA0-0xFF are ISO-8859-1, byte = code point).
bool Undefined1252(unsigned char b) {
  return b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
}
bool Letter1252(unsigned char b) {
  if (b >= 0xA0) return IsLetter(b);
  return b == 0x83 || b == 0x8A || b == 0x8C || b == 0x8E || b == 0x9A || b == 0x9C ||
         b == 0x9E || b == 0x9F;
}

// The 8-bit encoding that text not in UTF-8 most likely is (rules in the
// header).
std::string GuessEightBit(const std::string& bytes) {
  int as1252 = 0, as850 = 0;
  bool own1252 = false;
  for (unsigned char b : bytes) {
    if (b < 0x80) continue;
    as1252 += Letter1252(b);
    as850 += IsLetter(platform::Cp850ToUnicode(b));
    if (b < 0xA0 && !Undefined1252(b)) own1252 = true;
  }
  if (as850 > as1252) return "code page 850 (the suite's own character set)";
  return own1252 ? "Windows-1252" : "Windows-1252 or ISO-8859-1";
}

// NUL bytes: UTF-16 when they stand at one parity (ASCII text in two
// bytes a character), else no text at all.
std::string NulMessage(const std::string& bytes) {
  size_t even = 0, odd = 0;
  for (size_t i = 0; i < bytes.size(); ++i)
    if (bytes[i] == '\0') (i % 2 ? odd : even)++;
  size_t nuls = even + odd;
  if (odd * 10 >= nuls * 9)
    return "has NUL bytes: it looks like UTF-16 (little-endian), not UTF-8; ";
  if (even * 10 >= nuls * 9) return "has NUL bytes: it looks like UTF-16 (big-endian), not UTF-8; ";
  return "has NUL bytes, which no CSV text holds; ";
}

// A lead byte followed by a continuation byte that still makes no UTF-8:
// text that was meant as UTF-8 (an 8-bit encoding seldom puts a letter
// before a byte 0x80-0xBF).
bool Malformed(const std::string& bytes, size_t i) {
  const unsigned char lead = static_cast<unsigned char>(bytes[i]);
  if (lead < 0xC0 || i + 1 >= bytes.size()) return false;
  const unsigned char next = static_cast<unsigned char>(bytes[i + 1]);
  return next >= 0x80 && next <= 0xBF;
}

}  // namespace

const char* CharacterName(char32_t cp) {
  const Named* n = FindNamed(cp);
  return n ? n->name : "";
}

bool CheckCsvText(const std::string& bytes, std::string* text, std::string* error) {
  const struct {
    const char* mark;
    size_t size;
    const char* name;
  } kMarks[] = {
      {"\xFF\xFE\x00\x00", 4, "UTF-32, little-endian"},
      {"\x00\x00\xFE\xFF", 4, "UTF-32, big-endian"},
      {"\xFF\xFE", 2, "UTF-16, little-endian"},
      {"\xFE\xFF", 2, "UTF-16, big-endian"},
  };
  for (const auto& m : kMarks) {
    if (bytes.compare(0, m.size, std::string(m.mark, m.size)) == 0) {
      *error = std::string("is ") + m.name + " (it starts with its byte-order mark), not UTF-8; " +
               kSaveAgain;
      return false;
    }
  }
  if (bytes.find('\0') != std::string::npos) {
    *error = NulMessage(bytes) + kSaveAgain;
    return false;
  }
  const size_t start = platform::Utf8MarkLength(bytes);

  // Every byte UTF-8 first: a file in another encoding is named as such,
  // not by the first character that looks wrong.
  int line = 1, column = 1;
  for (size_t i = start; i < bytes.size();) {
    char32_t cp = 0;
    size_t length = 1;
    if (platform::DecodeUtf8(bytes, i, &cp, &length) != platform::Utf8Status::kOk) {
      if (Malformed(bytes, i)) {
        *error = "has a malformed UTF-8 sequence at " + Where(line, column) +
                 " (an over-long form, a surrogate or a code point beyond U+10FFFF): the "
                 "program that wrote it made a mistake; " + kSaveAgain;
        return false;
      }
      char byte[8];
      std::snprintf(byte, sizeof byte, "0x%02X", unsigned(static_cast<unsigned char>(bytes[i])));
      *error = "is not UTF-8 (" + Where(line, column) + " has the byte " + byte +
               "); it looks like " + GuessEightBit(bytes) + "; " + kSaveAgain;
      return false;
    }
    if (cp == '\n') {
      ++line;
      column = 1;
    } else {
      ++column;
    }
    i += length;
  }

  // Then every character one the suite can store.
  line = 1;
  column = 1;
  for (size_t i = start; i < bytes.size();) {
    char32_t cp = 0;
    size_t length = 1;
    platform::DecodeUtf8(bytes, i, &cp, &length);
    unsigned char byte = 0;
    if (!platform::UnicodeToCp850(cp, &byte)) {
      const Named* n = FindNamed(cp);
      std::string what = n ? std::string(n->name) + " " + CodePoint(cp)
                           : "the character " + CodePoint(cp);
      if (!Invisible(cp)) what += " (" + bytes.substr(i, length) + ")";
      std::string advice;
      if (cp >= 0x0300 && cp <= 0x036F)
        advice = "; write the accented letter as one character";
      else if (n && n->instead && *n->instead)
        advice = std::string("; write ") + n->instead + " instead";
      else if (n && n->instead)
        advice = "; leave it out";
      *error = Where(line, column) + ": " + what +
               " is not in code page 850, the suite's character set" + advice;
      return false;
    }
    if (cp == '\n') {
      ++line;
      column = 1;
    } else {
      ++column;
    }
    i += length;
  }
  *text = bytes.substr(start);
  return true;
}

char CsvSeparator(std::string* text) {
  size_t end = text->find('\n');
  std::string first = text->substr(0, end);
  if (!first.empty() && first.back() == '\r') first.pop_back();
  if (first == "sep=;" || first == "sep=,") {
    text->erase(0, first.size());
    return first[4];
  }
  // The first line that holds anything: the header.
  size_t pos = text->find_first_not_of("\r\n");
  size_t semicolons = 0, commas = 0;
  bool quoted = false;
  for (; pos != std::string::npos && pos < text->size(); ++pos) {
    char c = (*text)[pos];
    if (c == '"') quoted = !quoted;
    else if (!quoted && c == '\n') break;
    else if (!quoted && c == ';') ++semicolons;
    else if (!quoted && c == ',') ++commas;
  }
  return semicolons > commas ? ';' : ',';
}

}  // namespace zuldata
