// Numbers: ROUND (half away from zero, integer input stays integer), the other mathematical
// functions, ISNUMERIC, and the run-time operators xf_add, xf_div and xf_mod.
#include "sql_fixture.h"

namespace xfer::engine {
namespace {

class NumericFunctions : public SqlFixture {};

// The ROUND examples of the SQL Server documentation, and integers keeping their type.
TEST_F(NumericFunctions, Round) {
  const EvalCase cases[] = {
      {"xf_round(123.9994, 3)", "123.999"}, {"xf_round(123.9995, 3)", "124.0"},
      {"xf_round(123.4545, 2)", "123.45"},  {"xf_round(123.45, -2)", "100.0"},
      {"xf_round(150.75, 0)", "151.0"},     {"xf_round(150.75, 0, 1)", "150.0"},
      {"xf_round(748.58, -1)", "750.0"},    {"xf_round(748.58, -2)", "700.0"},
      {"xf_round(748.58, -4)", "0.0"},      {"xf_round(-2.5, 0)", "-3.0"},
      {"xf_round(2.675, 2)", "2.68"},  // rounds the decimal value, not its binary neighbour
      {"xf_round(748, -1)", "750"},         {"xf_round(745, -1)", "750"},
      {"xf_round(-745, -1)", "-750"},       {"xf_round(748, 2)", "748"},
      {"xf_round(NULL, 2)", "NULL"},
  };
  ExpectAll(cases);
}

TEST_F(NumericFunctions, MathFunctions) {
  const EvalCase cases[] = {
      {"xf_abs(-5)", "5"},
      {"xf_abs(-1.5)", "1.5"},
      {"xf_abs(NULL)", "NULL"},
      {"xf_floor(123.45)", "123.0"},
      {"xf_floor(-123.45)", "-124.0"},
      {"xf_floor(7)", "7"},
      {"xf_ceiling(123.45)", "124.0"},
      {"xf_ceiling(-123.45)", "-123.0"},
      {"xf_sign(-3)", "-1"},
      {"xf_sign(0)", "0"},
      {"xf_sign(2.5)", "1.0"},
      {"xf_power(2, 10)", "1024"},
      {"xf_power(2, -2)", "0"},  // the result has the base's type: int
      {"xf_power(2.0, -2)", "0.25"},
      {"xf_sqrt(16)", "4.0"},
      {"xf_sqrt(-1)", "!3623 An invalid floating point operation occurred."},
      {"xf_square(3)", "9.0"},
      {"xf_abs('x')", "!8114 Error converting data type varchar to float."},
      {"xf_isnumeric('12.5')", "1"},
      {"xf_isnumeric(' -12 ')", "1"},
      {"xf_isnumeric('1e5')", "1"},
      {"xf_isnumeric('$')", "1"},
      {"xf_isnumeric('1,000')", "1"},
      {"xf_isnumeric('abc')", "0"},
      {"xf_isnumeric('12a')", "0"},
      {"xf_isnumeric('')", "0"},
      {"xf_isnumeric(NULL)", "0"},
      {"xf_isnumeric(42)", "1"},
  };
  ExpectAll(cases);
}

// `+` by the operand types: text + text concatenates, numbers add, text + number converts the
// text (error 245 naming the value when it is no number), NULL gives NULL.
TEST_F(NumericFunctions, Add) {
  const EvalCase cases[] = {
      {"xf_add('ab', 'cd')", "'abcd'"},
      {"xf_add('12', '3')", "'123'"},
      {"xf_add('سلام ', 'دنیا')", "'سلام دنیا'"},
      {"xf_add(1, 2)", "3"},
      {"xf_add(1.5, 2)", "3.5"},
      {"xf_add('1', 2)", "3"},
      {"xf_add(2, ' 40 ')", "42"},
      {"xf_add('1.5', 1)", "2.5"},
      {"xf_add('abc', 1)",
       "!245 Conversion failed when converting the varchar value 'abc' to data type int."},
      {"xf_add(1, 'x1')",
       "!245 Conversion failed when converting the varchar value 'x1' to data type int."},
      {"xf_add(1.5, 'abc')", "!8114 Error converting data type varchar to float."},
      {"xf_add(NULL, 1)", "NULL"},
      {"xf_add('a', NULL)", "NULL"},
      {"xf_add(9223372036854775807, 1)",
       "!8115 Arithmetic overflow error converting expression to data type bigint."},
      {"xf_add(x'0102', x'03')", "0x010203"},
      {"xf_add('2024-01-31', 1)", "'2024-02-01'"},  // datetime + n adds days
      {"xf_add(1, '2024-01-31 10:00:00.000')", "'2024-02-01 10:00:00.000'"},
      {"xf_add('1402/01/01', 1)",  // a solar date is plain varchar
       "!245 Conversion failed when converting the varchar value '1402/01/01' to data type int."},
  };
  ExpectAll(cases);
}

TEST_F(NumericFunctions, DivideAndModulo) {
  const EvalCase cases[] = {
      {"xf_div(7, 2)", "3"},
      {"xf_div(-7, 2)", "-3"},
      {"xf_div(7.0, 2)", "3.5"},
      {"xf_div(7, 2.0)", "3.5"},
      {"xf_div('9', 2)", "4"},
      {"xf_div(1, 0)", "!8134 Divide by zero error encountered."},
      {"xf_div(1.5, 0.0)", "!8134 Divide by zero error encountered."},
      {"xf_div(NULL, 0)", "NULL"},
      {"xf_mod(7, 3)", "1"},
      {"xf_mod(-7, 3)", "-1"},
      {"xf_mod(7.5, 2)", "1.5"},
      {"xf_mod(7, 0)", "!8134 Divide by zero error encountered."},
  };
  ExpectAll(cases);
}

TEST(FunctionError, DecodesNumberAndText) {
  int number = 0;
  std::string message;
  ASSERT_TRUE(DecodeFunctionError("@8134@Divide by zero error encountered.", &number, &message));
  EXPECT_EQ(number, 8134);
  EXPECT_EQ(message, "Divide by zero error encountered.");
  EXPECT_FALSE(DecodeFunctionError("no such table: t", &number, &message));
  EXPECT_FALSE(DecodeFunctionError("@abc@x", &number, &message));
  EXPECT_FALSE(DecodeFunctionError("@@x", &number, &message));
}

}  // namespace
}  // namespace xfer::engine
