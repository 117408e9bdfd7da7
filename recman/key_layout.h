// The layout of a data file as its creation layout describes it:
// record length, keys and their segments, alternate collating sequences; and
// the key image, the byte string whose plain byte order is the key's order.
//
// A file's creation layout (see the FS_/KS_/ACS_ offsets in
// recman/btrcall.h) is parsed once, when the file is created or opened, into
// a FileLayout. From then on every key operation works on key images:
//
//   key value  the bytes of a key as the caller sees them: its segments taken
//              from the record and concatenated, in segment order (what a get
//              returns in the key buffer, what Get Equal takes);
//   key image  the key value rewritten segment by segment so that comparing
//              two images byte by byte (shorter first on a tie) gives the
//              key's order:
//                string            as is
//                zero-terminated   bytes up to the first zero, then zeros
//                length-prefixed   the text after the length byte, then zeros
//                case-insensitive  ASCII letters upper-cased (string kinds)
//                collated          each byte replaced by its weight in the
//                                  segment's alternate collating sequence
//                unsigned binary   bytes reversed (little-endian -> most
//                                  significant first)
//                signed integer    bytes reversed and the sign bit flipped
//                descending        every byte inverted, after the above
//              An image is exactly as long as the key.
//
// The storage keeps, per key, the image followed by the record's position,
// so duplicates sort in insertion order. Changing how an image is built
// changes the order of stored indexes: existing files would have to be
// rebuilt (zuldata check reports images that do not match their records).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace recman {

enum class SegmentKind : uint8_t {
  kString,
  kZString,
  kLString,
  kUnsigned,  // unsigned little-endian binary
  kInteger,   // signed little-endian integer
};

struct Segment {
  uint16_t offset = 0;  // 0-based offset in the record
  uint16_t length = 0;
  uint16_t flags = 0;   // KF_ flags of this segment
  SegmentKind kind = SegmentKind::kString;
  uint8_t nullValue = 0;
  int acs = -1;         // index into FileLayout::acs, -1 when not collated
};

struct Key {
  uint16_t length = 0;       // sum of the segment lengths
  bool duplicates = false;   // several records may share a value
  bool modifiable = false;   // Update may change the value
  bool nullable = false;     // records whose segments all hold the null value
                             // are left out of this key
  std::vector<Segment> segments;
};

struct FileLayout {
  uint16_t recordLength = 0;
  uint16_t pageSize = 0;
  uint16_t fileFlags = 0;
  std::vector<Key> keys;
  std::vector<std::array<uint8_t, 256>> acs;  // collating tables, in order
  std::string bytes;  // the creation bytes exactly as stored (record count 0)

  bool variableLength() const;
};

// Parses and checks a creation layout of `length` bytes (the buffer
// may be longer than what it describes; trailing bytes are ignored).
// Returns 0 and fills *layout, or a status: 22 buffer too short for what it
// announces, 24 page size, 26 number of keys, 27 segment outside the record,
// 28 record length, 29 key length, 48 missing or bad collating sequence,
// 49 unknown extended type.
int16_t ParseLayout(const uint8_t* creation, uint32_t length, FileLayout* layout);

// Copies the value of key `key` out of a record of at least recordLength
// bytes into out (layout.keys[key].length bytes).
void ExtractKeyValue(const FileLayout& layout, int key, const uint8_t* record,
                     uint8_t* out);

// Builds the image of a key value (layout.keys[key].length bytes) into
// image (same length). Returns false when the key is nullable and the value
// is null: the record then has no entry in this key.
bool BuildKeyImage(const FileLayout& layout, int key, const uint8_t* value,
                   uint8_t* image);

// Convenience for tests and tools: the image of the key in a record, or
// false for a null key.
bool RecordKeyImage(const FileLayout& layout, int key, const uint8_t* record,
                    std::string* image);

// One segment as a creation layout states it (the reverse of
// ParseLayout, for tools and tests).
struct SegmentDef {
  uint16_t position = 1;   // 1-based
  uint16_t length = 0;
  uint16_t flags = 0;      // KF_ flags; KF_SEGMENTED is set by EncodeLayout
  uint8_t type = 0;        // extended type, with KF_EXTENDED_TYPE
  uint8_t nullValue = 0;
  uint8_t acsNumber = 0;
};

struct AcsDef {
  std::string name;                // up to 8 bytes, padded with spaces
  std::array<uint8_t, 256> table;  // weight of each byte value
};

// Builds the bytes of a creation layout: the file header, the
// segments of each key in order (KF_SEGMENTED set on all but a key's last
// segment), then the collating sequences.
std::string EncodeLayout(uint16_t recordLength, uint16_t pageSize,
                         uint16_t fileFlags,
                         const std::vector<std::vector<SegmentDef>>& keys,
                         const std::vector<AcsDef>& acs);

}  // namespace recman
