// Creation layouts as stored in .xdf files: the file read back, the layout
// parsed and checked, and, when the record manager accepts it, the key image
// of every key built for a record of the layout's length.
// Input: the .xdf file's bytes (2-byte length, layout), then a record.
#include <cstdlib>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "recman/creation_layout_file.h"
#include "recman/key_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzInput in(data, size);
  const std::string bytes = in.Rest();
  std::string creation;
  const std::string path = fuzz::WriteScratch("FUZZ.xdf", bytes);
  recman::LayoutFileStatus st = recman::ReadCreationLayoutFile(path, &creation);
  if (st == recman::LayoutFileStatus::kCannotRead || st == recman::LayoutFileStatus::kTooShort) {
    return 0;
  }
  recman::FileLayout layout;
  if (recman::ParseLayout(reinterpret_cast<const uint8_t*>(creation.data()),
                          static_cast<uint32_t>(creation.size()), &layout) != 0) {
    return 0;
  }
  // The record: what follows the layout in the file, cut or zero-filled to
  // the record length.
  std::string record = bytes.size() > 2 + creation.size() ? bytes.substr(2 + creation.size()) : "";
  record.resize(layout.recordLength, '\0');
  const uint8_t* r = reinterpret_cast<const uint8_t*>(record.data());
  for (size_t k = 0; k < layout.keys.size(); ++k) {
    std::string image;
    if (recman::RecordKeyImage(layout, static_cast<int>(k), r, &image) &&
        image.size() != layout.keys[k].length) {
      std::abort();
    }
  }
  // What was accepted is written and read back unchanged.
  const std::string again = recman::EncodeCreationLayoutFile(layout.bytes);
  std::string back;
  if (recman::ReadCreationLayoutFile(fuzz::WriteScratch("AGAIN.xdf", again), &back) !=
          recman::LayoutFileStatus::kOk ||
      back != layout.bytes) {
    std::abort();
  }
  return 0;
}
