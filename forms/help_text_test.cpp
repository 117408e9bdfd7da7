#include "forms/help_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/test_dir.h"

namespace console {
namespace {

std::string Runs(const std::string& line) {
  std::string out;
  for (const HelpRun& r : HelpLineRuns(line)) out += std::string(1, r.Role) + "[" + r.Text + "]";
  return out;
}

TEST(HelpTextTest, TheLineCountIsTheLengthInRecordsRoundedToTheNearest) {
  platform::TestDir dir;
  HelpText t;
  const auto count = [&](size_t bytes) {
    EXPECT_TRUE(platform::WriteFile(dir.file("t.hlp"), std::string(bytes, 'x')));
    EXPECT_TRUE(LoadHelpText(dir.file("t.hlp"), 80, t));
    return t.LineCount;
  };
  EXPECT_EQ(count(0), 0);
  EXPECT_EQ(count(80), 1);
  EXPECT_EQ(count(39), 0);
  EXPECT_EQ(count(41), 1);
  EXPECT_EQ(count(40), 0);    // half a record: to the even count
  EXPECT_EQ(count(120), 2);   // one and a half: to the even count
  // The cut last record is padded with blanks; lines outside are blank.
  count(41);
  EXPECT_EQ(HelpLine(t, 1), std::string(41, 'x') + std::string(39, ' '));
  EXPECT_EQ(HelpLine(t, 2), std::string(80, ' '));
  EXPECT_EQ(HelpLine(t, 0), std::string(80, ' '));

  EXPECT_FALSE(LoadHelpText(dir.file("missing.hlp"), 80, t));
  EXPECT_EQ(t.LineCount, 0);
  EXPECT_FALSE(LoadHelpText(dir.file("t.hlp"), 0, t));
}

TEST(HelpTextTest, TheThreeCodesSwitchRolesAndTakeNoColumn) {
  // Highlight is ignored while underline is on, and stays off after it.
  EXPECT_EQ(Runs("\x1F" "a\x1E" "b\x1F" "c\x1E" "d"), "u[ab]n[c]h[d]");
  // Turning one off while another is on goes back to "n".
  EXPECT_EQ(Runs("\x1E" "a\x10" "b\x10" "c\x1E" "d"), "h[a]r[b]n[cd]");
}

TEST(HelpTextTest, AtMost76CharactersOfALineAreShown) {
  const std::string plain = std::string(70, 'p') + "0123456789";  // 80
  EXPECT_EQ(Runs(plain), "n[" + plain.substr(0, 76) + "]");
  // With codes: 76 characters besides the codes, codes after them ignored.
  const std::string coded = "\x1E" + std::string(75, 'h') + "\x1E" + "ABCD";
  EXPECT_EQ(Runs(coded), "h[" + std::string(75, 'h') + "]n[A]");
  EXPECT_EQ(Runs(""), "n[]");
}

}  // namespace
}  // namespace console
