// Names compared without regard to case, and the one lookup that uses it
// (contract in directory.h); the listing itself is the system's.
#include "platform/directory.h"

#include <cctype>

#include "platform/codepage.h"

namespace platform {
namespace {

// Folds a UTF-8 name for comparison without regard to case: ASCII letters and
// the Latin-1 capitals (the accented letters of the suite's languages).
std::u32string Fold(const std::string& utf8) {
  std::u32string out;
  std::string cp850 = Utf8ToCp850(utf8, '\x01');
  // Code page 850 holds every character the suite writes; names that use
  // others compare as their raw bytes.
  bool lossy = cp850.find('\x01') != std::string::npos;
  if (lossy) {
    for (unsigned char c : utf8) out.push_back(std::tolower(c));
    return out;
  }
  for (unsigned char c : cp850) {
    char32_t cp = Cp850ToUnicode(c);
    if (cp >= 'A' && cp <= 'Z') cp += 0x20;
    else if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) cp += 0x20;
    out.push_back(cp);
  }
  return out;
}

}  // namespace

bool SameNameNoCase(const std::string& a, const std::string& b) { return Fold(a) == Fold(b); }

std::string FindNoCase(const std::string& directory, const std::string& name) {
  const std::u32string wanted = Fold(name);
  std::string found;
  for (const std::string& entry : ListDirectory(directory, Entries::kAll)) {
    if (entry == name) return entry;
    if (found.empty() && Fold(entry) == wanted) found = entry;
  }
  return found;
}

}  // namespace platform
