// The exact decimal core: parsing, rounding at a scale, the four operations and remainder at
// widths past 64 bits, and the overflow and divide-by-zero outcomes.
#include "engine/func/exact_decimal.h"

#include <gtest/gtest.h>

namespace xfer::engine::func {
namespace {

Decimal Parse(const char* text) {
  Decimal d;
  EXPECT_TRUE(ParseDecimal(text, &d)) << text;
  return d;
}

struct OpCase {
  char op;
  const char* a;
  const char* b;
  int precision;
  int scale;
  const char* expected;  // text of the result, or "overflow" / "zero"
};

TEST(ExactDecimal, Operations) {
  const OpCase cases[] = {
      {'+', "0.1", "0.2", 10, 1, "0.3"},
      {'-', "1.05", "2.1", 10, 2, "-1.05"},
      {'*', "1.0", "3", 10, 1, "3.0"},
      {'/', "1.0", "3", 38, 6, "0.333333"},
      {'/', "2.0", "3", 38, 6, "0.666667"},
      {'/', "-2.0", "3", 38, 6, "-0.666667"},
      {'%', "-10.5", "3", 10, 1, "-1.5"},
      // Past 64 and 128 bits: the product and the scaled dividend need wide intermediates.
      {'*', "12345678901234567890.123456789", "98765432109876543210.5", 38, 7, "overflow"},
      {'*', "1234567890123456789.0123456789", "2", 38, 10, "2469135780246913578.0246913578"},
      {'*', "99999999999999999999.99999999", "99999999999999999.9", 38, 0,
       "9999999999999999989999999999000000000"},
      {'/', "99999999999999999999999999999999999999", "7", 38, 0,
       "14285714285714285714285714285714285714"},
      {'/', "1", "99999999999999999999999999999999999999", 38, 38,
       "0.00000000000000000000000000000000000001"},
      {'+', "99999999999999999999999999999999999999", "1", 38, 0, "overflow"},
      {'-', "-99999999999999999999999999999999999999", "1", 38, 0, "overflow"},
      {'+', "0.00000000000000000001", "100000000000000000", 38, 20,
       "100000000000000000.00000000000000000001"},
      {'/', "1", "0", 38, 6, "zero"},
      {'%', "1", "0.0", 38, 6, "zero"},
  };
  for (const auto& c : cases) {
    Decimal r;
    DecimalStatus st = DecimalArithmetic(c.op, Parse(c.a), Parse(c.b), c.precision, c.scale, &r);
    std::string got = st == DecimalStatus::Overflow       ? "overflow"
                      : st == DecimalStatus::DivideByZero ? "zero"
                                                          : DecimalText(r);
    EXPECT_EQ(got, c.expected) << c.a << " " << c.op << " " << c.b;
  }
}

TEST(ExactDecimal, RescaleRoundsHalfAwayFromZero) {
  const struct {
    const char* in;
    int precision, scale;
    const char* expected;
  } cases[] = {
      {"2.345", 4, 2, "2.35"},  {"-2.345", 4, 2, "-2.35"},   {"2.344", 4, 2, "2.34"},
      {"-0.004", 6, 2, "0.00"}, {"9.995", 3, 2, "overflow"}, {"12.5", 18, 0, "13"},
      {"1e3", 10, 1, "1000.0"}, {" +7.10 ", 5, 3, "7.100"},
  };
  for (const auto& c : cases) {
    Decimal r;
    DecimalStatus st = Rescale(Parse(c.in), c.precision, c.scale, &r);
    EXPECT_EQ(st == DecimalStatus::Ok ? DecimalText(r) : "overflow", c.expected) << c.in;
  }
}

TEST(ExactDecimal, ParseAndConvert) {
  Decimal d;
  EXPECT_FALSE(ParseDecimal("", &d));
  EXPECT_FALSE(ParseDecimal("12a", &d));
  EXPECT_FALSE(ParseDecimal("123456789012345678901234567890123456789", &d));  // 39 whole digits
  ASSERT_TRUE(DecimalFromDouble(0.1 + 0.2, 2, &d));  // the double's noise rounds away at the scale
  EXPECT_EQ(DecimalText(d), "0.30");
  ASSERT_TRUE(DecimalFromDouble(1234.5678, -1, &d));
  EXPECT_EQ(DecimalText(d), "1234.5678");
  EXPECT_EQ(DecimalText(DecimalFromInt(-9223372036854775807LL - 1)), "-9223372036854775808");
  EXPECT_LT(CompareDecimal(Parse("-1.5"), Parse("-1.25")), 0);
  EXPECT_EQ(CompareDecimal(Parse("2.50"), Parse("2.5")), 0);
  EXPECT_GT(CompareDecimal(Parse("12345678901234567890.000000001"), Parse("12345678901234567890")),
            0);
}

}  // namespace
}  // namespace xfer::engine::func
