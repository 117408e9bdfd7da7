// zuldata xdf: readable file descriptions to creation layouts. A layout the
// description reader accepts must be one the record manager accepts and an
// .xdf file can hold.
// Input: the description.
#include <cstdlib>

#include "recman/creation_layout_file.h"
#include "recman/key_layout.h"
#include "tools/zuldata/commands.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzInput in(data, size);
  std::string creation, error;
  if (!zuldata::DescriptionToLayout(in.Rest(), &creation, &error)) {
    if (error.empty()) std::abort();
    return 0;
  }
  if (creation.size() > recman::kMaxLayoutFileLayout) std::abort();
  recman::FileLayout layout;
  if (recman::ParseLayout(reinterpret_cast<const uint8_t*>(creation.data()),
                          static_cast<uint32_t>(creation.size()), &layout) != 0) {
    std::abort();
  }
  return 0;
}
