// Key images: exact bytes for each segment kind, and the checks of Create.
#include "recman/key_layout.h"

#include <gtest/gtest.h>

#include "recman/btrcall.h"
#include "recman/recman_test_support.h"

namespace recman {
namespace {

using testing_support::Seg;

std::string Image(const std::vector<SegmentDef>& key, const std::string& record,
                  const std::vector<AcsDef>& acs = {}) {
  std::string creation = EncodeLayout(uint16_t(record.size()), 512, 0, {key}, acs);
  FileLayout layout;
  EXPECT_EQ(ParseLayout(reinterpret_cast<const uint8_t*>(creation.data()),
                        uint32_t(creation.size()), &layout), 0);
  std::string image;
  if (!RecordKeyImage(layout, 0, reinterpret_cast<const uint8_t*>(record.data()), &image))
    return "<null>";
  return image;
}

TEST(KeyImage, EachSegmentKind) {
  EXPECT_EQ(Image({Seg(1, 3)}, "aBc"), "aBc");
  EXPECT_EQ(Image({Seg(1, 2, KF_BINARY)}, "\x34\x12"), "\x12\x34");
  EXPECT_EQ(Image({Seg(1, 2, KF_EXTENDED_TYPE, XT_UNSIGNED_BINARY)}, "\x34\x12"), "\x12\x34");
  // Signed: -1 sorts below 0, which sorts below 1.
  EXPECT_EQ(Image({Seg(1, 2, KF_EXTENDED_TYPE, XT_INTEGER)}, std::string("\xFF\xFF", 2)),
            std::string("\x7F\xFF", 2));
  EXPECT_EQ(Image({Seg(1, 2, KF_EXTENDED_TYPE, XT_INTEGER)}, std::string("\0\0", 2)),
            std::string("\x80\x00", 2));
  EXPECT_EQ(Image({Seg(1, 2, KF_EXTENDED_TYPE, XT_INTEGER)}, std::string("\x01\0", 2)),
            std::string("\x80\x01", 2));
  EXPECT_EQ(Image({Seg(1, 3, KF_CASE_INSENSITIVE)}, "aB\x87"), "AB\x87");
  EXPECT_EQ(Image({Seg(1, 2, KF_DESCENDING)}, std::string("\x00\x10", 2)),
            std::string("\xFF\xEF", 2));
  EXPECT_EQ(Image({Seg(1, 4, KF_EXTENDED_TYPE, XT_ZSTRING)}, std::string("ab\0z", 4)),
            std::string("ab\0\0", 4));
  EXPECT_EQ(Image({Seg(1, 4, KF_EXTENDED_TYPE, XT_LSTRING)}, std::string("\x02xyz", 4)),
            std::string("xy\0\0", 4));
  AcsDef acs;
  acs.name = "REV";
  for (int i = 0; i < 256; ++i) acs.table[i] = uint8_t(255 - i);
  EXPECT_EQ(Image({Seg(1, 2, KF_ALT_COLLATING)}, "AB", {acs}), "\xBE\xBD");
  // Segments concatenate in key order, wherever they lie in the record.
  EXPECT_EQ(Image({Seg(3, 1), Seg(1, 2, KF_BINARY)}, "\x01\x02Z"), "Z\x02\x01");
}

TEST(KeyImage, NullKeyOnlyWhereItsFlagSaysSo) {
  SegmentDef s = Seg(1, 2, KF_NULL);
  s.nullValue = ' ';
  EXPECT_EQ(Image({s}, "  "), "<null>");
  EXPECT_EQ(Image({s}, " x"), " x");
  EXPECT_EQ(Image({Seg(1, 2)}, "  "), "  ");
}

TEST(ParseLayout, KeepsTheBytesAndReadsTheSegments) {
  std::string creation = EncodeLayout(30, 1024, 0,
                                  {{Seg(1, 4, KF_DUPLICATES), Seg(10, 2, KF_BINARY)},
                                   {Seg(5, 5, KF_MODIFIABLE)}}, {});
  // A longer buffer, as callers pass it: the rest is ignored.
  std::string buffer = creation + std::string(100, '\x77');
  FileLayout layout;
  ASSERT_EQ(ParseLayout(reinterpret_cast<const uint8_t*>(buffer.data()),
                        uint32_t(buffer.size()), &layout), 0);
  EXPECT_EQ(layout.bytes, creation);
  ASSERT_EQ(layout.keys.size(), 2u);
  EXPECT_EQ(layout.keys[0].length, 6);
  EXPECT_TRUE(layout.keys[0].duplicates);
  EXPECT_FALSE(layout.keys[0].modifiable);
  EXPECT_EQ(layout.keys[0].segments[1].offset, 9);
  EXPECT_TRUE(layout.keys[1].modifiable);
  // Cut short: the buffer does not hold what it announces.
  EXPECT_EQ(ParseLayout(reinterpret_cast<const uint8_t*>(creation.data()), 40, &layout),
            B_DATA_BUFFER_LENGTH);
}

}  // namespace
}  // namespace recman
