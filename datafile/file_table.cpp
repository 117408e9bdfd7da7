#include "datafile/file_table.h"

namespace datafile {

FileTable table;

int OpenSlot(int16_t fileNumber) {
  if (fileNumber == 0) return 0;
  uint8_t& hint = table.SlotHint[static_cast<uint16_t>(fileNumber) & 63];
  if (hint != 0 && table.Slots[hint].FileNumber == fileNumber) return hint;
  for (int s = 1; s <= kMaxFiles; ++s) {
    if (table.Slots[s].FileNumber == fileNumber) {
      hint = static_cast<uint8_t>(s);
      return s;
    }
  }
  return 0;
}

int KeyLength(const FileSlot& slot, int keyNumber) {
  if (keyNumber < 0 || keyNumber >= static_cast<int>(slot.Keys.size())) return 0;
  int total = 0;
  for (const KeySegment& seg : slot.Keys[keyNumber]) total += seg.Length;
  return total;
}

}  // namespace datafile
