// Comma-delimited values: the one reader of the suite's text files that
// hold values separated by commas and line ends, read value by value (the
// message catalogue, catalogue.h; the form files of the form engine).
//
// Syntax, as read here (bytes in code page 850):
//   - Spaces before a value are skipped.
//   - A value that starts with '"' runs to the next '"' and is taken as it
//     stands, commas, spaces and line ends included; a '"' cannot be written
//     inside, and a value whose closing mark is missing runs to the end of
//     the bytes. After the closing mark, spaces, tabs, CRs and LFs are
//     skipped up to and including the next comma.
//   - Any other value (a bare value) runs to the next comma or line end and
//     the comma or line end is consumed with it. A line end is CR LF, a
//     lone CR or a lone LF, so files saved with the line ends of this
//     platform read as those saved with CR LF. Two rules for bare values:
//       kTrimmed       spaces at both ends of the value are dropped (form
//                      files);
//       kKeepTrailing  tabs inside the value are dropped; trailing spaces
//                      belong to the value (the message catalogue).
//   - A line end separates values as a comma does, so the layout of values
//     across lines is free; an empty line is an empty bare value.
//   - A comment line is a line whose first non-space character is an
//     apostrophe ("'"). The reader recognises one only when asked
//     (AtCommentLine), where a new record may begin: an apostrophe inside
//     a record is an ordinary character.
//
// State: the reading position, in the reader. The reader keeps a reference
// to the bytes, which must outlive it and stay unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace config {

enum class BareValues { kTrimmed, kKeepTrailing };

class DelimitedReader {
 public:
  DelimitedReader(const std::string& bytes, BareValues bare) : bytes_(bytes), bare_(bare) {}
  // The reader reads the caller's bytes in place: a temporary would be gone.
  DelimitedReader(std::string&&, BareValues) = delete;

  // Reads the next value as text. Returns false, with *text empty, when
  // nothing but spaces is left (the position is then at the end).
  bool ReadText(std::string* text);

  // Reads the next value, as ReadText does, and gives its number by the
  // system's one reading rule (format/numeric_text.h: the leading decimal
  // number, 0 when there is none). Returns false, with *value 0, when no
  // value is left.
  bool ReadNumber(double* value);

  // True when the line from the reading position on is a comment line: its
  // first character other than a space is an apostrophe.
  bool AtCommentLine() const;

  // Skips comment lines from the reading position on, each with its line
  // end (CR LF, CR or LF), until a line that is not a comment.
  void SkipCommentLines();

  // True when every byte has been read.
  bool AtEnd() const { return pos_ >= bytes_.size(); }

  // The number of bytes read so far.
  size_t position() const { return pos_; }

  // How many line ends (CR LF, a lone CR, a lone LF) the bytes from `from`
  // up to `to` (exclusive) hold, a CR LF counted at its LF; so the line of
  // the byte at position p is 1 + LineEnds(0, p). Positions beyond the end
  // count as the end.
  int32_t LineEnds(size_t from, size_t to) const;

 private:
  void SkipSpaces();
  void ReadQuoted(std::string* text);
  void ReadBare(std::string* text);

  const std::string& bytes_;
  BareValues bare_;
  size_t pos_ = 0;
};

}  // namespace config
