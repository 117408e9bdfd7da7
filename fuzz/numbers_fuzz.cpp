// Typed numbers and codes: the reading rule (TextValue), the check against
// a mask (NumberInvalid), dotted codes to packed codes and back.
// Input: the mask, LF, the typed text.
#include <cstdlib>

#include "dates/packed.h"
#include "format/dotted_code.h"
#include "format/numeric_text.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzInput in(data, size);
  const std::string mask = in.Line();
  const std::string text = in.Rest();
  format::TextValue(text);
  const int16_t invalid = format::NumberInvalid(text, mask);
  if (invalid != 0 && invalid != -1) std::abort();
  const std::string packed = format::PackCode(text);
  for (char c : packed) {
    if (static_cast<unsigned char>(c) < 0x80 || static_cast<unsigned char>(c) > 0xE3) std::abort();
  }
  format::CodeText(packed);
  format::CodeText(text);  // any bytes, as a damaged record holds them
  dates::Unpack(text);
  dates::Pack(text);
  return 0;
}
