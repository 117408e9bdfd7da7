#include "recman/key_layout.h"

#include <cstring>

#include "platform/coding.h"
#include "recman/btrcall.h"

namespace recman {

namespace {

constexpr uint32_t kMaxRecordLength = 32767;
constexpr uint32_t kMaxPageSize = 16384;

// Which comparison a segment uses, from its flags and extended type.
// Returns false for an extended type we do not know.
bool SegmentKindOf(uint16_t flags, uint8_t type, SegmentKind* kind) {
  if (flags & KF_EXTENDED_TYPE) {
    switch (type) {
      case XT_STRING: *kind = SegmentKind::kString; return true;
      case XT_INTEGER: *kind = SegmentKind::kInteger; return true;
      case XT_UNSIGNED_BINARY: *kind = SegmentKind::kUnsigned; return true;
      case XT_ZSTRING: *kind = SegmentKind::kZString; return true;
      case XT_LSTRING: *kind = SegmentKind::kLString; return true;
      default: return false;
    }
  }
  *kind = (flags & KF_BINARY) ? SegmentKind::kUnsigned : SegmentKind::kString;
  return true;
}

bool IsStringKind(SegmentKind k) {
  return k == SegmentKind::kString || k == SegmentKind::kZString ||
         k == SegmentKind::kLString;
}

}  // namespace

bool FileLayout::variableLength() const {
  return (fileFlags & FF_VARIABLE_LENGTH) != 0;
}

int16_t ParseLayout(const uint8_t* creation, uint32_t length, FileLayout* layout) {
  *layout = FileLayout();
  if (creation == nullptr || length < uint32_t(FS_SIZE)) return B_DATA_BUFFER_LENGTH;
  layout->recordLength = platform::DecodeFixed16(creation + FS_RECORD_LENGTH);
  layout->pageSize = platform::DecodeFixed16(creation + FS_PAGE_SIZE);
  layout->fileFlags = platform::DecodeFixed16(creation + FS_FILE_FLAGS);
  uint16_t keyCount = platform::DecodeFixed16(creation + FS_NUMBER_OF_KEYS);
  if (layout->pageSize < 512 || layout->pageSize > kMaxPageSize ||
      layout->pageSize % 512 != 0)
    return B_PAGE_SIZE_ERROR;
  if (layout->recordLength == 0 || layout->recordLength > kMaxRecordLength)
    return B_INVALID_RECORD_LENGTH;
  if (keyCount > kMaxKeys) return B_NUMBER_OF_KEYS;

  // Segments: each key runs until a segment without KF_SEGMENTED.
  uint32_t at = FS_SIZE;
  int acsNeeded = 0;
  for (int k = 0; k < keyCount; ++k) {
    Key key;
    for (;;) {
      if (at + KS_SIZE > length) return B_DATA_BUFFER_LENGTH;
      const uint8_t* s = creation + at;
      at += KS_SIZE;
      Segment seg;
      uint16_t position = platform::DecodeFixed16(s + KS_POSITION);
      seg.length = platform::DecodeFixed16(s + KS_LENGTH);
      seg.flags = platform::DecodeFixed16(s + KS_FLAGS);
      seg.nullValue = s[KS_NULL_VALUE];
      if (!SegmentKindOf(seg.flags, s[KS_EXTENDED_TYPE], &seg.kind))
        return B_EXTENDED_TYPE_ERROR;
      if (seg.length == 0 || key.length + seg.length > kMaxKeyLength)
        return B_INVALID_KEY_LENGTH;
      if (seg.kind == SegmentKind::kInteger && seg.length != 1 &&
          seg.length != 2 && seg.length != 4 && seg.length != 8)
        return B_INVALID_KEY_LENGTH;
      if (seg.kind == SegmentKind::kLString && seg.length < 2)
        return B_INVALID_KEY_LENGTH;
      if (position == 0 ||
          uint32_t(position) - 1 + seg.length > layout->recordLength)
        return B_INVALID_KEY_POSITION;
      seg.offset = uint16_t(position - 1);
      if ((seg.flags & KF_ALT_COLLATING) && IsStringKind(seg.kind)) {
        seg.acs = s[KS_ACS_NUMBER];
        if (seg.acs + 1 > acsNeeded) acsNeeded = seg.acs + 1;
      }
      if (key.segments.empty()) {
        key.duplicates = (seg.flags & KF_DUPLICATES) != 0;
        key.modifiable = (seg.flags & KF_MODIFIABLE) != 0;
        key.nullable = (seg.flags & KF_NULL) != 0;
      }
      key.length = uint16_t(key.length + seg.length);
      key.segments.push_back(seg);
      if (!(seg.flags & KF_SEGMENTED)) break;
    }
    layout->keys.push_back(std::move(key));
  }
  for (int i = 0; i < acsNeeded; ++i) {
    if (at + ACS_SIZE > length) return B_INVALID_ALTERNATE_SEQUENCE;
    const uint8_t* a = creation + at;
    if (a[ACS_SIGNATURE] != ACS_SIGNATURE_BYTE) return B_INVALID_ALTERNATE_SEQUENCE;
    std::array<uint8_t, 256> table;
    std::memcpy(table.data(), a + ACS_TABLE, 256);
    layout->acs.push_back(table);
    at += ACS_SIZE;
  }
  layout->bytes.assign(reinterpret_cast<const char*>(creation), at);
  // The record count is a Stat output; it is never part of what is stored.
  std::memset(&layout->bytes[FS_RECORD_COUNT], 0, 4);
  return B_OK;
}

void ExtractKeyValue(const FileLayout& layout, int key, const uint8_t* record,
                     uint8_t* out) {
  for (const Segment& seg : layout.keys[key].segments) {
    std::memcpy(out, record + seg.offset, seg.length);
    out += seg.length;
  }
}

bool BuildKeyImage(const FileLayout& layout, int key, const uint8_t* value,
                   uint8_t* image) {
  const Key& k = layout.keys[key];
  bool allNull = k.nullable;
  const uint8_t* v = value;
  uint8_t* o = image;
  for (const Segment& seg : k.segments) {
    const uint16_t n = seg.length;
    if (allNull) {
      for (uint16_t i = 0; i < n; ++i)
        if (v[i] != seg.nullValue) {
          allNull = false;
          break;
        }
    }
    switch (seg.kind) {
      case SegmentKind::kString:
        std::memcpy(o, v, n);
        break;
      case SegmentKind::kZString: {
        uint16_t i = 0;
        for (; i < n && v[i] != 0; ++i) o[i] = v[i];
        for (; i < n; ++i) o[i] = 0;
        break;
      }
      case SegmentKind::kLString: {
        uint16_t len = v[0] < n - 1 ? v[0] : uint16_t(n - 1);
        std::memcpy(o, v + 1, len);
        std::memset(o + len, 0, n - len);
        break;
      }
      case SegmentKind::kUnsigned:
        for (uint16_t i = 0; i < n; ++i) o[i] = v[n - 1 - i];
        break;
      case SegmentKind::kInteger:
        for (uint16_t i = 0; i < n; ++i) o[i] = v[n - 1 - i];
        o[0] ^= 0x80;
        break;
    }
    if (seg.acs >= 0) {
      const uint8_t* table = layout.acs[seg.acs].data();
      for (uint16_t i = 0; i < n; ++i) o[i] = table[o[i]];
    } else if ((seg.flags & KF_CASE_INSENSITIVE) && IsStringKind(seg.kind)) {
      for (uint16_t i = 0; i < n; ++i)
        if (o[i] >= 'a' && o[i] <= 'z') o[i] = uint8_t(o[i] - 'a' + 'A');
    }
    if (seg.flags & KF_DESCENDING)
      for (uint16_t i = 0; i < n; ++i) o[i] = uint8_t(~o[i]);
    v += n;
    o += n;
  }
  return !allNull;
}

bool RecordKeyImage(const FileLayout& layout, int key, const uint8_t* record,
                    std::string* image) {
  uint8_t value[kMaxKeyLength];
  uint8_t img[kMaxKeyLength];
  ExtractKeyValue(layout, key, record, value);
  if (!BuildKeyImage(layout, key, value, img)) return false;
  image->assign(reinterpret_cast<char*>(img), layout.keys[key].length);
  return true;
}

std::string EncodeLayout(uint16_t recordLength, uint16_t pageSize,
                         uint16_t fileFlags,
                         const std::vector<std::vector<SegmentDef>>& keys,
                         const std::vector<AcsDef>& acs) {
  std::string out(FS_SIZE, '\0');
  uint8_t* f = reinterpret_cast<uint8_t*>(&out[0]);
  platform::EncodeFixed16(f + FS_RECORD_LENGTH, recordLength);
  platform::EncodeFixed16(f + FS_PAGE_SIZE, pageSize);
  platform::EncodeFixed16(f + FS_NUMBER_OF_KEYS, uint16_t(keys.size()));
  platform::EncodeFixed16(f + FS_FILE_FLAGS, fileFlags);
  for (const auto& key : keys) {
    for (size_t i = 0; i < key.size(); ++i) {
      const SegmentDef& d = key[i];
      uint8_t s[KS_SIZE] = {};
      uint16_t flags = uint16_t(d.flags & ~KF_SEGMENTED);
      if (i + 1 < key.size()) flags |= KF_SEGMENTED;
      platform::EncodeFixed16(s + KS_POSITION, d.position);
      platform::EncodeFixed16(s + KS_LENGTH, d.length);
      platform::EncodeFixed16(s + KS_FLAGS, flags);
      s[KS_EXTENDED_TYPE] = d.type;
      s[KS_NULL_VALUE] = d.nullValue;
      s[KS_ACS_NUMBER] = d.acsNumber;
      out.append(reinterpret_cast<char*>(s), KS_SIZE);
    }
  }
  for (const AcsDef& a : acs) {
    std::string block(ACS_SIZE, '\0');
    block[ACS_SIGNATURE] = char(ACS_SIGNATURE_BYTE);
    std::string name = a.name.substr(0, 8);
    name.resize(8, ' ');
    block.replace(ACS_NAME, 8, name);
    std::memcpy(&block[ACS_TABLE], a.table.data(), 256);
    out += block;
  }
  return out;
}

}  // namespace recman
