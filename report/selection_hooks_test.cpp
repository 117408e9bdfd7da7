#include "report/selection_hooks.h"

#include <gtest/gtest.h>

#include <string>

#include "config/session.h"
#include "forms/form.h"
#include "forms/form_file.h"
#include "forms/form_hooks.h"
#include "console/keyboard.h"
#include "console/screen_test_support.h"
#include "console/windows.h"
#include "dates/date_format.h"
#include "dates/packed.h"
#include "format/format_state.h"
#include "platform/env.h"
#include "platform/key_codes.h"
#include "platform/wait_hooks.h"
#include "report/report_state.h"

namespace report {
namespace {

// The selection form as the program's form file lays it out, cut down to
// what the hooks read: screen 1 with its five fields and a choice field,
// screen 2 with the confirmation in a window.
const char* kForm =
    "2, 6\r\n"
    "\"d,1b,4800,5000\", 6, 0, 0, 0, 0, 0\r\n"
    "7, 36, \": \", 10, 0, 0, 0, 1, 0, \"\"\r\n"
    "10, 36, \": \", 4, 0, 0, 0, 2, 1, \"\"\r\n"
    "10, 62, \": \", 3, 0, 0, 0, 2, 2, \"\"\r\n"
    "12, 36, \": \", 4, 0, 0, 0, 2, 1, \"\"\r\n"
    "12, 62, \": \", 3, 0, 0, 0, 2, 3, \"\"\r\n"
    "14, 5, \"TIPUS \", 1, 0, 4, 0, 0, 0, \"|A,ANUAL|M,MENSUAL\"\r\n"
    "\"d,1b\", 1, 0, 15, 23, 19, 57\r\n"
    "2, 22, \" \", 1, 0, 2, 0, 0, 0, \"|N,NO|S,SI\"\r\n"
    "0\r\n";

class HooksTest : public console::testing::ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    console::keyboard = console::KeyboardState();
    format::state = format::FormatState();
    dates::state = dates::DatesState();
    state = ReportState();
    config::session.RootDir = dir_.path();  // no Brol.ini: default display settings
    config::session.Language = "CAT";
    config::session.WorkDate = dates::Pack("20261231");
    platform::clock = platform::ClockState();
    platform::clock.overridden = true;
    platform::clock.date = {2026, 12, 8};
    ASSERT_EQ(console::ParseForm(kForm), console::FormFileStatus::kOk);
    console::formHooks = console::FormHooks();
    RegisterFormHooks();
    Value(1, 1) = "311226    ";
    Value(1, 2) = "1   ";
    Value(1, 3) = "0  ";
    Value(1, 4) = "999 ";
    Value(1, 5) = "999";
  }
  void TearDown() override {
    console::form = console::FormState();
    console::formHooks = console::FormHooks();
    platform::clock = platform::ClockState();
  }
  static std::string& Value(int16_t s, int16_t f) { return console::FieldAt(s, f)->Value; }
  static int16_t Accept(int16_t screen, int16_t field, std::string value) {
    int16_t key = platform::kKeyEnter;
    return AcceptField(screen, value, field, key);
  }
  static int16_t Exit(int16_t key) {
    int16_t screen = 1;
    return ExitCheck(screen, key);
  }
  static void Key(int16_t code) { console::testing::QueueKeyCode(code); }
};

TEST_F(HooksTest, EmptyDateBecomesTheWorkingDateAndIsShownWrittenOut) {
  EXPECT_EQ(Accept(1, 1, std::string(10, ' ')), 0);
  EXPECT_EQ(Value(1, 1), "311226    ");
  EXPECT_EQ(Row(7, 38, 47), "31/12/2026");  // after the label ": " at 36
  EXPECT_EQ(Accept(1, 1, "1.3.27    "), 0);
  EXPECT_EQ(Value(1, 1), "1.3.27    ");
  EXPECT_EQ(Row(7, 38, 47), "1/3/2027  ");  // the fixed width of the numeric form
}

TEST_F(HooksTest, InvalidDateOrNumberIsRefusedAndTheOldValueStays) {
  EXPECT_NE(Accept(1, 1, "31/02/2026"), 0);
  EXPECT_NE(Accept(1, 1, "311326    "), 0);
  EXPECT_EQ(Value(1, 1), "311226    ");
  EXPECT_NE(Accept(1, 2, "1a  "), 0);
  EXPECT_NE(Accept(1, 2, "-3  "), 0);
  EXPECT_EQ(Value(1, 2), "1   ");
  EXPECT_EQ(Accept(1, 2, " 42 "), 0);
  EXPECT_EQ(Value(1, 2), " 42 ");
  EXPECT_EQ(Accept(1, 2, "12345"), 0);  // stored cut to the field's width
  EXPECT_EQ(Value(1, 2), "1234");
}

TEST_F(HooksTest, ChoiceFieldShowsTheLabelOfItsCodeOrNothing) {
  int16_t screen = 1, field = 6;
  Value(1, 6) = "M";
  ShowField(screen, field);
  EXPECT_EQ(Row(14, 11, 16), "MENSU ");  // cut to extra width 4 + width 1
  Put(14, 11, "          ");
  Value(1, 6) = "X";  // no option has that code
  ShowField(screen, field);
  EXPECT_EQ(Row(14, 11, 20), std::string(10, ' '));
}

TEST_F(HooksTest, HiddenAndWrappedFields) {
  console::FormField* f = console::FieldAt(1, 2);
  f->Type = 0;
  f->Flags = console::kFieldHidden;
  f->Value = "SECR";
  int16_t screen = 1, field = 2;
  ShowField(screen, field);
  EXPECT_EQ(Row(10, 38, 41), "    ");
  f->Flags = 0;
  f->WrapWidth = 2;
  ShowField(screen, field);
  EXPECT_EQ(Row(10, 38, 40), "SE ");
  EXPECT_EQ(Row(11, 38, 40), "CR ");
}

TEST_F(HooksTest, TitleIsCentredOnColumn41WithHalvesToTheEvenColumn) {
  const struct {
    const char* title;
    int column;
  } cases[] = {{"ABCDE", 38}, {"ABCDEFG", 38}, {"ABCD", 39}, {"ABC", 40},
               {" LIQUIDACIONS DE COMUNITATS ", 27}};
  for (const auto& c : cases) {
    console::ClearScreen();
    config::session.SessionTitle = c.title;
    int16_t screen = 1;
    DrawScreen(screen);
    EXPECT_EQ(platform::ConsoleReadRow(1).find(c.title) + 1, size_t(c.column)) << c.title;
  }
  EXPECT_EQ(Attr(1, 28), 0x70);  // role "rh"
  EXPECT_EQ(Row(7, 36, 47), ": 31/12/2026");  // labels, then values
  EXPECT_EQ(Row(10, 36, 41), ": 1   ");
  EXPECT_EQ(Row(14, 5, 16), "TIPUS       ");  // value "" matches no code
}

TEST_F(HooksTest, EscEndsTheFormAtOnceWithoutBuildingTheSelection) {
  EXPECT_EQ(Exit(platform::kKeyEsc), 0);
  EXPECT_TRUE(state.FirstKey.empty());
  int16_t screen = 2, key = platform::kKeyEnter;
  EXPECT_EQ(ExitCheck(screen, key), 0);  // other screens always end
}

// The screen as it stood when the program first waited for a key.
std::string screenAtWait;
void NoteScreen() {
  if (!screenAtWait.empty()) return;
  for (int16_t r = 1; r <= 25; ++r) screenAtWait += platform::ConsoleReadRow(r) + "\n";
}

TEST_F(HooksTest, FirstCommunityAfterTheLastIsToldAndStaysWithoutAsking) {
  Value(1, 2) = "6   ";
  Value(1, 4) = "5   ";
  Value(2, 1) = "S";
  screenAtWait.clear();
  platform::waitHooks = platform::WaitHookState();
  platform::AddWaitHook(NoteScreen);
  EXPECT_EQ(Exit(platform::kKeyEnter), -1);
  platform::waitHooks = platform::WaitHookState();
  EXPECT_NE(screenAtWait.find("EL PRIMER DEPARTAMENT 6.0 VA DESPR\x90S DE L'\xE9LTIM 5.999"),
            std::string::npos)
      << screenAtWait;
  EXPECT_EQ(platform::console.bells, 1);
  EXPECT_EQ(platform::console.starvedWaits, 1);  // one key, for the message
  EXPECT_EQ(console::screen.WindowDepth, 0);
  EXPECT_EQ(Value(2, 1), "S");  // screen 2 was not run
}

TEST_F(HooksTest, ConfirmationNeedsAnS) {
  Value(1, 2) = "5   ";
  Value(1, 3) = "0  ";
  Value(1, 4) = "5   ";
  Value(1, 5) = "999";
  // "S" typed on screen 2: the form may end, with the selection built.
  platform::ConsoleQueueText("s");
  Key(platform::kKeyEnter);
  EXPECT_EQ(Exit(platform::kKeyEnter), 0);
  EXPECT_EQ(state.FirstKey, dates::Pack("00050000"));
  EXPECT_EQ(state.LastKey, dates::Pack("00050999"));
  EXPECT_EQ(state.SelectionDate, dates::Pack("20261231"));
  EXPECT_EQ(console::screen.WindowDepth, 0);  // the confirmation window is gone

  // Enter alone takes the first option, "N"; Esc leaves the answer blank:
  // both return to screen 1, even after an earlier "S".
  Key(platform::kKeyEnter);
  EXPECT_EQ(Exit(platform::kKeyEnter), -1);
  EXPECT_EQ(Value(2, 1), "N");
  Key(platform::kKeyEsc);
  EXPECT_EQ(Exit(platform::kKeyEnter), -1);
  EXPECT_EQ(Value(2, 1), " ");
}

TEST_F(HooksTest, BrowseRowsStartKeysAndPicks) {
  const std::string community = dates::Pack("0002");
  std::copy(community.begin(), community.end(), state.FinquesH.begin());
  const std::string name = std::string("EL MOL\xD6 VELL") + std::string(18, ' ');
  std::copy(name.begin(), name.end(), state.FinquesH.begin() + 6);
  int16_t list = 1;
  EXPECT_EQ(BrowseRowText(list), "002  " + name);

  const std::string dept = dates::Pack("00020007");
  std::copy(dept.begin(), dept.end(), state.PropietH.begin());
  const std::string owner = std::string("PUJOL I FERRER, JOAN") + std::string(10, ' ');
  std::copy(owner.begin(), owner.end(), state.PropietH.begin() + 8);
  const std::string designation = "2n 1a     ";
  std::copy(designation.begin(), designation.end(), state.PropietH.begin() + 38);
  list = 2;
  EXPECT_EQ(BrowseRowText(list), "007  " + owner + "  " + designation);
  list = 9;
  EXPECT_EQ(BrowseRowText(list), "");

  Value(1, 2) = "2   ";
  Value(1, 4) = "12  ";
  std::string key, limit;
  list = 2;
  EXPECT_EQ(BrowseStartKey(list, key, limit), 0);
  EXPECT_EQ(key, dates::Pack("0002"));
  EXPECT_EQ(limit, key);
  list = 3;
  BrowseStartKey(list, key, limit);
  EXPECT_EQ(key, dates::Pack("0012"));
  list = 1;
  BrowseStartKey(list, key, limit);
  EXPECT_EQ(key, "");
  EXPECT_EQ(limit, "");

  int16_t screen = 1, field = 3;
  list = 2;
  EXPECT_EQ(BrowsePick(list, screen, field), 0);
  EXPECT_EQ(Value(1, 3), "007");
  list = 1;
  field = 4;
  EXPECT_EQ(BrowsePick(list, screen, field), 0);
  EXPECT_EQ(Value(1, 4), "002 ");
  list = 7;
  EXPECT_EQ(BrowsePick(list, screen, field), 0);
  EXPECT_EQ(Value(1, 4), "002 ");
  // The secondary list of a browse list picks with screen 0 and field 0.
  screen = 0;
  field = 0;
  list = 1;
  EXPECT_EQ(BrowsePick(list, screen, field), 0);
}

TEST_F(HooksTest, FormWithoutTheSelectionFieldsIsRecognised) {
  EXPECT_TRUE(FormHasSelectionFields());
  console::ParseForm("1, 5\r\n\"d\", 4, 0, 0, 0, 0, 0\r\n"
                     "1,1,A,1,0,0,0,0,0,\"\"\r\n1,1,A,1,0,0,0,0,0,\"\"\r\n"
                     "1,1,A,1,0,0,0,0,0,\"\"\r\n1,1,A,1,0,0,0,0,0,\"\"\r\n");
  EXPECT_FALSE(FormHasSelectionFields());
}

}  // namespace
}  // namespace report
