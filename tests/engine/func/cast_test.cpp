// CAST/CONVERT (xf_cast) and the varchar(n) length guard (xf_check_len).
#include "sql_fixture.h"

namespace xfer::engine {
namespace {

class Cast : public SqlFixture {};

TEST_F(Cast, ToStrings) {
  const EvalCase cases[] = {
      {"xf_cast('abcdef', 'varchar(3)')", "'abc'"},  // CAST cuts without an error
      {"xf_cast('ab', 'char(5)')", "'ab   '"},
      {"xf_cast('abcdef', 'CHAR(3)')", "'abc'"},
      {"xf_cast('سلام دنیا', 'nvarchar(4)')", "'سلام'"},
      {"xf_cast('سلام', 'char(6)')", "'سلام  '"},
      {"xf_cast(123, 'varchar(10)')", "'123'"},
      {"xf_cast(-45, 'varchar')", "'-45'"},
      {"xf_cast(123, 'varchar(2)')", "'*'"},  // int into too short a char type
      // float style 0: six significant digits, scientific beyond.
      {"xf_cast(123456.7, 'varchar(20)')", "'123457'"},
      {"xf_cast(1234567.0, 'varchar(20)')", "'1.23457e+006'"},
      {"xf_cast(0.5, 'varchar')", "'0.5'"},
      {"xf_cast(0.00001, 'varchar')", "'1e-005'"},
      {"xf_cast(3.0, 'varchar')", "'3'"},
      {"xf_cast(12.5, 'varchar(10)', NULL, 'numeric(18,2)')", "'12.50'"},
      {"xf_cast(1234567.891, 'varchar(20)', NULL, 'money')", "'1234567.89'"},
      {"xf_cast(NULL, 'varchar(3)')", "NULL"},
      // CONVERT date styles.
      {"xf_cast('2024-01-05 10:11:12.000', 'varchar(10)', 111)", "'2024/01/05'"},
      {"xf_cast('2024-01-05', 'varchar(10)', 103)", "'05/01/2024'"},
      {"xf_cast('2024-01-05', 'varchar(8)', 112)", "'20240105'"},
      {"xf_cast('2024-01-05 10:11:12.345', 'varchar(30)', 120)", "'2024-01-05 10:11:12'"},
      {"xf_cast('2024-01-05 10:11:12.345', 'varchar(30)', 108)", "'10:11:12'"},
  };
  ExpectAll(cases);
  // CAST without a length means varchar(30).
  EXPECT_EQ(Eval("xf_cast(xf_replicate('x', 40), 'varchar')"), "'" + std::string(30, 'x') + "'");
  EXPECT_EQ(Eval("xf_cast(xf_replicate('x', 40), 'varchar(max)')"),
            "'" + std::string(40, 'x') + "'");
}

TEST_F(Cast, ToNumbers) {
  const EvalCase cases[] = {
      {"xf_cast('  12 ', 'int')", "12"},
      {"xf_cast('-7', 'bigint')", "-7"},
      {"xf_cast('', 'int')", "0"},
      {"xf_cast('12a', 'int')",
       "!245 Conversion failed when converting the varchar value '12a' to data type int."},
      {"xf_cast('1.5', 'int')",
       "!245 Conversion failed when converting the varchar value '1.5' to data type int."},
      {"xf_cast('99999999999', 'int')",
       "!248 The conversion of the varchar value '99999999999' overflowed an int column."},
      {"xf_cast('300', 'tinyint')",
       "!220 Arithmetic overflow error for data type tinyint, value = 300."},
      {"xf_cast(3.99, 'int')", "3"},
      {"xf_cast(-3.99, 'int')", "-3"},
      {"xf_cast(70000, 'smallint')",
       "!220 Arithmetic overflow error for data type smallint, value = 70000."},
      {"xf_cast(3000000000, 'int')",
       "!8115 Arithmetic overflow error converting expression to data type int."},
      {"xf_cast(2.345, 'numeric(10,2)')", "2.35"},
      {"xf_cast(-2.345, 'decimal(10, 2)')", "-2.35"},
      {"xf_cast(2.5, 'decimal(10)')", "3"},
      {"xf_cast('12.345', 'numeric(18,2)')", "12.35"},
      {"xf_cast(12345, 'numeric(4,0)')",
       "!8115 Arithmetic overflow error converting int to data type numeric."},
      {"xf_cast('x', 'numeric(18,2)')", "!8114 Error converting data type varchar to numeric."},
      {"xf_cast(1.23456, 'money')", "1.2346"},
      {"xf_cast('1.5', 'float')", "1.5"},
      {"xf_cast(' 2e3 ', 'float')", "2000.0"},
      {"xf_cast('abc', 'float')", "!8114 Error converting data type varchar to float."},
      {"xf_cast(7, 'float')", "7.0"},
      {"xf_cast(5, 'bit')", "1"},
      {"xf_cast(0, 'bit')", "0"},
      {"xf_cast('TRUE', 'bit')", "1"},
      {"xf_cast('false', 'bit')", "0"},
      {"xf_cast('yes', 'bit')",
       "!245 Conversion failed when converting the varchar value 'yes' to data type bit."},
  };
  ExpectAll(cases);
}

TEST_F(Cast, ToDatesBinaryAndUnknown) {
  const EvalCase cases[] = {
      {"xf_cast('2024-01-05', 'datetime')", "'2024-01-05 00:00:00.000'"},
      {"xf_cast('20240105 13:45', 'datetime')", "'2024-01-05 13:45:00.000'"},
      {"xf_cast('01/05/2024', 'datetime')", "'2024-01-05 00:00:00.000'"},  // us_english: mdy
      {"xf_cast('05/01/2024', 'datetime', 103)", "'2024-01-05 00:00:00.000'"},
      {"xf_cast('2024-01-05 13:45:10.5', 'date')", "'2024-01-05'"},
      {"xf_cast('2024-01-05 13:45:40', 'smalldatetime')", "'2024-01-05 13:46:00.000'"},
      {"xf_cast('2024-02-30', 'datetime')",
       "!241 Conversion failed when converting date and/or time from character string."},
      {"xf_cast(0, 'datetime')", "'1900-01-01 00:00:00.000'"},
      {"xf_cast(1.5, 'datetime')", "'1900-01-02 12:00:00.000'"},
      {"xf_cast('ab', 'varbinary(10)')", "0x6162"},
      {"xf_cast(1, 'varbinary(4)')", "0x00000001"},
      {"xf_cast('ab', 'binary(3)')", "0x616200"},
      {"xf_cast(1, 'widget')", "!243 Type widget is not a defined system type."},
  };
  ExpectAll(cases);
}

// xf_check_len guards inserts into varchar(n): characters count, not bytes, and trailing
// blanks past n are dropped silently as SQL Server does for varchar with ANSI_PADDING on.
TEST_F(Cast, CheckLength) {
  const EvalCase cases[] = {
      {"xf_check_len('abc', 3)", "1"},
      {"xf_check_len('abcd', 3)", "!8152 String or binary data would be truncated."},
      {"xf_check_len('abc   ', 3)", "1"},
      {"xf_check_len('سلام', 4)", "1"},
      {"xf_check_len('سلام!', 4)", "!8152 String or binary data would be truncated."},
      {"xf_check_len(NULL, 1)", "1"},
      {"xf_check_len('', 0)", "1"},
  };
  ExpectAll(cases);
  Exec("CREATE TABLE c (v TEXT COLLATE XFER CHECK (xf_check_len(v, 3)))");
  Exec("INSERT INTO c VALUES ('abc')");
  EXPECT_EQ(Query("INSERT INTO c VALUES ('abcd') RETURNING v"),
            "!8152 String or binary data would be truncated.");
}

}  // namespace
}  // namespace xfer::engine
