// The comma-delimited value reader, both kinds of bare values, read to the
// end as the catalogue and the form loader read: texts, numbers, comment
// lines. Every call must move on or say there is nothing left.
// Input: one byte choosing the calls, then the bytes read.
#include <cstdlib>

#include "config/delimited_reader.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzInput in(data, size);
  const uint8_t choice = in.Byte();
  const std::string bytes = in.Rest();
  for (config::BareValues bare : {config::BareValues::kTrimmed, config::BareValues::kKeepTrailing}) {
    config::DelimitedReader reader(bytes, bare);
    uint8_t step = choice;
    for (;;) {
      const size_t before = reader.position();
      bool read;
      if (step & 1) {
        double value = 0;
        read = reader.ReadNumber(&value);
      } else {
        std::string text;
        read = reader.ReadText(&text);
        if (text.size() > bytes.size()) std::abort();
      }
      if (step & 2) reader.SkipCommentLines();
      step = static_cast<uint8_t>((step >> 1) | (step << 7));
      if (reader.position() > bytes.size()) std::abort();
      if (!read) {
        if (!reader.AtEnd()) std::abort();
        break;
      }
      if (reader.position() == before) std::abort();  // a read that takes nothing
    }
  }
  return 0;
}
