// Exact decimal arithmetic. Operands and results fit 128 bits (38 digits); a product of two
// 38-digit values or a dividend scaled up for the quotient's decimals does not, so those steps
// run on a small unsigned big integer of 32-bit words.
#include "engine/func/exact_decimal.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <vector>

namespace xfer::engine::func {
namespace {

using U128 = Uint128;

// Unsigned integer, least significant word first, no leading zero words.
struct Big {
  std::vector<uint32_t> w;

  static Big Of(U128 v) {
    Big b;
    while (v) {
      b.w.push_back(static_cast<uint32_t>(v));
      v >>= 32;
    }
    return b;
  }
  bool Zero() const { return w.empty(); }
  void Trim() {
    while (!w.empty() && w.back() == 0) w.pop_back();
  }
  bool ToU128(U128* out) const {
    if (w.size() > 4) return false;
    U128 v = 0;
    for (size_t i = w.size(); i-- > 0;) v = (v << 32) | w[i];
    *out = v;
    return true;
  }
  size_t Bits() const {
    if (w.empty()) return 0;
    return 32 * (w.size() - 1) + (32 - static_cast<size_t>(__builtin_clz(w.back())));
  }
  bool Bit(size_t i) const { return (w[i / 32] >> (i % 32)) & 1; }
};

void MulSmall(Big& b, uint32_t m) {
  uint64_t carry = 0;
  for (auto& x : b.w) {
    uint64_t p = static_cast<uint64_t>(x) * m + carry;
    x = static_cast<uint32_t>(p);
    carry = p >> 32;
  }
  if (carry) b.w.push_back(static_cast<uint32_t>(carry));
  b.Trim();
}

void MulPow10(Big& b, int n) {
  for (; n >= 9; n -= 9) MulSmall(b, 1000000000u);
  static const uint32_t kPow[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
  if (n > 0) MulSmall(b, kPow[n]);
}

Big Pow10(int n) {
  Big b = Big::Of(1);
  MulPow10(b, n);
  return b;
}

Big Mul(const Big& a, const Big& b) {
  Big r;
  if (a.Zero() || b.Zero()) return r;
  r.w.assign(a.w.size() + b.w.size(), 0);
  for (size_t i = 0; i < a.w.size(); ++i) {
    uint64_t carry = 0;
    for (size_t j = 0; j < b.w.size(); ++j) {
      uint64_t t = static_cast<uint64_t>(a.w[i]) * b.w[j] + r.w[i + j] + carry;
      r.w[i + j] = static_cast<uint32_t>(t);
      carry = t >> 32;
    }
    r.w[i + b.w.size()] = static_cast<uint32_t>(carry);
  }
  r.Trim();
  return r;
}

int Cmp(const Big& a, const Big& b) {
  if (a.w.size() != b.w.size()) return a.w.size() < b.w.size() ? -1 : 1;
  for (size_t i = a.w.size(); i-- > 0;)
    if (a.w[i] != b.w[i]) return a.w[i] < b.w[i] ? -1 : 1;
  return 0;
}

Big Add(const Big& a, const Big& b) {
  Big r;
  const size_t n = std::max(a.w.size(), b.w.size());
  r.w.resize(n + 1);
  uint64_t carry = 0;
  for (size_t i = 0; i < n; ++i) {
    uint64_t t = carry + (i < a.w.size() ? a.w[i] : 0) + (i < b.w.size() ? b.w[i] : 0);
    r.w[i] = static_cast<uint32_t>(t);
    carry = t >> 32;
  }
  r.w[n] = static_cast<uint32_t>(carry);
  r.Trim();
  return r;
}

// a - b with a >= b.
Big Sub(const Big& a, const Big& b) {
  Big r = a;
  int64_t borrow = 0;
  for (size_t i = 0; i < r.w.size(); ++i) {
    int64_t t = static_cast<int64_t>(r.w[i]) - borrow - (i < b.w.size() ? b.w[i] : 0);
    borrow = t < 0;
    r.w[i] = static_cast<uint32_t>(t + (borrow << 32));
  }
  r.Trim();
  return r;
}

void ShiftLeft1(Big& b) {
  uint32_t carry = 0;
  for (auto& x : b.w) {
    uint32_t next = x >> 31;
    x = (x << 1) | carry;
    carry = next;
  }
  if (carry) b.w.push_back(carry);
}

// Binary long division; the operands here are a few hundred bits at most.
void DivMod(const Big& num, const Big& den, Big* q, Big* r) {
  Big quot, rem;
  const size_t bits = num.Bits();
  quot.w.assign(num.w.size(), 0);
  for (size_t i = bits; i-- > 0;) {
    ShiftLeft1(rem);
    if (num.Bit(i)) {
      if (rem.w.empty()) rem.w.push_back(0);
      rem.w[0] |= 1;
    }
    if (Cmp(rem, den) >= 0) {
      rem = Sub(rem, den);
      quot.w[i / 32] |= 1u << (i % 32);
    }
  }
  quot.Trim();
  *q = std::move(quot);
  *r = std::move(rem);
}

// num / den rounded half away from zero.
Big DivRound(const Big& num, const Big& den) {
  Big q, r;
  DivMod(num, den, &q, &r);
  ShiftLeft1(r);
  if (Cmp(r, den) >= 0) q = Add(q, Big::Of(1));
  return q;
}

// A signed intermediate result at some scale.
struct Wide {
  bool negative = false;
  Big mag;
  int scale = 0;
};

Wide Widen(const Decimal& d) {
  return Wide{d.negative, Big::Of(d.digits), d.scale};
}

Big Aligned(const Decimal& d, int scale) {
  Big b = Big::Of(d.digits);
  MulPow10(b, scale - d.scale);
  return b;
}

U128 Pow10U(int n) {
  U128 v = 1;
  while (n-- > 0) v *= 10;
  return v;
}

// The common case in 128 bits: a magnitude at `from` places brought to `scale` places.
bool Narrow128(bool negative, U128 mag, int from, int precision, int scale, DecimalStatus* status,
               Decimal* out) {
  if (from > scale) {
    const U128 p = Pow10U(from - scale);
    const U128 r = mag % p;
    mag /= p;
    if (r >= p - r) ++mag;
  } else if (from < scale) {
    const U128 p = Pow10U(scale - from);
    if (mag > (~static_cast<U128>(0)) / p) return false;
    mag *= p;
  }
  *status = mag >= Pow10U(std::min(precision, kMaxDecimalDigits)) ? DecimalStatus::Overflow
                                                                  : DecimalStatus::Ok;
  if (*status == DecimalStatus::Ok) {
    out->digits = mag;
    out->scale = scale;
    out->negative = negative && mag != 0;
  }
  return true;
}

constexpr U128 kU64 = static_cast<U128>(1) << 64;

DecimalStatus Narrow(Wide w, int precision, int scale, Decimal* out) {
  if (w.scale > scale) {
    w.mag = DivRound(w.mag, Pow10(w.scale - scale));
  } else if (w.scale < scale) {
    MulPow10(w.mag, scale - w.scale);
  }
  if (Cmp(w.mag, Pow10(std::min(precision, kMaxDecimalDigits))) >= 0)
    return DecimalStatus::Overflow;
  U128 v = 0;
  w.mag.ToU128(&v);
  out->digits = v;
  out->scale = scale;
  out->negative = w.negative && v != 0;
  return DecimalStatus::Ok;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

bool ParseDecimal(std::string_view s, Decimal* out) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  std::string digits;
  int scale = 0;
  bool point = false, any = false;
  for (; i < s.size(); ++i) {
    char c = s[i];
    if (c >= '0' && c <= '9') {
      any = true;
      if (digits.empty() && c == '0' && !point) continue;
      digits += c;
      if (point) ++scale;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (!any) return false;
  if (i < s.size()) {
    if (s[i] != 'e' && s[i] != 'E') return false;
    size_t at = i + 1;
    if (at < s.size() && s[at] == '+') ++at;
    int exponent = 0;
    auto [end, ec] = std::from_chars(s.data() + at, s.data() + s.size(), exponent);
    if (ec != std::errc() || end != s.data() + s.size() || exponent > 2 * kMaxDecimalDigits ||
        exponent < -2 * kMaxDecimalDigits)
      return false;
    scale -= exponent;
  }
  if (scale < 0) {
    if (digits.find_first_not_of('0') != std::string::npos) digits.append(-scale, '0');
    scale = 0;
  }
  // Leading zeros of a fraction are no significant digits.
  size_t first = digits.find_first_not_of('0');
  digits = first == std::string::npos ? "" : digits.substr(first);
  Wide w{negative, Big{}, scale};
  if (static_cast<int>(digits.size()) > kMaxDecimalDigits) {
    int drop = static_cast<int>(digits.size()) - kMaxDecimalDigits;
    if (drop > scale) return false;
    for (char c : digits) {
      MulSmall(w.mag, 10);
      w.mag = Add(w.mag, Big::Of(static_cast<U128>(c - '0')));
    }
    return Narrow(w, kMaxDecimalDigits, scale - drop, out) == DecimalStatus::Ok;
  }
  U128 v = 0;
  for (char c : digits) v = v * 10 + static_cast<U128>(c - '0');
  out->negative = negative && v != 0;
  out->digits = v;
  out->scale = std::min(scale, kMaxDecimalDigits);
  if (scale > kMaxDecimalDigits)
    return Rescale(*out, kMaxDecimalDigits, kMaxDecimalDigits, out) == DecimalStatus::Ok;
  return true;
}

bool DecimalFromDouble(double x, int scale, Decimal* out) {
  if (!std::isfinite(x)) return false;
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, x);
  if (ec != std::errc() || !ParseDecimal(std::string_view(buf, end - buf), out)) return false;
  if (scale >= 0 && out->scale > scale)
    return Rescale(*out, kMaxDecimalDigits, scale, out) == DecimalStatus::Ok;
  return true;
}

Decimal DecimalFromInt(long long x) {
  Decimal d;
  d.negative = x < 0;
  d.digits = x < 0 ? static_cast<U128>(-(x + 1)) + 1 : static_cast<U128>(x);
  return d;
}

Value StoredDecimal(const Decimal& d) {
  // Trailing zeros of the fraction say nothing of the value.
  Decimal v = d;
  while (v.scale > 0 && v.digits % 10 == 0) {
    v.digits /= 10;
    --v.scale;
  }
  if (v.scale == 0 && v.digits <= static_cast<Uint128>(INT64_MAX))
    return v.negative ? -static_cast<long long>(v.digits) : static_cast<long long>(v.digits);
  int significant = 0;
  for (Uint128 x = v.digits; x; x /= 10) ++significant;
  std::string text = DecimalText(v);
  if (significant <= 15) return std::strtod(text.c_str(), nullptr);
  return text;
}

std::string DecimalText(const Decimal& d) {
  std::string digits;
  U128 v = d.digits;
  do {
    digits += static_cast<char>('0' + static_cast<int>(v % 10));
    v /= 10;
  } while (v);
  if (static_cast<int>(digits.size()) <= d.scale) digits.append(d.scale + 1 - digits.size(), '0');
  std::reverse(digits.begin(), digits.end());
  if (d.scale > 0) digits.insert(digits.size() - static_cast<size_t>(d.scale), ".");
  return (d.negative ? "-" : "") + digits;
}

DecimalStatus Rescale(const Decimal& d, int precision, int scale, Decimal* out) {
  return Narrow(Widen(d), precision, scale, out);
}

DecimalStatus DecimalArithmetic(char op, const Decimal& a, const Decimal& b, int precision,
                                int scale, Decimal* out) {
  // Amounts of everyday size stay in 128 bits; the general path below is for the rest.
  DecimalStatus status;
  const int common = std::max(a.scale, b.scale);
  if ((op == '+' || op == '-') && a.digits < kU64 && b.digits < kU64 &&
      common - std::min(a.scale, b.scale) <= 18) {
    const U128 x = a.digits * Pow10U(common - a.scale), y = b.digits * Pow10U(common - b.scale);
    const bool yNegative = op == '-' ? !b.negative : b.negative;
    bool negative = a.negative;
    U128 r;
    if (a.negative == yNegative) {
      r = x + y;
    } else if (x >= y) {
      r = x - y;
    } else {
      r = y - x;
      negative = yNegative;
    }
    if (Narrow128(negative, r, common, precision, scale, &status, out)) return status;
  }
  if (op == '*' && a.digits < kU64 && b.digits < (kU64 >> 1) &&
      Narrow128(a.negative != b.negative, a.digits * b.digits, a.scale + b.scale, precision, scale,
                &status, out))
    return status;
  if (op == '/' && b.digits != 0) {
    const int e = scale - a.scale + b.scale;
    if (e >= 0 && e <= kMaxDecimalDigits && a.digits <= (~static_cast<U128>(0) >> 1) / Pow10U(e)) {
      const U128 num = a.digits * Pow10U(e), den = b.digits;
      U128 q = num / den;
      const U128 r = num % den;
      if (r >= den - r) ++q;
      if (Narrow128(a.negative != b.negative, q, scale, precision, scale, &status, out))
        return status;
    }
  }
  Wide w;
  switch (op) {
    case '+':
    case '-': {
      w.scale = std::max(a.scale, b.scale);
      Big x = Aligned(a, w.scale), y = Aligned(b, w.scale);
      bool yNegative = op == '-' ? !b.negative : b.negative;
      if (a.negative == yNegative) {
        w.mag = Add(x, y);
        w.negative = a.negative;
      } else if (Cmp(x, y) >= 0) {
        w.mag = Sub(x, y);
        w.negative = a.negative;
      } else {
        w.mag = Sub(y, x);
        w.negative = yNegative;
      }
      break;
    }
    case '*':
      w.mag = Mul(Big::Of(a.digits), Big::Of(b.digits));
      w.scale = a.scale + b.scale;
      w.negative = a.negative != b.negative;
      break;
    case '/': {
      if (b.digits == 0) return DecimalStatus::DivideByZero;
      // a / b at `scale` places is a * 10^(scale - sa + sb) / b, rounded once.
      int e = scale - a.scale + b.scale;
      Big num = Big::Of(a.digits), den = Big::Of(b.digits);
      MulPow10(num, std::max(e, 0));
      MulPow10(den, std::max(-e, 0));
      w.mag = DivRound(num, den);
      w.scale = scale;
      w.negative = a.negative != b.negative;
      break;
    }
    default: {  // %: the remainder of the truncated quotient takes the dividend's sign
      if (b.digits == 0) return DecimalStatus::DivideByZero;
      w.scale = std::max(a.scale, b.scale);
      Big q;
      DivMod(Aligned(a, w.scale), Aligned(b, w.scale), &q, &w.mag);
      w.negative = a.negative;
      break;
    }
  }
  return Narrow(std::move(w), precision, scale, out);
}

int CompareDecimal(const Decimal& a, const Decimal& b) {
  if (a.negative != b.negative) return a.negative ? -1 : 1;
  const int scale = std::max(a.scale, b.scale);
  int c = Cmp(Aligned(a, scale), Aligned(b, scale));
  return a.negative ? -c : c;
}

}  // namespace xfer::engine::func
