// String functions: character (not byte) positions on Persian text, SUBSTRING with a start of
// 0 or less, CHARINDEX, LEN ignoring trailing blanks, STR's layout, and NULL handling.
#include "sql_fixture.h"

namespace xfer::engine {
namespace {

class StringFunctions : public SqlFixture {};

// SUBSTRING: a start below 1 counts against the length, returning start + length - 1
// characters from position 1; a negative length is error 537.
TEST_F(StringFunctions, Substring) {
  const EvalCase cases[] = {
      {"xf_substring('abcdef', 2, 3)", "'bcd'"},
      {"xf_substring('abcdef', 0, 3)", "'ab'"},
      {"xf_substring('abcdef', -1, 3)", "'a'"},
      {"xf_substring('abcdef', -5, 3)", "''"},
      {"xf_substring('abcdef', 5, 10)", "'ef'"},
      {"xf_substring('abcdef', 10, 2)", "''"},
      {"xf_substring('abcdef', 1, 0)", "''"},
      {"xf_substring('سلام دنیا', 6, 4)", "'دنیا'"},
      {"xf_substring('سلام دنیا', 0, 3)", "'سل'"},
      {"xf_substring('abc', 1, -1)",
       "!537 Invalid length parameter passed to the LEFT or SUBSTRING function."},
      {"xf_substring(NULL, 1, 2)", "NULL"},
      {"xf_substring('abc', NULL, 2)", "NULL"},
      {"xf_substring(12345, 2, 3)", "'234'"},
      {"xf_substring('abc', 2, 9223372036854775807)", "'bc'"},
      {"xf_substring('abc', -9223372036854775807, 5)", "''"},
      {"xf_left('abcdef', 2)", "'ab'"},
      {"xf_left('سلام', 2)", "'سل'"},
      {"xf_left('ab', 5)", "'ab'"},
      {"xf_left('ab', -1)",
       "!537 Invalid length parameter passed to the LEFT or SUBSTRING function."},
      {"xf_right('abcdef', 2)", "'ef'"},
      {"xf_right('سلام', 3)", "'لام'"},
      {"xf_right('ab', 5)", "'ab'"},
      {"xf_right(NULL, 5)", "NULL"},
  };
  ExpectAll(cases);
}

TEST_F(StringFunctions, LengthsAndSearch) {
  const EvalCase cases[] = {
      {"xf_len('abc  ')", "3"},
      {"xf_len('  abc')", "5"},
      {"xf_len('')", "0"},
      {"xf_len('   ')", "0"},
      {"xf_len('سلام ')", "4"},
      {"xf_len(NULL)", "NULL"},
      {"xf_len(12345)", "5"},
      {"xf_datalength('abc ')", "4"},
      {"xf_datalength(NULL)", "NULL"},
      // CHARINDEX: case-insensitive under the collation, 0 when absent, start <= 0 means 1.
      {"xf_charindex('B', 'abcabc')", "2"},
      {"xf_charindex('b', 'abcabc', 3)", "5"},
      {"xf_charindex('b', 'abc', 0)", "2"},
      {"xf_charindex('b', 'abc', -5)", "2"},
      {"xf_charindex('z', 'abc')", "0"},
      {"xf_charindex('b', 'abc', 9)", "0"},
      {"xf_charindex('دنیا', 'سلام دنیا')", "6"},
      {"xf_charindex(NULL, 'abc')", "NULL"},
      {"xf_charindex('a', NULL)", "NULL"},
      // PATINDEX examples of the SQL Server documentation.
      {"xf_patindex('%ter%', 'interesting data')", "3"},
      {"xf_patindex('%en_ure%', 'Please ensure the door is locked!')", "8"},
      {"xf_patindex('%xyz%', 'abc')", "0"},
      {"xf_patindex('%[0-9]%', 'کد ۱ a7')", "7"},
  };
  ExpectAll(cases);
}

TEST_F(StringFunctions, TrimCaseReplaceAndFriends) {
  const EvalCase cases[] = {
      {"xf_ltrim('  a  ')", "'a  '"},
      {"xf_rtrim('  a  ')", "'  a'"},
      {"xf_trim('  a  ')", "'a'"},
      {"xf_trim('xxaxx', 'x')", "'a'"},
      {"xf_rtrim(NULL)", "NULL"},
      {"xf_upper('abc سلام')", "'ABC سلام'"},
      {"xf_lower('ABC سلام')", "'abc سلام'"},
      {"xf_replace('abcABC', 'b', 'x')", "'axcAxC'"},
      {"xf_replace('سلام دنیا', 'دنیا', 'جهان')", "'سلام جهان'"},
      {"xf_replace('abc', '', 'x')", "'abc'"},
      {"xf_replace('abc', 'b', NULL)", "NULL"},
      {"xf_replicate('ab', 3)", "'ababab'"},
      {"xf_replicate('ab', 0)", "''"},
      {"xf_replicate('ab', -1)", "NULL"},
      {"xf_space(3)", "'   '"},
      {"xf_space(-1)", "NULL"},
      {"xf_reverse('abc')", "'cba'"},
      {"xf_reverse('سلام')", "'مالس'"},
      // STUFF example of the documentation; a start past the end gives NULL.
      {"xf_stuff('abcdef', 2, 3, 'ijklmn')", "'aijklmnef'"},
      {"xf_stuff('abc', 5, 1, 'x')", "NULL"},
      {"xf_stuff('abc', 0, 1, 'x')", "NULL"},
      {"xf_stuff('abc', 2, 9, NULL)", "'a'"},
      {"xf_char(65)", "'A'"},
      {"xf_char(256)", "NULL"},
      {"xf_ascii('A')", "65"},
      {"xf_ascii('')", "NULL"},
      {"xf_unicode('س')", "1587"},
      {"xf_nchar(1587)", "'س'"},
      {"xf_concat('a', NULL, 1, 'b')", "'a1b'"},
      {"xf_isnull(NULL, 'x')", "'x'"},
      {"xf_isnull('y', 'x')", "'y'"},
      {"xf_coalesce(NULL, NULL, 3, 4)", "3"},
      {"xf_coalesce(NULL, NULL)", "NULL"},
      {"xf_nullif('abc', 'ABC  ')", "NULL"},
      {"xf_nullif('abc', 'abd')", "'abc'"},
      {"xf_nullif(1, 1.0)", "NULL"},
      {"xf_nullif(1, 2)", "1"},
  };
  ExpectAll(cases);
}

// STR: right-aligned in `length` (default 10), rounded to `decimals` (default 0); decimals
// give way when the integer part needs the room, '*' fill when even that does not fit. The
// expected strings are the examples of the STR documentation.
TEST_F(StringFunctions, Str) {
  const EvalCase cases[] = {
      {"xf_str(123.45, 6, 1)", "' 123.5'"},
      {"xf_str(123.45, 6, 2)", "'123.45'"},
      {"xf_str(123.45, 2, 2)", "'**'"},
      {"xf_str(xf_floor(123.45), 8, 3)", "' 123.000'"},
      {"xf_str(1234567.89, 7, 2)", "'1234568'"},
      {"xf_str(1234567.89, 6, 2)", "'******'"},
      {"xf_str(123.45)", "'       123'"},
      {"xf_str(2.5)", "'         3'"},
      {"xf_str(-12.6)", "'       -13'"},
      {"xf_str(42, 4)", "'  42'"},
      {"xf_str(NULL)", "NULL"},
  };
  ExpectAll(cases);
}

}  // namespace
}  // namespace xfer::engine
