// The table of open data files and the byte layouts the data-file layer reads
// from the record manager.
//
// Programs name each open data file by a small logical number of their own
// choosing and bind it to a record buffer in their own memory. The table below
// maps those numbers to the record manager's position blocks. It has 41
// slots: slot 0 is never given to a file (its position block is scratch space
// for calls that belong to no file: Create and Reset); slots 1 to 40 each
// describe one open file. Logical number 0 marks a free slot, so it can never
// be opened.
//
// State: `table`, one instance for the whole program. Tests reset it by
// assigning a fresh FileTable (which leaves the record manager's own state
// alone; call DataCloseAll first to close the files themselves).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace datafile {

// Sizes of the work buffers every record-manager call is made with.
constexpr int kDataBufferSize = 1536;  // data buffer: records, layouts
constexpr int kKeyBufferSize = 256;    // key buffer: key values, file paths
constexpr int kPositionBlockSize = 128;
constexpr int kSlotCount = 41;         // slot 0 scratch + 40 files
constexpr int kMaxFiles = 40;

// Statuses of the layer itself (the record manager's own codes, including 3
// for a file number that is not open, pass through).
constexpr int16_t kStatusAlreadyOpen = 1002;
constexpr int16_t kStatusNoFreeSlot = 1003;
constexpr int16_t kStatusNoSuchKey = 1004;

// One key segment's shape, taken from the file statistics (the layout is in
// recman/btrcall.h) read once at open. The keys of an open file do not change
// while it is open, so the record operations use these instead of asking the
// record manager again on every call.
struct KeySegment {
  uint16_t Length = 0;  // bytes
  uint16_t Flags = 0;   // key flags (recman::KF_...)
};

struct FileSlot {
  int16_t FileNumber = 0;  // caller's logical number; 0 = free slot
  std::array<unsigned char, kPositionBlockSize> PositionBlock{};  // record manager's
  unsigned char* RecordBuffer = nullptr;  // caller memory, alive while open
  int32_t RecordLength = 0;  // at most this many bytes go into RecordBuffer
  int16_t KeyNumber = 0;     // index of the last positioning operation
  std::string KeyValue;      // current key of index KeyNumber, its exact length
  int16_t LockMode = 0;      // 0 no locks, 1 lock and wait, 2 lock, no wait

  // Read once at open from the record manager's file statistics.
  int32_t FileRecordLength = 0;  // the record length the file declares
  std::vector<std::vector<KeySegment>> Keys;  // segments of each key
  std::string CollatingTable;  // 256 weights, empty when the file has none
};

struct FileTable {
  std::array<FileSlot, kSlotCount> Slots;
  // Lock-mode stack: 2-byte entries (slot number, saved lock mode), the most
  // recent entry last. Lives for the whole run.
  std::string LockStack;
  // Where each logical number was last found, by its low six bits: a hint
  // that OpenSlot checks against the slot before trusting it, so it never
  // needs clearing (0 = no hint).
  std::array<uint8_t, 64> SlotHint{};
};

extern FileTable table;

// The slot holding an open logical number, or 0 when the number is not open
// (number 0 included). Used by every operation that names a file.
int OpenSlot(int16_t fileNumber);

// Total length of a key of an open slot; 0 when the key does not exist.
int KeyLength(const FileSlot& slot, int keyNumber);

}  // namespace datafile
