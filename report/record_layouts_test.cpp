// The record layouts: the tables agree with the accessors, and the derived
// values (packed numbers, concept keys) read as the settlement needs them.
#include "report/record_layouts.h"

#include <gtest/gtest.h>

#include <string>

#include "dates/packed.h"
#include "report/report_state.h"

namespace report {
namespace {

TEST(Layouts, FieldsLieInsideTheirRecordsWithoutOverlapping) {
  for (const ReportFileLayout& l : kLayouts) {
    int end = 0;
    for (size_t k = 0; k < l.fieldCount; ++k) {
      const Field& f = l.fields[k];
      EXPECT_GE(f.offset, end) << l.name << " " << f.name;
      end = f.offset + f.width;
      EXPECT_LE(end, l.recordLength) << l.name << " " << f.name;
    }
  }
  EXPECT_EQ(FindLayout("PropietH")->recordLength, 428);
  EXPECT_EQ(FindLayout("propieth"), nullptr);
}

// The files are opened by walking kLayouts: each needs a buffer of exactly
// its record length, and the numbers must be distinct.
TEST(Layouts, EveryFileHasARecordBufferOfItsLength) {
  for (const ReportFileLayout& l : kLayouts) {
    RecordBuffer buffer = RecordBufferOf(l.fileNumber);
    EXPECT_NE(buffer.data, nullptr) << l.name;
    EXPECT_EQ(buffer.size, l.recordLength) << l.name;
    for (const ReportFileLayout& other : kLayouts) {
      if (&other != &l) {
        EXPECT_NE(other.fileNumber, l.fileNumber) << l.name;
      }
    }
  }
  EXPECT_EQ(RecordBufferOf(0).data, nullptr);
  EXPECT_EQ(RecordBufferOf(kTDespesa).data, state.TDespesa.data());
}

TEST(Layouts, GroupEntriesAndBalanceEntriesSitWhereTheTablesSay) {
  std::string f(finques::kLength, '\0');
  PutInt32(&f[0], 334, 777);  // base of group 7
  std::string name7 = "GARATGE";
  name7.resize(30, ' ');
  name7.copy(&f[338], 30);
  EXPECT_EQ(GroupBase(f.data(), 7), 777);
  EXPECT_EQ(GroupName(f.data(), 7), name7);

  std::string p(propiet::kLength, '\0');
  PutInt32(&p[0], 235, 4242);           // coefficient of group 7
  PutInt32(&p[0], 239 + 3 + 7 * 7, -5);  // entry 8
  PutInt16(&p[0], 239 + 56, 12);         // entry 9: concept 12
  PutInt32(&p[0], 239 + 61, 300);
  PutInt16(&p[0], 239 + 65, -115);       // entry 10: concept -115
  PutInt32(&p[0], 239 + 70, 9);
  EXPECT_EQ(DeptCoefficient(p.data(), 7), 4242);
  EXPECT_EQ(BalanceAmount(p.data(), propiet::kBalance, 8), -5);
  EXPECT_EQ(BalanceConceptKey(p.data(), propiet::kBalance, 8), 8);
  EXPECT_EQ(BalanceAmount(p.data(), propiet::kBalance, 9), 300);
  EXPECT_EQ(BalanceConceptKey(p.data(), propiet::kBalance, 9), 128 + 12);
  EXPECT_EQ(BalanceAmount(p.data(), propiet::kBalance, 10), 9);
  // Two digits of the code, without its sign: "15" packed.
  EXPECT_EQ(BalanceConceptKey(p.data(), propiet::kBalance, 10), 128 + 15);
}

TEST(Layouts, PackedNumbersReadAllTheirDigits) {
  std::string rec = dates::Pack("00011001");
  EXPECT_EQ(PackedValue(rec.data(), propiet::kKey), 11001);
  // The department number the settlement uses: the last three digits.
  EXPECT_EQ(PackedValue(rec.data(), propiet::kKey) % 1000, 1);
  std::string odd("\xFF\x85", 2);  // 127 reads as its last two digits, 27
  EXPECT_EQ(PackedValue(odd.data(), pagam::kCode), 2705);
}

}  // namespace
}  // namespace report
