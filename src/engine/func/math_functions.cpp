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

// Float functions of one argument; a result outside the reals is error 3623.
template <double (*F)(double), bool Positive>
void FloatOf(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  Number n;
  if (!ArgNumber(ctx, argv[0], &n)) return;
  if (Positive && n.AsDouble() <= 0) return InvalidFloat(ctx);
  const double r = F(n.AsDouble());
  if (!std::isfinite(r)) return InvalidFloat(ctx);
  sqlite3_result_double(ctx, r);
}

double Log(double x) {
  return std::log(x);
}
double Log10(double x) {
  return std::log10(x);
}
double Exp(double x) {
  return std::exp(x);
}
double Sin(double x) {
  return std::sin(x);
}
double Cos(double x) {
  return std::cos(x);
}
double Tan(double x) {
  return std::tan(x);
}
double Atan(double x) {
  return std::atan(x);
}
double Cot(double x) {
  return 1.0 / std::tan(x);
}

// LOG(x, base)
void LogBase(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0]) || IsNull(argv[1])) return sqlite3_result_null(ctx);
  Number x, base;
  if (!ArgNumber(ctx, argv[0], &x) || !ArgNumber(ctx, argv[1], &base)) return;
  if (x.AsDouble() <= 0 || base.AsDouble() <= 0 || base.AsDouble() == 1) return InvalidFloat(ctx);
  sqlite3_result_double(ctx, std::log(x.AsDouble()) / std::log(base.AsDouble()));
}

void Pi(sqlite3_context* ctx, int, sqlite3_value**) {
  sqlite3_result_double(ctx, M_PI);
}

// RAND([seed]): a float in [0, 1); a seed starts a repeatable sequence.
void Rand(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  static thread_local unsigned long long state = 0x2545F4914F6CDD1DULL;
  if (argc > 0 && !IsNull(argv[0]))
    state = static_cast<unsigned long long>(sqlite3_value_int64(argv[0])) * 6364136223846793005ULL +
            1442695040888963407ULL;
  state ^= state << 13;
  state ^= state >> 7;
  state ^= state << 17;
  sqlite3_result_double(ctx, static_cast<double>(state >> 11) / 9007199254740992.0);
}

// DEGREES and RADIANS keep the argument's class: integers stay integers.
template <bool ToDegrees>
void Angle(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  Number n;
  if (!ArgNumber(ctx, argv[0], &n)) return;
  const double r = ToDegrees ? n.AsDouble() * 180.0 / M_PI : n.AsDouble() * M_PI / 180.0;
  if (n.isInt) return sqlite3_result_int64(ctx, static_cast<long long>(std::trunc(r)));
  sqlite3_result_double(ctx, r);
}

constexpr Impl kMath[] = {
    {"xf_log", 1, FloatOf<Log, true>, true},
    {"xf_log", 2, LogBase, true},
    {"xf_log10", 1, FloatOf<Log10, true>, true},
    {"xf_exp", 1, FloatOf<Exp, false>, true},
    {"xf_sin", 1, FloatOf<Sin, false>, true},
    {"xf_cos", 1, FloatOf<Cos, false>, true},
    {"xf_tan", 1, FloatOf<Tan, false>, true},
    {"xf_atan", 1, FloatOf<Atan, false>, true},
    {"xf_cot", 1, FloatOf<Cot, false>, true},
    {"xf_pi", 0, Pi, true},
    {"xf_rand", 0, Rand, false},
    {"xf_rand", 1, Rand, false},
    {"xf_degrees", 1, Angle<true>, true},
    {"xf_radians", 1, Angle<false>, true},
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
