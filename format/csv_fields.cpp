#include "format/csv_fields.h"

namespace format {

std::string CsvLine(const std::vector<std::string>& fields, char separator) {
  std::string out;
  const std::string special = std::string("\"\r\n") + separator;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i) out += separator;
    const std::string& f = fields[i];
    bool quote = f.find_first_of(special) != std::string::npos ||
                 (!f.empty() && (f.front() == ' ' || f.back() == ' '));
    if (!quote) {
      out += f;
      continue;
    }
    out += '"';
    for (char c : f) {
      if (c == '"') out += '"';
      out += c;
    }
    out += '"';
  }
  return out + "\n";
}

std::string WriteEuros(int32_t hundredths, char decimalMark) {
  int64_t v = hundredths;
  std::string out = v < 0 ? "-" : "";
  if (v < 0) v = -v;
  int64_t cents = v % 100;
  out += std::to_string(v / 100);
  out += decimalMark;
  out += char('0' + cents / 10);
  out += char('0' + cents % 10);
  return out;
}

}  // namespace format
