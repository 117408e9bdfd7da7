#include "forms/calculator_state.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "forms/calculator_keys.h"

namespace console {
namespace {

const std::string kEmptyLine = "0,0,0,\"\"\r\n";

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

void ExpectInitial(const CalculatorState& s) {
  EXPECT_EQ(s.column, 1);
  EXPECT_EQ(s.firstVisible, 23);
  EXPECT_EQ(s.entry, 0);
  EXPECT_EQ(s.result, 0);
  EXPECT_EQ(s.cleared, -1);
  EXPECT_EQ(s.entering, 0);
  EXPECT_EQ(s.decimalPoint, 0);
  EXPECT_EQ(s.decimals, 0);
  EXPECT_EQ(s.keyText, "");
  EXPECT_EQ(s.pending, "");
  for (int k = 1; k <= kTapeLines; ++k) {
    EXPECT_EQ(s.tape[k].value, 0) << k;
    EXPECT_EQ(s.tape[k].op, ' ') << k;
  }
}

TEST(CalculatorStateTest, FileBytesWithDecimalsAndAPendingOperator) {
  CalculatorState s;
  for (char c : std::string("12.5*")) CalculatorKey(s, c);
  CalculatorKey(s, 0x4B00);  // Left: to column 55
  for (char c : std::string(".1")) CalculatorKey(s, c);
  EXPECT_EQ(CalculatorFileBytes(s),
            "55,22,0.10000000000000001,12.5\r\n"
            "0,-1,-1,1\r\n"
            "\"1\",\"*\"\r\n" +
                Repeat(kEmptyLine, 21) + "12.5,-1,1,\"*\"\r\n");
}

TEST(CalculatorStateTest, NumbersArePlainDecimalsThatReadBackExactly) {
  EXPECT_EQ(CalculatorNumberText(8), "8");
  EXPECT_EQ(CalculatorNumberText(0), "0");
  EXPECT_EQ(CalculatorNumberText(-0.0), "0");
  EXPECT_EQ(CalculatorNumberText(-2.5), "-2.5");
  EXPECT_EQ(CalculatorNumberText(0.1), "0.10000000000000001");
  EXPECT_EQ(CalculatorNumberText(1e20), "100000000000000000000");
  EXPECT_EQ(CalculatorNumberText(1e-5), "0.000010000000000000001");
  EXPECT_EQ(CalculatorNumberText(123456789.125), "123456789.125");
  EXPECT_EQ(CalculatorNumberText(std::numeric_limits<double>::infinity()), "0");
  EXPECT_EQ(CalculatorNumberText(std::nan("")), "0");

  // Whatever the calculator can hold comes back as the same double.
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> mantissa(-10, 10);
  std::uniform_int_distribution<int> exponent(-30, 98);
  for (int i = 0; i < 2000; ++i) {
    CalculatorState s;
    s.entry = mantissa(random) * std::pow(10.0, exponent(random));
    s.tape[7].value = mantissa(random) / 3;
    CalculatorState back = ParseCalculatorFile(CalculatorFileBytes(s));
    ASSERT_EQ(back.entry, s.entry) << CalculatorNumberText(s.entry);
    ASSERT_EQ(back.tape[7].value, s.tape[7].value) << CalculatorNumberText(s.tape[7].value);
  }
}

TEST(CalculatorStateTest, EmptyOrMissingFileIsTheInitialState) {
  ExpectInitial(ParseCalculatorFile(""));
  ExpectInitial(ParseCalculatorFile("\r\n\r\n"));
}

TEST(CalculatorStateTest, AShortFileFillsOnlyWhatItHolds) {
  CalculatorState s = ParseCalculatorFile("3,21,4.5,9\r\n0,-1,0,0\r\n\"4\",\"+\"\r\n7,0,0,\"+\"\r\n");
  EXPECT_EQ(s.column, 3);
  EXPECT_EQ(s.firstVisible, 21);
  EXPECT_EQ(s.entry, 4.5);
  EXPECT_EQ(s.result, 9);
  EXPECT_EQ(s.cleared, 0);
  EXPECT_EQ(s.entering, -1);
  EXPECT_EQ(s.pending, "+");
  EXPECT_EQ(s.tape[1].value, 7);
  EXPECT_EQ(s.tape[1].op, '+');
  EXPECT_EQ(s.tape[2].value, 0);
  // A record cut short keeps the rest of its values initial.
  s = ParseCalculatorFile("9,22\n");
  EXPECT_EQ(s.column, 9);
  EXPECT_EQ(s.firstVisible, 22);
  EXPECT_EQ(s.entry, 0);
  EXPECT_EQ(s.cleared, -1);
}

TEST(CalculatorStateTest, DamagedValuesGiveTheInitialStateForWhatCannotBeRead) {
  // Non-numeric and half-numeric values, columns and views out of range,
  // flags that are not -1/0, decimals out of range, an unknown pending
  // operator, a key text too long.
  ExpectInitial(ParseCalculatorFile(
      "0,24,abc,12abc\r\n1,-2,x,16\r\n\"123456789\",\"%\"\r\n"));
  ExpectInitial(ParseCalculatorFile("56,1,1e999,-1e100\r\n-1,0,0,-1\r\n"));
  ExpectInitial(ParseCalculatorFile("1,23,inf,nan\r\n"));
  ExpectInitial(ParseCalculatorFile(",,,\r\n,,,\r\n,\r\n"));
  ExpectInitial(ParseCalculatorFile("\"1\"\"2,,\r\n\x1A\xFF\r\n"));
  // Beside damaged values, readable ones are read.
  CalculatorState s = ParseCalculatorFile("55,abc,1e99,2.5.1\r\n0,0,7,3\r\n");
  EXPECT_EQ(s.column, 55);
  EXPECT_EQ(s.firstVisible, 23);
  EXPECT_EQ(s.entry, 1e99);
  EXPECT_EQ(s.result, 0);
  EXPECT_EQ(s.cleared, 0);
  EXPECT_EQ(s.decimalPoint, 0);
  EXPECT_EQ(s.decimals, 3);
}

TEST(CalculatorStateTest, DamagedTapeLinesStayEmpty) {
  std::string head = "1,2,0,0\r\n-1,0,0,0\r\n\"\",\"\"\r\n";
  std::string lines[kTapeLines];
  for (int k = 0; k < kTapeLines; ++k) lines[k] = std::to_string(k + 1) + ",0,0,\"+\"\r\n";
  lines[0] = "1,0,0,\"x\"\r\n";        // not an operator
  lines[1] = "2,0,0,\"++\"\r\n";       // two characters
  lines[2] = "1e300,0,0,\"+\"\r\n";    // beyond the limit
  lines[3] = "4,1,0,\"+\"\r\n";        // a flag that is not -1 or 0
  lines[4] = "5,-1,99,\"+\"\r\n";      // too many decimals
  lines[5] = "6,0,0\r\n";              // cut short
  lines[6] = "7,0,0,R\r\n";            // a bare operator is read
  lines[7] = "8,0,0,\" \"\r\n";        // a blank operator is none
  std::string bytes = head;
  for (const std::string& l : lines) bytes += l;
  bytes += Repeat("99,0,0,\"-\"\r\n", 10);  // records beyond the 25th are not read
  CalculatorState s = ParseCalculatorFile(bytes);
  for (int k = 1; k <= 6; ++k) {
    EXPECT_EQ(s.tape[k].value, 0) << k;
    EXPECT_EQ(s.tape[k].op, ' ') << k;
    EXPECT_EQ(s.tape[k].decimals, 0) << k;
  }
  EXPECT_EQ(s.tape[7].value, 7);
  EXPECT_EQ(s.tape[7].op, 'R');
  EXPECT_EQ(s.tape[8].value, 8);
  EXPECT_EQ(s.tape[8].op, ' ');
  EXPECT_EQ(s.tape[22].value, 22);
  EXPECT_EQ(s.tape[22].op, '+');
  EXPECT_EQ(s.firstVisible, 2);
}

}  // namespace
}  // namespace console
