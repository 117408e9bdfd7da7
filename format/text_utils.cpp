#include "format/text_utils.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "format/format_state.h"
#include "platform/coding.h"

namespace format {

namespace {

using Table = std::array<unsigned char, 256>;

struct Pair {
  unsigned char from;
  unsigned char to;
};

// Capitals without accents (AccentMode true): every letter of the code page
// to its plain capital. Codes of 64..237 not listed here and not a-z/A-Z
// become blanks.
constexpr Pair kPlainCapitals[] = {
    {128, 'C'}, {129, 'U'}, {130, 'E'}, {131, 'A'}, {132, 'A'}, {133, 'A'}, {134, 'A'},
    {135, 'C'}, {136, 'E'}, {137, 'E'}, {138, 'E'}, {139, 'I'}, {140, 'I'}, {141, 'I'},
    {142, 'A'}, {143, 'A'}, {144, 'E'}, {145, 'A'}, {146, 'A'}, {147, 'O'}, {148, 'O'},
    {149, 'O'}, {150, 'U'}, {151, 'U'}, {152, 'Y'}, {153, 'O'}, {154, 'U'}, {155, 'O'},
    {157, 'O'}, {160, 'A'}, {161, 'I'}, {162, 'O'}, {163, 'U'}, {164, 'N'}, {165, 'N'},
    {166, 'A'}, {167, 'O'}, {181, 'A'}, {182, 'A'}, {183, 'A'}, {198, 'A'}, {199, 'A'},
    {208, 'D'}, {209, 'D'}, {210, 'E'}, {211, 'E'}, {212, 'E'}, {213, 'E'}, {214, 'I'},
    {215, 'I'}, {216, 'I'}, {222, 'I'}, {224, 'O'}, {225, 'S'}, {226, 'O'}, {227, 'O'},
    {228, 'O'}, {229, 'O'}, {231, 'T'}, {232, 'T'}, {233, 'U'}, {234, 'U'}, {235, 'U'},
    {236, 'Y'}, {237, 'Y'},
};

// Capitals keeping accents (AccentMode false): accented small letters to
// their accented capitals. Codes not listed and not a-z stay.
constexpr Pair kAccentedCapitals[] = {
    {129, 154}, {130, 144}, {131, 182}, {132, 142}, {133, 183}, {134, 143}, {135, 128},
    {136, 210}, {137, 211}, {138, 212}, {139, 216}, {140, 215}, {141, 222}, {145, 146},
    {147, 226}, {148, 153}, {149, 227}, {150, 234}, {151, 235}, {160, 181}, {161, 214},
    {162, 224}, {163, 233}, {164, 165}, {198, 199}, {208, 209}, {228, 229}, {236, 237},
};

// The tables change only 64..237; outside that range every code maps to
// itself in both.
constexpr int kTableFirst = 64;
constexpr int kTableLast = 237;

Table BuildTable(bool plain) {
  Table t{};
  for (int c = 0; c < 256; ++c) t[c] = static_cast<unsigned char>(c);
  if (plain) {
    for (int c = kTableFirst; c <= kTableLast; ++c) {
      bool capital = c >= 'A' && c <= 'Z';
      bool small = c >= 'a' && c <= 'z';
      t[c] = capital ? c : small ? static_cast<unsigned char>(c - 32) : ' ';
    }
    for (const Pair& p : kPlainCapitals) t[p.from] = p.to;
  } else {
    for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<unsigned char>(c - 32);
    for (const Pair& p : kAccentedCapitals) t[p.from] = p.to;
  }
  return t;
}

const Table& CapitalsTable(bool plain) {
  static const Table plainTable = BuildTable(true);
  static const Table accentedTable = BuildTable(false);
  return plain ? plainTable : accentedTable;
}

// The paragraph formatter reads characters by 1-based position; a position
// outside the text holds the empty character, which is neither a blank, a
// control code nor a word character.
class Chars {
 public:
  explicit Chars(const std::string& s) : s_(s) {}
  long size() const { return static_cast<long>(s_.size()); }
  bool Exists(long i) const { return i >= 1 && i <= size(); }
  unsigned char At(long i) const { return static_cast<unsigned char>(s_[i - 1]); }
  bool Control(long i) const { return Exists(i) && At(i) < 32; }
  bool Blank(long i) const { return Exists(i) && At(i) == 32; }
  bool Word(long i) const { return Exists(i) && At(i) > 32; }

 private:
  const std::string& s_;
};

// Widens a line by inserting blanks in its gaps, left to right, starting over
// at the first gap when the last one is passed, until it is `w` long.
// `from` is the 1-based position where the gaps may begin.
void Justify(std::string& line, long from, long w) {
  auto blankAtOrAfter = [&line](long p) -> long {
    if (p < 1) p = 1;
    for (long i = p; i <= static_cast<long>(line.size()); ++i) {
      if (line[i - 1] == ' ') return i;
    }
    return 0;
  };
  long p = from;
  long g = 2;
  while (static_cast<long>(line.size()) < w) {
    long found = blankAtOrAfter(p + g);
    if (found == 0) found = blankAtOrAfter(from);
    if (found == 0) return;  // no gap at all: cannot widen
    p = found;
    line.insert(static_cast<size_t>(p - 1), 1, ' ');
    g = 2;
    while (p + g <= static_cast<long>(line.size()) && line[p + g - 1] == ' ') ++g;
  }
}

void Align(std::string& line, long w, const std::string& how, long absIndent, bool lastLine) {
  long len = static_cast<long>(line.size());
  long missing = w - len;
  if (how == "E" || how == "L" || how == "I") {
    if (missing > 0) line.append(missing, ' ');
  } else if (how == "N") {
    if (missing > 0) line.append(missing, '-');
  } else if (how == "D" || how == "R") {
    if (missing > 0) line.insert(0, missing, ' ');
  } else if (how == "C") {
    if (missing > 0) {
      line.insert(0, missing / 2, ' ');
      line.append((missing + 1) / 2, ' ');
    }
  } else if (how == "A" || how == "B") {
    bool hasGap = len > absIndent && line.find(' ', absIndent) != std::string::npos;
    if (hasGap && !lastLine) Justify(line, absIndent + 1, w);
  }
}

}  // namespace

std::string UpperText(const std::string& text) {
  const Table& t = CapitalsTable(state.AccentMode != 0);
  std::string out = text;
  for (char& c : out) c = static_cast<char>(t[static_cast<unsigned char>(c)]);
  return out;
}

void PushText(const std::string& text) {
  size_t n = std::min<size_t>(text.size(), 0xFFFF);
  state.TextStack.append(text, 0, n);
  platform::PutFixed16(&state.TextStack, static_cast<uint16_t>(n));
}

std::string PopText() {
  std::string& stack = state.TextStack;
  if (stack.size() < 2) {
    stack.clear();
    return std::string();
  }
  size_t body = stack.size() - 2;
  size_t n = platform::DecodeFixed16(stack.data() + body);
  n = std::min(n, body);  // only a stack damaged from outside could be shorter
  std::string result = stack.substr(body - n, n);
  stack.resize(body - n);
  return result;
}

int16_t IsAllChar(const std::string& text, int16_t code) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) != code) return 0;
  }
  return -1;
}

int16_t CentreOffset(const std::string& text, int16_t width) {
  long long offset = (static_cast<long long>(width) - static_cast<long long>(text.size())) / 2;
  if (offset < INT16_MIN) offset = INT16_MIN;
  return static_cast<int16_t>(offset);
}

std::string NameOrder(const std::string& stored) {
  size_t star = stored.find('*');
  if (star == std::string::npos || star == 0) return TrimBlanks(stored);
  std::string before = TrimBlanks(stored.substr(0, star));
  std::string after = TrimBlanks(stored.substr(star + 1));
  const std::string kept = TrimTrailingBlanks(stored);
  bool apostrophe = !kept.empty() && kept.back() == '\'';
  return after + (apostrophe ? "" : " ") + before;
}

void WrapParagraph(std::string& text, int16_t indent, int16_t width, const std::string& alignment) {
  const Chars ch(text);
  const long length = ch.size();
  std::string how;
  for (char c : alignment) how += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
  const long absIndent = indent < 0 ? -static_cast<long>(indent) : indent;

  std::string out;
  long pos = 1;
  long lead = indent > 0 ? indent : 0;
  while (pos <= length) {
    // How many characters fit: the width less the indent, plus one for every
    // control code met on the way.
    long w = width - lead;
    long k = 0;
    while (k < w && pos + k <= length) {
      if (ch.Control(pos + k)) ++w;
      ++k;
    }
    // Control codes right after a line that ends in a word go with it.
    if (ch.Word(pos + k - 1)) {
      while (ch.Control(pos + k)) {
        ++w;
        ++k;
      }
    }
    // A word that would be cut moves to the next line.
    long n = w;
    while (ch.Word(pos + n) && n > 0) {
      if (ch.Control(pos + n - 1)) --w;
      --n;
    }
    // Blanks before the end of the text or before a control code are dropped.
    if (n > 0 && (ch.Control(pos + n) || !ch.Exists(pos + n))) {
      while (ch.Blank(pos + n - 1) && n > 0) --n;
    }
    // A single word wider than the line is cut; and every line takes at
    // least one character, so a line with no room still moves on.
    if (n < 1) n = w;
    if (n < 1) n = 1;

    std::string line(static_cast<size_t>(lead), ' ');
    long available = std::min(n, length - pos + 1);
    line.append(text, static_cast<size_t>(pos - 1), static_cast<size_t>(available));
    w += lead;
    Align(line, w, how, absIndent, length <= pos + n);

    out += line;
    pos += n;
    while (ch.Blank(pos)) ++pos;
    lead = indent < 0 ? -static_cast<long>(indent) : 0;
  }
  text = out;
}

std::string CopyBytes(const void* address, int32_t count) {
  if (address == nullptr || count <= 0) return std::string();
  return std::string(static_cast<const char*>(address), static_cast<size_t>(count));
}

std::string TrimBlanks(const std::string& s) {
  size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return std::string();
  size_t e = s.find_last_not_of(' ');
  return s.substr(b, e - b + 1);
}

std::string TrimTrailingBlanks(const std::string& s) {
  size_t e = s.find_last_not_of(' ');
  return e == std::string::npos ? std::string() : s.substr(0, e + 1);
}

std::string TrimLeadingBlanks(const std::string& s) {
  size_t b = s.find_first_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b);
}

}  // namespace format
