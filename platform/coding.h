// Fixed-width little-endian integers: how every byte layout of the system
// stores its 16- and 32-bit numbers (creation layouts and the file
// statistics of the record manager, record layouts, positions, the window
// stack file, the key set, the text stack, creation layout files).
//
// A 16-bit value v is stored as two bytes, v & 0xff first; a 32-bit value
// as four bytes, least significant first. Signed values travel as their
// two's-complement unsigned form: the caller casts (int16_t -1 is ff ff).
// The byte order does not depend on the machine's own: files written here
// read the same everywhere.
//
// Encode writes exactly 2 (4) bytes at dst; Decode reads exactly 2 (4)
// bytes at p; the caller guarantees that they exist. Put appends them to a
// string. The unsigned-char forms serve the record manager's buffers.
//
// State: none.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

inline void EncodeFixed16(unsigned char* dst, uint16_t value) {
  dst[0] = static_cast<unsigned char>(value);
  dst[1] = static_cast<unsigned char>(value >> 8);
}

inline void EncodeFixed32(unsigned char* dst, uint32_t value) {
  dst[0] = static_cast<unsigned char>(value);
  dst[1] = static_cast<unsigned char>(value >> 8);
  dst[2] = static_cast<unsigned char>(value >> 16);
  dst[3] = static_cast<unsigned char>(value >> 24);
}

inline uint16_t DecodeFixed16(const unsigned char* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline uint32_t DecodeFixed32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

inline void EncodeFixed16(char* dst, uint16_t value) {
  EncodeFixed16(reinterpret_cast<unsigned char*>(dst), value);
}

inline void EncodeFixed32(char* dst, uint32_t value) {
  EncodeFixed32(reinterpret_cast<unsigned char*>(dst), value);
}

inline uint16_t DecodeFixed16(const char* p) {
  return DecodeFixed16(reinterpret_cast<const unsigned char*>(p));
}

inline uint32_t DecodeFixed32(const char* p) {
  return DecodeFixed32(reinterpret_cast<const unsigned char*>(p));
}

// Appends the 2 (4) bytes of the value to *dst.
void PutFixed16(std::string* dst, uint16_t value);
void PutFixed32(std::string* dst, uint32_t value);

}  // namespace platform
