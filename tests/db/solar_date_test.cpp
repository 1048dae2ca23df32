#include "db/solar_date.h"

#include <gtest/gtest.h>

namespace xfer::db {
namespace {

struct DateCase {
  const char* text;
  bool valid;
};

TEST(SolarDate, MonthLengthsAndLeapYears) {
  const DateCase cases[] = {
      {"1402/07/30", true},  {"1402/07/31", false}, {"1402/06/31", true},  {"1402/01/01", true},
      {"1402/11/30", true},  {"1402/12/29", true},  {"1402/12/30", false}, {"1403/12/30", true},
      {"1403/12/31", false}, {"1359/12/30", true},  {"1355/12/30", false}, {"1455/12/30", false},
      {"1399/12/30", true},  {"1402/13/01", false}, {"1402/00/10", false}, {"1402/05/00", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidSolarDate(c.text), c.valid) << c.text;
}

TEST(SolarDate, LayoutErrors) {
  const DateCase cases[] = {
      {"1402/1/05", false},  {"1402/01/5", false}, {"02/01/05", false},   {"14020/01/05", false},
      {"1402-01-05", false}, {"1402/01", false},   {"14a2/01/05", false}, {"1402/0x/05", false},
      {"1402/01/", false},   {"/", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidSolarDate(c.text), c.valid) << c.text;
}

TEST(SolarDate, EmptyAndBlankMask) {
  EXPECT_TRUE(IsValidSolarDate(""));
  EXPECT_TRUE(IsValidSolarDate("   "));
  EXPECT_TRUE(IsValidSolarDate("//"));
  EXPECT_TRUE(IsValidSolarDate(" // "));
  EXPECT_TRUE(IsValidSolarDate(" 1402/03/04 "));
}

TEST(SolarDate, TextualComparisonsLetOddDaysThrough) {
  // "100" <= "31" as text, so a three-digit day passes in the first half of the year.
  EXPECT_TRUE(IsValidSolarDate("1402/03/100"));
  // In the second half the same day fails the "30" bound as text ("100" <= "30" is true too).
  EXPECT_TRUE(IsValidSolarDate("1402/08/100"));
  EXPECT_FALSE(IsValidSolarDate("1402/08/400"));
}

TEST(SolarDate, FieldExitHelpers) {
  EXPECT_EQ(FixDayField("5"), "05");
  EXPECT_EQ(FixDayField("45"), "31");
  EXPECT_EQ(FixDayField("0"), "01");
  EXPECT_EQ(FixDayField("x"), "01");
  EXPECT_EQ(FixDayField(""), "01");
  EXPECT_EQ(FixDayField("17"), "17");
  EXPECT_EQ(FixMonthField("13"), "12");
  EXPECT_EQ(FixMonthField("9"), "09");
  EXPECT_EQ(FixMonthField("-3"), "01");
}

TEST(SolarDate, ClockStrings) {
  ClockTime t{1, 1, 1, 5};
  EXPECT_EQ(TimeStamp(t), "36615");
  EXPECT_EQ(CurrentTime(t), "1:01:01");
  ClockTime late{23, 59, 59, 99};
  EXPECT_EQ(TimeStamp(late), "8639999");
  EXPECT_EQ(CurrentTime(late), "23:59:59");
  ClockTime midnight{0, 0, 0, 0};
  EXPECT_EQ(TimeStamp(midnight), "00");
  EXPECT_EQ(CurrentTime(midnight), "0:00:00");
}

}  // namespace
}  // namespace xfer::db
