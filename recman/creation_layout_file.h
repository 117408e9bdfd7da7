// Creation layout files: the creation layout of a data file kept on disk, so
// that a program that finds the data file missing can create it. The suite
// installs one per data file in the root's "ddf" folder: the data file
// "DADES\TDespesa" has the layout file RootDir + "ddf\TDespesa.xdf".
//
// File format (the integer little-endian, platform/coding.h):
//   offset 0  2 bytes  L, the length of the creation layout
//   offset 2  L bytes  the creation layout, exactly as Create takes it
//                      (file header, key segment entries, collating
//                      sequences: btrcall.h)
// Bytes after the L bytes are not read. Changing the header makes every
// installed layout file unreadable.
//
// Users: the data-file layer (creates a missing data file at open), the
// report's start-up check (is there a layout for a missing file?) and the
// data tool (writes the files from readable descriptions, creates files).
//
// State: none.
#pragma once

#include <cstddef>
#include <string>

namespace recman {

// Bytes of the length field at the start of the file.
constexpr size_t kLayoutFileHeaderSize = 2;
// The longest creation layout a file can hold.
constexpr size_t kMaxLayoutFileLayout = 0xFFFF;

enum class LayoutFileStatus {
  kOk,           // the whole layout was read, or the file was written
  kCannotRead,   // the file is missing or cannot be read
  kTooShort,     // the file holds fewer than the 2 bytes of the length
  kTruncated,    // the file holds fewer layout bytes than its length says
  kTooLong,      // a layout longer than kMaxLayoutFileLayout: not written
  kCannotWrite,  // the file cannot be written
};

// The suite name of the layout file of the data file `name` (without folder
// or extension) under the root directory text `rootDir` (a plain prefix that
// ends in "\", "/" or ":", or is empty): rootDir + "ddf\" + name + ".xdf".
// Callers pass it through platform::SuitePath to reach the file.
std::string CreationLayoutFileName(const std::string& rootDir, const std::string& name);

// The bytes of a layout file holding `creation`: its length in 2 bytes,
// then the layout. The layout must not be longer than kMaxLayoutFileLayout.
std::string EncodeCreationLayoutFile(const std::string& creation);

// Reads the layout file at the native path into *creation.
//   kOk          *creation is the layout, L bytes.
//   kTruncated   *creation is L bytes: those the file holds, then zero bytes
//                for the ones it lacks, for a caller that hands damaged
//                layouts on for the record manager to judge.
//   kTooShort, kCannotRead   *creation is empty.
LayoutFileStatus ReadCreationLayoutFile(const std::string& nativePath, std::string* creation);

// Writes the layout file at the native path (replacing it atomically).
// kOk, kTooLong (nothing written) or kCannotWrite.
LayoutFileStatus WriteCreationLayoutFile(const std::string& nativePath,
                                         const std::string& creation);

}  // namespace recman
