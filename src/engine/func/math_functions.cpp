// SQL Server's mathematical functions. Integer arguments keep integer results where SQL Server
// keeps the argument's type (ABS, ROUND, FLOOR, CEILING, SIGN, POWER); SQRT and SQUARE are
// float. Text arguments convert to numbers as an implicit conversion would.
#include <climits>
#include <cmath>

#include "engine/func/func_common.h"

namespace xfer::engine::func {
namespace {

void ResultNumber(sqlite3_context* ctx, const Number& n) {
  if (n.isInt)
    sqlite3_result_int64(ctx, n.i);
  else
    sqlite3_result_double(ctx, n.d);
}

void InvalidFloat(sqlite3_context* ctx) {
  RaiseError(ctx, 3623, "An invalid floating point operation occurred.");
}

void Abs(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  Number n;
  if (!ArgNumber(ctx, argv[0], &n)) return;
  if (n.isInt && n.i == LLONG_MIN)
    return RaiseError(ctx, 8115,
                      "Arithmetic overflow error converting expression to data type bigint.");
  n.i = n.i < 0 ? -n.i : n.i;
  n.d = std::fabs(n.d);
  ResultNumber(ctx, n);
}

void Round(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (IsNull(argv[0]) || IsNull(argv[1])) return sqlite3_result_null(ctx);
  Number n;
  if (!ArgNumber(ctx, argv[0], &n)) return;
  const int places = static_cast<int>(sqlite3_value_int64(argv[1]));
  const bool truncate = argc > 2 && !IsNull(argv[2]) && sqlite3_value_int64(argv[2]) != 0;
  if (n.isInt)
    n.i = RoundInteger(n.i, places, truncate);
  else
    n.d = RoundDecimal(n.d, places, truncate);
  ResultNumber(ctx, n);
}

template <bool Up>
void FloorCeiling(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  Number n;
  if (!ArgNumber(ctx, argv[0], &n)) return;
  n.d = Up ? std::ceil(n.d) : std::floor(n.d);
  ResultNumber(ctx, n);
}

void Sign(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  Number n;
  if (!ArgNumber(ctx, argv[0], &n)) return;
  n.i = n.i > 0 ? 1 : (n.i < 0 ? -1 : 0);
  n.d = n.d > 0 ? 1.0 : (n.d < 0 ? -1.0 : 0.0);
  ResultNumber(ctx, n);
}

// The result has the type of the base: POWER(2, -1) is 0, POWER(2.0, -1) is 0.5.
void Power(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0]) || IsNull(argv[1])) return sqlite3_result_null(ctx);
  Number base, exponent;
  if (!ArgNumber(ctx, argv[0], &base) || !ArgNumber(ctx, argv[1], &exponent)) return;
  const double r = std::pow(base.AsDouble(), exponent.AsDouble());
  if (!std::isfinite(r)) return InvalidFloat(ctx);
  if (base.isInt) {
    if (std::fabs(r) >= 9.2e18)
      return RaiseError(ctx, 8115,
                        "Arithmetic overflow error converting expression to data type bigint.");
    base.i = static_cast<long long>(std::trunc(r));
  } else {
    base.d = r;
  }
  ResultNumber(ctx, base);
}

void Sqrt(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  Number n;
  if (!ArgNumber(ctx, argv[0], &n)) return;
  if (n.AsDouble() < 0) return InvalidFloat(ctx);
  sqlite3_result_double(ctx, std::sqrt(n.AsDouble()));
}

void Square(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  Number n;
  if (!ArgNumber(ctx, argv[0], &n)) return;
  sqlite3_result_double(ctx, n.AsDouble() * n.AsDouble());
}

constexpr Impl kMath[] = {
    {"xf_abs", 1, Abs, true},
    {"xf_round", 2, Round, true},
    {"xf_round", 3, Round, true},
    {"xf_floor", 1, FloorCeiling<false>, true},
    {"xf_ceiling", 1, FloorCeiling<true>, true},
    {"xf_sign", 1, Sign, true},
    {"xf_power", 2, Power, true},
    {"xf_sqrt", 1, Sqrt, true},
    {"xf_square", 1, Square, true},
};

}  // namespace

std::span<const Impl> MathImpls() {
  return kMath;
}

}  // namespace xfer::engine::func
