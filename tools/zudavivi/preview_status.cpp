#include "tools/zudavivi/preview_status.h"

#include <algorithm>
#include <vector>

#include "config/language.h"

namespace zudavivi {
namespace {

constexpr char kSeparator[] = "  ";

std::string N(long n) { return std::to_string(n); }

struct Part {
  std::string text;
  int importance;  // 0 = kept first
};

std::string Range(long first, long last, long of) {
  return " " + N(first) + "-" + N(last) + "/" + N(of);
}

}  // namespace

std::string PreviewStatusLine(const PreviewPlace& p, int width) {
  if (width < 1) return "";
  const bool cutAcross = p.firstColumn > 1 || p.lastColumn < p.pageColumns;
  const bool cutDown = p.firstLine > 1 || p.lastLine < p.pageLines;
  // In the order they are shown, each with its importance: the page, then
  // the keys (the arrows that scroll a cut page, Esc, the keys that turn the
  // pages), then where the view stands.
  std::vector<Part> parts;
  parts.push_back({config::ByLanguage("P\x85gina ", "P\xA0gina ", "Pagina ", "P\xA0gina ") +
                       N(p.page) + " de " + N(p.pages),  // "de" in all four languages
                   0});
  parts.push_back({config::ByLanguage("l\xA1nies", "linhas", "linhes", "l\xA1neas") +
                       Range(p.firstLine, p.lastLine, p.pageLines),
                   4});
  if (cutAcross) {
    parts.push_back({config::ByLanguage("columnes", "colunas", "colomnes", "columnas") +
                         Range(p.firstColumn, p.lastColumn, p.pageColumns),
                     5});
  }
  std::string arrows = cutAcross ? "\x1B \x1A" : "";
  if (cutDown) arrows += std::string(arrows.empty() ? "" : " ") + "\x18 \x19";
  if (!arrows.empty()) parts.push_back({arrows, 1});
  parts.push_back({"PgUp PgDn", 3});  // the keys' names, in every language
  parts.push_back({config::ByLanguage("Esc surt", "Esc sair", "Esc gessir", "Esc salir"), 2});

  std::vector<bool> kept(parts.size(), false);
  long used = 1;  // the leading blank
  for (int importance = 0; importance <= 5; ++importance) {
    for (size_t i = 0; i < parts.size(); ++i) {
      if (parts[i].importance != importance) continue;
      long more = static_cast<long>(parts[i].text.size()) + (used > 1 ? 2 : 0);
      if (used + more <= width) {
        kept[i] = true;
        used += more;
      }
    }
  }
  std::string line = " ";
  if (!kept[0]) {
    line += N(p.page) + "/" + N(p.pages);  // cut below when even this is too wide
  } else {
    for (size_t i = 0; i < parts.size(); ++i) {
      if (!kept[i]) continue;
      if (line.size() > 1) line += kSeparator;
      line += parts[i].text;
    }
  }
  line.resize(static_cast<size_t>(width), ' ');
  return line;
}

}  // namespace zudavivi
