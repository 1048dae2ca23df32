// Date functions over the engine's date text: parts (weeks start on Sunday, us_english),
// DATEADD with month-end clamping, DATEDIFF counting boundaries, and the clock's format.
#include <regex>

#include "sql_fixture.h"

namespace xfer::engine {
namespace {

class DateFunctions : public SqlFixture {};

TEST_F(DateFunctions, Parts) {
  const EvalCase cases[] = {
      {"xf_year('2024-03-15')", "2024"},
      {"xf_month('2024-03-15 10:00:00.000')", "3"},
      {"xf_day('2024-03-15')", "15"},
      {"xf_year(NULL)", "NULL"},
      {"xf_year(0)", "1900"},                         // 0 is 1900-01-01 as a datetime
      {"xf_datepart('weekday', '2024-03-15')", "6"},  // a Friday; Sunday is 1
      {"xf_datepart('dw', '2024-03-17')", "1"},
      {"xf_datepart('week', '2024-01-06')", "1"},  // 2024-01-01 is a Monday
      {"xf_datepart('wk', '2024-01-07')", "2"},    // the first Sunday starts week 2
      {"xf_datepart('dayofyear', '2024-03-01')", "61"},
      {"xf_datepart('quarter', '2024-08-01')", "3"},
      {"xf_datepart('hh', '2024-03-15 13:14:15.678')", "13"},
      {"xf_datepart('mi', '2024-03-15 13:14:15.678')", "14"},
      {"xf_datepart('ss', '2024-03-15 13:14:15.678')", "15"},
      {"xf_datepart('ms', '2024-03-15 13:14:15.678')", "678"},
      {"xf_datepart('yyyy', '20240315')", "2024"},
      {"xf_datepart('fortnight', '2024-03-15')",
       "!155 'fortnight' is not a recognized datepart option."},
      {"xf_year('not a date')",
       "!241 Conversion failed when converting date and/or time from character string."},
      {"xf_isdate('2024-02-29')", "1"},
      {"xf_isdate('2023-02-29')", "0"},
      {"xf_isdate('abc')", "0"},
  };
  ExpectAll(cases);
}

TEST_F(DateFunctions, AddAndDiff) {
  const EvalCase cases[] = {
      {"xf_dateadd('month', 1, '2024-01-31')", "'2024-02-29'"},
      {"xf_dateadd('year', 1, '2024-02-29 08:00:00.000')", "'2025-02-28 08:00:00.000'"},
      {"xf_dateadd('day', 1, '2024-12-31 23:00:00.000')", "'2025-01-01 23:00:00.000'"},
      {"xf_dateadd('dd', -1, '2024-03-01')", "'2024-02-29'"},
      {"xf_dateadd('hour', 2, '2024-01-01')", "'2024-01-01 02:00:00.000'"},
      {"xf_dateadd('minute', -1, '2024-01-01 00:00:00.000')", "'2023-12-31 23:59:00.000'"},
      {"xf_dateadd('quarter', 1, '2024-11-30')", "'2025-02-28'"},
      {"xf_dateadd('week', 1, '2024-01-01')", "'2024-01-08'"},
      {"xf_dateadd('day', NULL, '2024-01-01')", "NULL"},
      // DATEDIFF counts the boundaries crossed, not elapsed whole units.
      {"xf_datediff('year', '2023-12-31', '2024-01-01')", "1"},
      {"xf_datediff('month', '2024-01-31', '2024-02-01')", "1"},
      {"xf_datediff('day', '2024-03-01', '2024-02-01')", "-29"},
      {"xf_datediff('day', '2024-01-01 23:59:59.000', '2024-01-02 00:00:00.000')", "1"},
      {"xf_datediff('week', '2024-01-06', '2024-01-07')", "1"},  // Saturday to Sunday
      {"xf_datediff('week', '2024-01-07', '2024-01-13')", "0"},
      {"xf_datediff('hour', '2024-01-01 10:59', '2024-01-01 11:00')", "1"},
      {"xf_datediff('quarter', '2024-03-31', '2024-04-01')", "1"},
      {"xf_datediff('second', '2024-01-01', '2024-01-02')", "86400"},
      {"xf_datediff('ms', '1900-01-01', '2024-01-01')",
       "!535 The datediff function resulted in an overflow. The number of dateparts separating "
       "two date/time instances is too large. Try to use datediff with a less precise datepart."},
  };
  ExpectAll(cases);
}

TEST_F(DateFunctions, ClockAndNewId) {
  const std::regex datetime("'\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}\\.\\d{3}'");
  for (const char* fn : {"xf_getdate()", "xf_getutcdate()", "xf_sysdatetime()"}) {
    const std::string v = Eval(fn);
    EXPECT_TRUE(std::regex_match(v, datetime)) << fn << " gave " << v;
    EXPECT_EQ(Eval(std::string("xf_year(") + fn + ") >= 2024"), "1") << fn;
  }
  const std::regex guid("'[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}'");
  const std::string a = Eval("xf_newid()");
  EXPECT_TRUE(std::regex_match(a, guid)) << a;
  EXPECT_NE(a, Eval("xf_newid()"));
}

}  // namespace
}  // namespace xfer::engine
