#include "tools/zudavivi/document_info.h"

#include <cstring>

#include "platform/codepage.h"
#include "print/spool_format.h"
#include "tools/zudavivi/spool_reader.h"

namespace zudavivi {
namespace {

constexpr size_t kMaxNameLength = 100;

// The letter without its accent for U+00C0..U+00FF; "_" for the two signs
// among them (multiplication and division).
constexpr char kLatin1Letters[] =
    "AAAAAAACEEEEIIIIDNOOOOO_OUUUUYTs"
    "aaaaaaaceeeeiiiidnooooo_ouuuuyty";

bool StartsWith(const std::string& s, const char* prefix) {
  return s.compare(0, std::strlen(prefix), prefix) == 0;
}

char FileNameChar(unsigned char byte) {
  if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
      (byte >= '0' && byte <= '9') || byte == '-' || byte == '_') {
    return static_cast<char>(byte);
  }
  if (byte < 0x80) return '_';
  char32_t cp = platform::Cp850ToUnicode(byte);
  if (cp >= 0xC0 && cp <= 0xFF) return kLatin1Letters[cp - 0xC0];
  return '_';
}

}  // namespace

DocumentInfo ReadDocumentInfo(const std::string& spool) {
  DocumentInfo info;
  bool haveTitle = false;
  bool haveName = false;
  SpoolReader reader;
  StartReading(spool, &reader);
  SpoolRecord r;
  std::string error;
  while (NextRecord(&reader, &r, &error) == 1) {
    if (r.kind == RecordKind::Page || r.kind == RecordKind::Text) break;
    if (r.kind != RecordKind::Command) continue;
    if (!haveTitle && StartsWith(r.text, print::kTitleCommand)) {
      info.title = r.text.substr(std::strlen(print::kTitleCommand));
      haveTitle = true;
    } else if (!haveName && StartsWith(r.text, print::kNameCommand)) {
      info.name = r.text.substr(std::strlen(print::kNameCommand));
      haveName = true;
    }
  }
  return info;
}

std::string DocumentFileName(const std::string& name) {
  std::string out;
  for (char c : name) out += FileNameChar(static_cast<unsigned char>(c));
  size_t first = out.find_first_not_of('_');
  if (first == std::string::npos) return "";
  size_t last = out.find_last_not_of('_');
  out = out.substr(first, last - first + 1);
  if (out.size() > kMaxNameLength) {
    out.resize(kMaxNameLength);
    out.erase(out.find_last_not_of('_') + 1);
  }
  return out;
}

}  // namespace zudavivi
