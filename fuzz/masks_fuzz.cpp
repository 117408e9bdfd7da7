// Edit masks: MaskFormat and MoneyFormat with fuzzed masks, values (every
// bit pattern of a double, NaN and the infinities included), separators and
// currencies. The result always has the mask's length.
// Input: a value (8 bytes), decimal and thousands separator bytes, a
// currency byte, the mask.
#include <cstdlib>

#include "format/format_state.h"
#include "format/mask_format.h"
#include "format/money.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzInput in(data, size);
  const double value = in.Double();
  format::state = format::FormatState();
  format::state.DecCaracter = static_cast<char>(in.Byte() | 1);  // 0 would mean "not loaded"
  format::state.MilCaracter = static_cast<char>(in.Byte() | 1);
  const uint8_t currency = in.Byte();
  format::SetCurrency((currency & 1) ? "a,P" : "a,E");
  format::SetCurrency((currency & 2) ? "p" : "");
  const std::string mask = in.Rest();
  if (format::MaskFormat(mask, value).size() != mask.size()) std::abort();
  if (format::MoneyFormat(mask, value).size() != mask.size()) std::abort();
  format::state = format::FormatState();
  return 0;
}
