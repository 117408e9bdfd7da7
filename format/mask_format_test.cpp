#include "format/mask_format.h"

#include <stdlib.h>

#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "config/session.h"
#include "format/format_state.h"
#include "format/money.h"
#include "platform/test_dir.h"

namespace format {
namespace {

// The tables below use the default separators: decimal "'", thousands ".".
class Mask : public ::testing::Test {
 protected:
  void SetUp() override {
    state = FormatState();
    state.DecCaracter = '\'';
    state.MilCaracter = '.';
  }
};

struct Row {
  const char* mask;
  double value;
  const char* expected;
};

void ExpectRows(const std::vector<Row>& rows) {
  for (const Row& r : rows) {
    EXPECT_EQ(MaskFormat(r.mask, r.value), r.expected) << r.mask << " with " << r.value;
  }
}

TEST_F(Mask, GroupsThousandsAndBlanksLeadingZeros) {
  ExpectRows({
      {"ZZ,ZZZ,ZZ9", 1234567, " 1.234.567"},
      {"ZZ,ZZZ,ZZ9", 0, "         0"},
      {"ZZ,ZZZ,ZZ9", -1234, "    -1.234"},
      {"ZZZ9", 7, "   7"},
      {"Z,ZZZ,ZZZ,ZZZ,ZZZ,ZZ9", 1234567, "            1.234.567"},
      {"zz,zz9", 12345, "12.345"},
      {"ZZZ", 0, "   "},
      {"ZZZ", 5, "  5"},
      {"999", 5, "005"},
      {"ZZ,999", 5, "  .005"},  // a "9" to the right makes the "," a separator
  });
}

TEST_F(Mask, FractionsAndTheDecimalPoint) {
  ExpectRows({
      {"ZZ,ZZ9.99", -1234.5, "-1.234'50"},
      {"ZZ,ZZ9.99", 0, "     0'00"},
      {"ZZ9.ZZ", 12.5, " 12'5 "},
      {"ZZ9.ZZ", 12, " 12   "},
      {"ZZ9.ZZ", 0, "  0   "},
      {"ZZ9.ZZ", 0.05, "  0'05"},
      {"ZZ9.ZZ", 12.05, " 12'05"},
      {"ZZ9.99", -0.5, " -0'50"},
      {"ZZZ.99", 0.5, "   '50"},
  });
}

TEST_F(Mask, StarFillAndSignPositions) {
  ExpectRows({
      {"***,**9.99", 1234.5, "**1.234'50"},
      {"***,**9.99", 123.45, "****123'45"},
      {"***9", -5, "**-5"},
      {"ZZ9.99-", -12.34, " 12'34-"},
      {"ZZ9.99-", 12.34, " 12'34 "},
      {"ZZ9.99+", 12.34, " 12'34+"},
      {"+ZZ9", 5, "+  5"},
      {"+ZZ9", -5, "-  5"},
      {"-ZZ9", 5, "   5"},
      {"Fr ZZ9", 42, "Fr  42"},  // other characters are copied
  });
}

TEST_F(Mask, RoundsHalvesToEven) {
  ExpectRows({
      {"ZZ9", 2.5, "  2"},
      {"ZZ9", 3.5, "  4"},
      {"ZZ9", 7.5, "  8"},
      {"ZZ9", -2.5, " -2"},
      {"Z9.9", 0.25, " 0'2"},
      {"Z9.9", 0.75, " 0'8"},
      {"ZZ9.99", 1.005, "  1'00"},  // binary 1.005 lies just below the half
      {"ZZ9", -0.001, " -0"},        // rounds to 0 and stays negative
  });
}

TEST_F(Mask, NumbersTooWideArePlainOrBangs) {
  ExpectRows({
      {"ZZZ9", 12345, "!!!!"},
      {"Z,ZZ9", 12345, "12345"},
      {"Z,ZZ9", 123456, "!!!!!"},
      {"Z,ZZ9.99", 12345.67, "12345'67"},
      {"Z,ZZ9.99", -1234.5, "-1234'50"},
      {"Z,ZZ9.99", -12345.6, "-12345'6"},  // cut to the width
      {"ZZ9.99", 1e300, "!!!!!!"},
      {"ZZ9", std::nan(""), "!!!"},
      {"ZZ9", INFINITY, "!!!"},
      {"", 5, ""},
  });
}

// A negative value with no place for its "-" (only "9"s to the left of its
// digits) keeps its width and shows the sign with every digit, or bangs.
TEST_F(Mask, NegativeWithoutRoomForTheSignIsNeverShownPositive) {
  ExpectRows({
      {"999", -5, " -5"},
      {"999", -123, "!!!"},
      {"99.99", -0.5, "-0'50"},
      {"9.99", -0.5, "!!!!"},
      {"999.99", -1.25, " -1'25"},
      {"ZZ99.99", -0.5, " -00'50"},  // the "-" takes the first "Z"
      {"Z,999", -5, " -005"},
  });
}

TEST_F(Mask, ResultAlwaysHasTheMaskLength) {
  std::mt19937 gen(12345);
  const std::string chars = "9Zz*.,-+9ZZ9 /";
  std::uniform_int_distribution<int> len(1, 16), pick(0, static_cast<int>(chars.size()) - 1);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  std::uniform_int_distribution<int> exponent(-4, 20);
  const double specials[] = {0.0, -0.0, 0.5, -0.5, 1e308, -1e308, 1e-300, 2.5, -9999.995};
  for (int n = 0; n < 20000; ++n) {
    std::string mask;
    int l = len(gen);
    for (int i = 0; i < l; ++i) mask += chars[pick(gen)];
    double v = n % 10 == 0 ? specials[(n / 10) % 9] : unit(gen) * std::pow(10.0, exponent(gen));
    std::string out = MaskFormat(mask, v);
    ASSERT_EQ(out.size(), mask.size()) << "mask \"" << mask << "\" value " << v;
    if (v < 0 && out.find_first_not_of(" 0.,'") != std::string::npos) {
      // A negative value that shows a non-zero digit shows a "-" (or "!"s).
      bool hasDigit = out.find_first_of("123456789") != std::string::npos;
      if (hasDigit) {
        ASSERT_NE(out.find_first_of("-!"), std::string::npos) << "mask \"" << mask << "\" value " << v;
      }
    }
  }
}

TEST_F(Mask, MoneyInEuros) {
  SetCurrency("a,E");
  EXPECT_EQ(MoneyFormat("ZZ,ZZZ,ZZ9", 123456), "  1.234'56");
  EXPECT_EQ(MoneyFormat("ZZ,ZZZ,ZZ9", 120000), "  1.200'00");
  EXPECT_EQ(MoneyFormat("ZZ,ZZZ,ZZ9", 0), "      0'00");
  EXPECT_EQ(MoneyFormat("ZZ,ZZZ,ZZZ", 0), "          ");
  EXPECT_EQ(MoneyFormat("ZZ,ZZZ,ZZZ", 5), "      0'05");
  EXPECT_EQ(MoneyFormat("ZZZ,ZZ9-", -12345), " 123'45-");
  EXPECT_EQ(MoneyFormat("ZZZ,ZZ9-", 12345), " 123'45 ");
  EXPECT_EQ(MoneyFormat("-ZZZZZ9", -12345), "-123'45");
  EXPECT_EQ(MoneyFormat("ZZ,ZZZ,ZZ9", -123456), " -1.234'56");
  EXPECT_EQ(MoneyFormat("***,**9", 12345), "*123'45");
  // Too wide: plain, the fraction cut at the field's end.
  EXPECT_EQ(MoneyFormat("ZZ,ZZZ,ZZ9", 12345678901.0), "123456789'");
  EXPECT_EQ(MoneyFormat("ZZ,ZZZ,ZZ9", 1234567890123.0), "!!!!!!!!!!");
  EXPECT_EQ(MoneyFormat("", 100), "");
}

TEST_F(Mask, MoneyInPesetasUsesTheSinglePrecisionRate) {
  SetCurrency("a,E");
  SetCurrency("s,P");
  SetCurrency("p");
  EXPECT_EQ(MoneyFormat("ZZ,ZZZ,ZZ9", 123456), "   205.414");
  // 1 cent is 1.66386 pesetas; 3 cents 4.99158, shown as 5.
  EXPECT_EQ(MoneyFormat("ZZ,ZZZ,ZZ9", 3), "         5");
  EXPECT_EQ(MoneyFormat("ZZZ,ZZ9.99", 100), "    166'39");
  // 50000000 cents: 83193000.79 pesetas with the single-precision rate.
  EXPECT_EQ(MoneyFormat("ZZZ,ZZZ,ZZ9.99", 50000000), " 83.193.000'79");
  SetCurrency("");
  EXPECT_EQ(MoneyFormat("ZZ,ZZZ,ZZ9", 123456), "  1.234'56");
}

class Separators : public ::testing::Test {
 protected:
  void SetUp() override {
    state = FormatState();
    config::session = config::SessionState();
    const char* old = getenv("ZULROOT");
    saved_ = old ? old : "";
    hadRoot_ = old != nullptr;
    setenv("ZULROOT", dir_.path().c_str(), 1);
  }
  void TearDown() override {
    if (hadRoot_) setenv("ZULROOT", saved_.c_str(), 1); else unsetenv("ZULROOT");
    state = FormatState();
  }
  platform::TestDir dir_;
  std::string saved_;
  bool hadRoot_ = false;
};

TEST_F(Separators, ReadOnceFromBrolIni) {
  dir_.Write("Brol.ini", "[Usuari]\r\nDecCaracter=,x\r\nMilCaracter= \xFA\r\n");
  EXPECT_EQ(MaskFormat("ZZ,ZZ9.99", 1234.5), " 1\xFA" "234,50");
  // Kept for the process: a change on disk is not seen.
  dir_.Write("Brol.ini", "[Usuari]\r\nDecCaracter=;\r\nMilCaracter=_\r\n");
  EXPECT_EQ(MaskFormat("ZZ,ZZ9.99", 1234.5), " 1\xFA" "234,50");
}

TEST_F(Separators, MissingOrBlankSettingsGiveTheDefaults) {
  dir_.Write("Brol.ini", "[Usuari]\r\nDecCaracter=   \r\n");
  EXPECT_EQ(MaskFormat("ZZ,ZZ9.99", 1234.5), " 1.234'50");
  state = FormatState();
  setenv("ZULROOT", "/nonexistent/dir/", 1);
  EXPECT_EQ(MaskFormat("ZZ,ZZ9.99", -1234.5), "-1.234'50");
  EXPECT_EQ(state.DecCaracter, '\'');
  EXPECT_EQ(state.MilCaracter, '.');
}

}  // namespace
}  // namespace format
