// SQL Server's string functions over UTF-8 text: lengths and positions count characters,
// searches fold ASCII case like the collation, NULL arguments give NULL.
#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/func/func_common.h"

namespace xfer::engine::func {
namespace {

// Larger results are refused rather than built (SQLite's own limit is 1e9 bytes).
constexpr long long kMaxResultBytes = 1000000000;

bool IsBlob(sqlite3_value* v) {
  return sqlite3_value_type(v) == SQLITE_BLOB;
}

void ResultLike(sqlite3_context* ctx, sqlite3_value* source, const std::string& s) {
  if (IsBlob(source))
    sqlite3_result_blob(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
  else
    ResultText(ctx, s);
}

// Characters [from, to) of s, 0-based; binary values count bytes.
std::string Slice(sqlite3_value* source, const std::string& s, long long from, long long to) {
  if (to <= from) return {};
  if (IsBlob(source)) {
    if (from >= static_cast<long long>(s.size())) return {};
    return s.substr(from, to - from);
  }
  const size_t b = ByteOfChar(s, from);
  const size_t e = ByteOfChar(s, to);
  return s.substr(b, e - b);
}

long long Length(sqlite3_value* source, const std::string& s) {
  return IsBlob(source) ? static_cast<long long>(s.size()) : static_cast<long long>(CharCount(s));
}

// Text argument read in place, without a copy.
std::string_view TextOf(sqlite3_value* v) {
  const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
  return p ? std::string_view(p, static_cast<size_t>(sqlite3_value_bytes(v))) : std::string_view();
}

// Characters [from, from + count) of a text value, or its last `count` characters when
// `fromEnd`; the value itself when that is all of it.
void ResultPart(sqlite3_context* ctx, sqlite3_value* v, long long from, long long count,
                bool fromEnd) {
  const std::string_view s = TextOf(v);
  if (fromEnd) {
    const auto len = static_cast<long long>(CharCount(s));
    from = len > count ? len - count : 0;
  }
  const size_t b = ByteOfChar(s, static_cast<size_t>(from));
  const size_t e = b + ByteOfChar(s.substr(b), static_cast<size_t>(count));
  if (b == 0 && e == s.size()) return sqlite3_result_value(ctx, v);
  sqlite3_result_text(ctx, s.data() + b, static_cast<int>(e - b), SQLITE_TRANSIENT);
}

void Substring(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const long long start = sqlite3_value_int64(argv[1]);
  const long long len = sqlite3_value_int64(argv[2]);
  if (len < 0)
    return RaiseError(ctx, 537,
                      "Invalid length parameter passed to the LEFT or SUBSTRING function.");
  const std::string s = ArgText(argv[0]);
  // Positions before 1 use up part of the length.
  const long long from = start < 1 ? 0 : start - 1;
  long long to;
  if (__builtin_add_overflow(start, len - 1, &to)) to = start > 0 ? LLONG_MAX : LLONG_MIN;
  ResultLike(ctx, argv[0], Slice(argv[0], s, from, to));
}

void Left(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const long long n = sqlite3_value_int64(argv[1]);
  if (n < 0)
    return RaiseError(ctx, 537,
                      "Invalid length parameter passed to the LEFT or SUBSTRING function.");
  if (sqlite3_value_type(argv[0]) == SQLITE_TEXT) return ResultPart(ctx, argv[0], 0, n, false);
  const std::string s = ArgText(argv[0]);
  ResultLike(ctx, argv[0], Slice(argv[0], s, 0, n));
}

void Right(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const long long n = sqlite3_value_int64(argv[1]);
  if (n < 0) return RaiseError(ctx, 536, "Invalid length parameter passed to the RIGHT function.");
  if (sqlite3_value_type(argv[0]) == SQLITE_TEXT) return ResultPart(ctx, argv[0], 0, n, true);
  const std::string s = ArgText(argv[0]);
  const long long len = Length(argv[0], s);
  ResultLike(ctx, argv[0], Slice(argv[0], s, len > n ? len - n : 0, len));
}

void Len(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  const std::string s = ArgText(argv[0]);
  if (IsBlob(argv[0])) return sqlite3_result_int64(ctx, static_cast<long long>(s.size()));
  sqlite3_result_int64(ctx, static_cast<long long>(CharCount(TrimRightBlanks(s))));
}

// Text counts one byte per character, as varchar does on a single-byte code page.
void DataLength(sqlite3_context* ctx, int, sqlite3_value** argv) {
  switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
      return sqlite3_result_null(ctx);
    case SQLITE_INTEGER: {
      const long long v = sqlite3_value_int64(argv[0]);
      return sqlite3_result_int(ctx, v >= INT32_MIN && v <= INT32_MAX ? 4 : 8);
    }
    case SQLITE_FLOAT:
      return sqlite3_result_int(ctx, 8);
    case SQLITE_BLOB:
      return sqlite3_result_int(ctx, sqlite3_value_bytes(argv[0]));
    default:
      return sqlite3_result_int64(ctx, static_cast<long long>(CharCount(ArgText(argv[0]))));
  }
}

// Byte position of `find` in `s` at or after byte `from`, folding ASCII case.
size_t FindFolded(std::string_view s, std::string_view find, size_t from) {
  if (find.empty() || find.size() > s.size()) return std::string_view::npos;
  for (size_t i = from; i + find.size() <= s.size(); ++i) {
    size_t k = 0;
    while (k < find.size() && LowerAscii(s[i + k]) == LowerAscii(find[k])) ++k;
    if (k == find.size()) return i;
  }
  return std::string_view::npos;
}

void CharIndex(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const std::string find = ArgText(argv[0]);
  const std::string s = ArgText(argv[1]);
  long long start = argc > 2 ? sqlite3_value_int64(argv[2]) : 1;
  if (start < 1) start = 1;
  const size_t from = ByteOfChar(s, start - 1);
  const size_t at = FindFolded(s, find, from);
  if (at == std::string::npos) return sqlite3_result_int(ctx, 0);
  sqlite3_result_int64(ctx,
                       static_cast<long long>(CharCount(std::string_view(s).substr(0, at))) + 1);
}

void PatIndex(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  sqlite3_result_int64(ctx, PatternIndex(ArgText(argv[1]), ArgText(argv[0])));
}

// Trims blanks, or any character of the optional second argument.
std::string TrimSide(const std::string& s, const std::string* chars, bool left, bool right) {
  auto strip = [&](uint32_t c) {
    if (!chars) return c == ' ';
    for (size_t i = 0; i < chars->size();) {
      if (DecodeChar(*chars, i, &i) == c) return true;
    }
    return false;
  };
  size_t b = 0;
  size_t e = s.size();
  if (left) {
    while (b < e) {
      size_t n;
      if (!strip(DecodeChar(s, b, &n))) break;
      b = n;
    }
  }
  if (right) {
    while (e > b) {
      size_t p = e - 1;
      while (p > b && (static_cast<unsigned char>(s[p]) & 0xC0) == 0x80) --p;
      size_t n;
      if (!strip(DecodeChar(s, p, &n)) || n != e) break;
      e = p;
    }
  }
  return s.substr(b, e - b);
}

template <bool L, bool R>
void Trim(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  // Blanks are single bytes in UTF-8: plain text trims in place.
  if (argc == 1 && sqlite3_value_type(argv[0]) == SQLITE_TEXT) {
    const std::string_view s = TextOf(argv[0]);
    size_t b = 0, e = s.size();
    if (L)
      while (b < e && s[b] == ' ') ++b;
    if (R)
      while (e > b && s[e - 1] == ' ') --e;
    if (b == 0 && e == s.size()) return sqlite3_result_value(ctx, argv[0]);
    return sqlite3_result_text(ctx, s.data() + b, static_cast<int>(e - b), SQLITE_TRANSIENT);
  }
  const std::string chars = argc > 1 ? ArgText(argv[1]) : std::string();
  ResultText(ctx, TrimSide(ArgText(argv[0]), argc > 1 ? &chars : nullptr, L, R));
}

template <bool Upper>
void ChangeCase(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  std::string s = ArgText(argv[0]);
  for (char& c : s) c = Upper ? UpperAscii(c) : LowerAscii(c);
  ResultText(ctx, s);
}

void Replace(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const std::string s = ArgText(argv[0]);
  const std::string find = ArgText(argv[1]);
  const std::string with = ArgText(argv[2]);
  std::string out;
  size_t from = 0;
  for (size_t at; (at = FindFolded(s, find, from)) != std::string::npos; from = at + find.size()) {
    out.append(s, from, at - from);
    out += with;
  }
  out.append(s, from, std::string::npos);
  ResultText(ctx, out);
}

void Replicate(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const long long n = sqlite3_value_int64(argv[1]);
  if (n < 0) return sqlite3_result_null(ctx);
  const std::string s = ArgText(argv[0]);
  if (!s.empty() && n > kMaxResultBytes / static_cast<long long>(s.size()))
    return sqlite3_result_error_toobig(ctx);
  std::string out;
  out.reserve(s.size() * static_cast<size_t>(n));
  for (long long i = 0; i < n; ++i) out += s;
  ResultText(ctx, out);
}

void Space(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  const long long n = sqlite3_value_int64(argv[0]);
  if (n < 0) return sqlite3_result_null(ctx);
  if (n > kMaxResultBytes) return sqlite3_result_error_toobig(ctx);
  ResultText(ctx, std::string(static_cast<size_t>(n), ' '));
}

void Reverse(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  const std::string s = ArgText(argv[0]);
  std::string out;
  out.reserve(s.size());
  for (size_t e = s.size(); e > 0;) {
    size_t b = e - 1;
    while (b > 0 && (static_cast<unsigned char>(s[b]) & 0xC0) == 0x80 && e - b < 4) --b;
    if (NextChar(s, b) != e) b = e - 1;  // a stray byte stays one character
    out.append(s, b, e - b);
    e = b;
  }
  ResultText(ctx, out);
}

void Stuff(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0]) || IsNull(argv[1]) || IsNull(argv[2])) return sqlite3_result_null(ctx);
  const std::string s = ArgText(argv[0]);
  const long long start = sqlite3_value_int64(argv[1]);
  const long long len = sqlite3_value_int64(argv[2]);
  const long long count = static_cast<long long>(CharCount(s));
  if (start < 1 || start > count || len < 0) return sqlite3_result_null(ctx);
  const size_t b = ByteOfChar(s, start - 1);
  const size_t e = ByteOfChar(s, len > LLONG_MAX - start ? LLONG_MAX : start - 1 + len);
  ResultText(ctx, s.substr(0, b) + ArgText(argv[3]) + s.substr(e));
}

void Char(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  const long long n = sqlite3_value_int64(argv[0]);
  if (n < 0 || n > 255) return sqlite3_result_null(ctx);
  std::string out;
  AppendChar(out, static_cast<uint32_t>(n));  // 128..255 read as Latin-1
  ResultText(ctx, out);
}

void NChar(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  const long long n = sqlite3_value_int64(argv[0]);
  if (n < 0 || n > 0x10FFFF) return sqlite3_result_null(ctx);
  std::string out;
  AppendChar(out, static_cast<uint32_t>(n));
  ResultText(ctx, out);
}

template <bool Ascii>
void FirstCode(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  const std::string s = ArgText(argv[0]);
  if (s.empty()) return sqlite3_result_null(ctx);
  size_t next;
  uint32_t cp = DecodeChar(s, 0, &next);
  if (Ascii && cp > 255) cp = '?';  // not representable in a single-byte code page
  sqlite3_result_int64(ctx, cp);
}

void Concat(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  std::string out;
  for (int i = 0; i < argc; ++i) out += ArgText(argv[i]);
  ResultText(ctx, out);
}

// CONCAT_WS(separator, ...): NULL arguments are skipped with their separator.
void ConcatWs(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  const std::string sep = IsNull(argv[0]) ? std::string() : ArgText(argv[0]);
  std::string out;
  bool any = false;
  for (int i = 1; i < argc; ++i) {
    if (IsNull(argv[i])) continue;
    if (any) out += sep;
    out += ArgText(argv[i]);
    any = true;
  }
  ResultText(ctx, out);
}

// QUOTENAME(name [, quote]): brackets by default, the closing quote doubled inside; NULL for
// more than 128 characters or a quote character it does not know.
void QuoteName(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const std::string s = ArgText(argv[0]);
  if (CharCount(s) > 128) return sqlite3_result_null(ctx);
  const std::string q = argc > 1 ? ArgText(argv[1]) : "[";
  char open = '[', close = ']';
  if (q == "'" || q == "\"" || q == "`") {
    open = close = q[0];
  } else if (q == "(" || q == ")") {
    open = '(', close = ')';
  } else if (q == "<" || q == ">") {
    open = '<', close = '>';
  } else if (q == "{" || q == "}") {
    open = '{', close = '}';
  } else if (q != "[" && q != "]") {
    return sqlite3_result_null(ctx);
  }
  std::string out(1, open);
  for (char c : s) {
    out += c;
    if (c == close) out += c;
  }
  ResultText(ctx, out + close);
}

// TRANSLATE(text, from, to): each character of `from` becomes the one at its place in `to`.
void Translate(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const std::string s = ArgText(argv[0]), from = ArgText(argv[1]), to = ArgText(argv[2]);
  std::vector<uint32_t> f, t;
  for (size_t i = 0, n; i < from.size(); i = n) f.push_back(DecodeChar(from, i, &n));
  for (size_t i = 0, n; i < to.size(); i = n) t.push_back(DecodeChar(to, i, &n));
  if (f.size() != t.size())
    return RaiseError(ctx, 9828,
                      "The second and third arguments of the TRANSLATE built-in "
                      "function must contain an equal number of characters.");
  std::string out;
  for (size_t i = 0, n; i < s.size(); i = n) {
    uint32_t c = DecodeChar(s, i, &n);
    for (size_t k = 0; k < f.size(); ++k)
      if (f[k] == c) {
        c = t[k];
        break;
      }
    AppendChar(out, c);
  }
  ResultText(ctx, out);
}

// STRING_SPLIT's rows as a JSON array of texts, which SQLite's json_each walks as a table: the
// text cut at every occurrence of the one-character separator, empty pieces kept.
void SplitJson(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  const std::string sep = IsNull(argv[1]) ? std::string() : ArgText(argv[1]);
  if (CharCount(sep) != 1)
    return RaiseError(ctx, 214,
                      "Procedure expects parameter 'separator' of type 'nchar(1)/nvarchar(1)'.");
  const std::string s = ArgText(argv[0]);
  std::string out = "[\"";
  for (size_t i = 0; i < s.size(); ++i) {
    if (s.compare(i, sep.size(), sep) == 0) {
      out += "\",\"";
      i += sep.size() - 1;
      continue;
    }
    const auto c = static_cast<unsigned char>(s[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\u%04x", c);
      out += esc;
    } else {
      out += static_cast<char>(c);
    }
  }
  ResultText(ctx, out + "\"]");
}

// STR(float [, length [, decimals]]): right-aligned; decimals give way to the integer part;
// asterisks when even the integer part does not fit.
void Str(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  double x;
  if (sqlite3_value_type(argv[0]) == SQLITE_TEXT) {
    const auto v = ParseFloatText(ArgText(argv[0]));
    if (!v) return RaiseError(ctx, 8114, "Error converting data type varchar to float.");
    x = *v;
  } else {
    x = sqlite3_value_double(argv[0]);
  }
  const long long length = argc > 1 ? sqlite3_value_int64(argv[1]) : 10;
  long long decimals = argc > 2 ? sqlite3_value_int64(argv[2]) : 0;
  if (length <= 0 || length > 8000 || decimals < 0) return sqlite3_result_null(ctx);
  if (decimals > 16) decimals = 16;
  for (long long d = decimals; d >= 0; --d) {
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", static_cast<int>(d),
                  RoundDecimal(x, static_cast<int>(d)));
    std::string s = buf;
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    if (static_cast<long long>(s.size()) <= length) {
      return ResultText(ctx, std::string(length - s.size(), ' ') + s);
    }
  }
  ResultText(ctx, std::string(static_cast<size_t>(length), '*'));
}

void IsNullFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
  sqlite3_result_value(ctx, IsNull(argv[0]) ? argv[1] : argv[0]);
}

void Coalesce(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  for (int i = 0; i < argc; ++i) {
    if (!IsNull(argv[i])) return sqlite3_result_value(ctx, argv[i]);
  }
  sqlite3_result_null(ctx);
}

constexpr Impl kString[] = {
    {"xf_substring", 3, Substring, true},
    {"xf_left", 2, Left, true},
    {"xf_right", 2, Right, true},
    {"xf_len", 1, Len, true},
    {"xf_datalength", 1, DataLength, true},
    {"xf_charindex", 2, CharIndex, true},
    {"xf_charindex", 3, CharIndex, true},
    {"xf_patindex", 2, PatIndex, true},
    {"xf_ltrim", 1, Trim<true, false>, true},
    {"xf_ltrim", 2, Trim<true, false>, true},
    {"xf_rtrim", 1, Trim<false, true>, true},
    {"xf_rtrim", 2, Trim<false, true>, true},
    {"xf_trim", 1, Trim<true, true>, true},
    {"xf_trim", 2, Trim<true, true>, true},
    {"xf_upper", 1, ChangeCase<true>, true},
    {"xf_lower", 1, ChangeCase<false>, true},
    {"xf_replace", 3, Replace, true},
    {"xf_replicate", 2, Replicate, true},
    {"xf_space", 1, Space, true},
    {"xf_reverse", 1, Reverse, true},
    {"xf_stuff", 4, Stuff, true},
    {"xf_str", 1, Str, true},
    {"xf_str", 2, Str, true},
    {"xf_str", 3, Str, true},
    {"xf_char", 1, Char, true},
    {"xf_nchar", 1, NChar, true},
    {"xf_ascii", 1, FirstCode<true>, true},
    {"xf_unicode", 1, FirstCode<false>, true},
    {"xf_concat", -1, Concat, true},
    {"xf_concat_ws", -1, ConcatWs, true},
    {"xf_quotename", 1, QuoteName, true},
    {"xf_quotename", 2, QuoteName, true},
    {"xf_translate", 3, Translate, true},
    {"xf_split_json", 2, SplitJson, true},
    {"xf_isnull", 2, IsNullFn, true},
    {"xf_coalesce", -1, Coalesce, true},
};

}  // namespace

std::span<const Impl> StringImpls() {
  return kString;
}

}  // namespace xfer::engine::func
