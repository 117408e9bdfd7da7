#include "forms/help.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "console/keyboard.h"
#include "console/screen_test_support.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/wait_hooks.h"

namespace console {
namespace {

struct Steps {
  std::vector<int16_t> script;  // keys typed one per key wait
  size_t next = 0;
  std::vector<std::vector<std::string>> screens;  // rows 1..25 at each wait
  std::vector<int16_t> depths;                    // windows open at each wait
  std::vector<std::string> cells;                 // the whole screen at each wait
} steps;

std::string Cells() {
  std::string s;
  for (int16_t r = 1; r <= 25; ++r) {
    for (int16_t c = 1; c <= 80; ++c) {
      unsigned char ch, attr;
      platform::ConsoleReadCell(r, c, &ch, &attr);
      s += char(ch);
      s += char(attr);
    }
  }
  return s;
}

void OnWait() {
  std::vector<std::string> rows;
  for (int r = 1; r <= 25; ++r) rows.push_back(platform::ConsoleReadRow(int16_t(r)));
  steps.screens.push_back(rows);
  steps.depths.push_back(screen.WindowDepth);
  steps.cells.push_back(Cells());
  if (steps.next < steps.script.size()) testing::QueueKeyCode(steps.script[steps.next++]);
}

bool calculatorOpened = false;
std::string Calculator() {
  calculatorOpened = true;
  return "";
}

class HelpTest : public testing::ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    keyboard = KeyboardState();
    steps = Steps();
    calculatorOpened = false;
    config::session.Language = "CAT";
    config::session.ColourTable = {{{15, 1}, {7, 1}, {0, 7}, {0, 7}, {14, 4}}};
    platform::waitHooks = platform::WaitHookState();
    platform::AddWaitHook(OnWait);
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    cwd_ = cwd;
    ASSERT_TRUE(platform::MakeDirs(root_.file("AJUDA")));
    ASSERT_EQ(chdir(root_.path().c_str()), 0);  // help files are relative to it
    unsetenv("COMSPEC");
  }
  void TearDown() override {
    ASSERT_EQ(chdir(cwd_.c_str()), 0);
    platform::waitHooks = platform::WaitHookState();
    keyboard = KeyboardState();
    unsetenv("COMSPEC");
  }
  // A help file of n lines "<name> line k", each an 80-byte record.
  void WriteTopic(const std::string& topic, int n, const std::string& name = "") {
    std::string bytes;
    for (int k = 1; k <= n; ++k) bytes += Record((name.empty() ? topic : name) + " line " +
                                                  std::to_string(k));
    ASSERT_TRUE(platform::WriteFile(root_.file("AJUDA/" + topic + ".HLP"), bytes));
  }
  static std::string Record(const std::string& text) {
    std::string r = text;
    r.resize(80, ' ');
    return r;
  }
  static void Run(const std::string& topic, const std::vector<int16_t>& keys) {
    steps.script = keys;
    ShowHelp(topic);
  }
  // The text at window row r (1..17) at wait w, columns 3..78.
  static std::string At(size_t w, int r) {
    std::string s = steps.screens.at(w).at(size_t(3 + r)).substr(2, 76);
    return s.substr(0, s.find_last_not_of(' ') + 1);
  }
  static unsigned char AttrAt(size_t w, int row, int column) {
    return static_cast<unsigned char>(steps.cells.at(w)[size_t(((row - 1) * 80 + column - 1) * 2 + 1)]);
  }

  platform::TestDir root_;
  std::string cwd_;
};

TEST_F(HelpTest, TheWindowRunsFromRow4To22AndEndPgUpHomeMoveThroughFortyLines) {
  WriteTopic("TEMA", 40);
  for (int r = 1; r <= 25; ++r) Put(r, 1, std::string(80, '.'));
  const std::string before = Snapshot();
  Run("TEMA", {kKeyEnd, kKeyPgUp, kKeyHome, kKeyHome, kKeyPgDn, kKeyPgDn, kKeyEnd, kKeyEsc});
  ASSERT_EQ(steps.screens.size(), 8u);
  const auto& rows = steps.screens[0];
  EXPECT_EQ(rows[3].substr(0, 2), "\xC9\xCD");  // row 4: a double frame, whole width
  EXPECT_EQ(rows[3].substr(78, 2), "\xCD\xBB");
  EXPECT_EQ(rows[21].substr(0, 1), "\xC8");     // row 22
  EXPECT_EQ(rows[22], std::string(80, '.'));    // row 23 untouched
  EXPECT_EQ(rows[4].substr(0, 3), "\xBA T");    // window column 1 blank, the text from 2
  EXPECT_EQ(At(0, 1), "TEMA line 1");
  EXPECT_EQ(At(0, 17), "TEMA line 17");         // 17 lines
  EXPECT_EQ(At(1, 1), "TEMA line 24");          // End
  EXPECT_EQ(At(1, 17), "TEMA line 40");
  EXPECT_EQ(At(2, 1), "TEMA line 8");           // PgUp: the lines that end with 24
  EXPECT_EQ(At(2, 17), "TEMA line 24");
  EXPECT_EQ(At(3, 1), "TEMA line 1");           // Home
  EXPECT_EQ(At(5, 1), "TEMA line 18");          // PgDn from the top
  EXPECT_EQ(At(6, 1), "TEMA line 24");          // PgDn stops at the last page
  EXPECT_EQ(At(7, 1), "TEMA line 24");          // End there changes nothing
  EXPECT_EQ(Snapshot(), before);                // Esc: the screen as it was
  EXPECT_EQ(screen.WindowDepth, 0);
  EXPECT_EQ(screen.ColourStack, "");
}

TEST_F(HelpTest, DownAndUpScrollByOneLineAndAShortTextIgnoresThem) {
  WriteTopic("TEMA", 18);
  Run("TEMA", {kKeyUp, kKeyDown, kKeyDown, kKeyUp, kKeyEsc});
  EXPECT_EQ(At(1, 1), "TEMA line 1");   // Up at the top: nothing
  EXPECT_EQ(At(2, 1), "TEMA line 2");   // Down: scrolled by one
  EXPECT_EQ(At(2, 17), "TEMA line 18");
  EXPECT_EQ(At(3, 1), "TEMA line 2");   // Down after the last line: nothing
  EXPECT_EQ(At(4, 17), "TEMA line 17"); // Up
  EXPECT_EQ(steps.screens[2][3].substr(0, 1), "\xC9");  // the frame did not scroll
  EXPECT_EQ(steps.screens[2][21].substr(0, 1), "\xC8");

  WriteTopic("CURT", 3);
  steps = Steps();
  Run("CURT", {kKeyDown, kKeyPgDn, kKeyEnd, kKeyEsc});
  for (size_t w = 0; w < 4; ++w) {
    EXPECT_EQ(At(w, 3), "CURT line 3");
    EXPECT_EQ(At(w, 4), "");
  }
  EXPECT_EQ(platform::console.bells, 0);  // no sound for a key that does nothing
}

TEST_F(HelpTest, ALineOfCodesShowsItsCharactersInTheirRoles) {
  ASSERT_TRUE(platform::WriteFile(root_.file("AJUDA/ATR.HLP"),
                                  Record("A\x1E" "BC\x1E" "D") + Record("\x1F" "U\x1F" "\x10" "R\x10" "n")));
  Run("ATR", {});
  EXPECT_EQ(At(0, 1), "ABCD");             // four columns: the codes take none
  EXPECT_EQ(AttrAt(0, 5, 3), 0x17);        // A: role "n" (7 on 1)
  EXPECT_EQ(AttrAt(0, 5, 4), 0x1F);        // B, C: role "h" (15 on 1)
  EXPECT_EQ(AttrAt(0, 5, 5), 0x1F);
  EXPECT_EQ(AttrAt(0, 5, 6), 0x17);        // D
  EXPECT_EQ(At(0, 2), "URn");
  EXPECT_EQ(AttrAt(0, 6, 3), 0x4E);        // U: role "u" (14 on 4)
  EXPECT_EQ(AttrAt(0, 6, 4), 0x70);        // R: role "r" (0 on 7)
  EXPECT_EQ(AttrAt(0, 6, 5), 0x17);        // n, and the rest of the line, in "n"
  EXPECT_EQ(AttrAt(0, 6, 40), 0x17);
}

TEST_F(HelpTest, F1OpensTheGeneralTopicButNotInsideIt) {
  WriteTopic("TEMA", 5);
  WriteTopic("KESTOBAL", 5);
  Run("TEMA", {kKeyF1, kKeyF1, kKeyEsc, kKeyEsc});
  ASSERT_EQ(steps.screens.size(), 4u);
  EXPECT_EQ(At(0, 1), "TEMA line 1");
  EXPECT_EQ(steps.depths[0], 1);
  EXPECT_EQ(At(1, 1), "KESTOBAL line 1");
  EXPECT_EQ(steps.depths[1], 2);
  EXPECT_EQ(At(2, 1), "KESTOBAL line 1");  // F1 inside it: not again
  EXPECT_EQ(steps.depths[2], 2);
  EXPECT_EQ(At(3, 1), "TEMA line 1");      // Esc: back to the topic as it was
  EXPECT_EQ(steps.cells[3], steps.cells[0]);
  EXPECT_EQ(screen.WindowDepth, 0);
}

TEST_F(HelpTest, KeysAreReadDirectlyWithoutTheKeyReadersHotKeys) {
  WriteTopic("TEMA", 5);
  keyboard.Calculator = Calculator;
  keyboard.Typeahead = "x";  // the key reader's typeahead is not the viewer's
  testing::QueueKeyCode(kKeyAltX, platform::kLeftAltPressed);
  Run("TEMA", {kKeyEsc});
  EXPECT_FALSE(calculatorOpened);
  EXPECT_EQ(keyboard.Typeahead, "x");
}

TEST_F(HelpTest, TheTextIsInTheSessionsLanguageWhereTheSuiteHasOne) {
  ASSERT_TRUE(platform::MakeDirs(root_.file("AJUDA/SPA")));
  WriteTopic("TEMA", 5);
  WriteTopic("SPA/TEMA", 5, "TEMA ES");
  WriteTopic("KESTOBAL", 5);  // the general topic in Catalan only
  config::session.Language = "SPA";
  Run("TEMA", {kKeyF1, kKeyEsc, kKeyEsc});
  EXPECT_EQ(At(0, 1), "TEMA ES line 1");
  EXPECT_EQ(At(1, 1), "KESTOBAL line 1");
  for (const char* other : {"CAT", "GLG", "   "}) {
    config::session.Language = other;
    steps = Steps();
    Run("TEMA", {kKeyEsc});
    EXPECT_EQ(At(0, 1), "TEMA line 1") << other;
  }
}

TEST_F(HelpTest, AMissingHelpFileGivesAShortMessageInTheSessionsLanguage) {
  const std::string before = Snapshot();
  config::session.Language = "SPA";
  Run("NOPE", {kKeyEnter});
  ASSERT_EQ(steps.screens.size(), 1u);
  bool found = false;
  for (const std::string& row : steps.screens[0]) {
    found = found || row.find("NO HAY AYUDA PARA NOPE") != std::string::npos;
  }
  EXPECT_TRUE(found);
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(screen.WindowDepth, 0);
}

TEST_F(HelpTest, UnderTheGraphicalShellTheLauncherIsStartedAndNotWaitedFor) {
  WriteTopic("TEMA", 5);
  config::session.RunMode = "WIN";
  // The interpreter: writes its arguments to a file once "go" exists.
  const std::string interpreter = root_.file("cmd");
  ASSERT_TRUE(platform::WriteFile(
      interpreter, "#!/bin/sh\ni=0\nwhile [ ! -e go ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i+1)); done\n"
                   "printf '%s|' \"$@\" > args.tmp && mv args.tmp args\n"));
  ASSERT_EQ(chmod(interpreter.c_str(), 0755), 0);
  setenv("COMSPEC", interpreter.c_str(), 1);
  Run("TEMA", {});
  EXPECT_TRUE(steps.screens.empty());  // no viewer, no key wait
  ASSERT_TRUE(platform::WriteFile(root_.file("go"), ""));
  std::string args;
  for (int i = 0; i < 200 && !platform::ReadFile(root_.file("args"), &args); ++i) usleep(50000);
  EXPECT_EQ(args, "/C|QOVIRE|AJUDA\\TEMA.HTM|");

  // No interpreter, or one that cannot be started: the console viewer.
  setenv("COMSPEC", "", 1);
  Run("TEMA", {});
  ASSERT_EQ(steps.screens.size(), 1u);
  EXPECT_EQ(At(0, 1), "TEMA line 1");
  setenv("COMSPEC", root_.file("no such interpreter").c_str(), 1);
  Run("TEMA", {});
  ASSERT_EQ(steps.screens.size(), 2u);
  EXPECT_EQ(At(1, 1), "TEMA line 1");
}

}  // namespace
}  // namespace console
