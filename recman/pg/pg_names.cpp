// The server engine's names: table names, quoting, masked connection
// strings (contracts in pg_names.h).
#include "recman/pg/pg_names.h"

#include <cctype>
#include <cstdint>
#include <cstdio>

namespace recman {
namespace pg {

namespace {

constexpr size_t kCutLength = 46;  // 46 + "~" + 16 digits = 63

uint64_t Fnv1a64(const std::string& s) {
  uint64_t h = 1469598103934665603ull;
  for (unsigned char c : s) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

std::string MaskUri(const std::string& s);
bool IsUri(const std::string& s);

// Key=value form: keyword, "=", then a value, bare (to the next blank) or in
// single quotes (backslash escapes). Masks the values of "password".
std::string MaskKeyValues(const std::string& s) {
  std::string out;
  size_t i = 0;
  const size_t n = s.size();
  while (i < n) {
    if (IsSpace(s[i])) {
      out += s[i++];
      continue;
    }
    size_t keyStart = i;
    while (i < n && s[i] != '=' && !IsSpace(s[i])) ++i;
    std::string key = s.substr(keyStart, i - keyStart);
    out += key;
    while (i < n && IsSpace(s[i])) out += s[i++];
    if (i >= n || s[i] != '=') continue;
    out += s[i++];
    while (i < n && IsSpace(s[i])) out += s[i++];
    size_t valueStart = i;
    if (i < n && s[i] == '\'') {
      ++i;
      while (i < n && s[i] != '\'') i += (s[i] == '\\' && i + 1 < n) ? 2 : 1;
      if (i < n) ++i;
    } else {
      while (i < n && !IsSpace(s[i])) i += (s[i] == '\\' && i + 1 < n) ? 2 : 1;
    }
    std::string small = key;
    for (char& c : small)
      if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    std::string value = s.substr(valueStart, i - valueStart);
    if (small == "password")
      out += "***";
    else if (IsUri(value) || (value.size() > 1 && value[0] == '\'' && IsUri(value.substr(1))))
      out += MaskUri(value);  // a URI given as a value (dbname)
    else
      out += value;
  }
  return out;
}

// A URI's text with its %XX escapes decoded, ASCII capitals made small.
std::string DecodedSmall(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '%' && i + 2 < s.size() && std::isxdigit(static_cast<unsigned char>(s[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(s[i + 2]))) {
      c = char(std::stoi(s.substr(i + 1, 2), nullptr, 16));
      i += 2;
    }
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    out += c;
  }
  return out;
}

// URI form: scheme://[user[:password]@]host.../db?k=v&k=v. The password
// may hold "/", "?" or "@" unencoded: everything from the first ":" after
// the scheme to the last "@" is masked (more than libpq reads as the
// password, never less). Query keywords are compared decoded, as libpq
// reads them.
std::string MaskUri(const std::string& s) {
  std::string out = s;
  const size_t authority = out.find("://") + 3;
  size_t queryFrom = authority;
  const size_t at = out.rfind('@');
  if (at != std::string::npos && at >= authority) {
    const size_t colon = out.find(':', authority);
    if (colon != std::string::npos && colon < at) out.replace(colon + 1, at - colon - 1, "***");
    queryFrom = out.rfind('@') + 1;
  }
  size_t query = out.find('?', queryFrom);
  while (query != std::string::npos && query < out.size()) {
    const size_t k = query + 1;
    const size_t amp = out.find('&', k);
    size_t stop = amp == std::string::npos ? out.size() : amp;
    const size_t eq = out.find('=', k);
    if (eq != std::string::npos && eq < stop && DecodedSmall(out.substr(k, eq - k)) == "password") {
      out.replace(eq + 1, stop - eq - 1, "***");
      stop = eq + 1 + 3;
    }
    query = stop < out.size() ? stop : std::string::npos;
  }
  return out;
}

bool IsUri(const std::string& s) {
  return s.compare(0, 13, "postgresql://") == 0 || s.compare(0, 11, "postgres://") == 0;
}

}  // namespace

std::string TableName(const std::string& relative) {
  std::string name = relative;
  for (char& c : name)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  if (name.size() <= kMaxIdentifier) return name;
  size_t cut = kCutLength;
  // Never inside a UTF-8 character: back off over continuation bytes.
  while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
  char hash[17];
  std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(Fnv1a64(name)));
  return name.substr(0, cut) + "~" + hash;
}

bool RelativeTo(const std::string& root, const std::string& path, std::string* relative) {
  std::string prefix = root == "/" ? "/" : root + "/";
  if (path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0) return false;
  *relative = path.substr(prefix.size());
  return true;
}

std::string QuoteIdentifier(const std::string& name) {
  std::string out = "\"";
  for (char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string MaskConnection(const std::string& connection) {
  if (IsUri(connection)) return MaskUri(connection);
  return MaskKeyValues(connection);
}

}  // namespace pg
}  // namespace recman
