// LoadForm: the form file read record by record into console::form.
#include "forms/form_file.h"

#include <algorithm>

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
class RecordReader {
 public:
  explicit RecordReader(config::DelimitedReader& reader) : reader_(reader) {}

  int16_t Number() {
    double v = 0;
    if (complete_ && !reader_.ReadNumber(&v)) complete_ = false;
    return static_cast<int16_t>(std::clamp(v, -32768.0, 32767.0));
  }
  int16_t Count() { return std::max<int16_t>(Number(), 0); }
  std::string Text() {
    std::string t;
    if (complete_ && !reader_.ReadText(&t)) complete_ = false;
    return t;
  }
  std::string Translated() { return config::Translate(Text()); }
  bool complete() const { return complete_; }

 private:
  config::DelimitedReader& reader_;
  bool complete_ = true;
};

void ReadField(RecordReader& in, FormField& f) {
  f.Row = in.Number();
  f.Column = in.Number();
  f.Label = in.Translated();
  f.Width = in.Count();
  f.WrapWidth = in.Number();
  f.ExtraWidth = in.Count();
  f.Flags = in.Number();
  f.Type = in.Number();
  f.BrowseList = in.Number();
  f.Options = in.Translated();
  f.Value.assign(size_t(f.Width), ' ');
}

void ReadScreen(RecordReader& in, FormScreen& s) {
  s.KeyList = in.Text();
  s.FieldCount = in.Count();
  s.Continuation = in.Number();
  s.Top = in.Number();
  s.Left = in.Number();
  s.Bottom = in.Number();
  s.Right = in.Number();
  s.Fields.assign(1, FormField());
  for (int16_t f = 1; f <= s.FieldCount && in.complete(); ++f) {
    s.Fields.emplace_back();
    ReadField(in, s.Fields.back());
  }
  // Fields the file did not reach keep their defaults, so that every
  // announced field exists.
  s.Fields.resize(size_t(s.FieldCount) + 1);
}

void ReadList(RecordReader& in, BrowseListDef& l) {
  l.DataFile = in.Number();
  l.KeyNumber = in.Number();
  l.Top = in.Number();
  l.Left = in.Number();
  l.Bottom = in.Number();
  l.Right = in.Number();
  l.SearchScreen = in.Number();
  l.Heading = in.Translated();
  l.SecondaryList = in.Number();
}

}  // namespace

std::string FormFileName() {
  return config::session.RootDir + "FORMS\\" + config::session.ModuleName + ".JPN";
}

FormFileStatus LoadForm() {
  std::string bytes;
  if (!platform::ReadFile(platform::SuitePath(FormFileName()), &bytes)) {
    form = FormState();
    return FormFileStatus::kMissing;
  }
  return ParseForm(bytes);
}

FormFileStatus ParseForm(const std::string& bytes) {
  form = FormState();
  form.Screens.resize(1);
  form.Lists.resize(1);
  config::DelimitedReader reader(bytes, config::BareValues::kTrimmed);
  RecordReader in(reader);

  reader.SkipCommentLines();
  form.ScreenCount = in.Count();
  form.MaxFieldCount = in.Count();
  if (!in.complete()) {
    form.ScreenCount = 0;
    return FormFileStatus::kTruncated;
  }
  for (int16_t s = 1; s <= form.ScreenCount; ++s) {
    form.Screens.emplace_back();
    if (!in.complete()) continue;  // announced but not in the file
    reader.SkipCommentLines();
    ReadScreen(in, form.Screens.back());
  }
  if (!in.complete()) return FormFileStatus::kTruncated;

  reader.SkipCommentLines();
  if (reader.AtEnd()) return FormFileStatus::kOk;  // no browse lists
  form.ListCount = in.Count();
  for (int16_t k = 1; k <= form.ListCount; ++k) {
    form.Lists.emplace_back();
    if (!in.complete()) continue;
    reader.SkipCommentLines();
    ReadList(in, form.Lists.back());
  }
  return in.complete() ? FormFileStatus::kOk : FormFileStatus::kTruncated;
}

}  // namespace console
