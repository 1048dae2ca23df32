// FORMAT(value, format [, culture]) for numbers and dates under the en-US culture (the default
// of a us_english session): the standard numeric formats C, D, F, G, N and X with a precision,
// custom numeric patterns of 0, #, the point, grouping commas, % and literals, the standard date
// formats and custom date patterns. Another culture, or a format the engine does not know, is
// refused by name rather than answered differently.
//
// xf_format(value, format, culture, kind): kind is 'date' or 'number', from the value's
// declared type.
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "engine/func/date_value.h"
#include "engine/func/func_common.h"

namespace xfer::engine::func {
namespace {

constexpr const char* kMonths[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};
constexpr const char* kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};

[[noreturn]] void Refuse(const std::string& what) {
  throw std::string("The T-SQL feature 'FORMAT " + what + "' is not supported.");
}

// A number as sign and decimal digits: `digits` holds the integer part and `fraction` the
// fractional part, exactly for integers and to 15 significant digits for floats, as the
// formatter of SQL Server's runtime reads a double.
struct Digits {
  bool negative = false;
  std::string integer;  // no leading zeros; empty for 0
  std::string fraction;
};

Digits DigitsOf(sqlite3_value* v) {
  Digits d;
  if (sqlite3_value_type(v) == SQLITE_INTEGER) {
    long long i = sqlite3_value_int64(v);
    d.negative = i < 0;
    unsigned long long u =
        d.negative ? 0ULL - static_cast<unsigned long long>(i) : static_cast<unsigned long long>(i);
    d.integer = u ? std::to_string(u) : "";
    return d;
  }
  double x = sqlite3_value_double(v);
  if (!std::isfinite(x)) Refuse("of an infinite value");
  d.negative = std::signbit(x) && x != 0;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(x));
  // buf: D.DDDDDDDDDDDDDDe[+-]XX
  std::string mantissa = std::string(1, buf[0]) + std::string(buf + 2, 14);
  int exponent = std::atoi(std::strchr(buf, 'e') + 1);
  int point = exponent + 1;  // digits before the point
  if (point <= 0) {
    d.fraction = std::string(static_cast<size_t>(-point), '0') + mantissa;
  } else if (point >= static_cast<int>(mantissa.size())) {
    d.integer = mantissa + std::string(static_cast<size_t>(point) - mantissa.size(), '0');
  } else {
    d.integer = mantissa.substr(0, static_cast<size_t>(point));
    d.fraction = mantissa.substr(static_cast<size_t>(point));
  }
  size_t nz = d.integer.find_first_not_of('0');
  d.integer = nz == std::string::npos ? "" : d.integer.substr(nz);
  while (!d.fraction.empty() && d.fraction.back() == '0') d.fraction.pop_back();
  return d;
}

// Rounds to `decimals` fraction digits, half away from zero.
void RoundDigits(Digits& d, size_t decimals) {
  if (d.fraction.size() <= decimals) {
    d.fraction.append(decimals - d.fraction.size(), '0');
    return;
  }
  bool up = d.fraction[decimals] >= '5';
  d.fraction.resize(decimals);
  if (!up) return;
  std::string all = "0" + d.integer + d.fraction;
  for (size_t i = all.size(); i-- > 0;) {
    if (all[i] == '9') {
      all[i] = '0';
      continue;
    }
    ++all[i];
    break;
  }
  d.fraction = all.substr(all.size() - decimals);
  std::string integer = all.substr(0, all.size() - decimals);
  size_t nz = integer.find_first_not_of('0');
  d.integer = nz == std::string::npos ? "" : integer.substr(nz);
}

bool IsZero(const Digits& d) {
  return d.integer.empty() && d.fraction.find_first_not_of('0') == std::string::npos;
}

std::string Grouped(const std::string& integer) {
  std::string out;
  for (size_t i = 0; i < integer.size(); ++i) {
    if (i && (integer.size() - i) % 3 == 0) out += ',';
    out += integer[i];
  }
  return out;
}

// C, D, F, G, N, X with an optional precision; nullopt when the text is not one of them.
std::optional<std::string> StandardNumber(sqlite3_value* v, const std::string& fmt) {
  if (fmt.empty() || fmt.size() > 3 || !std::isalpha(static_cast<unsigned char>(fmt[0])))
    return std::nullopt;
  for (size_t i = 1; i < fmt.size(); ++i)
    if (!std::isdigit(static_cast<unsigned char>(fmt[i]))) return std::nullopt;
  const char kind = UpperAscii(fmt[0]);
  const int precision = fmt.size() > 1 ? std::atoi(fmt.c_str() + 1) : -1;
  const bool isInt = sqlite3_value_type(v) == SQLITE_INTEGER;
  Digits d = DigitsOf(v);
  switch (kind) {
    case 'N':
    case 'F':
    case 'C': {
      RoundDigits(d, static_cast<size_t>(precision < 0 ? 2 : precision));
      std::string integer = d.integer.empty() ? "0" : d.integer;
      std::string body = kind == 'F' ? integer : Grouped(integer);
      if (!d.fraction.empty()) body += "." + d.fraction;
      bool negative = d.negative && !IsZero(d);
      if (kind == 'C') return negative ? "($" + body + ")" : "$" + body;
      return (negative ? "-" : "") + body;
    }
    case 'D': {
      if (!isInt) Refuse("'" + fmt + "' of a value with a fraction");
      std::string integer = d.integer.empty() ? "0" : d.integer;
      if (precision > static_cast<int>(integer.size()))
        integer.insert(0, static_cast<size_t>(precision) - integer.size(), '0');
      return (d.negative ? "-" : "") + integer;
    }
    case 'X': {
      if (!isInt) Refuse("'" + fmt + "' of a value with a fraction");
      char buf[32];
      std::snprintf(buf, sizeof buf, fmt[0] == 'X' ? "%llX" : "%llx",
                    static_cast<unsigned long long>(sqlite3_value_int64(v)));
      std::string out = buf;
      if (precision > static_cast<int>(out.size()))
        out.insert(0, static_cast<size_t>(precision) - out.size(), '0');
      return out;
    }
    case 'G':
      if (precision < 0) {
        std::string body = d.integer.empty() ? "0" : d.integer;
        if (!d.fraction.empty()) body += "." + d.fraction;
        return (d.negative && !IsZero(d) ? "-" : "") + body;
      }
      break;
    default:
      break;
  }
  Refuse("'" + fmt + "'");
}

// Custom numeric pattern: 0 and # digit places, '.', ',' grouping, '%', quoted or escaped
// literals. One section only.
std::string CustomNumber(sqlite3_value* v, const std::string& fmt) {
  std::string intPart, fracPart;  // the pattern split at its first point
  bool seenPoint = false, grouping = false, percent = false;
  std::string* cur = &intPart;
  for (size_t i = 0; i < fmt.size(); ++i) {
    char c = fmt[i];
    if (c == ';') Refuse("with sections");
    if (c == 'E' || c == 'e') Refuse("with an exponent");
    if (c == '\'' || c == '"') {
      size_t end = fmt.find(c, i + 1);
      if (end == std::string::npos) end = fmt.size();
      for (size_t k = i + 1; k < end; ++k) *cur += std::string("\x01") + fmt[k];
      i = end;
      continue;
    }
    if (c == '\\' && i + 1 < fmt.size()) {
      *cur += std::string("\x01") + fmt[++i];
      continue;
    }
    if (c == '.' && !seenPoint) {
      seenPoint = true;
      cur = &fracPart;
      continue;
    }
    if (c == ',' && !seenPoint) {
      grouping = true;
      continue;
    }
    if (c == '%') percent = true;
    *cur += c;
  }
  // Literal characters are marked by a \x01 before them so that a quoted '0' stays a literal.
  auto places = [](const std::string& p, char want) {
    size_t n = 0;
    for (size_t i = 0; i < p.size(); ++i) {
      if (p[i] == '\x01') {
        ++i;
        continue;
      }
      if (p[i] == '0' || p[i] == '#') n += want == 0 || p[i] == want;
    }
    return n;
  };
  size_t fracPlaces = places(fracPart, 0);
  size_t minFrac = 0;
  for (size_t i = 0, k = 0; i < fracPart.size(); ++i) {
    if (fracPart[i] == '\x01') {
      ++i;
      continue;
    }
    if (fracPart[i] == '0' || fracPart[i] == '#') {
      ++k;
      if (fracPart[i] == '0') minFrac = k;
    }
  }
  size_t minInt = 0;
  {
    bool zero = false;
    for (size_t i = 0; i < intPart.size(); ++i) {
      if (intPart[i] == '\x01') {
        ++i;
        continue;
      }
      if (intPart[i] == '0') zero = true;
      if (zero && (intPart[i] == '0' || intPart[i] == '#')) ++minInt;
    }
  }
  Digits d = DigitsOf(v);
  if (percent) {
    std::string all = d.integer + d.fraction + "00";
    size_t point = d.integer.size() + 2;
    d.integer = all.substr(0, point);
    d.fraction = all.substr(point);
    size_t nz = d.integer.find_first_not_of('0');
    d.integer = nz == std::string::npos ? "" : d.integer.substr(nz);
  }
  RoundDigits(d, fracPlaces);
  std::string digits = d.integer;
  if (digits.size() < minInt) digits.insert(0, minInt - digits.size(), '0');
  if (grouping) digits = Grouped(digits);
  std::string frac = d.fraction;
  while (frac.size() > minFrac && frac.back() == '0') frac.pop_back();

  // Integer places take digits from the right; the leftmost takes whatever is left over.
  std::string out;
  size_t intPlaces = places(intPart, 0);
  size_t placeSeen = 0;
  size_t next = 0;  // digits consumed from the left
  size_t spare = digits.size() > intPlaces ? digits.size() - intPlaces : 0;
  for (size_t i = 0; i < intPart.size(); ++i) {
    char c = intPart[i];
    if (c == '\x01') {
      out += intPart[++i];
      continue;
    }
    if (c != '0' && c != '#') {
      out += c;
      continue;
    }
    ++placeSeen;
    size_t take = placeSeen == 1 ? spare + 1 : 1;
    // Places beyond the digits (a # with no digit for it) write nothing.
    size_t placesLeft = intPlaces - placeSeen + 1;
    if (placeSeen > 1 || digits.size() < intPlaces) {
      take = digits.size() - next >= placesLeft ? 1 : 0;
    }
    out += digits.substr(next, take);
    next += take;
  }
  if (!frac.empty()) {
    out += '.';
    size_t k = 0;
    for (size_t i = 0; i < fracPart.size(); ++i) {
      char c = fracPart[i];
      if (c == '\x01') {
        out += fracPart[++i];
        continue;
      }
      if (c != '0' && c != '#') {
        out += c;
        continue;
      }
      if (k < frac.size()) out += frac[k];
      ++k;
    }
  }
  bool negative = d.negative && !(digits.find_first_not_of("0,") == std::string::npos &&
                                  frac.find_first_not_of('0') == std::string::npos);
  return (negative ? "-" : "") + out;
}

int Weekday(const DateTime& t) {  // 0 = Sunday
  long long days = DaysFromCivil(t.year, t.month, t.day);
  return static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
}

std::string Padded(int v, size_t width) {
  std::string s = std::to_string(v);
  if (s.size() < width) s.insert(0, width - s.size(), '0');
  return s;
}

std::string CustomDate(const DateTime& t, const std::string& fmt) {
  std::string out;
  for (size_t i = 0; i < fmt.size();) {
    char c = fmt[i];
    size_t run = 1;
    while (i + run < fmt.size() && fmt[i + run] == c) ++run;
    switch (c) {
      case 'd':
        out += run == 1   ? std::to_string(t.day)
               : run == 2 ? Padded(t.day, 2)
               : run == 3 ? std::string(kDays[Weekday(t)]).substr(0, 3)
                          : std::string(kDays[Weekday(t)]);
        break;
      case 'M':
        out += run == 1   ? std::to_string(t.month)
               : run == 2 ? Padded(t.month, 2)
               : run == 3 ? std::string(kMonths[t.month - 1]).substr(0, 3)
                          : std::string(kMonths[t.month - 1]);
        break;
      case 'y':
        out += run == 1   ? std::to_string(t.year % 100)
               : run == 2 ? Padded(t.year % 100, 2)
                          : Padded(t.year, run);
        break;
      case 'h': {
        int h = t.hour % 12 == 0 ? 12 : t.hour % 12;
        out += run == 1 ? std::to_string(h) : Padded(h, 2);
        break;
      }
      case 'H':
        out += run == 1 ? std::to_string(t.hour) : Padded(t.hour, 2);
        break;
      case 'm':
        out += run == 1 ? std::to_string(t.minute) : Padded(t.minute, 2);
        break;
      case 's':
        out += run == 1 ? std::to_string(t.second) : Padded(t.second, 2);
        break;
      case 'f':
      case 'F': {
        std::string ms = Padded(t.millisecond, 3) + std::string(run > 3 ? run - 3 : 0, '0');
        ms = ms.substr(0, run);
        if (c == 'F')
          while (!ms.empty() && ms.back() == '0') ms.pop_back();
        out += ms;
        break;
      }
      case 't':
        out += run == 1 ? (t.hour < 12 ? "A" : "P") : (t.hour < 12 ? "AM" : "PM");
        break;
      case '\'':
      case '"': {
        size_t end = fmt.find(c, i + 1);
        if (end == std::string::npos) end = fmt.size();
        out += fmt.substr(i + 1, end - i - 1);
        i = end + 1;
        continue;
      }
      case '\\':
        if (i + 1 < fmt.size()) out += fmt[i + 1];
        i += 2;
        continue;
      case '%':
        i += 1;
        continue;
      case 'z':
      case 'K':
      case 'g':
        Refuse("'" + std::string(run, c) + "'");
      default:
        out.append(run, c);
        break;
    }
    i += run;
  }
  return out;
}

std::string FormatDateValue(const DateTime& t, const std::string& fmt) {
  if (fmt.size() == 1) {
    switch (fmt[0]) {
      case 'd':
        return CustomDate(t, "M/d/yyyy");
      case 'D':
        return CustomDate(t, "dddd, MMMM d, yyyy");
      case 't':
        return CustomDate(t, "h:mm tt");
      case 'T':
        return CustomDate(t, "h:mm:ss tt");
      case 'f':
        return CustomDate(t, "dddd, MMMM d, yyyy h:mm tt");
      case 'F':
        return CustomDate(t, "dddd, MMMM d, yyyy h:mm:ss tt");
      case 'g':
        return CustomDate(t, "M/d/yyyy h:mm tt");
      case 'G':
        return CustomDate(t, "M/d/yyyy h:mm:ss tt");
      case 'M':
      case 'm':
        return CustomDate(t, "MMMM d");
      case 'Y':
      case 'y':
        return CustomDate(t, "MMMM yyyy");
      case 's':
        return CustomDate(t, "yyyy-MM-dd'T'HH:mm:ss");
      case 'u':
        return CustomDate(t, "yyyy-MM-dd HH:mm:ss'Z'");
      default:
        Refuse("'" + fmt + "'");
    }
  }
  return CustomDate(t, fmt);
}

bool KnownCulture(std::string c) {
  for (char& ch : c) ch = LowerAscii(ch);
  return c.empty() || c == "en-us" || c == "en";
}

void Format(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
    return sqlite3_result_null(ctx);
  const std::string fmt = ArgText(argv[1]);
  const std::string kind = ArgText(argv[3]);
  try {
    if (sqlite3_value_type(argv[2]) != SQLITE_NULL && !KnownCulture(ArgText(argv[2])))
      Refuse("with culture '" + ArgText(argv[2]) + "'");
    if (kind == "date") {
      DateTime t;
      if (!ArgDate(argv[0], &t)) return RaiseError(ctx, 241, kDateConversionFailed);
      return ResultText(ctx, FormatDateValue(t, fmt));
    }
    if (auto standard = StandardNumber(argv[0], fmt)) return ResultText(ctx, *standard);
    return ResultText(ctx, CustomNumber(argv[0], fmt));
  } catch (const std::string& refusal) {
    RaiseError(ctx, 40000, refusal);
  }
}

constexpr Impl kFormat[] = {{"xf_format", 4, Format, true}};

}  // namespace

std::span<const Impl> FormatImpls() {
  return kFormat;
}

}  // namespace xfer::engine::func
