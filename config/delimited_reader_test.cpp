#include "config/delimited_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace config {
namespace {

// Every value of the bytes, as ReadText gives them.
std::vector<std::string> Values(const std::string& bytes, BareValues bare) {
  DelimitedReader reader(bytes, bare);
  std::vector<std::string> out;
  std::string v;
  while (reader.ReadText(&v)) out.push_back(v);
  EXPECT_TRUE(reader.AtEnd());
  return out;
}

using V = std::vector<std::string>;

TEST(DelimitedReader, QuotedValuesAreTakenAsTheyStand) {
  for (BareValues bare : {BareValues::kTrimmed, BareValues::kKeepTrailing}) {
    EXPECT_EQ(Values("\"d,1b,4800\" ,  \" a \"\r\n\"x\r\ny\"\t\r\n,\"\"", bare),
              (V{"d,1b,4800", " a ", "x\r\ny", ""}));
    // After the closing mark everything up to the comma is skipped; a
    // missing closing mark runs to the end.
    EXPECT_EQ(Values("\"a\"  \n\n\"b\",\"unterminated, 1", bare), (V{"a", "b", "unterminated, 1"}));
  }
}

TEST(DelimitedReader, TrimmedBareValuesEndAtAnyLineEnd) {
  EXPECT_EQ(Values("  12 , Nom del camp  ,3\r\n4\r5\n6,\r\n7", BareValues::kTrimmed),
            (V{"12", "Nom del camp", "3", "4", "5", "6", "", "7"}));
  // A line end separates like a comma, so an empty line is an empty value;
  // nothing but spaces at the end is no value.
  EXPECT_EQ(Values("a\r\n\r\nb\n\nc,   ", BareValues::kTrimmed), (V{"a", "", "b", "", "c"}));
  EXPECT_EQ(Values("x\ty,\t", BareValues::kTrimmed), (V{"x\ty", "\t"}));  // tabs are no blanks
}

TEST(DelimitedReader, KeepTrailingBareValuesEndAtCommaOrAnyLineEnd) {
  EXPECT_EQ(Values("  PER\xD6ODE ,D\tE,a\nb\r\nc\rd", BareValues::kKeepTrailing),
            (V{"PER\xD6ODE ", "DE", "a", "b", "c", "d"}));
  EXPECT_EQ(Values("x \n\ny", BareValues::kKeepTrailing), (V{"x ", "", "y"}));
  EXPECT_EQ(Values("A,\n", BareValues::kKeepTrailing), (V{"A", ""}));
}

TEST(DelimitedReader, NumbersByTheOneReadingRule) {
  const std::string bytes = " 3 ,-12,  \"7\",x9,2.5e1\r\n";
  DelimitedReader reader(bytes, BareValues::kTrimmed);
  double v = -1;
  for (double want : {3.0, -12.0, 7.0, 0.0, 25.0}) {
    ASSERT_TRUE(reader.ReadNumber(&v));
    EXPECT_EQ(v, want);
  }
  EXPECT_FALSE(reader.ReadNumber(&v));
  EXPECT_EQ(v, 0.0);
}

TEST(DelimitedReader, CommentLinesOnlyWhereAskedFor) {
  const std::string form =
      "' header\r\n  'second comment\n2,3\r\n'screen 1\r\n\"d\",1\r\n"
      "x,'not a comment'\r\n'last";
  DelimitedReader reader(form, BareValues::kTrimmed);
  std::string v;
  EXPECT_TRUE(reader.AtCommentLine());
  reader.SkipCommentLines();
  EXPECT_FALSE(reader.AtCommentLine());
  ASSERT_TRUE(reader.ReadText(&v));
  EXPECT_EQ(v, "2");
  ASSERT_TRUE(reader.ReadText(&v));
  EXPECT_EQ(v, "3");
  reader.SkipCommentLines();
  ASSERT_TRUE(reader.ReadText(&v));
  EXPECT_EQ(v, "d");
  reader.SkipCommentLines();  // not at a comment: nothing skipped
  ASSERT_TRUE(reader.ReadText(&v));
  EXPECT_EQ(v, "1");
  ASSERT_TRUE(reader.ReadText(&v));
  EXPECT_EQ(v, "x");
  EXPECT_TRUE(reader.AtCommentLine());  // from the position on, the line starts with '
  ASSERT_TRUE(reader.ReadText(&v));     // ... but read as a value it is one
  EXPECT_EQ(v, "'not a comment'");
  reader.SkipCommentLines();  // the last line has no line end
  EXPECT_TRUE(reader.AtEnd());
  EXPECT_FALSE(reader.ReadText(&v));
}

}  // namespace
}  // namespace config
