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

TEST_F(TextUtils, UpperTextTablesChangeOnlyTheirRange) {
  std::string all;
  for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
  std::string accented = UpperText(all);
  state.AccentMode = -1;
  std::string plain = UpperText(all);
  EXPECT_EQ(accented.substr(0, 64), all.substr(0, 64));
  EXPECT_EQ(plain.substr(238), all.substr(238));
  // Accents kept: a-z and 28 accented small letters change, nothing else.
  int changed = 0;
  for (int c = 0; c < 256; ++c) changed += accented[c] != all[c];
  EXPECT_EQ(changed, 26 + 28);
  // Accents dropped: exactly these codes of 64..237 become blanks.
  std::string blanks;
  for (int c = 64; c <= 237; ++c) {
    if (plain[c] == ' ') blanks += std::to_string(c) + " ";
  }
  EXPECT_EQ(blanks,
            "64 91 92 93 94 95 96 123 124 125 126 127 156 158 159 168 169 170 171 172 173 174 "
            "175 176 177 178 179 180 184 185 186 187 188 189 190 191 192 193 194 195 196 197 "
            "200 201 202 203 204 205 206 207 217 218 219 220 221 223 230 ");
  // Both tables give capitals that stay as they are.
  EXPECT_EQ(UpperText(plain), plain);
  state.AccentMode = 0;
  EXPECT_EQ(UpperText(accented), accented);
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
