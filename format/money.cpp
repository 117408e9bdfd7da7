#include "format/money.h"

#include "format/format_state.h"
#include "format/mask_format.h"
#include "format/text_utils.h"

namespace format {

namespace {

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The peseta's fixed rate to the euro, kept as a single-precision number
// (166.38600158691406), as amounts have always been converted with it.
constexpr float kPesetasPerEuro = 166.386f;

// The working mask for `mask` (see MoneyFormat in money.h), in pesetas or
// euros, for a zero amount or another.
std::string WorkingMask(const std::string& mask, bool pesetas, bool nonZero) {
  const size_t L = mask.size();
  bool shown = nonZero;
  int d = 0;
  bool grouping = false;
  char fillChar = 'Z';
  char leadSign = 0;
  char trailSign = 0;
  for (size_t i = 0; i < L; ++i) {
    char c = mask[i];
    if (c == '.') {
      ++d;
    } else if (c == '9') {
      if (d > 0) ++d; else shown = true;
    } else if (c == ',') {
      grouping = true;
    } else if (c == '-' || c == '+') {
      // The last sign character wins, leading or trailing.
      leadSign = i == 0 ? c : 0;
      trailSign = i == 0 ? 0 : c;
    } else if (c == '*') {
      fillChar = '*';
    } else if (c == 'Z' || c == 'z') {
      fillChar = 'Z';
    }
  }

  auto keepLast = [L](std::string& s) {
    if (s.size() > L) s.erase(0, s.size() - L);
  };

  std::string work(L, fillChar);
  if (shown && L > 0) work[L - 1] = '9';
  if (grouping) {
    for (long k = static_cast<long>(L) - 3; k >= 1; k -= 4) {
      work.insert(static_cast<size_t>(k), 1, ',');
      keepLast(work);
    }
  }

  if (!pesetas) d += d == 0 ? 3 : 2;
  if (d > 0) {
    work += '.';
    work.append(static_cast<size_t>(d - 1), shown ? '9' : 'Z');
    keepLast(work);
  }
  if (trailSign) {
    work += trailSign;
    keepLast(work);
  } else if (leadSign && L > 0) {
    work[0] = leadSign;
  }
  return work;
}

}  // namespace

std::string MoneyFormat(const std::string& mask, double amount) {
  const bool pesetas = state.DisplayCurrency == "P";
  FormatState::MoneyMasks& masks = state.Money;
  if (!masks.Built || masks.Pesetas != pesetas || masks.Mask != mask) {
    masks.Built = true;
    masks.Mask = mask;
    masks.Pesetas = pesetas;
    masks.Work[0] = WorkingMask(mask, pesetas, false);
    masks.Work[1] = WorkingMask(mask, pesetas, true);
  }
  const double value =
      pesetas ? amount / 100 * static_cast<double>(kPesetasPerEuro) : amount / 100;
  return MaskFormat(masks.Work[amount != 0 ? 1 : 0], value);
}

void SetCurrency(const std::string& setting) {
  char first = setting.empty() ? '\0' : AsciiUpper(setting[0]);
  size_t comma = setting.find(',');
  if (comma != std::string::npos) {
    std::string part = TrimBlanks(setting.substr(comma + 1));
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
