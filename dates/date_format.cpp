#include "dates/date_format.h"

#include "config/ini_reader.h"
#include "config/session.h"
#include "dates/packed.h"
#include "format/text_utils.h"

namespace dates {

DatesState state;

namespace {

// The texts of one language. Month names are padded to 10 characters each.
struct LanguageTexts {
  const char* beforeConsonantMonth;
  const char* beforeVowelMonth;
  const char* beforeOther;
  const char* months;  // 12 x 10 characters
};

const LanguageTexts kCatalan = {
    " de ", " d'", " del ",
    "gener     febrer    mar\x87      abril     maig      juny      "
    "juliol    agost     setembre  octubre   novembre  desembre  "};
const LanguageTexts kSpanish = {
    " de ", " de ", " de ",
    "enero     febrero   marzo     abril     mayo      junio     "
    "julio     agosto    septiembreoctubre   noviembre diciembre "};
const LanguageTexts kGalician = {
    " de ", " de ", " do ",
    "janeiro   fevereiro mar\x87o     abril     maio      junho     "
    "julho     agosto    setembro  outubro   novembro  dezembro  "};
const LanguageTexts kAranese = {
    " de ", " d'", " deth ",
    "g\x8Ar       hereu\x8Ar   mar\x87      abriu     mai       junh      "
    "junhsega  agost     seteme    octobre   noveme    deseme    "};

const LanguageTexts& TextsFor(const std::string& language) {
  if (language == "SPA") return kSpanish;
  if (language == "GLG") return kGalician;
  if (language == "OCI") return kAranese;
  return kCatalan;
}

// The 10-character name of month m, blanks outside 1..12.
std::string MonthName(const LanguageTexts& texts, int m) {
  if (m < 1 || m > 12) return std::string(10, ' ');
  return std::string(texts.months + 10 * (m - 1), 10);
}

// Cut or padded with blanks to exactly `width` characters.
std::string Fit(const std::string& s, size_t width) {
  std::string out = s.substr(0, width);
  out.resize(width, ' ');
  return out;
}

bool Blank(const std::string& s) { return format::IsAllChar(s, ' ') != 0; }

void LoadSettings() {
  const std::string file = config::EnvRootDir() + "Brol.ini";
  if (state.DateSeparator == std::string(1, '\0')) {
    std::string v = config::IniRead(file, "Usuari", "DatCaracter");
    state.DateSeparator = Blank(v) ? "/" : Fit(v, 1);
  }
  if (state.DateOrder == std::string(3, '\0')) {
    std::string v = config::IniRead(file, "Usuari", "DatOrdre");
    state.DateOrder = Blank(v) ? "DMA" : Fit(v, 3);
  }
}

std::string Capitals(const std::string& s) {
  std::string out = s;
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 0x20);
  }
  return out;
}

}  // namespace

std::string FormatDate(const std::string& packed, int16_t style, const std::string& parts) {
  LoadSettings();
  const LanguageTexts& texts = TextsFor(config::session.Language);

  std::string digits = Unpack(packed);
  if (digits.size() < 8) digits = std::string(8 - digits.size(), '0') + digits;
  const std::string year = digits.substr(0, 4);
  const int month = std::stoi(digits.substr(4, 2));
  const int day = std::stoi(digits.substr(6, 2));

  if (style == kDateIso) return year + "-" + digits.substr(4, 2) + "-" + digits.substr(6, 2);

  const std::string want = Capitals(parts);
  std::string joined;
  if (month != 0 || day != 0) {
    for (char letter : state.DateOrder) {
      if ((letter != 'D' && letter != 'M' && letter != 'A') ||
          want.find(letter) == std::string::npos) {
        continue;
      }
      std::string piece;
      if (letter == 'D') {
        piece = std::to_string(day);
      } else if (letter == 'A') {
        piece = year;
      } else if (style <= 0) {
        piece = std::to_string(month);
      } else if (style == 1) {
        piece = MonthName(texts, month).substr(0, 3);
      } else {
        piece = format::TrimTrailingBlanks(MonthName(texts, month));
      }
      if (!joined.empty()) {
        if (style <= 1) {
          joined += state.DateSeparator;
        } else if (letter == 'M') {
          char first = Capitals(MonthName(texts, month).substr(0, 1))[0];
          bool vowel = std::string("AEIOU").find(first) != std::string::npos;
          joined += vowel ? texts.beforeVowelMonth : texts.beforeConsonantMonth;
        } else {
          joined += texts.beforeOther;
        }
      }
      joined += piece;
    }
  }
  if (style >= 2) return joined;

  int width = static_cast<int>(parts.size()) - 1;
  if (want.find('M') != std::string::npos) width += style + 2;
  if (want.find('A') != std::string::npos) width += 4;
  if (want.find('D') != std::string::npos) width += 2;
  return Fit(joined, width > 0 ? static_cast<size_t>(width) : 0);
}

}  // namespace dates
