// The settlement's arithmetic and rules, case by case; the whole report
// over the demo data is checked by golden_test.cpp.
#include "report/settlement.h"

#include <gtest/gtest.h>

#include <limits>

#include "dates/packed.h"

namespace report {
namespace {

TEST(Fees, TenDepartmentsThreeMonthsWithVat) {
  // 10 x 1 500 x 3 = 45 000; VAT 21 % = 9 450.
  EXPECT_EQ(CommunityFees(10, 1500, 3, 21.0f, 0.0f), 54450);
  // Withholding 7 % of 97 200 = 6 804; VAT 20 412.
  EXPECT_EQ(CommunityFees(9, 1800, 6, 21.0f, 7.0f), 110808);
  // Rates as stored in single precision: 15.5 % of 333 = 51.615 -> 52.
  EXPECT_EQ(CommunityFees(1, 333, 1, 0.0f, 15.5f), 333 - 52);
  EXPECT_EQ(CommunityFees(3, 1500, 0, 21.0f, 15.0f), 0);
}

TEST(Fees, ProductsBeyond32BitsStopAtTheLimit) {
  EXPECT_EQ(CommunityFees(999, 2000000000, 120, 0.0f, 0.0f), std::numeric_limits<int32_t>::max());
}

TEST(Shares, QuotientFirstThenNearestHalvesToEven) {
  EXPECT_EQ(Share(54450, 1000000, 125000), 6806);  // 6 806.25
  EXPECT_EQ(Share(54450, 1000000, 50000), 2722);   // 2 722.5 exactly
  EXPECT_EQ(Share(62500, 1000, 101), 6312);        // 6 312.5
  EXPECT_EQ(Share(62500, 1000, 103), 6438);        // 6 437.5
  EXPECT_EQ(Share(5, 2, 1), 2);                    // 2.5
  EXPECT_EQ(Share(7, 2, 1), 4);                    // 3.5
  EXPECT_EQ(Share(-5, 2, 1), -2);
  EXPECT_EQ(Share(100, 0, 5), 0);                  // a group without base
}

TEST(Rounding, NearestAndSaturatingSums) {
  EXPECT_EQ(Nearest(0.5), 0);
  EXPECT_EQ(Nearest(1.5), 2);
  EXPECT_EQ(Nearest(-2.5), -2);
  EXPECT_EQ(Nearest(1e12), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(Nearest(-1e12), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(AddMoney(std::numeric_limits<int32_t>::max(), 1), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(AddMoney(-5, -7), -12);
}

TEST(FeeGroup, LetterAfterTheFirstHo) {
  EXPECT_EQ(FeeGroup("DISTRIBUCIO: HOB; A GENERAL"), 2);
  EXPECT_EQ(FeeGroup("HOG"), 7);
  EXPECT_EQ(FeeGroup("HONORARIS HOC"), 1);  // the first "HO" is followed by "N"
  EXPECT_EQ(FeeGroup("A GENERAL"), 1);
  EXPECT_EQ(FeeGroup("XHO"), 1);            // nothing after "HO"
  EXPECT_EQ(FeeGroup(std::string("HO\0A", 4)), 1);
  EXPECT_EQ(FeeGroup("hob"), 1);            // capitals only
}

TEST(Withholding, PersonAdministratorAndEntityCommunity) {
  EXPECT_TRUE(WithholdingApplies("ES40123456T", "ESH25123456      "));
  EXPECT_TRUE(WithholdingApplies("ES", "ESA1"));           // no third character
  EXPECT_TRUE(WithholdingApplies("ESX1234567", "ESW1"));   // "X" is above "W"
  EXPECT_FALSE(WithholdingApplies("ESB12345678", "ESH25123456"));  // company
  EXPECT_FALSE(WithholdingApplies("ES40123456T", "ES12345678Z"));  // person
  EXPECT_FALSE(WithholdingApplies("ES40123456T", "ESX1"));
  EXPECT_FALSE(WithholdingApplies("ES40123456T", "                 "));
  EXPECT_FALSE(WithholdingApplies("FR40123456T", "ESH25123456"));
  EXPECT_FALSE(WithholdingApplies("ES40123456T", "FRH25123456"));
}

TEST(Months, FromLastSettledToSelectionDate) {
  std::string sel = dates::Pack("20261231");
  EXPECT_EQ(SettlementMonths(dates::Pack("20260930"), sel), 3);
  EXPECT_EQ(SettlementMonths(dates::Pack("20251231"), sel), 12);
  EXPECT_EQ(SettlementMonths(dates::Pack("20261215"), sel), 0);
  // Never settled: no fees, rather than fees for 2026 years.
  EXPECT_EQ(SettlementMonths(dates::Pack("00000000"), sel), 0);
}

TEST(Months, ASelectionDateWithinTheSettledPeriodChargesNone) {
  const std::string last = dates::Pack("20260930");
  // Backwards the distance would be 2 and 12 months of fees already paid.
  EXPECT_EQ(SettlementMonths(last, dates::Pack("20260731")), 0);
  EXPECT_EQ(SettlementMonths(last, dates::Pack("20250930")), 0);
  EXPECT_EQ(SettlementMonths(last, last), 0);
  EXPECT_TRUE(PeriodAlreadySettled(last, dates::Pack("20260731")));
  EXPECT_TRUE(PeriodAlreadySettled(last, last));
  // The day after is the first day of the new period: days do not count.
  EXPECT_FALSE(PeriodAlreadySettled(last, dates::Pack("20261001")));
  EXPECT_EQ(SettlementMonths(last, dates::Pack("20261001")), 1);
  EXPECT_FALSE(PeriodAlreadySettled(dates::Pack("00000000"), dates::Pack("20260731")));
}

}  // namespace
}  // namespace report
