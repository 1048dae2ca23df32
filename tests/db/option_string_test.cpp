#include "db/option_string.h"

#include <gtest/gtest.h>

#include "db/text_util.h"

namespace xfer::db {
namespace {

TEST(OptionString, GetOption) {
  const std::string s = "NAMTAFSILY2=Abc;NAMPROJECT=Xyz;";
  EXPECT_EQ(GetOption(s, "namproject"), "XYZ");
  EXPECT_EQ(GetOption(s, "NAMTAFSILY2"), "ABC");
  EXPECT_EQ(GetOption(s, "MISSING"), "");
  EXPECT_EQ(GetOption("", "A"), "");
  EXPECT_EQ(GetOption("A=1", "A"), "1");  // last entry without its semicolon
  EXPECT_EQ(GetOption("A=;B=2;", "A"), "");
  // Plain substring search: a key ending another key is found inside the longer one.
  EXPECT_EQ(GetOption("DEL_REP_RECORD=YES;RECORD=NO;", "RECORD"), "YES");
  // Persian values pass through unchanged.
  EXPECT_EQ(GetOption("NAMPROJECT=پروژه;", "NAMPROJECT"), "پروژه");
}

TEST(OptionString, SetOption) {
  EXPECT_EQ(SetOption("A=1;B=2;", "A", "9"), "A=9;B=2;");
  EXPECT_EQ(SetOption("A=1;B=2;", "C", "x"), "A=1;B=2;C=X;");
  EXPECT_EQ(SetOption("A=1;B=2;", "b", "long value"), "A=1;B=LONG VALUE;");
  EXPECT_EQ(SetOption("", "PAGE", "K"), "PAGE=K;");
  EXPECT_EQ(SetOption("a=1;b=2", "B", "3"), "A=1;B=3;");  // old entry without its semicolon
  // Building the account drill-down string fills the empty entries in place.
  std::string s = "TYPE=KMT1;K=;M=;T1=;";
  s = SetOption(s, "K", "11");
  s = SetOption(s, "M", "0102");
  s = SetOption(s, "T1", "0003");
  EXPECT_EQ(s, "TYPE=KMT1;K=11;M=0102;T1=0003;");
}

TEST(TextUtil, QuotingDoublesApostrophes) {
  EXPECT_EQ(Quote("O'Brien"), "'O''Brien'");
  EXPECT_EQ(Quote(""), "''");
  EXPECT_EQ(EscapeQuotes("''"), "''''");
  EXPECT_EQ(UpperAscii("abcآب"), "ABCآب");
  EXPECT_EQ(Trim("  x y \t"), "x y");
  EXPECT_EQ(ParseInteger(" 42"), 42);
  EXPECT_EQ(ParseInteger("42 "), std::nullopt);
  EXPECT_EQ(ParseInteger("-7"), -7);
  EXPECT_EQ(ParseInteger(""), std::nullopt);
}

}  // namespace
}  // namespace xfer::db
