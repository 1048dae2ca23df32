// CAST and CONVERT: xf_cast(value, typeText [, style [, sourceTypeText]]). The target is the
// declared type text; the optional source type lets a decimal or money value stored as a
// SQLite REAL print with its scale instead of as a float.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "engine/func/date_value.h"
#include "engine/func/exact_decimal.h"
#include "engine/func/func_common.h"

namespace xfer::engine::func {
namespace {

struct Target {
  std::string name;  // lower-case base name
  long long n = -1;  // first argument: length or precision; -1 when absent
  long long s = -1;  // second argument: scale
  bool max = false;
};

Target ParseTarget(std::string_view text) {
  Target t;
  std::string flat;
  for (char c : text)
    if (c != ' ') flat += LowerAscii(c);
  const size_t open = flat.find('(');
  t.name = flat.substr(0, open);
  if (open == std::string::npos) return t;
  const std::string args = flat.substr(open + 1, flat.find(')') - open - 1);
  if (args == "max") {
    t.max = true;
    return t;
  }
  const size_t comma = args.find(',');
  t.n = std::atoll(args.substr(0, comma).c_str());
  if (comma != std::string::npos) t.s = std::atoll(args.substr(comma + 1).c_str());
  return t;
}

// Kind of value a REAL holds, from the optional source type text.
enum class RealKind { Float, Decimal, Money };

RealKind KindOfSource(const std::string& sourceType, long long* scale) {
  const Target t = ParseTarget(sourceType);
  if (t.name == "money" || t.name == "smallmoney") return RealKind::Money;
  if (t.name == "numeric" || t.name == "decimal") {
    *scale = t.s < 0 ? 0 : t.s;
    return RealKind::Decimal;
  }
  return RealKind::Float;
}

bool IsDateStyle(long long style) {
  return (style >= 100 && style <= 114) || (style >= 120 && style <= 131) ||
         (style >= 1 && style <= 14) || style == 20 || style == 21 || style == 23;
}

std::string DateStyle(const DateTime& d, long long style) {
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  char buf[64];
  const bool century = style >= 100 || style == 20 || style == 21 || style == 23;
  const int yy = century ? d.year : d.year % 100;
  const char* yf = century ? "%04d" : "%02d";
  auto ymd = [&](const char* order, char sep) {
    std::string out;
    for (const char* p = order; *p; ++p) {
      if (p != order && sep) out += sep;
      if (*p == 'y') std::snprintf(buf, sizeof buf, yf, yy);
      if (*p == 'm') std::snprintf(buf, sizeof buf, "%02d", d.month);
      if (*p == 'd') std::snprintf(buf, sizeof buf, "%02d", d.day);
      out += buf;
    }
    return out;
  };
  char time[32];
  std::snprintf(time, sizeof time, "%02d:%02d:%02d", d.hour, d.minute, d.second);
  switch (style % 100) {
    case 1:
      return ymd("mdy", '/');
    case 2:
      return ymd("ymd", '.');
    case 3:
      return ymd("dmy", '/');
    case 4:
      return ymd("dmy", '.');
    case 5:
      return ymd("dmy", '-');
    case 6:
      std::snprintf(buf, sizeof buf, "%02d %s ", d.day, kMonths[d.month - 1]);
      return buf + std::to_string(yy);
    case 8:
      return time;
    case 10:
      return ymd("mdy", '-');
    case 11:
      return ymd("ymd", '/');
    case 12:
      return ymd("ymd", 0);
    case 20:
      return FormatDate(d) + " " + time;
    case 21:
      return FormatDateTime(d);
    case 23:
      return FormatDate(d);
    case 26:
      return FormatDate(d) + "T" + FormatDateTime(d).substr(11);
    default: {  // 0/100: mon dd yyyy hh:miAM
      const int h12 = d.hour % 12 == 0 ? 12 : d.hour % 12;
      std::snprintf(buf, sizeof buf, "%s %2d %d %2d:%02d%s", kMonths[d.month - 1], d.day, d.year,
                    h12, d.minute, d.hour < 12 ? "AM" : "PM");
      return buf;
    }
  }
}

std::string FixedDecimals(double x, long long scale) {
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", static_cast<int>(scale),
                RoundDecimal(x, static_cast<int>(scale)));
  return buf;
}

void CastToString(sqlite3_context* ctx, sqlite3_value* v, const Target& t, long long style,
                  const std::string& sourceType) {
  const bool fixed = t.name == "char" || t.name == "nchar" || t.name == "binary";
  const bool unicode = t.name[0] == 'n';
  long long width = t.n;
  if (t.max || t.name == "text" || t.name == "ntext")
    width = -1;
  else if (t.name == "sysname")
    width = 128;
  else if (t.name == "uniqueidentifier")
    width = 36;
  else if (width < 0)
    width = 30;
  std::string s;
  int type = sqlite3_value_type(v);
  long long sourceScale = 0;
  // A whole decimal or money value stored as an integer still prints its scale.
  if (type == SQLITE_INTEGER && KindOfSource(sourceType, &sourceScale) != RealKind::Float)
    type = SQLITE_FLOAT;
  if (type == SQLITE_INTEGER) {
    s = ArgText(v);
    if (width >= 0 && static_cast<long long>(s.size()) > width) {
      if (unicode) {
        return RaiseError(
            ctx, 8115,
            "Arithmetic overflow error converting expression to data type " + t.name + ".");
      }
      return ResultText(ctx, "*");
    }
  } else if (type == SQLITE_FLOAT) {
    const double x = sqlite3_value_double(v);
    long long scale = 0;
    const RealKind kind = KindOfSource(sourceType, &scale);
    if (kind == RealKind::Decimal) {
      s = FixedDecimals(x, scale);
    } else if (kind == RealKind::Money) {
      s = FixedDecimals(x, style == 2 ? 4 : 2);
    } else if (style == 1) {
      s = FloatScientific(x, 7);
    } else if (style == 2) {
      s = FloatScientific(x, 15);
    } else if (style == 3) {
      char buf[40];
      std::snprintf(buf, sizeof buf, "%.17g", x);
      s = buf;
    } else {
      s = FloatStyle0(x);
    }
    if (width >= 0 && static_cast<long long>(s.size()) > width) {
      const char* from = kind == RealKind::Float   ? "float"
                         : kind == RealKind::Money ? "money"
                                                   : "numeric";
      return RaiseError(ctx, 8115,
                        std::string("Arithmetic overflow error converting ") + from +
                            " to data type " + t.name + ".");
    }
  } else {
    s = ArgText(v);
    DateTime d;
    const std::string source = ParseTarget(sourceType).name;
    const bool dateSource = source == "datetime" || source == "smalldatetime" || source == "date" ||
                            source == "datetime2";
    if (dateSource && type == SQLITE_TEXT && ParseDateText(s, &d)) {
      // Style 0 is the type's own default: mon dd yyyy hh:miAM for datetime, ISO for date.
      if (style == 0 && source == "date")
        s = FormatDate(d);
      else if (style == 0 && source == "datetime2")
        s = FormatDateTime(d) + "0000";
      else if (style == 0 || IsDateStyle(style))
        s = DateStyle(d, style);
    } else if (type == SQLITE_TEXT && style > 0 && IsDateStyle(style) && ParseDateText(s, &d) &&
               !TrimBlanks(s).empty()) {
      s = DateStyle(d, style);
    }
  }
  if (width >= 0) {
    if (t.name == "binary" || t.name == "varbinary") {
      if (static_cast<long long>(s.size()) > width) s.resize(width);
    } else {
      s.resize(ByteOfChar(s, width));
    }
    if (fixed) {
      const long long have = t.name == "binary" ? static_cast<long long>(s.size())
                                                : static_cast<long long>(CharCount(s));
      s.append(static_cast<size_t>(width - have), t.name == "binary" ? '\0' : ' ');
    }
  }
  if (t.name == "binary" || t.name == "varbinary" || t.name == "image")
    return sqlite3_result_blob(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
  ResultText(ctx, s);
}

void CastToInteger(sqlite3_context* ctx, sqlite3_value* v, const Target& t,
                   const std::string& sourceType) {
  long long lo = INT32_MIN, hi = INT32_MAX;
  if (t.name == "bigint") lo = INT64_MIN, hi = INT64_MAX;
  if (t.name == "smallint") lo = -32768, hi = 32767;
  if (t.name == "tinyint") lo = 0, hi = 255;
  long long r = 0;
  int type = sqlite3_value_type(v);
  long long sourceScale = 0;
  // A whole decimal or money value stored as an integer still prints its scale.
  if (type == SQLITE_INTEGER && KindOfSource(sourceType, &sourceScale) != RealKind::Float)
    type = SQLITE_FLOAT;
  if (type == SQLITE_INTEGER) {
    r = sqlite3_value_int64(v);
    if (r < lo || r > hi) {
      if (t.name == "tinyint" || t.name == "smallint")
        return RaiseError(ctx, 220,
                          "Arithmetic overflow error for data type " + t.name +
                              ", value = " + std::to_string(r) + ".");
      return RaiseError(
          ctx, 8115,
          "Arithmetic overflow error converting expression to data type " + t.name + ".");
    }
  } else if (type == SQLITE_FLOAT) {
    const double x = std::trunc(sqlite3_value_double(v));
    long long scale = 0;
    const char* from = KindOfSource(sourceType, &scale) == RealKind::Float ? "float" : "numeric";
    if (!(x >= static_cast<double>(lo) && x <= static_cast<double>(hi)) || std::fabs(x) >= 9.2e18)
      return RaiseError(ctx, 8115,
                        std::string("Arithmetic overflow error converting ") + from +
                            " to data type " + t.name + ".");
    r = static_cast<long long>(x);
  } else {
    const std::string text = ArgText(v);
    const ParseStatus st = ParseIntText(text, &r);
    if (st == ParseStatus::Invalid)
      return RaiseError(ctx, 245,
                        "Conversion failed when converting the varchar value '" + text +
                            "' to data type " + t.name + ".");
    if (st == ParseStatus::Overflow || r < lo || r > hi) {
      if (t.name == "int" || t.name == "bigint")
        return RaiseError(ctx, 248,
                          "The conversion of the varchar value '" + text + "' overflowed " +
                              (t.name == "int" ? "an int" : "a bigint") + " column.");
      return RaiseError(ctx, 220,
                        "Arithmetic overflow error for data type " + t.name +
                            ", value = " + std::string(TrimBlanks(text)) + ".");
    }
  }
  sqlite3_result_int64(ctx, r);
}

void CastToBit(sqlite3_context* ctx, sqlite3_value* v) {
  const int type = sqlite3_value_type(v);
  if (type == SQLITE_INTEGER) return sqlite3_result_int(ctx, sqlite3_value_int64(v) != 0);
  if (type == SQLITE_FLOAT) return sqlite3_result_int(ctx, sqlite3_value_double(v) != 0);
  const std::string text = ArgText(v);
  std::string word(TrimBlanks(text));
  for (char& c : word) c = LowerAscii(c);
  if (word == "true") return sqlite3_result_int(ctx, 1);
  if (word == "false") return sqlite3_result_int(ctx, 0);
  Number n;
  if (TextNumber(text, &n)) return sqlite3_result_int(ctx, n.AsDouble() != 0);
  RaiseError(
      ctx, 245,
      "Conversion failed when converting the varchar value '" + text + "' to data type bit.");
}

void CastToFloat(sqlite3_context* ctx, sqlite3_value* v, const Target& t) {
  double x;
  if (sqlite3_value_type(v) == SQLITE_TEXT || sqlite3_value_type(v) == SQLITE_BLOB) {
    const std::string text = ArgText(v);
    const auto parsed =
        TrimBlanks(text).empty() ? std::optional<double>(0.0) : ParseFloatText(text);
    if (!parsed) return RaiseError(ctx, 8114, "Error converting data type varchar to float.");
    x = *parsed;
  } else {
    x = sqlite3_value_double(v);
  }
  if (t.name == "real" || (t.name == "float" && t.n >= 1 && t.n <= 24)) x = static_cast<float>(x);
  sqlite3_result_double(ctx, x);
}

void CastToDecimal(sqlite3_context* ctx, sqlite3_value* v, const Target& t,
                   const std::string& sourceType) {
  const bool money = t.name == "money" || t.name == "smallmoney";
  const int precision =
      money ? (t.name == "money" ? 19 : 10) : (t.n > 0 ? static_cast<int>(t.n) : 18);
  const int scale = money ? 4 : (t.s >= 0 ? static_cast<int>(t.s) : 0);
  const std::string typeName = money ? t.name : "numeric";
  Decimal d;
  std::string from = "expression";
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
      d = DecimalFromInt(sqlite3_value_int64(v));
      from = "int";
      break;
    case SQLITE_FLOAT: {
      // A decimal source reads back at its own scale; a float by its shortest form.
      long long sourceScale = 0;
      const RealKind kind = KindOfSource(sourceType, &sourceScale);
      if (kind == RealKind::Money) sourceScale = 4;
      from = kind == RealKind::Float ? "float" : "numeric";
      if (!DecimalFromDouble(sqlite3_value_double(v),
                             kind == RealKind::Float ? -1 : static_cast<int>(sourceScale), &d))
        return RaiseError(
            ctx, 8115,
            "Arithmetic overflow error converting " + from + " to data type " + typeName + ".");
      break;
    }
    default: {
      const std::string text = ArgText(v);
      if (TrimBlanks(text).empty() || !ParseDecimal(text, &d))
        return RaiseError(ctx, 8114, "Error converting data type varchar to " + typeName + ".");
      long long sourceScale = 0;
      from = KindOfSource(sourceType, &sourceScale) == RealKind::Float ? "varchar" : "numeric";
    }
  }
  // A smaller scale rounds half away from zero, as SQL Server converts.
  Decimal r;
  if (Rescale(d, precision, scale, &r) != DecimalStatus::Ok || !MoneyRange(r, typeName))
    return RaiseError(
        ctx, 8115,
        "Arithmetic overflow error converting " + from + " to data type " + typeName + ".");
  ResultDecimal(ctx, r);
}

// Styles 3, 4 and 5 (and 103-105) read day before month.
bool ParseStyledDate(const std::string& text, long long style, DateTime* d) {
  if (!ParseDateText(text, d)) {
    if (style % 100 < 3 || style % 100 > 5) return false;
  }
  const long long st = style % 100;
  const std::string_view trimmed = TrimBlanks(text);
  const size_t sep = trimmed.find_first_of("/.-");
  if (st >= 3 && st <= 5 && sep != std::string_view::npos && sep <= 2) {
    // Swap the first two fields and parse again as month-first.
    const size_t sep2 = trimmed.find_first_of("/.-", sep + 1);
    if (sep2 == std::string_view::npos) return false;
    std::string swapped(trimmed.substr(sep + 1, sep2 - sep - 1));
    swapped += trimmed[sep];
    swapped += trimmed.substr(0, sep);
    swapped += trimmed.substr(sep2);
    return ParseDateText(swapped, d);
  }
  return true;
}

void CastToDate(sqlite3_context* ctx, sqlite3_value* v, const Target& t, long long style) {
  DateTime d;
  const bool ok = sqlite3_value_type(v) == SQLITE_TEXT ? ParseStyledDate(ArgText(v), style, &d)
                                                       : ArgDate(v, &d);
  if (!ok) return RaiseError(ctx, 241, kDateConversionFailed);
  if (t.name == "date") return ResultText(ctx, FormatDate(d));
  if (t.name == "smalldatetime") {
    long long ms = ToMillis(d);
    ms = (ms + 30000) / 60000 * 60000;  // to the nearest minute, half a minute up
    d = FromMillis(ms);
  }
  if (t.name == "time") {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.%03d0000", d.hour, d.minute, d.second,
                  d.millisecond);
    return ResultText(ctx, buf);
  }
  ResultText(ctx, FormatDateTime(d));
}

void CastToBinary(sqlite3_context* ctx, sqlite3_value* v, const Target& t) {
  const int type = sqlite3_value_type(v);
  if (type != SQLITE_INTEGER && type != SQLITE_FLOAT) return CastToString(ctx, v, t, 0, {});
  std::string bytes;
  if (type == SQLITE_INTEGER) {
    const long long x = sqlite3_value_int64(v);
    const int size = x >= INT32_MIN && x <= INT32_MAX ? 4 : 8;
    for (int i = size - 1; i >= 0; --i) bytes += static_cast<char>((x >> (8 * i)) & 0xFF);
  } else {
    const double x = sqlite3_value_double(v);
    unsigned long long bits;
    static_assert(sizeof bits == sizeof x);
    std::memcpy(&bits, &x, sizeof bits);
    for (int i = 7; i >= 0; --i) bytes += static_cast<char>((bits >> (8 * i)) & 0xFF);
  }
  long long width = t.max || t.name == "image" ? -1 : (t.n < 0 ? 30 : t.n);
  // Numbers keep their low-order bytes when cut, as SQL Server does.
  if (width >= 0 && static_cast<long long>(bytes.size()) > width)
    bytes = bytes.substr(bytes.size() - width);
  if (t.name == "binary" && width >= 0 && static_cast<long long>(bytes.size()) < width)
    bytes.insert(0, static_cast<size_t>(width - bytes.size()), '\0');
  sqlite3_result_blob(ctx, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
}

// The target type text is the same on every row of a statement: it is read once and kept
// with the statement.
const Target& CachedTarget(sqlite3_context* ctx, sqlite3_value* typeText) {
  if (auto* kept = static_cast<const Target*>(sqlite3_get_auxdata(ctx, 1))) return *kept;
  auto* t = new Target(ParseTarget(ArgText(typeText)));
  sqlite3_set_auxdata(ctx, 1, t, [](void* p) { delete static_cast<Target*>(p); });
  // SQLite may drop the kept copy at once (a type that is no constant): read it again then.
  if (auto* kept = static_cast<const Target*>(sqlite3_get_auxdata(ctx, 1))) return *kept;
  static thread_local Target scratch;
  scratch = ParseTarget(ArgText(typeText));
  return scratch;
}

// Text already within a varying text type's width comes back as it is, and so does an integer
// within an integer type's range: most casts a statement makes per row are of these.
bool Unchanged(const Target& t, sqlite3_value* v) {
  const int type = sqlite3_value_type(v);
  const std::string& n = t.name;
  if (type == SQLITE_TEXT) {
    if (n != "varchar" && n != "nvarchar" && n != "text" && n != "ntext") return false;
    if (t.max || n == "text" || n == "ntext") return true;
    const long long width = t.n < 0 ? 30 : t.n;
    return sqlite3_value_bytes(v) <= width;  // never more characters than bytes
  }
  if (type == SQLITE_INTEGER) {
    const long long x = sqlite3_value_int64(v);
    if (n == "int") return x >= INT32_MIN && x <= INT32_MAX;
    if (n == "bigint") return true;
  }
  return false;
}

}  // namespace

void CastFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  const Target& t = CachedTarget(ctx, argv[1]);
  // A style or a source type can change how text or numbers print: those take the long way.
  if (argc == 2 && Unchanged(t, argv[0])) return sqlite3_result_value(ctx, argv[0]);
  const long long style = argc > 2 && !IsNull(argv[2]) ? sqlite3_value_int64(argv[2]) : 0;
  const std::string sourceType = argc > 3 ? ArgText(argv[3]) : std::string();
  const std::string& n = t.name;
  if (n == "char" || n == "varchar" || n == "nchar" || n == "nvarchar" || n == "text" ||
      n == "ntext" || n == "sysname" || n == "uniqueidentifier")
    return CastToString(ctx, argv[0], t, style, sourceType);
  if (n == "int" || n == "bigint" || n == "smallint" || n == "tinyint")
    return CastToInteger(ctx, argv[0], t, sourceType);
  if (n == "bit") return CastToBit(ctx, argv[0]);
  if (n == "float" || n == "real") return CastToFloat(ctx, argv[0], t);
  if (n == "numeric" || n == "decimal" || n == "money" || n == "smallmoney")
    return CastToDecimal(ctx, argv[0], t, sourceType);
  if (n == "datetime" || n == "smalldatetime" || n == "datetime2" || n == "date" || n == "time")
    return CastToDate(ctx, argv[0], t, style);
  if (n == "binary" || n == "varbinary" || n == "image") return CastToBinary(ctx, argv[0], t);
  if (n == "sql_variant") return sqlite3_result_value(ctx, argv[0]);
  RaiseError(ctx, 243, "Type " + n + " is not a defined system type.");
}

namespace {

constexpr Impl kCast[] = {
    {"xf_cast", 2, CastFunction, true},
    {"xf_cast", 3, CastFunction, true},
    {"xf_cast", 4, CastFunction, true},
};

}  // namespace

std::span<const Impl> CastImpls() {
  return kCast;
}

}  // namespace xfer::engine::func
