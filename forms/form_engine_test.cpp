#include "forms/form_engine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/form.h"
#include "forms/form_hooks.h"
#include "forms/form_layer_reset.h"
#include "forms/popups.h"
#include "console/keyboard.h"
#include "console/screen_test_support.h"
#include "console/windows.h"
#include "dates/packed.h"
#include "format/format_state.h"
#include "platform/console.h"
#include "platform/key_codes.h"

namespace console {
namespace {

// What the hooks saw, and how they answer.
struct Seen {
  std::vector<std::string> calls;  // "draw1", "accept1.2=value", "exit1/27", "show1.3"
  std::vector<int16_t> exitAnswers;  // consumed one per ExitCheck; then 0
  int16_t rejectField = 0;           // AcceptField rejects this field once
} seen;

void Draw(int16_t& screen) { seen.calls.push_back("draw" + std::to_string(screen)); }
void Show(int16_t& screen, int16_t& field) {
  seen.calls.push_back("show" + std::to_string(screen) + "." + std::to_string(field));
}
int16_t Accept(int16_t& screen, std::string& value, int16_t& field, int16_t&) {
  seen.calls.push_back("accept" + std::to_string(screen) + "." + std::to_string(field) + "=" +
                       value);
  if (field == seen.rejectField) {
    seen.rejectField = 0;
    return -1;
  }
  form.Screens[size_t(screen)].Fields[size_t(field)].Value = value;
  return 0;
}
int16_t Exit(int16_t& screen, int16_t& key) {
  seen.calls.push_back("exit" + std::to_string(screen) + "/" + std::to_string(key));
  if (seen.exitAnswers.empty()) return 0;
  int16_t answer = seen.exitAnswers.front();
  seen.exitAnswers.erase(seen.exitAnswers.begin());
  return answer;
}

class EngineTest : public testing::ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    ResetFormLayer();
    format::state = format::FormatState();
    seen = Seen();
    formHooks.DrawScreen = Draw;
    formHooks.ShowField = Show;
    formHooks.AcceptField = Accept;
    formHooks.ExitCheck = Exit;
  }
  void TearDown() override { ResetFormLayer(); }

  // Adds a screen whose fields sit one per row from row 2, label "F<n>:",
  // width 4, value "v<n>  "; flags per field.
  static int16_t AddScreen(const std::vector<int16_t>& flags, const std::string& keys,
                           int16_t continuation = 0) {
    if (form.Screens.empty()) form.Screens.resize(1);
    FormScreen s;
    s.KeyList = keys;
    s.FieldCount = int16_t(flags.size());
    s.Continuation = continuation;
    s.Fields.resize(1);
    for (size_t k = 0; k < flags.size(); ++k) {
      FormField f;
      f.Row = int16_t(2 + k);
      f.Column = 1;
      f.Label = "F" + std::to_string(k + 1) + ":";
      f.Width = 4;
      f.Flags = flags[k];
      f.Value = "v" + std::to_string(k + 1) + "  ";
      s.Fields.push_back(f);
    }
    form.Screens.push_back(s);
    form.ScreenCount = int16_t(form.Screens.size() - 1);
    return form.ScreenCount;
  }

  static void Key(int16_t code) { testing::QueueKeyCode(code); }
  static void Keys(const std::vector<int16_t>& codes) {
    for (int16_t c : codes) Key(c);
  }

  static int16_t Run(int16_t screen, int16_t up = 0, int16_t down = 0) {
    int16_t key = 0;
    RunForm(screen, up, down, key);
    return key;
  }
  // The calls of one kind, in order.
  static std::vector<std::string> Calls(const std::string& prefix) {
    std::vector<std::string> out;
    for (const std::string& c : seen.calls)
      if (c.compare(0, prefix.size(), prefix) == 0) out.push_back(c);
    return out;
  }
};

const char* kKeys = "d,1b,4800,5000,4900,5100";

TEST_F(EngineTest, EscGoesToTheFirstFieldAndEndsTheScreenThere) {
  AddScreen({0, 0, 0}, kKeys);
  Keys({kKeyDown, kKeyDown, kKeyEsc, kKeyEsc});
  EXPECT_EQ(Run(1), kKeyEsc);
  EXPECT_EQ(Calls("show"), (std::vector<std::string>{"show1.3", "show1.1"}));
  EXPECT_EQ(Calls("exit"), (std::vector<std::string>{"exit1/27"}));
  EXPECT_EQ(Calls("accept"), (std::vector<std::string>{"accept1.1=v1  ", "accept1.2=v2  "}));
  EXPECT_EQ(seen.calls.front(), "draw1");
}

TEST_F(EngineTest, EnterPastTheLastFieldEndsTheScreenOrRunsItsContinuation) {
  AddScreen({0, 0}, kKeys);
  Keys({kKeyEnter, kKeyEnter});
  EXPECT_EQ(Run(1), kKeyEnter);

  form = FormState();
  seen = Seen();
  AddScreen({0, 0}, kKeys, 2);
  AddScreen({0}, kKeys);
  // Enter on the last field runs screen 2; Enter there ends both.
  Keys({kKeyEnter, kKeyEnter, kKeyEnter});
  EXPECT_EQ(Run(1), kKeyEnter);
  EXPECT_EQ(Calls("draw"), (std::vector<std::string>{"draw1", "draw2"}));
  EXPECT_EQ(Calls("exit"), (std::vector<std::string>{"exit2/13", "exit1/13"}));

  // Up on the first field of a continuation leaves it as Esc, and the
  // parent stays on its field.
  seen = Seen();
  Keys({kKeyDown, kKeyEnter, kKeyUp, kKeyEsc, kKeyEsc});
  EXPECT_EQ(Run(1), kKeyEsc);
  EXPECT_EQ(Calls("exit"), (std::vector<std::string>{"exit2/27", "exit1/27"}));
  EXPECT_EQ(Calls("show"), (std::vector<std::string>{"show1.2", "show1.1"}));
}

TEST_F(EngineTest, EndInTheKeyListMakesEnterEndTheScreen) {
  AddScreen({0, 0, 0}, "d,1b,4f00");
  Key(kKeyEnter);
  EXPECT_EQ(Run(1), kKeyEnd);
  EXPECT_EQ(Calls("accept").size(), 1u);
}

TEST_F(EngineTest, PageKeysJumpOrLeaveAndRecordTheScreen) {
  AddScreen({0, 0, 0}, kKeys);
  // Exits not allowed: PgDn to the last field, PgUp back, Esc there ends.
  Keys({kKeyPgDn, kKeyPgUp, kKeyPgUp, kKeyEsc});
  EXPECT_EQ(Run(1), kKeyEsc);
  EXPECT_EQ(Calls("accept"),
            (std::vector<std::string>{"accept1.1=v1  ", "accept1.3=v3  ", "accept1.1=v1  "}));
  EXPECT_EQ(form.ResumeScreen, 0);

  seen = Seen();
  Keys({kKeyPgUp});
  EXPECT_EQ(Run(1, 1, 0), kKeyPgUp);
  EXPECT_EQ(form.ResumeScreen, 1);
  seen = Seen();
  Keys({kKeyDown, kKeyPgDn, kKeyPgDn});
  EXPECT_EQ(Run(1, 0, 1), kKeyPgDn);
  EXPECT_EQ(form.ResumeScreen, 1);
}

TEST_F(EngineTest, DisplayOnlyFieldsArePassedOverByEveryMove) {
  AddScreen({0, kFieldDisplayOnly, 0, kFieldDisplayOnly}, kKeys);
  // Down to 3 (over 2), Up to 1 (over 2), Enter to 3, Enter past the end
  // (field 4 is display-only): the screen ends.
  Keys({kKeyDown, kKeyUp, kKeyEnter, kKeyEnter});
  EXPECT_EQ(Run(1), kKeyEnter);
  EXPECT_EQ(Calls("accept"), (std::vector<std::string>{"accept1.1=v1  ", "accept1.3=v3  ",
                                                       "accept1.1=v1  ", "accept1.3=v3  "}));
}

TEST_F(EngineTest, ScreenOfDisplayOnlyFieldsIsDrawnCheckedOnceAndClosed) {
  AddScreen({kFieldDisplayOnly, kFieldDisplayOnly}, kKeys);
  seen.exitAnswers = {-1};  // even a "stay" cannot keep it
  EXPECT_EQ(Run(1), 0);
  EXPECT_EQ(seen.calls, (std::vector<std::string>{"draw1", "exit1/0"}));
}

TEST_F(EngineTest, BlankFieldWithFlagOneKeepsItsValueAndHiddenShowsX) {
  AddScreen({kFieldFromBlank, kFieldHidden}, kKeys);
  form.Screens[1].Fields[2].Width = 6;
  form.Screens[1].Fields[2].Value = "old   ";
  Key(kKeyEnter);        // field 1 left blank
  platform::ConsoleQueueText("abcdefgh");
  Key(kKeyEnter);
  EXPECT_EQ(Run(1), kKeyEnter);
  EXPECT_EQ(Calls("accept"), (std::vector<std::string>{"accept1.1=v1  ", "accept1.2=abcdef"}));
  EXPECT_EQ(Row(3, 4, 10), "XXXXXX ");  // after "F2:"
  EXPECT_EQ(keyboard.EchoChar, 0);       // visible again after the field
}

TEST_F(EngineTest, RejectedValueBeepsAndIsEditedAgainAsTyped) {
  AddScreen({0, 0}, kKeys);
  seen.rejectField = 1;
  platform::ConsoleQueueText("x");
  Key(kKeyEnter);  // rejected: the same field again, text "x1  "
  Key(kKeyEnter);
  Key(kKeyEnter);
  EXPECT_EQ(Run(1), kKeyEnter);
  EXPECT_EQ(platform::console.bells, 1);
  EXPECT_EQ(Calls("accept"),
            (std::vector<std::string>{"accept1.1=x1  ", "accept1.1=x1  ", "accept1.2=v2  "}));
}

TEST_F(EngineTest, ExitCheckThatSaysStayRestartsAtTheFirstField) {
  AddScreen({0, 0}, kKeys);
  seen.exitAnswers = {-1};
  Keys({kKeyDown, kKeyEnter, kKeyEnter, kKeyEnter});
  EXPECT_EQ(Run(1), kKeyEnter);
  EXPECT_EQ(Calls("accept"), (std::vector<std::string>{"accept1.1=v1  ", "accept1.2=v2  ",
                                                       "accept1.1=v1  ", "accept1.2=v2  "}));
  EXPECT_EQ(Calls("exit").size(), 2u);
}

TEST_F(EngineTest, F1AndF4WithNothingBehindThemStayOnTheField) {
  AddScreen({0, 0}, std::string(kKeys) + ",3e00");
  Keys({kKeyF1, kKeyF4, kKeyEsc});
  EXPECT_EQ(Run(1), kKeyEsc);
  EXPECT_TRUE(Calls("accept").empty());  // neither is a value's end
  EXPECT_EQ(Calls("show"), (std::vector<std::string>{"show1.1"}));
  // The field's key set is restored after every field.
  EXPECT_TRUE(keyboard.KeyCodes.empty());
  EXPECT_EQ(keyboard.SavedCount, 0);
}

TEST_F(EngineTest, MouseClickMovesToTheFieldUnderIt) {
  AddScreen({0, kFieldDisplayOnly, 0}, kKeys);
  platform::ConsoleQueueMouse(4, 2, platform::kMouseLeft);  // on field 3's label
  platform::ConsoleQueueMouse(3, 5, platform::kMouseLeft);  // display-only: stays
  Key(kKeyEsc);
  Key(kKeyEsc);
  EXPECT_EQ(Run(1), kKeyEsc);
  // A click ends the input like any key: the value is accepted first.
  EXPECT_EQ(Calls("accept"), (std::vector<std::string>{"accept1.1=v1  ", "accept1.3=v3  "}));
  EXPECT_EQ(Calls("show"), (std::vector<std::string>{"show1.3", "show1.1"}));
}

TEST_F(EngineTest, WindowOfTheScreenIsFramedAndRemovedAfterwards) {
  Put(6, 12, "under the window");
  std::string before = Snapshot();
  AddScreen({0}, kKeys);
  form.Screens[1].Top = 5;
  form.Screens[1].Left = 10;
  form.Screens[1].Bottom = 9;
  form.Screens[1].Right = 40;
  formHooks.DrawScreen = [](int16_t&) {
    // The frame is there while the screen runs.
    EXPECT_EQ(Row(5, 10, 12), "\xC9\xCD\xCD");
    EXPECT_EQ(Row(6, 10, 12), "\xBA  ");
  };
  Key(kKeyEsc);
  EXPECT_EQ(Run(1), kKeyEsc);
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(screen.WindowDepth, 0);
}

TEST_F(EngineTest, BadScreenNumbersAndRunawayNestingEndAtOnce) {
  EXPECT_EQ(Run(1), kKeyEsc);  // no screens at all
  AddScreen({0}, kKeys, 7);     // a continuation the form lacks counts as none
  Key(kKeyEnter);
  EXPECT_EQ(Run(1), kKeyEnter);
  seen = Seen();
  form.RunDepth = kMaxFormDepth;
  EXPECT_EQ(Run(1), kKeyEsc);
  EXPECT_TRUE(seen.calls.empty());
  // A window off the screen: the screen is not drawn where it does not belong.
  form.RunDepth = 0;
  form.Screens[1].Top = 20;
  form.Screens[1].Bottom = 30;
  const std::string before = Snapshot();
  EXPECT_EQ(Run(1), kKeyEsc);
  EXPECT_TRUE(seen.calls.empty());
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(EngineTest, ResumeRunsTheContinuationLeftWithPageKeys) {
  AddScreen({0}, kKeys, 2);
  AddScreen({0}, kKeys);
  form.ResumeScreen = 2;
  Keys({kKeyEnter});  // on screen 2 at once; Enter ends both
  EXPECT_EQ(Run(1, 1, 1), kKeyEnter);
  EXPECT_EQ(Calls("accept"), (std::vector<std::string>{"accept2.1=v1  "}));
  EXPECT_EQ(form.ResumeScreen, 0);

  seen = Seen();
  form.ResumeScreen = 5;  // not on the chain: forgotten
  Keys({kKeyEsc});
  EXPECT_EQ(Run(1, 1, 1), kKeyEsc);
  EXPECT_EQ(form.ResumeScreen, 0);
  EXPECT_EQ(Calls("draw"), (std::vector<std::string>{"draw1"}));
}

TEST_F(EngineTest, CalendarTypesItsDateIntoTheFieldBeingEdited) {
  RegisterPopups();
  config::session.WorkDate = dates::Pack("20261231");
  AddScreen({0, 0}, kKeys);
  form.Screens[1].Fields[1].Width = 10;
  form.Screens[1].Fields[1].Value = "311226    ";
  // Alt+C, one day back, "F" chooses; the field's keys are in force again.
  platform::ConsoleQueueKey(std::string("\0\x2E", 2));
  Keys({kKeyLeft, 'f', kKeyEnter, kKeyEsc, kKeyEsc});
  EXPECT_EQ(Run(1), kKeyEsc);
  EXPECT_EQ(Calls("accept"), (std::vector<std::string>{"accept1.1=30/12/2026"}));
  EXPECT_EQ(Calls("exit"), (std::vector<std::string>{"exit1/27"}));
  EXPECT_EQ(keyboard.SavedCount, 0);
}

}  // namespace
}  // namespace console
