#include "forms/form_file.h"

#include <gtest/gtest.h>

#include <string>

#include "config/session.h"
#include "forms/form.h"
#include "platform/test_dir.h"

namespace console {
namespace {

class FormFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    config::session = config::SessionState();
    config::session.RootDir = root_.path();
    config::session.ModuleName = "PROVA";
    config::session.Language = "CAT";
    form = FormState();
  }
  void TearDown() override {
    form = FormState();
    config::session = config::SessionState();
  }
  platform::TestDir root_;
};

// Two screens (the second with a window and a choice field), two lists;
// comments before every record, values across lines, CR LF line ends.
const char* kForm =
    "' header\r\n"
    "2, 3\r\n"
    "' screen 1\r\n"
    "  ' an indented comment\r\n"
    "\"d,1b,4800\", 2, 2, 0, 0, 0, 0\r\n"
    "5, 10, \"DATA : \", 10, 0, 0, 0, 1, 0, \"\"\r\n"
    "7, 10, L'ERA, 4, 2, 3, 9, 2, 1\r\n"
    "\"\"\r\n"
    "' screen 2\r\n"
    "\"d,1b\", 1, 0, 15, 23, 19, 57\r\n"
    "2, 22, \" \", 1, 0, 2, 0, 0, 0, \"|N,NO|S,SI\"\r\n"
    "' lists\r\n"
    "2\r\n"
    "' list 1\r\n"
    "511, 0, 5, 20, 20, 61, 0, \"   _COMUNITATS_\", 0\r\n"
    "513, 1, 5, 12, 20, 68, 3, DEPARTAMENTS, 1\r\n";

TEST_F(FormFileTest, ReadsScreensFieldsAndListsPastComments) {
  ASSERT_EQ(ParseForm(kForm), FormFileStatus::kOk);
  EXPECT_EQ(form.ScreenCount, 2);
  EXPECT_EQ(form.MaxFieldCount, 3);
  const FormScreen& s1 = form.Screens[1];
  EXPECT_EQ(s1.KeyList, "d,1b,4800");
  EXPECT_EQ(s1.FieldCount, 2);
  EXPECT_EQ(s1.Continuation, 2);
  EXPECT_EQ(s1.Top, 0);
  const FormField& date = s1.Fields[1];
  EXPECT_EQ(date.Row, 5);
  EXPECT_EQ(date.Label, "DATA : ");  // quoted: blanks kept
  EXPECT_EQ(date.Width, 10);
  EXPECT_EQ(date.Type, 1);
  EXPECT_EQ(date.Value, std::string(10, ' '));
  const FormField& second = s1.Fields[2];
  EXPECT_EQ(second.Label, "L'ERA");  // an apostrophe inside a record is text
  EXPECT_EQ(second.WrapWidth, 2);
  EXPECT_EQ(second.ExtraWidth, 3);
  EXPECT_EQ(second.Flags, 9);
  EXPECT_EQ(second.BrowseList, 1);
  EXPECT_EQ(second.Options, "");  // the value on the next line
  const FormScreen& s2 = form.Screens[2];
  EXPECT_EQ(s2.Top, 15);
  EXPECT_EQ(s2.Right, 57);
  EXPECT_EQ(s2.Fields[1].Options, "|N,NO|S,SI");
  EXPECT_EQ(s2.Fields[1].Value, " ");
  ASSERT_EQ(form.ListCount, 2);
  EXPECT_EQ(form.Lists[1].DataFile, 511);
  EXPECT_EQ(form.Lists[1].Heading, "   _COMUNITATS_");
  EXPECT_EQ(form.Lists[2].KeyNumber, 1);
  EXPECT_EQ(form.Lists[2].SearchScreen, 3);
  EXPECT_EQ(form.Lists[2].Heading, "DEPARTAMENTS");
  EXPECT_EQ(form.Lists[2].SecondaryList, 1);
  EXPECT_EQ(form.ResumeScreen, 0);
}

TEST_F(FormFileTest, LabelsOptionsAndHeadingsGoThroughTheCatalogue) {
  root_.Write("LOCALE/PROVA.LNG",
              "\"DATA : \",\"DATA G: \",\"DATA O: \",\"FECHA : \"\r\n"
              "\"|N,NO|S,SI\",g,o,\"|N,NO|S,S\xD6\"\r\n"
              "DEPARTAMENTS,g,o,DEPARTAMENTOS\r\n"
              "\"d,1b\",x,x,x\r\n");
  root_.Write("FORMS/PROVA.JPN", kForm);
  config::session.Language = "SPA";
  ASSERT_EQ(LoadForm(), FormFileStatus::kOk);
  EXPECT_EQ(form.Screens[1].Fields[1].Label, "FECHA : ");
  EXPECT_EQ(form.Screens[2].Fields[1].Options, "|N,NO|S,S\xD6");
  EXPECT_EQ(form.Lists[2].Heading, "DEPARTAMENTOS");
  EXPECT_EQ(form.Screens[2].KeyList, "d,1b");  // key lists are not texts
}

TEST_F(FormFileTest, MissingFileLeavesAnEmptyForm) {
  form.ScreenCount = 4;
  EXPECT_EQ(FormFileName(), root_.path() + "FORMS\\PROVA.JPN");
  EXPECT_EQ(LoadForm(), FormFileStatus::kMissing);
  EXPECT_EQ(form.ScreenCount, 0);
  EXPECT_EQ(ScreenAt(1), nullptr);
}

TEST_F(FormFileTest, FileEndingBeforeWhatItAnnouncesIsTruncated) {
  const std::string full = kForm;
  // Inside the header, inside a field of screen 1, before screen 2, inside
  // the second list.
  for (const std::string& cut :
       {std::string("' only a comment\r\n"), std::string("2\r\n"),
        full.substr(0, full.find("L'ERA")), full.substr(0, full.find("' screen 2")),
        full.substr(0, full.find("DEPARTAMENTS"))}) {
    EXPECT_EQ(ParseForm(cut), FormFileStatus::kTruncated) << cut;
  }
  // What was read before the end is kept; announced fields exist.
  ParseForm(full.substr(0, full.find("L'ERA")));
  ASSERT_NE(FieldAt(1, 2), nullptr);
  EXPECT_EQ(FieldAt(1, 1)->Label, "DATA : ");
  EXPECT_EQ(FieldAt(1, 2)->Width, 0);
  ASSERT_NE(ScreenAt(2), nullptr);
  EXPECT_EQ(FieldAt(2, 1), nullptr);
}

TEST_F(FormFileTest, FileEndingAfterItsScreensHasNoBrowseLists) {
  const std::string full = kForm;
  EXPECT_EQ(ParseForm(full.substr(0, full.find("' lists"))), FormFileStatus::kOk);
  EXPECT_EQ(form.ListCount, 0);
  EXPECT_EQ(ListAt(1), nullptr);
  EXPECT_EQ(form.ScreenCount, 2);
}

TEST_F(FormFileTest, NegativeCountsAndWidthsCountAsZero) {
  ASSERT_EQ(ParseForm("1, 1\r\n\"d\", -3, 0, 0, 0, 0, 0\r\n0\r\n"), FormFileStatus::kOk);
  EXPECT_EQ(form.Screens[1].FieldCount, 0);
  ASSERT_EQ(ParseForm("1, 1\r\n\"d\", 1, 0, 0, 0, 0, 0\r\n1, 1, A, -5, 0, -1, 0, 0, 0, \"\"\r\n"),
            FormFileStatus::kOk);
  EXPECT_EQ(FieldAt(1, 1)->Width, 0);
  EXPECT_EQ(FieldAt(1, 1)->Value, "");
  EXPECT_EQ(FieldAt(1, 1)->ExtraWidth, 0);
  EXPECT_EQ(ParseForm("-2, 5\r\n"), FormFileStatus::kOk);
  EXPECT_EQ(form.ScreenCount, 0);
}

// Counts and places beyond what the format and the 80 x 25 screen allow
// refuse the file at the line of the value; counts of 32767 end their loops.
TEST_F(FormFileTest, CountsAndPlacesBeyondTheirBoundsRefuseTheFileAtTheirLine) {
  const std::string field = "1, 1, A, 1, 0, 0, 0, 0, 0, \"\"\r\n";
  const std::string screen = "\"d\", 1, 0, 0, 0, 0, 0\r\n" + field;
  // One screen with one field: its window (top, left, bottom, right) on
  // line 2, the field (row, column, label, width, wrap, extra) on line 3.
  auto one = [](const std::string& window, const std::string& f) {
    return "1, 1\r\n\"d\", 1, 0, " + window + "\r\n" + f + ", 0, 0, 0, \"\"\r\n";
  };
  const std::string none = "0, 0, 0, 0";
  const FormFileStatus ok = FormFileStatus::kOk, cut = FormFileStatus::kTruncated,
                       out = FormFileStatus::kOutOfRange;
  struct Case {
    std::string bytes;
    FormFileStatus status;
    int32_t line;
  } cases[] = {
      {"32767, 1\r\n" + screen, cut, 0},
      {"1, 1\r\n" + screen + "32767\r\n1, 0, 1, 1, 5, 5, 0, H, 0\r\n", cut, 0},
      {"40000, 1\r\n" + screen, out, 1},
      {"' comment\r\n1, 2001\r\n" + screen, out, 2},
      {"1, 1\r\n\"d\", 32767, 0, 0, 0, 0, 0\r\n" + field, out, 2},
      {"1, 1\r\n" + screen + "70000\r\n", out, 4},
      {"1, 1\r\n" + screen + "1\r\n511, 0, 0, 1, 20, 40, 0, H, 0\r\n", out, 5},
      {"1, 1\r\n" + screen + "1\r\n511, 0, 5, 1, 25, 81, 0, H, 0\r\n", out, 5},
      {"1, 1\r\n\"d\", 1, 0\r\n26, 1, 26, 5\r\n" + field, out, 3},
      {one("5, 30, 9, 20", "1, 1, A, 1, 0, 0"), out, 2},
      {one("0, 99, -4, 0", "1, 1, A, 1, 0, 0"), ok, 0},
      {one(none, "0, 1, A, 1, 0, 0"), out, 3},
      {one(none, "25, 1, A, 4, 2, 0"), out, 3},
      {one(none, "24, 1, A, 4, 2, 0"), ok, 0},
      {one(none, "1, 71, ABC, 5, 0, 3"), out, 3},
      {one(none, "1, 70, ABC, 5, 0, 3"), ok, 0},
      {one(none, "1, 1, A, 4, -2, 0"), out, 3},
      {one("15, 23, 19, 57", "11, 1, A, 1, 0, 0"), out, 3},
      {one("15, 23, 19, 57", "10, 56, A, 1, 0, 0"), ok, 0},
  };
  for (const Case& c : cases) {
    int32_t line = -1;
    EXPECT_EQ(ParseForm(c.bytes, &line), c.status) << c.bytes;
    EXPECT_EQ(line, c.line) << c.bytes;
    if (c.status == out) {
      EXPECT_EQ(ScreenAt(1), nullptr) << c.bytes;
    }
  }
}

}  // namespace
}  // namespace console
