// Support for the fuzz targets of this folder (libFuzzer, see README.md).
//
//   ScratchDir()   a directory of this process for the files a target
//                  writes (made once under $TMPDIR or /tmp, removed at exit).
//   FuzzInput      the fuzzer's bytes taken apart front to back: a byte, a
//                  little-endian number, a line, a double, the rest. Taking
//                  past the end gives zeros and empty texts, never a fault.
//
// Links into fuzz targets only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace fuzz {

// The scratch directory, with its trailing "/".
const std::string& ScratchDir();

// Writes bytes to a file of the scratch directory (a relative name; its
// folders are made) and returns its path.
// Aborts when the file cannot be written (a fault of the machine, not of
// the input).
std::string WriteScratch(const std::string& name, const std::string& bytes);

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool empty() const { return pos_ >= size_; }

  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }

  uint16_t U16() { return static_cast<uint16_t>(Byte() | (Byte() << 8)); }

  uint32_t U32() { return U16() | (static_cast<uint32_t>(U16()) << 16); }

  // Eight bytes as a double, every bit pattern included (NaN, infinities,
  // subnormals).
  double Double() {
    uint64_t bits = U32() | (static_cast<uint64_t>(U32()) << 32);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
  }

  // The bytes up to the next LF (not included) or the end.
  std::string Line() {
    size_t start = pos_;
    while (pos_ < size_ && data_[pos_] != '\n') ++pos_;
    std::string line(reinterpret_cast<const char*>(data_) + start, pos_ - start);
    if (pos_ < size_) ++pos_;
    return line;
  }

  // Every byte not taken yet.
  std::string Rest() {
    std::string rest(reinterpret_cast<const char*>(data_) + pos_, size_ - pos_);
    pos_ = size_;
    return rest;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

}  // namespace fuzz
