// The function table: lookups by T-SQL name, and every row's SQLite function being callable
// with its minimum and maximum argument counts on a connection after RegisterFunctions.
#include <string>

#include "sql_fixture.h"

namespace xfer::engine {
namespace {

const char* const kNames[] = {
    "ABS",
    "ASCII",
    "AVG",
    "CEILING",
    "CHAR",
    "CHARINDEX",
    "COALESCE",
    "CONCAT",
    "COUNT",
    "COUNT_BIG",
    "CURRENT_TIMESTAMP",
    "DATALENGTH",
    "DATEADD",
    "DATEDIFF",
    "DATEPART",
    "DAY",
    "FLOOR",
    "GETDATE",
    "GETUTCDATE",
    "ISDATE",
    "ISNULL",
    "ISNUMERIC",
    "LEFT",
    "LEN",
    "LOWER",
    "LTRIM",
    "MAX",
    "MIN",
    "MONTH",
    "NCHAR",
    "NEWID",
    "NULLIF",
    "PATINDEX",
    "POWER",
    "REPLACE",
    "REPLICATE",
    "REVERSE",
    "RIGHT",
    "ROUND",
    "RTRIM",
    "SIGN",
    "SPACE",
    "SQRT",
    "SQUARE",
    "STR",
    "STUFF",
    "SUBSTRING",
    "SUM",
    "SYSDATETIME",
    "TRIM",
    "UNICODE",
    "UPPER",
    "YEAR",
};

TEST(FunctionTable, Lookup) {
  for (const char* name : kNames) {
    const FunctionInfo* f = FindFunction(name);
    ASSERT_NE(f, nullptr) << name;
    EXPECT_STREQ(f->tsqlName, name);
  }
  EXPECT_EQ(FindFunction("charindex"), FindFunction("CHARINDEX"));
  EXPECT_EQ(FindFunction("NOSUCH"), nullptr);
  EXPECT_EQ(FindFunction(std::string(100, 'A')), nullptr);
  EXPECT_EQ(FindFunction(""), nullptr);
  EXPECT_EQ(FindFunction("ZZZ"), nullptr);
  EXPECT_STREQ(FindFunction("SUBSTRING")->sqliteName, "xf_substring");
  EXPECT_EQ(FindFunction("LEN")->rule, ResultRule::Int);
  EXPECT_EQ(FindFunction("COALESCE")->maxArgs, -1);
  EXPECT_TRUE(FindFunction("SUM")->aggregate);
  EXPECT_FALSE(FindFunction("ROUND")->aggregate);
  EXPECT_STREQ(FindFunction("COUNT_BIG")->sqliteName, "count");
  EXPECT_EQ(FindFunction("COUNT_BIG")->rule, ResultRule::BigInt);
}

class FunctionTableSql : public SqlFixture {};

// Prepares a call of every row with its minimum and maximum argument counts; SQLite refuses
// at prepare time a function that is not registered with that many arguments.
TEST_F(FunctionTableSql, EveryRowIsCallable) {
  Exec("CREATE TABLE n (x)");
  for (const char* name : kNames) {
    const FunctionInfo* f = FindFunction(name);
    ASSERT_NE(f, nullptr);
    const int most = f->maxArgs < 0 ? f->minArgs + 3 : f->maxArgs;
    for (int count : {f->minArgs, most}) {
      if (f->aggregate && count == 0) continue;  // COUNT(*) is written with a star
      std::string call = std::string(f->sqliteName) + "(";
      for (int i = 0; i < count; ++i) call += i ? ", NULL" : "NULL";
      call += ")";
      const std::string sql = "SELECT " + call + " FROM n";
      sqlite3_stmt* st = nullptr;
      EXPECT_EQ(sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr), SQLITE_OK)
          << name << ": " << sql << ": " << sqlite3_errmsg(db_);
      sqlite3_finalize(st);
    }
  }
}

TEST_F(FunctionTableSql, AggregatesUseTheCollation) {
  Exec("CREATE TABLE a (name TEXT COLLATE XFER, qty INTEGER)");
  Exec("INSERT INTO a VALUES ('b', 1), ('A', 2), ('a ', 3), ('C', 4)");
  EXPECT_EQ(Query("SELECT min(name) FROM a"), "'A'");
  EXPECT_EQ(Query("SELECT max(name) FROM a"), "'C'");
  EXPECT_EQ(Query("SELECT sum(qty) FROM a WHERE name = 'A'"), "5");
  EXPECT_EQ(Query("SELECT count(*) FROM (SELECT name FROM a GROUP BY name)"), "3");
}

}  // namespace
}  // namespace xfer::engine
