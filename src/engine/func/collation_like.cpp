// The XFER collation and SQL Server's LIKE. Comparison folds ASCII letters and pads the
// shorter text with blanks, so trailing blanks never decide; LIKE matches %, _ (one
// character, not one byte), [set], [a-z], [^set] and an ESCAPE character, and ignores
// trailing blanks of the matched text while every character of the pattern counts.
#include <string>

#include "engine/func/func_common.h"
#include "engine/func/functions.h"

namespace xfer::engine {

int CompareText(std::string_view a, std::string_view b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    const auto ca = static_cast<unsigned char>(func::LowerAscii(a[i]));
    const auto cb = static_cast<unsigned char>(func::LowerAscii(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  // The shorter side continues as blanks.
  const std::string_view rest = a.size() > n ? a.substr(n) : b.substr(n);
  const int sign = a.size() > n ? 1 : -1;
  for (char c : rest) {
    const auto u = static_cast<unsigned char>(func::LowerAscii(c));
    if (u != ' ') return u < ' ' ? -sign : sign;
  }
  return 0;
}

namespace {

uint32_t FoldLower(uint32_t c) {
  return (c >= 'A' && c <= 'Z') ? c + 32 : c;
}
uint32_t FoldUpper(uint32_t c) {
  return (c >= 'a' && c <= 'z') ? c - 32 : c;
}

bool InRange(uint32_t c, uint32_t lo, uint32_t hi) {
  return (FoldLower(c) >= FoldLower(lo) && FoldLower(c) <= FoldLower(hi)) ||
         (FoldUpper(c) >= FoldUpper(lo) && FoldUpper(c) <= FoldUpper(hi));
}

// Whether the pattern token at `p` (not %) accepts character `c`; `next` gets the index after
// the token. A malformed token (unclosed '[', escape at the end) accepts nothing.
bool TokenAccepts(std::string_view pat, size_t p, uint32_t c, uint32_t escape, size_t* next) {
  size_t q;
  const uint32_t t = func::DecodeChar(pat, p, &q);
  if (escape != 0 && t == escape) {
    if (q >= pat.size()) {
      *next = pat.size();
      return false;
    }
    const uint32_t lit = func::DecodeChar(pat, q, next);
    return FoldLower(lit) == FoldLower(c);
  }
  *next = q;
  if (t == '_') return true;
  if (t != '[') return FoldLower(t) == FoldLower(c);
  const size_t close = pat.find(']', q + (q < pat.size() && pat[q] == '^' ? 1 : 0));
  if (close == std::string_view::npos) {
    *next = pat.size();
    return false;
  }
  *next = close + 1;
  size_t i = q;
  bool negate = false;
  if (i < close && pat[i] == '^') {
    negate = true;
    ++i;
  }
  bool hit = false;
  while (i < close) {
    size_t j;
    const uint32_t lo = func::DecodeChar(pat, i, &j);
    if (j + 1 < close && pat[j] == '-') {
      size_t k;
      const uint32_t hi = func::DecodeChar(pat, j + 1, &k);
      hit = hit || InRange(c, lo, hi);
      i = k;
    } else {
      hit = hit || FoldLower(lo) == FoldLower(c);
      i = j;
    }
  }
  return hit != negate;
}

bool AllBlanks(std::string_view s) {
  return s.find_first_not_of(' ') == std::string_view::npos;
}

bool LikeCore(std::string_view text, std::string_view pat, uint32_t escape) {
  const size_t npos = std::string_view::npos;
  size_t t = 0, p = 0, starP = npos, starT = 0;
  for (;;) {
    if (p < pat.size() && pat[p] == '%' && escape != '%') {
      while (p < pat.size() && pat[p] == '%') ++p;
      starP = p;
      starT = t;
      continue;
    }
    if (p == pat.size()) {
      if (AllBlanks(text.substr(t))) return true;
    } else if (t < text.size()) {
      size_t next;
      size_t tn;
      const uint32_t c = func::DecodeChar(text, t, &tn);
      if (TokenAccepts(pat, p, c, escape, &next)) {
        p = next;
        t = tn;
        continue;
      }
    }
    // Mismatch: let the last % swallow one more character.
    if (starP == npos || starT >= text.size()) return false;
    starT = func::NextChar(text, starT);
    t = starT;
    p = starP;
  }
}

int CollationCompare(void*, int n1, const void* p1, int n2, const void* p2) {
  return CompareText(std::string_view(static_cast<const char*>(p1), n1),
                     std::string_view(static_cast<const char*>(p2), n2));
}

// SQLite calls like(pattern, text [, escape]).
void LikeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (func::AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const std::string pattern = func::ArgText(argv[0]);
  const std::string text = func::ArgText(argv[1]);
  uint32_t escape = 0;
  if (argc == 3) {
    const std::string esc = func::ArgText(argv[2]);
    size_t next = 0;
    if (!esc.empty()) escape = func::DecodeChar(esc, 0, &next);
    if (esc.empty() || next != esc.size()) {
      return func::RaiseError(
          ctx, 506,
          "The invalid escape character \"" + esc + "\" was specified in a LIKE predicate.");
    }
  }
  sqlite3_result_int(ctx, LikeCore(text, pattern, escape) ? 1 : 0);
}

constexpr func::Impl kLike[] = {
    {"like", 2, LikeFunction, true},
    {"like", 3, LikeFunction, true},
};

}  // namespace

bool LikeMatch(std::string_view text, std::string_view pattern, char escape) {
  return LikeCore(text, pattern, static_cast<unsigned char>(escape));
}

namespace func {
std::span<const Impl> LikeImpls() {
  return kLike;
}

int RegisterCollation(sqlite3* db) {
  return sqlite3_create_collation_v2(db, kCollation, SQLITE_UTF8, nullptr, CollationCompare,
                                     nullptr);
}

// PATINDEX: position of the first match of a pattern that may start with %.
long long PatternIndex(std::string_view text, std::string_view pattern) {
  if (pattern.empty() || pattern.front() != '%') return LikeCore(text, pattern, 0) ? 1 : 0;
  while (!pattern.empty() && pattern.front() == '%') pattern.remove_prefix(1);
  long long pos = 1;
  for (size_t i = 0; i < text.size(); i = NextChar(text, i), ++pos) {
    if (LikeCore(text.substr(i), pattern, 0)) return pos;
  }
  return pattern.empty() ? 1 : 0;
}
}  // namespace func

}  // namespace xfer::engine
