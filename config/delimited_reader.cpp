#include "config/delimited_reader.h"

#include "format/numeric_text.h"
#include "format/text_utils.h"

namespace config {

void DelimitedReader::SkipSpaces() {
  while (pos_ < bytes_.size() && bytes_[pos_] == ' ') ++pos_;
}

bool DelimitedReader::ReadText(std::string* text) {
  text->clear();
  SkipSpaces();
  if (AtEnd()) return false;
  if (bytes_[pos_] == '"') {
    ReadQuoted(text);
  } else {
    ReadBare(text);
  }
  return true;
}

void DelimitedReader::ReadQuoted(std::string* text) {
  const size_t n = bytes_.size();
  size_t close = bytes_.find('"', pos_ + 1);
  if (close == std::string::npos) close = n;
  text->assign(bytes_, pos_ + 1, close - pos_ - 1);
  size_t p = close < n ? close + 1 : n;
  while (p < n && (bytes_[p] == ' ' || bytes_[p] == '\t' || bytes_[p] == '\r' ||
                   bytes_[p] == '\n')) {
    ++p;
  }
  if (p < n && bytes_[p] == ',') ++p;
  pos_ = p;
}

void DelimitedReader::ReadBare(std::string* text) {
  const size_t n = bytes_.size();
  size_t p = pos_;
  while (p < n && bytes_[p] != ',' && bytes_[p] != '\r' && bytes_[p] != '\n') ++p;
  if (bare_ == BareValues::kTrimmed) {
    *text = format::TrimBlanks(bytes_.substr(pos_, p - pos_));
  } else {
    for (size_t k = pos_; k < p; ++k) {
      if (bytes_[k] != '\t') text->push_back(bytes_[k]);
    }
  }
  if (p < n && bytes_[p] == '\r') {
    ++p;
    if (p < n && bytes_[p] == '\n') ++p;
  } else if (p < n) {  // a comma or a lone LF
    ++p;
  }
  pos_ = p;
}

bool DelimitedReader::ReadNumber(double* value) {
  std::string text;
  bool read = ReadText(&text);
  *value = read ? format::TextValue(text) : 0.0;
  return read;
}

bool DelimitedReader::AtCommentLine() const {
  size_t p = pos_;
  while (p < bytes_.size() && bytes_[p] == ' ') ++p;
  return p < bytes_.size() && bytes_[p] == '\'';
}

void DelimitedReader::SkipCommentLines() {
  const size_t n = bytes_.size();
  while (AtCommentLine()) {
    size_t end = bytes_.find_first_of("\r\n", pos_);
    if (end == std::string::npos) {
      pos_ = n;
      return;
    }
    pos_ = end + 1;
    if (bytes_[end] == '\r' && pos_ < n && bytes_[pos_] == '\n') ++pos_;
  }
}

int32_t DelimitedReader::LineEnds(size_t from, size_t to) const {
  const size_t n = bytes_.size();
  int32_t ends = 0;
  for (size_t p = from; p < to && p < n; ++p) {
    if (bytes_[p] == '\n') ++ends;
    else if (bytes_[p] == '\r' && (p + 1 == n || bytes_[p + 1] != '\n')) ++ends;
  }
  return ends;
}

}  // namespace config
