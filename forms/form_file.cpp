// LoadForm: the form file read record by record into console::form.
#include "forms/form_file.h"

#include <algorithm>
#include <cstdint>

#include "config/catalogue.h"
#include "config/delimited_reader.h"
#include "config/session.h"
#include "forms/form.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace console {
namespace {

// Reads the values of one record in order; once a value is missing (the
// file has ended) every further read fails and `complete` stays false.
// The first value found out of its bounds refuses the file, at its line.
class RecordReader {
 public:
  explicit RecordReader(config::DelimitedReader& reader) : reader_(reader) {}

  // A number, cut to the 16-bit range.
  int16_t Number() { return static_cast<int16_t>(std::clamp(Raw(), -32768.0, 32767.0)); }
  // A count or a width: a negative one counts as 0, one above `max`
  // refuses the file.
  int16_t Count(int32_t max) {
    const double v = Raw();
    if (v > max) Refuse(line_);
    return static_cast<int16_t>(std::clamp(v, 0.0, double(max)));
  }
  std::string Text() {
    std::string t;
    Mark();
    if (complete_ && !reader_.ReadText(&t)) complete_ = false;
    return t;
  }
  std::string Translated() { return config::Translate(Text()); }

  // The line of the value read last.
  int32_t line() const { return line_; }
  // Refuses the file at `line`, unless it ended or was refused before.
  void Refuse(int32_t line) {
    if (complete_ && refusedLine_ == 0) refusedLine_ = line;
  }
  bool complete() const { return complete_; }
  int32_t refusedLine() const { return refusedLine_; }
  // More records are read while the file has values and nothing refused it.
  bool good() const { return complete_ && refusedLine_ == 0; }

 private:
  double Raw() {
    double v = 0;
    Mark();
    if (complete_ && !reader_.ReadNumber(&v)) complete_ = false;
    return v;
  }
  // The line of the value about to be read, counted on from the last one.
  void Mark() {
    const size_t at = reader_.position();
    line_ += reader_.LineEnds(scanned_, at);
    scanned_ = at;
  }

  config::DelimitedReader& reader_;
  bool complete_ = true;
  int32_t refusedLine_ = 0;
  size_t scanned_ = 0;
  int32_t line_ = 1;
};

// A window rectangle (frame included) inside the screen.
bool WindowOnScreen(int top, int left, int bottom, int right) {
  return 1 <= top && top <= bottom && bottom <= kFormRows && 1 <= left && left <= right &&
         right <= kFormColumns;
}

// The whole field inside the screen: its label, its value over its lines
// (wrap width columns each, or the whole width on one line) and the
// columns kept for a description, placed relative to the screen's window
// (or to the screen when it has none).
bool FieldOnScreen(const FormScreen& s, const FormField& f) {
  if (f.WrapWidth < 0) return false;
  const int top = s.Top != 0 ? s.Top : 0, left = s.Top != 0 ? s.Left : 0;
  const int columns = f.WrapWidth > 0 ? f.WrapWidth : f.Width;
  const int lines = f.WrapWidth > 0 ? std::max(1, (f.Width + f.WrapWidth - 1) / f.WrapWidth) : 1;
  const int row = top + f.Row, column = left + f.Column;
  const int lastColumn = column + int(f.Label.size()) + columns + f.ExtraWidth - 1;
  return row >= 1 && row + lines - 1 <= kFormRows && column >= 1 && lastColumn <= kFormColumns;
}

void ReadField(RecordReader& in, const FormScreen& s, FormField& f) {
  f.Row = in.Number();
  const int32_t line = in.line();
  f.Column = in.Number();
  f.Label = in.Translated();
  f.Width = in.Count(INT16_MAX);
  f.WrapWidth = in.Number();
  f.ExtraWidth = in.Count(INT16_MAX);
  f.Flags = in.Number();
  f.Type = in.Number();
  f.BrowseList = in.Number();
  f.Options = in.Translated();
  f.Value.assign(size_t(f.Width), ' ');
  if (!FieldOnScreen(s, f)) in.Refuse(line);
}

void ReadScreen(RecordReader& in, int16_t maxFields, FormScreen& s) {
  s.KeyList = in.Text();
  s.FieldCount = in.Count(maxFields);
  s.Continuation = in.Number();
  s.Top = in.Number();
  const int32_t windowLine = in.line();
  s.Left = in.Number();
  s.Bottom = in.Number();
  s.Right = in.Number();
  if (s.Top != 0 && !WindowOnScreen(s.Top, s.Left, s.Bottom, s.Right)) in.Refuse(windowLine);
  s.Fields.assign(1, FormField());
  for (int f = 1; f <= s.FieldCount && in.good(); ++f) {
    s.Fields.emplace_back();
    ReadField(in, s, s.Fields.back());
  }
  // Fields the file did not reach keep their defaults, so that every
  // announced field exists.
  s.Fields.resize(size_t(s.FieldCount) + 1);
}

void ReadList(RecordReader& in, BrowseListDef& l) {
  l.DataFile = in.Number();
  l.KeyNumber = in.Number();
  l.Top = in.Number();
  const int32_t windowLine = in.line();
  l.Left = in.Number();
  l.Bottom = in.Number();
  l.Right = in.Number();
  l.SearchScreen = in.Number();
  l.Heading = in.Translated();
  l.SecondaryList = in.Number();
  if (!WindowOnScreen(l.Top, l.Left, l.Bottom, l.Right)) in.Refuse(windowLine);
}

// The status of a file read as far as `in` got: a refusal empties the
// form and names its line.
FormFileStatus Finish(const RecordReader& in, int32_t* line) {
  if (in.refusedLine() != 0) {
    form = FormState();
    if (line != nullptr) *line = in.refusedLine();
    return FormFileStatus::kOutOfRange;
  }
  return in.complete() ? FormFileStatus::kOk : FormFileStatus::kTruncated;
}

}  // namespace

std::string FormFileName() {
  return config::session.RootDir + "FORMS\\" + config::session.ModuleName + ".JPN";
}

FormFileStatus LoadForm(int32_t* line) {
  std::string bytes;
  if (!platform::ReadFile(platform::SuitePath(FormFileName()), &bytes)) {
    form = FormState();
    return FormFileStatus::kMissing;
  }
  return ParseForm(bytes, line);
}

FormFileStatus ParseForm(const std::string& bytes, int32_t* line) {
  if (line != nullptr) *line = 0;
  form = FormState();
  form.Screens.resize(1);
  form.Lists.resize(1);
  config::DelimitedReader reader(bytes, config::BareValues::kTrimmed);
  RecordReader in(reader);

  reader.SkipCommentLines();
  form.ScreenCount = in.Count(INT16_MAX);
  form.MaxFieldCount = in.Count(kMaxFormFields);
  if (!in.good()) {
    form.ScreenCount = 0;
    return Finish(in, line);
  }
  // Counters are wider than the 16-bit counts, so that a count of 32767
  // ends its loop.
  for (int s = 1; s <= form.ScreenCount; ++s) {
    form.Screens.emplace_back();
    if (!in.good()) continue;  // announced but not in the file
    reader.SkipCommentLines();
    ReadScreen(in, form.MaxFieldCount, form.Screens.back());
  }
  if (!in.good()) return Finish(in, line);

  reader.SkipCommentLines();
  if (reader.AtEnd()) return FormFileStatus::kOk;  // no browse lists
  form.ListCount = in.Count(INT16_MAX);
  for (int k = 1; k <= form.ListCount; ++k) {
    form.Lists.emplace_back();
    if (!in.good()) continue;
    reader.SkipCommentLines();
    ReadList(in, form.Lists.back());
  }
  return Finish(in, line);
}

}  // namespace console
