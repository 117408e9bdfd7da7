#include "format/text_utils.h"

#include <gtest/gtest.h>

#include "format/format_state.h"

namespace format {
namespace {

class TextUtils : public ::testing::Test {
 protected:
  void SetUp() override { state = FormatState(); }
};

std::string Bytes(std::initializer_list<int> codes) {
  std::string s;
  for (int c : codes) s.push_back(static_cast<char>(c));
  return s;
}

TEST_F(TextUtils, UpperTextKeepsOrDropsAccentsByMode) {
  const std::string camion = "cami\xA2n";  // ó = 162
  EXPECT_EQ(UpperText(camion), "CAMI\xE0N");  // Ó = 224
  EXPECT_EQ(UpperText("@a"), "@A");
  state.AccentMode = -1;
  EXPECT_EQ(UpperText(camion), "CAMION");
  EXPECT_EQ(UpperText("@a"), " A");
  EXPECT_EQ(UpperText(Bytes({0xE1, 0xE8, 0x80, 0x9C, 0xD5})), "STC E");  // ß Þ Ç £ 213
}

TEST_F(TextUtils, UpperTextLeavesCodesOutsideItsRange) {
  std::string outside = "0129 !?;" + Bytes({238, 250, 255, 1, 31, 63});
  for (int16_t mode : {0, -1}) {
    state.AccentMode = mode;
    EXPECT_EQ(UpperText(outside), outside);
  }
  state.AccentMode = 0;
  std::string all;
  for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
  EXPECT_EQ(UpperText(all).size(), 256u);
  // Accented capitals are already capitals: the table is idempotent.
  EXPECT_EQ(UpperText(UpperText(all)), UpperText(all));
  state.AccentMode = -1;
  EXPECT_EQ(UpperText(UpperText(all)), UpperText(all));
}

TEST_F(TextUtils, TextStackPopsInReverseOrder) {
  PushText("A");
  PushText("");
  PushText("BC");
  EXPECT_EQ(PopText(), "BC");
  EXPECT_EQ(PopText(), "");
  EXPECT_EQ(PopText(), "A");
  EXPECT_EQ(state.TextStack, "");
  EXPECT_EQ(PopText(), "");  // an empty stack stays empty
}

TEST_F(TextUtils, TextStackKeepsLongAndBinaryTexts) {
  std::string big(300, '\xFF');
  big[0] = '\0';
  PushText(big);
  EXPECT_EQ(state.TextStack.size(), 302u);
  EXPECT_EQ(PopText(), big);
  PushText(std::string(70000, 'x'));
  EXPECT_EQ(PopText(), std::string(65535, 'x'));
}

TEST_F(TextUtils, IsAllCharAndCentreOffset) {
  EXPECT_EQ(IsAllChar("   ", 32), -1);
  EXPECT_EQ(IsAllChar("", 32), -1);
  EXPECT_EQ(IsAllChar(" a ", 32), 0);
  EXPECT_EQ(IsAllChar("\xC4\xC4", 0xC4), -1);
  EXPECT_EQ(CentreOffset("ABCD", 10), 3);
  EXPECT_EQ(CentreOffset("ABC", 10), 3);
  EXPECT_EQ(CentreOffset("ABCDEFGHIJKL", 10), -1);
  EXPECT_EQ(CentreOffset("ABCDEFGHIJK", 10), 0);
}

TEST_F(TextUtils, NameOrderMovesTheLeadingPartToTheFront) {
  EXPECT_EQ(NameOrder("MOLI VELL*EL"), "EL MOLI VELL");
  EXPECT_EQ(NameOrder("HOSPITALET*L'"), "L'HOSPITALET");
  EXPECT_EQ(NameOrder("HOSPITALET * L'   "), "L'HOSPITALET");
  EXPECT_EQ(NameOrder("  MOLI  "), "MOLI");
  EXPECT_EQ(NameOrder("*MOLI"), "*MOLI");
}

TEST_F(TextUtils, WrapBreaksAtWordsAndCutsLongWords) {
  std::string t = "aaa bbb ccc";
  WrapParagraph(t, 0, 5, "L");
  EXPECT_EQ(t, "aaa  bbb  ccc  ");
  t = "abcdefgh";
  WrapParagraph(t, 0, 5, "l");
  EXPECT_EQ(t, "abcdefgh  ");
  t = "ab   cd";
  WrapParagraph(t, 0, 4, "N");
  EXPECT_EQ(t, "ab  cd--");  // blanks inside the text stay
}

TEST_F(TextUtils, WrapIndentsFirstOrLaterLines) {
  std::string t = "uno dos tres quatre";
  WrapParagraph(t, 2, 10, "L");
  EXPECT_EQ(t, "  uno dos tres      quatre    ");
  t = "uno dos tres quatre";
  WrapParagraph(t, -2, 10, "L");
  EXPECT_EQ(t, "uno dos     tres      quatre  ");
}

TEST_F(TextUtils, WrapAlignsRightCentreAndJustified) {
  std::string t = "abc";
  WrapParagraph(t, 0, 8, "R");
  EXPECT_EQ(t, "     abc");
  t = "abc";
  WrapParagraph(t, 0, 8, "C");
  EXPECT_EQ(t, "  abc   ");
  t = "aa bb cc dd ee ff";
  WrapParagraph(t, 0, 10, "A");
  EXPECT_EQ(t, "aa  bb  ccdd ee ff");
  t = "abc";
  WrapParagraph(t, 0, 8, "?");
  EXPECT_EQ(t, "abc");
}

TEST_F(TextUtils, WrapGivesControlCodesNoWidth) {
  std::string t = "a" + Bytes({1}) + "b c";
  WrapParagraph(t, 0, 3, "L");
  EXPECT_EQ(t, "a" + Bytes({1}) + "b " + "c  ");
  // A control code right after a full line stays with that line.
  t = "abc" + Bytes({2}) + " de";
  WrapParagraph(t, 0, 3, "L");
  EXPECT_EQ(t, "abc" + Bytes({2}) + "de ");
}

TEST_F(TextUtils, WrapEndsEvenWithoutRoom) {
  std::string t = "abc";
  WrapParagraph(t, 5, 3, "L");  // the indent alone fills the line
  EXPECT_FALSE(t.empty());
  t = "abc def";
  WrapParagraph(t, 0, 0, "L");
  EXPECT_EQ(t, "abcdef");
  t = "";
  WrapParagraph(t, 0, 10, "L");
  EXPECT_EQ(t, "");
}

TEST_F(TextUtils, CopyBytesCopiesExactlyTheCount) {
  const char raw[] = {'a', '\0', 'b', 'c'};
  EXPECT_EQ(CopyBytes(raw, 3), std::string("a\0b", 3));
  EXPECT_EQ(CopyBytes(raw, 0), "");
  EXPECT_EQ(CopyBytes(nullptr, 5), "");
}

}  // namespace
}  // namespace format
