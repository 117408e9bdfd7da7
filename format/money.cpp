#include "format/money.h"

#include "format/format_state.h"

namespace format {

namespace {

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string TrimBlanks(const std::string& s) {
  size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return std::string();
  size_t e = s.find_last_not_of(' ');
  return s.substr(b, e - b + 1);
}

}  // namespace

void SetCurrency(const std::string& spec) {
  char first = spec.empty() ? '\0' : AsciiUpper(spec[0]);
  size_t comma = spec.find(',');
  if (comma != std::string::npos) {
    std::string part = TrimBlanks(spec.substr(comma + 1));
    if (first == 'A') {
      state.MainCurrency = part.empty() ? std::string("E") : std::string(1, AsciiUpper(part[0]));
      state.DisplayCurrency = state.MainCurrency;
    } else {
      state.SecondaryCurrency =
          part.empty() ? state.MainCurrency : std::string(1, AsciiUpper(part[0]));
    }
    return;
  }
  if (first == 'P') {
    state.DisplayCurrency =
        state.SecondaryCurrency.empty() ? state.MainCurrency : state.SecondaryCurrency;
  } else {
    state.DisplayCurrency = state.MainCurrency;
  }
}

}  // namespace format
