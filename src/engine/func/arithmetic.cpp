// The run-time helpers behind SQL Server's operators when the renderer cannot tell the
// operand types: `+` (concatenate or add), `/` and `%` (integer or float), plus NULLIF,
// ISNUMERIC and the length check that guards varchar(n) columns on INSERT and UPDATE.
#include <climits>
#include <cmath>

#include "engine/func/date_value.h"
#include "engine/func/func_common.h"
#include "engine/func/functions.h"

namespace xfer::engine::func {
namespace {

bool IsNumericType(int t) {
  return t == SQLITE_INTEGER || t == SQLITE_FLOAT;
}

void ResultNumber(sqlite3_context* ctx, const Number& n) {
  if (n.isInt)
    sqlite3_result_int64(ctx, n.i);
  else
    sqlite3_result_double(ctx, n.d);
}

// Reads operand `v` of an arithmetic operator whose other operand is `other`. Text converts
// to the number it spells; failing that, the error names the type it was converted to.
bool Operand(sqlite3_context* ctx, sqlite3_value* v, sqlite3_value* other, Number* out) {
  const int type = sqlite3_value_type(v);
  if (IsNumericType(type)) return ArgNumber(ctx, v, out);
  const std::string text = ArgText(v);
  if (TextNumber(text, out)) return true;
  if (sqlite3_value_type(other) == SQLITE_FLOAT) {
    RaiseError(ctx, 8114, "Error converting data type varchar to float.");
  } else {
    RaiseError(
        ctx, 245,
        "Conversion failed when converting the varchar value '" + text + "' to data type int.");
  }
  return false;
}

void Overflow(sqlite3_context* ctx) {
  RaiseError(ctx, 8115, "Arithmetic overflow error converting expression to data type bigint.");
}

// datetime + number adds days. The engine keeps datetime values as text, so a text in exactly
// its stored form ('YYYY-MM-DD' or 'YYYY-MM-DD HH:MM:SS.mmm') is taken for one; any other text
// (a solar date such as '1402/01/01' included) converts to a number or fails as in SQL Server.
bool AddDays(sqlite3_context* ctx, sqlite3_value* dateArg, sqlite3_value* numArg) {
  const std::string text = ArgText(dateArg);
  DateTime d;
  if ((text.size() != 10 && text.size() != 23) || text[4] != '-' || text[7] != '-' ||
      !ParseDateText(text, &d))
    return false;
  const double days = sqlite3_value_double(numArg);
  DateTime r = FromMillis(ToMillis(d) + std::llround(days * 86400000.0));
  ResultText(ctx, d.dateOnly && days == std::trunc(days) ? FormatDate(r) : FormatDateTime(r));
  return true;
}

void Add(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const int ta = sqlite3_value_type(argv[0]);
  const int tb = sqlite3_value_type(argv[1]);
  if (ta == SQLITE_NULL || tb == SQLITE_NULL) return sqlite3_result_null(ctx);
  if (ta == SQLITE_BLOB && tb == SQLITE_BLOB) {
    const std::string s = ArgText(argv[0]) + ArgText(argv[1]);
    return sqlite3_result_blob(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
  }
  if (!IsNumericType(ta) && !IsNumericType(tb))
    return ResultText(ctx, ArgText(argv[0]) + ArgText(argv[1]));
  if (!IsNumericType(ta) && AddDays(ctx, argv[0], argv[1])) return;
  if (!IsNumericType(tb) && AddDays(ctx, argv[1], argv[0])) return;
  Number a, b;
  if (!Operand(ctx, argv[0], argv[1], &a) || !Operand(ctx, argv[1], argv[0], &b)) return;
  if (a.isInt && b.isInt) {
    long long r;
    if (__builtin_add_overflow(a.i, b.i, &r)) return Overflow(ctx);
    return sqlite3_result_int64(ctx, r);
  }
  sqlite3_result_double(ctx, a.AsDouble() + b.AsDouble());
}

template <bool Modulo>
void Divide(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0]) || IsNull(argv[1])) return sqlite3_result_null(ctx);
  Number a, b;
  if (!Operand(ctx, argv[0], argv[1], &a) || !Operand(ctx, argv[1], argv[0], &b)) return;
  if (b.AsDouble() == 0) return RaiseError(ctx, 8134, "Divide by zero error encountered.");
  if (a.isInt && b.isInt) {
    if (a.i == LLONG_MIN && b.i == -1) return Modulo ? sqlite3_result_int(ctx, 0) : Overflow(ctx);
    return sqlite3_result_int64(ctx, Modulo ? a.i % b.i : a.i / b.i);
  }
  const double r = Modulo ? std::fmod(a.AsDouble(), b.AsDouble()) : a.AsDouble() / b.AsDouble();
  ResultNumber(ctx, Number{false, 0, r});
}

// NULLIF compares as `=` does: text by the collation, numbers by value.
void NullIf(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  if (IsNull(argv[1])) return sqlite3_result_value(ctx, argv[0]);
  const bool numA = IsNumericType(sqlite3_value_type(argv[0]));
  const bool numB = IsNumericType(sqlite3_value_type(argv[1]));
  bool equal;
  if (!numA && !numB) {
    equal = CompareText(ArgText(argv[0]), ArgText(argv[1])) == 0;
  } else {
    Number a, b;
    if (!Operand(ctx, argv[0], argv[1], &a) || !Operand(ctx, argv[1], argv[0], &b)) return;
    equal = (a.isInt && b.isInt) ? a.i == b.i : a.AsDouble() == b.AsDouble();
  }
  if (equal) return sqlite3_result_null(ctx);
  sqlite3_result_value(ctx, argv[0]);
}

// ISNUMERIC accepts what converts to any numeric type, money included: currency sign, sign,
// digits with thousands commas, a point, an exponent. A lone sign, point or '$' counts too.
bool IsNumericText(std::string_view s) {
  while (!s.empty() &&
         (s.front() == ' ' || s.front() == '\t' || s.front() == '\r' || s.front() == '\n'))
    s.remove_prefix(1);
  while (!s.empty() &&
         (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
    s.remove_suffix(1);
  if (s.empty()) return false;
  size_t i = 0;
  if (i < s.size() && s[i] == '$') ++i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  if (i < s.size() && s[i] == '$') ++i;
  size_t digits = 0;
  while (i < s.size() && ((s[i] >= '0' && s[i] <= '9') || s[i] == ',')) digits += s[i++] != ',';
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  }
  if (i < s.size() && digits > 0 && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
  }
  return i == s.size();
}

void IsNumeric(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const int t = sqlite3_value_type(argv[0]);
  if (IsNumericType(t)) return sqlite3_result_int(ctx, 1);
  if (t != SQLITE_TEXT) return sqlite3_result_int(ctx, 0);
  sqlite3_result_int(ctx, IsNumericText(ArgText(argv[0])) ? 1 : 0);
}

// Trailing blanks past the column width are dropped silently, as SQL Server does for varchar.
void CheckLength(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0]) || IsNull(argv[1])) return sqlite3_result_int(ctx, 1);
  const long long n = sqlite3_value_int64(argv[1]);
  const std::string s = ArgText(argv[0]);
  const long long len = sqlite3_value_type(argv[0]) == SQLITE_BLOB
                            ? static_cast<long long>(s.size())
                            : static_cast<long long>(CharCount(TrimRightBlanks(s)));
  if (len > n) return RaiseError(ctx, 8152, "String or binary data would be truncated.");
  sqlite3_result_int(ctx, 1);
}

constexpr Impl kArithmetic[] = {
    {"xf_add", 2, Add, true},
    {"xf_div", 2, Divide<false>, true},
    {"xf_mod", 2, Divide<true>, true},
    {"xf_nullif", 2, NullIf, true},
    {"xf_isnumeric", 1, IsNumeric, true},
    {"xf_check_len", 2, CheckLength, true},
};

}  // namespace

std::span<const Impl> ArithmeticImpls() {
  return kArithmetic;
}

}  // namespace xfer::engine::func
