// zuldata xdf: readable file descriptions -> creation layout files.
//
// The description format is documented in tools/zuldata/README.md. In
// short:
//
//   # comment
//   record 120                  record length (required)
//   page 4096                   page size (default 4096)
//   variable                    records may be longer than the length
//   acs CATALA cp850-upper      a collating sequence (base table)
//   weight 0xA5 'N'             ... with one byte re-weighted
//   key duplicates modifiable null=' '
//   segment 1 2 unsigned        position (1-based), length, type, flags
//   segment 5 30 string nocase
//
// The .xdf file is a creation layout file (recman/creation_layout_file.h).
#include <cstdio>
#include <sstream>
#include <string>

#include "platform/files.h"
#include "recman/btrcall.h"
#include "recman/creation_layout_file.h"
#include "recman/key_layout.h"
#include "tools/zuldata/commands.h"

namespace zuldata {

namespace {

using recman::AcsDef;
using recman::SegmentDef;

// Splits a line into blank-separated words; '...' is one word (so ' ' is a
// blank byte), "#" outside quotes ends the line.
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < line.size()) {
    char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
      continue;
    }
    if (c == '#') break;
    std::string w;
    bool quoted = false;
    while (i < line.size()) {
      c = line[i];
      if (c == '\'') quoted = !quoted;
      else if (!quoted && (c == ' ' || c == '\t' || c == '\r' || c == '#')) break;
      w += c;
      ++i;
    }
    out.push_back(w);
  }
  return out;
}

// A number from 0 to max: decimal digits ("010" is ten), or "0x" and
// hexadecimal digits. Nothing else: no sign, no blank, no octal.
bool Number(const std::string& s, long max, long* v) {
  const bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
  const size_t first = hex ? 2 : 0;
  if (s.size() == first) return false;
  long n = 0;
  for (size_t i = first; i < s.size(); ++i) {
    const char c = s[i];
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return false;
    n = n * (hex ? 16 : 10) + digit;
    if (n > max) return false;  // also keeps n far from overflowing
  }
  *v = n;
  return true;
}

// A byte: 0-255, 0xHH, or one character in single quotes.
bool Byte(const std::string& s, uint8_t* b) {
  if (s.size() == 3 && s[0] == '\'' && s[2] == '\'') {
    *b = uint8_t(s[1]);
    return true;
  }
  long v = 0;
  if (!Number(s, 255, &v)) return false;
  *b = uint8_t(v);
  return true;
}

bool BaseTable(const std::string& name, std::array<uint8_t, 256>* t) {
  for (int i = 0; i < 256; ++i) (*t)[i] = uint8_t(i);
  if (name == "identity") return true;
  if (name != "upper" && name != "cp850-upper") return false;
  for (int c = 'a'; c <= 'z'; ++c) (*t)[c] = uint8_t(c - 32);
  if (name == "upper") return true;
  // Code page 850 letters with marks weigh as their plain capital letter.
  const char* groups[] = {
      "A\x83\x84\x85\x86\xA0\xC6\x8E\x8F\xB5\xB6\xB7\xC7",
      "C\x87\x80", "E\x82\x88\x89\x8A\x90\xD2\xD3\xD4",
      "I\x8B\x8C\x8D\xA1\xD6\xD7\xD8\xDE", "N\xA4\xA5",
      "O\x93\x94\x95\xA2\xE4\x99\xE0\xE2\xE3\xE5",
      "U\x81\x96\x97\xA3\x9A\xE9\xEA\xEB", "Y\x98\xEC\xED"};
  for (const char* g : groups)
    for (const char* p = g + 1; *p; ++p) (*t)[uint8_t(*p)] = uint8_t(g[0]);
  return true;
}

}  // namespace

bool DescriptionToLayout(const std::string& text, std::string* creation, std::string* error) {
  long record = -1, page = 4096;
  uint16_t fileFlags = 0;
  std::vector<std::vector<SegmentDef>> keys;
  std::vector<uint16_t> keyFlags;
  std::vector<uint8_t> keyNull;
  std::vector<AcsDef> acs;
  std::istringstream in(text);
  std::string line;
  int number = 0;
  auto fail = [&](const std::string& why) {
    *error = "line " + std::to_string(number) + ": " + why;
    return false;
  };
  while (std::getline(in, line)) {
    ++number;
    std::vector<std::string> w = Words(line);
    if (w.empty()) continue;
    const std::string& kw = w[0];
    if (kw == "record") {
      if (w.size() != 2 || !Number(w[1], 65535, &record) || record == 0)
        return fail("record wants a length from 1 to 65535");
    } else if (kw == "page") {
      if (w.size() != 2 || !Number(w[1], 65535, &page))
        return fail("page wants a size");
    } else if (kw == "variable") {
      fileFlags |= recman::FF_VARIABLE_LENGTH;
    } else if (kw == "acs") {
      if (w.size() < 2 || w.size() > 3 || w[1].size() > 8)
        return fail("acs wants a name of up to 8 characters and a base table");
      AcsDef a;
      a.name = w[1];
      if (!BaseTable(w.size() == 3 ? w[2] : "identity", &a.table))
        return fail("unknown base table \"" + w[2] + "\" (identity, upper, cp850-upper)");
      acs.push_back(a);
    } else if (kw == "weight") {
      uint8_t b = 0, v = 0;
      if (acs.empty()) return fail("weight before any acs");
      if (w.size() != 3 || !Byte(w[1], &b) || !Byte(w[2], &v))
        return fail("weight wants a byte and its weight");
      acs.back().table[b] = v;
    } else if (kw == "key") {
      uint16_t flags = 0;
      uint8_t nullValue = 0;
      for (size_t i = 1; i < w.size(); ++i) {
        if (w[i] == "duplicates") flags |= recman::KF_DUPLICATES;
        else if (w[i] == "modifiable") flags |= recman::KF_MODIFIABLE;
        else if (w[i].compare(0, 5, "null=") == 0 && Byte(w[i].substr(5), &nullValue))
          flags |= recman::KF_NULL;
        else return fail("unknown key attribute \"" + w[i] + "\"");
      }
      keys.emplace_back();
      keyFlags.push_back(flags);
      keyNull.push_back(nullValue);
    } else if (kw == "segment") {
      if (keys.empty()) return fail("segment before any key");
      long pos = 0, len = 0;
      if (w.size() < 4 || !Number(w[1], 65535, &pos) || pos == 0 ||
          !Number(w[2], 255, &len) || len == 0)
        return fail("segment wants POSITION (from 1) LENGTH (1-255) TYPE [FLAGS]");
      SegmentDef s;
      s.position = uint16_t(pos);
      s.length = uint16_t(len);
      s.flags = keyFlags.back();
      s.nullValue = keyNull.back();
      const std::string& type = w[3];
      if (type == "string") {
      } else if (type == "binary") {
        s.flags |= recman::KF_BINARY;
      } else if (type == "unsigned") {
        s.flags |= recman::KF_EXTENDED_TYPE | recman::KF_BINARY;
        s.type = recman::XT_UNSIGNED_BINARY;
      } else if (type == "integer") {
        s.flags |= recman::KF_EXTENDED_TYPE;
        s.type = recman::XT_INTEGER;
      } else if (type == "zstring") {
        s.flags |= recman::KF_EXTENDED_TYPE;
        s.type = recman::XT_ZSTRING;
      } else if (type == "lstring") {
        s.flags |= recman::KF_EXTENDED_TYPE;
        s.type = recman::XT_LSTRING;
      } else {
        return fail("unknown segment type \"" + type +
                    "\" (string, zstring, lstring, integer, unsigned, binary)");
      }
      for (size_t i = 4; i < w.size(); ++i) {
        long n = 0;
        if (w[i] == "descending") s.flags |= recman::KF_DESCENDING;
        else if (w[i] == "nocase") s.flags |= recman::KF_CASE_INSENSITIVE;
        else if (w[i] == "acs") s.flags |= recman::KF_ALT_COLLATING;
        else if (w[i].compare(0, 4, "acs=") == 0 && Number(w[i].substr(4), 255, &n)) {
          s.flags |= recman::KF_ALT_COLLATING;
          s.acsNumber = uint8_t(n);
        } else return fail("unknown segment flag \"" + w[i] + "\"");
      }
      keys.back().push_back(s);
    } else {
      return fail("unknown keyword \"" + kw + "\"");
    }
  }
  if (record < 0) {
    *error = "the description has no record length";
    return false;
  }
  for (size_t k = 0; k < keys.size(); ++k)
    if (keys[k].empty()) {
      *error = "key " + std::to_string(k) + " has no segments";
      return false;
    }
  *creation = recman::EncodeLayout(uint16_t(record), uint16_t(page), fileFlags, keys, acs);
  if (creation->size() > recman::kMaxLayoutFileLayout) {
    *error = "the creation layout takes " + std::to_string(creation->size()) +
             " bytes; an .xdf file holds at most " +
             std::to_string(recman::kMaxLayoutFileLayout);
    creation->clear();
    return false;
  }
  recman::FileLayout layout;
  int16_t st = recman::ParseLayout(reinterpret_cast<const uint8_t*>(creation->data()),
                                   uint32_t(creation->size()), &layout);
  if (st != 0) {
    *error = "the record manager refuses it with status " + std::to_string(st) +
             " (24 page size, 27 segment outside the record, 29 key length, "
             "48 collating sequence)";
    return false;
  }
  return true;
}

bool ReadXdf(const std::string& nativePath, std::string* creation, std::string* error) {
  switch (recman::ReadCreationLayoutFile(nativePath, creation)) {
    case recman::LayoutFileStatus::kOk:
      return true;
    case recman::LayoutFileStatus::kTooShort:
      *error = nativePath + " is too short for an .xdf file";
      break;
    case recman::LayoutFileStatus::kTruncated:
      *error = nativePath + " announces " + std::to_string(creation->size()) +
               " bytes but holds fewer";
      break;
    default:
      *error = "cannot read " + nativePath;
      break;
  }
  creation->clear();
  return false;
}

int CmdXdf(const Args& args) {
  if (args.size() != 2) {
    std::fprintf(stderr, "usage: zuldata xdf DESCRIPTION OUT.xdf\n");
    return 2;
  }
  std::string text, creation, error;
  if (!platform::ReadFile(args[0], &text)) {
    std::fprintf(stderr, "zuldata xdf: cannot read %s\n", args[0].c_str());
    return 1;
  }
  if (!DescriptionToLayout(text, &creation, &error)) {
    std::fprintf(stderr, "zuldata xdf: %s: %s\n", args[0].c_str(), error.c_str());
    return 1;
  }
  // DescriptionToLayout keeps the layout within what the file's length
  // field holds, so the only failure left is the write itself.
  if (recman::WriteCreationLayoutFile(args[1], creation) != recman::LayoutFileStatus::kOk) {
    std::fprintf(stderr, "zuldata xdf: cannot write %s\n", args[1].c_str());
    return 1;
  }
  return 0;
}

}  // namespace zuldata
