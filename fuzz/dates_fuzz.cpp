// Typed dates: ParseDate and DateInvalid over fuzzed text, and the
// arithmetic on what they give (DateToInput, DateAdd, DateDiff, Weekday),
// with a fixed clock. A text DateInvalid accepts must parse to a date the
// arithmetic keeps within 1 to 31 days and 1 to 12 months.
// Input: a count (4 bytes), a unit byte, a year byte, the typed text.
#include <cstdlib>

#include "dates/date_math.h"
#include "dates/packed.h"
#include "fuzz/fuzz_support.h"
#include "platform/env.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzInput in(data, size);
  const int32_t count = static_cast<int32_t>(in.U32());
  static const char* kUnits[] = {"D", "M", "A", "d", "x", ""};
  const std::string unit = kUnits[in.Byte() % 6];
  platform::clock.overridden = true;
  platform::clock.date = {1950 + in.Byte() % 120, 6, 15};
  const std::string text = in.Rest();

  const std::string packed = dates::ParseDate(text);
  if (packed.size() != 4) std::abort();
  const int16_t invalid = dates::DateInvalid(text);
  if (invalid != 0 && invalid != -1) std::abort();
  dates::DateToInput(packed);
  const std::string moved = dates::DateAdd(packed, count, unit);
  dates::DateDiff(packed, moved, unit);
  dates::DateDiff(moved, dates::kZeroDate, "D");
  dates::Weekday(moved);
  dates::DateToInput(moved);
  // Arithmetic on any four bytes, as a damaged record holds them.
  dates::DateAdd(text.substr(0, 4), count, unit);
  dates::Weekday(text.substr(0, 4));
  dates::DateDiff(text.substr(0, 4), text.size() > 4 ? text.substr(4, 4) : "", unit);
  platform::clock = platform::ClockState();
  return 0;
}
