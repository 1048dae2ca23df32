// Shared helpers of the SQLite function implementations: UTF-8, argument text, number
// parsing, decimal rounding and float formatting.
#include "engine/func/func_common.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace xfer::engine::func {

size_t NextChar(std::string_view s, size_t i) {
  DecodeChar(s, i, &i);
  return i;
}

uint32_t DecodeChar(std::string_view s, size_t i, size_t* next) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  int extra = 0;
  uint32_t cp = b0;
  if (b0 >= 0xF0 && b0 < 0xF8) {
    extra = 3;
    cp = b0 & 0x07;
  } else if (b0 >= 0xE0) {
    extra = b0 < 0xF0 ? 2 : 0;
    cp = b0 & 0x0F;
  } else if (b0 >= 0xC0) {
    extra = 1;
    cp = b0 & 0x1F;
  }
  if (extra == 0 || i + extra >= s.size()) {
    *next = i + 1;
    return b0;
  }
  for (int k = 1; k <= extra; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) {
      *next = i + 1;
      return b0;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  *next = i + 1 + extra;
  return cp;
}

void AppendChar(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

size_t CharCount(std::string_view s) {
  size_t n = 0;
  for (size_t i = 0; i < s.size(); i = NextChar(s, i)) ++n;
  return n;
}

size_t ByteOfChar(std::string_view s, size_t n) {
  size_t i = 0;
  while (n > 0 && i < s.size()) {
    i = NextChar(s, i);
    --n;
  }
  return i;
}

std::string_view TrimRightBlanks(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  return TrimRightBlanks(s);
}

bool AnyNull(int argc, sqlite3_value** argv) {
  for (int i = 0; i < argc; ++i)
    if (IsNull(argv[i])) return true;
  return false;
}

std::string ArgText(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
      return {};
    case SQLITE_FLOAT:
      return FloatShort(sqlite3_value_double(v));
    case SQLITE_BLOB: {
      const void* p = sqlite3_value_blob(v);
      return p ? std::string(static_cast<const char*>(p), sqlite3_value_bytes(v)) : std::string();
    }
    default: {
      const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
      return p ? std::string(p, sqlite3_value_bytes(v)) : std::string();
    }
  }
}

void ResultText(sqlite3_context* ctx, const std::string& s) {
  sqlite3_result_text(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

ParseStatus ParseIntText(std::string_view s, long long* out) {
  s = TrimBlanks(s);
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  // Magnitudes are accumulated negatively so the most negative value fits.
  long long v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return ParseStatus::Invalid;
    if (__builtin_mul_overflow(v, 10LL, &v) || __builtin_sub_overflow(v, c - '0', &v))
      return ParseStatus::Overflow;
  }
  if (!negative) {
    if (v == LLONG_MIN) return ParseStatus::Overflow;
    v = -v;
  }
  *out = v;
  return ParseStatus::Ok;
}

std::optional<double> ParseFloatText(std::string_view s) {
  s = TrimBlanks(s);
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  size_t digits = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t expDigits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++expDigits;
    if (expDigits == 0) return std::nullopt;
  }
  if (i != s.size()) return std::nullopt;
  const std::string copy(s);
  const double v = std::strtod(copy.c_str(), nullptr);
  if (!std::isfinite(v)) return std::nullopt;
  return v;
}

bool LooksFractional(std::string_view s) {
  return s.find_first_of(".eE") != std::string_view::npos;
}

bool TextNumber(std::string_view s, Number* out) {
  long long i;
  if (ParseIntText(s, &i) == ParseStatus::Ok) {  // blank text reads as 0, as SQL Server does
    *out = Number{true, i, 0};
    return true;
  }
  if (const auto d = ParseFloatText(s)) {
    *out = Number{false, 0, *d};
    return true;
  }
  return false;
}

bool ArgNumber(sqlite3_context* ctx, sqlite3_value* v, Number* out) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
      *out = Number{true, sqlite3_value_int64(v), 0};
      return true;
    case SQLITE_FLOAT:
      *out = Number{false, 0, sqlite3_value_double(v)};
      return true;
    default:
      if (TextNumber(ArgText(v), out)) return true;
      RaiseError(ctx, 8114, "Error converting data type varchar to float.");
      return false;
  }
}

double RoundDecimal(double x, int decimals, bool truncate) {
  if (!std::isfinite(x) || x == 0) return x;
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(x));
  // buf: d.dddddddddddddde[+-]XX -> 15 digits and the exponent of the first one.
  std::string digits;
  digits += buf[0];
  digits.append(buf + 2, 14);
  const int exponent = std::atoi(buf + 17);
  const int keep = exponent + decimals + 1;
  if (keep >= 15) return x;
  if (keep < 0) return 0.0;
  long long n = keep == 0 ? 0 : std::atoll(digits.substr(0, keep).c_str());
  if (!truncate && digits[keep] >= '5') ++n;
  double r = static_cast<double>(n);
  if (decimals > 0)
    r /= std::pow(10.0, decimals);
  else if (decimals < 0)
    r *= std::pow(10.0, -decimals);
  return x < 0 ? -r : r;
}

long long RoundInteger(long long x, int decimals, bool truncate) {
  if (decimals >= 0) return x;
  if (decimals <= -19) return 0;
  long long p = 1;
  for (int i = 0; i < -decimals; ++i) p *= 10;
  long long q = x / p;
  const long long r = x % p;
  if (!truncate && (r >= 0 ? r : -r) * 2 >= p) q += x < 0 ? -1 : 1;
  return q * p;
}

namespace {
// Widens the exponent of C's %e/%g output to three digits ("e+06" -> "e+006").
std::string ThreeDigitExponent(std::string s) {
  const size_t e = s.find('e');
  if (e == std::string::npos || e + 2 > s.size()) return s;
  std::string exp = s.substr(e + 2);
  while (exp.size() < 3) exp.insert(exp.begin(), '0');
  return s.substr(0, e + 2) + exp;
}
}  // namespace

std::string FloatStyle0(double x) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.6g", x);
  return ThreeDigitExponent(buf);
}

std::string FloatScientific(double x, int digits) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", digits, x);
  return ThreeDigitExponent(buf);
}

std::string FloatShort(double x) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", x);
  return buf;
}

}  // namespace xfer::engine::func
