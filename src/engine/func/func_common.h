// Internal helpers shared by the SQLite function implementations: UTF-8 walking, reading
// arguments as SQL Server would convert them, number parsing and formatting, and the one way
// a function reports a SQL Server error back through SQLite.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace xfer::engine::func {

using Callback = void (*)(sqlite3_context*, int, sqlite3_value**);

// One SQLite function to register; nArg -1 takes any number of arguments.
struct Impl {
  const char* name;
  int nArg;
  Callback fn;
  bool deterministic;
};

std::span<const Impl> LikeImpls();
std::span<const Impl> StringImpls();
std::span<const Impl> MathImpls();
std::span<const Impl> ArithmeticImpls();
std::span<const Impl> CastImpls();
std::span<const Impl> DateImpls();
std::span<const Impl> FormatImpls();
int RegisterCollation(sqlite3* db);

// PATINDEX's search: 1-based position of the first match, 0 when none.
long long PatternIndex(std::string_view text, std::string_view pattern);

// Reports `message` as SQL Server error `number`: the text carries the "@NNN@" prefix the
// executor decodes.
void RaiseError(sqlite3_context* ctx, int number, const std::string& message);
// The user data of a function whose errors become NULL (xf_try_cast).
inline const int kTryConversion = 0;
// xf_cast(value, type [, style [, sourceType]]), also installed as xf_try_cast.
void CastFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv);

// --- exact numerics (decimal_functions.cpp) ---------------------------------------------
struct Decimal;
// xf_dec and the exact SUM and AVG aggregates.
int RegisterDecimalFunctions(sqlite3* db);
// A numeric argument as an exact decimal; a REAL is read back at `scale` places (-1: by its
// shortest form). Text that is no number raises 8114 naming `typeName` and returns false.
bool ArgDecimal(sqlite3_context* ctx, sqlite3_value* v, int scale, const char* typeName,
                Decimal* out);
// The result as an INTEGER when whole, a REAL up to 15 significant digits, else its text.
void ResultDecimal(sqlite3_context* ctx, const Decimal& d);
// False when `d` lies outside money's (or smallmoney's) range; true for other type names.
bool MoneyRange(const Decimal& d, const std::string& typeName);

// --- UTF-8 -------------------------------------------------------------------------------
// Byte index just past the character starting at `i`; a stray byte counts as one character.
size_t NextChar(std::string_view s, size_t i);
// The code point starting at `i` (a stray byte decodes as itself); `next` gets the index after.
uint32_t DecodeChar(std::string_view s, size_t i, size_t* next);
void AppendChar(std::string& out, uint32_t cp);
size_t CharCount(std::string_view s);
// Byte index of character `n` (0-based); s.size() when the text is shorter.
size_t ByteOfChar(std::string_view s, size_t n);
inline char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}
inline char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}
std::string_view TrimRightBlanks(std::string_view s);
std::string_view TrimBlanks(std::string_view s);

// --- arguments ---------------------------------------------------------------------------
inline bool IsNull(sqlite3_value* v) {
  return sqlite3_value_type(v) == SQLITE_NULL;
}
bool AnyNull(int argc, sqlite3_value** argv);
// The argument as text the way string functions see it: integers as digits, floats in their
// shortest decimal form, text and blobs as their bytes.
std::string ArgText(sqlite3_value* v);
void ResultText(sqlite3_context* ctx, const std::string& s);

// --- numbers -----------------------------------------------------------------------------
enum class ParseStatus { Ok, Invalid, Overflow };
// A whole text as an integer: blanks around, optional sign, digits. Blank text reads as 0.
ParseStatus ParseIntText(std::string_view s, long long* out);
// A whole text as a number: blanks around, sign, digits, point, exponent.
std::optional<double> ParseFloatText(std::string_view s);
// True when the text has a decimal point or exponent (so it is not an integer literal).
bool LooksFractional(std::string_view s);
// A number read from an argument: integer or float.
struct Number {
  bool isInt = true;
  long long i = 0;
  double d = 0;
  double AsDouble() const { return isInt ? static_cast<double>(i) : d; }
};
// Reads a text as an integer, or as a float when it has a point, exponent or overflows.
bool TextNumber(std::string_view s, Number* out);
// A non-NULL argument as a number; text that is no number raises 8114 (varchar to float) and
// returns false.
bool ArgNumber(sqlite3_context* ctx, sqlite3_value* v, Number* out);
// Rounds at `decimals` places (negative: left of the point), half away from zero, on the
// value's shortest decimal form so 2.675 rounds like the decimal literal it came from.
double RoundDecimal(double x, int decimals, bool truncate = false);
// Integer rounding at 10^-decimals (decimals < 0), half away from zero.
long long RoundInteger(long long x, int decimals, bool truncate = false);
// Float as CONVERT style 0 writes it: at most 6 significant digits, 3-digit exponent.
std::string FloatStyle0(double x);
// Float with exactly `digits` digits after the point in scientific form (styles 1 and 2).
std::string FloatScientific(double x, int digits);
// Shortest decimal text that reads back as the same double (up to 15 digits).
std::string FloatShort(double x);

}  // namespace xfer::engine::func
