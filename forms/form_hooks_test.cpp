#include "forms/form_hooks.h"

#include <gtest/gtest.h>

#include <string>

namespace console {
namespace {

class FormHooksTest : public ::testing::Test {
 protected:
  void SetUp() override { formHooks = FormHooks(); }
  void TearDown() override { formHooks = FormHooks(); }
};

TEST_F(FormHooksTest, UnsetHooksAnswerNeutrallyAndChangeNothing) {
  int16_t screen = 2, field = 3, key = 13, list = 1;
  std::string value = "31/12/26", start = "k", limit = "l";
  HookDrawScreen(screen);
  HookShowField(screen, field);
  EXPECT_EQ(HookAcceptField(screen, value, field, key), 0);
  EXPECT_EQ(HookExitCheck(screen, key), 0);
  EXPECT_EQ(HookBrowseRowText(list), "");
  EXPECT_EQ(HookBrowseStartKey(list, start, limit), 0);
  EXPECT_EQ(HookBrowsePick(list, screen, field), 0);
  EXPECT_EQ(screen, 2);
  EXPECT_EQ(field, 3);
  EXPECT_EQ(key, 13);
  EXPECT_EQ(list, 1);
  EXPECT_EQ(value, "31/12/26");
  EXPECT_EQ(start + limit, "kl");
}

// What the registered test hooks saw, and what they answer.
struct Seen {
  std::string calls;
  int16_t screen = 0, field = 0, key = 0, list = 0;
} seen;

void Draw(int16_t& screen) { seen.calls += "draw" + std::to_string(screen) + " "; }
void Show(int16_t& screen, int16_t& field) {
  seen.calls += "show" + std::to_string(screen) + "." + std::to_string(field) + " ";
}
int16_t Accept(int16_t& screen, std::string& value, int16_t& field, int16_t& key) {
  seen.screen = screen;
  seen.key = key;
  value = "stored";
  field = 4;  // moves on to another field
  return 7;
}
int16_t Exit(int16_t& screen, int16_t& key) { return screen == 1 && key == 27 ? 0 : -1; }
std::string Row(int16_t& list) { return "row of list " + std::to_string(list); }
int16_t Start(int16_t& list, std::string& key, std::string& limit) {
  key = std::string(1, static_cast<char>(list));
  limit = key;
  return 0;
}
int16_t Pick(int16_t& list, int16_t& screen, int16_t& field) {
  seen.list = list;
  seen.field = field;
  list = 0;  // asks for the list again
  screen = 2;
  return 5;
}

TEST_F(FormHooksTest, RegisteredHooksGetTheirArgumentsByReference) {
  formHooks.DrawScreen = Draw;
  formHooks.ShowField = Show;
  formHooks.AcceptField = Accept;
  formHooks.ExitCheck = Exit;
  formHooks.BrowseRowText = Row;
  formHooks.BrowseStartKey = Start;
  formHooks.BrowsePick = Pick;
  seen = Seen();

  int16_t screen = 1, field = 2, key = 27, list = 3;
  std::string value = "x";
  HookDrawScreen(screen);
  HookShowField(screen, field);
  EXPECT_EQ(seen.calls, "draw1 show1.2 ");
  EXPECT_EQ(HookAcceptField(screen, value, field, key), 7);
  EXPECT_EQ(value, "stored");
  EXPECT_EQ(field, 4);
  EXPECT_EQ(seen.key, 27);
  EXPECT_EQ(HookExitCheck(screen, key), 0);
  key = 13;
  EXPECT_EQ(HookExitCheck(screen, key), -1);
  EXPECT_EQ(HookBrowseRowText(list), "row of list 3");
  std::string start, limit;
  EXPECT_EQ(HookBrowseStartKey(list, start, limit), 0);
  EXPECT_EQ(start, "\x03");
  EXPECT_EQ(limit, "\x03");
  EXPECT_EQ(HookBrowsePick(list, screen, field), 5);
  EXPECT_EQ(seen.list, 3);
  EXPECT_EQ(seen.field, 4);
  EXPECT_EQ(list, 0);
  EXPECT_EQ(screen, 2);
}

}  // namespace
}  // namespace console
