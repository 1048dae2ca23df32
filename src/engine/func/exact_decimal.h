// Exact fixed-point numbers for numeric, decimal and money values: up to 38 digits with a
// scale of 0 to 38, computed as SQL Server does, never through a double. Results are rounded
// half away from zero at the scale of the result type; intermediate products and quotients
// are carried in integers as wide as they need.
#pragma once

#include <string>
#include <string_view>

#include "engine/value.h"

namespace xfer::engine::func {

inline constexpr int kMaxDecimalDigits = 38;

// 38 digits need 127 bits; GCC and Clang both have the type.
__extension__ typedef unsigned __int128 Uint128;

struct Decimal {
  bool negative = false;
  Uint128 digits = 0;  // the value is digits / 10^scale
  int scale = 0;
};

enum class DecimalStatus { Ok, Overflow, DivideByZero };

// Reads decimal text: blanks around, a sign, digits with one point, an optional exponent.
// More than 38 significant digits round at the last fraction digit that fits; false when the
// text is no number or its whole part alone needs more than 38 digits.
bool ParseDecimal(std::string_view text, Decimal* out);

// The decimal a stored double stands for: its shortest round-trip form, rounded at `scale`
// places when `scale` >= 0. A double holds any decimal of 15 significant digits exactly this way.
bool DecimalFromDouble(double x, int scale, Decimal* out);

Decimal DecimalFromInt(long long x);

// Plain text with exactly the value's scale in decimals: "-12.50", "0.001".
std::string DecimalText(const Decimal& d);

// The decimal as SQLite keeps it: an integer when whole, a double when it has at most 15
// significant digits (its shortest form reads back as exactly the decimal), else its text.
Value StoredDecimal(const Decimal& d);

// `d` at `scale` places (rounded half away from zero, or padded); Overflow when it needs more
// than `precision` digits.
DecimalStatus Rescale(const Decimal& d, int precision, int scale, Decimal* out);

// a op b for op in + - * / %, exact and then rounded at `scale`; Overflow when the result
// needs more than `precision` digits.
DecimalStatus DecimalArithmetic(char op, const Decimal& a, const Decimal& b, int precision,
                                int scale, Decimal* out);

// <0, 0, >0 as a is less than, equal to or greater than b (scales may differ).
int CompareDecimal(const Decimal& a, const Decimal& b);

}  // namespace xfer::engine::func
