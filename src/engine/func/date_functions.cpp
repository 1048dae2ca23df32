// SQL Server's date functions over the engine's date text: the clock (GETDATE and its
// relatives), YEAR/MONTH/DAY, DATEPART, DATEADD, DATEDIFF and ISDATE. Weeks start on Sunday
// and weekdays count from Sunday = 1, as under us_english (DATEFIRST 7).
#include <sys/time.h>

#include <climits>
#include <ctime>
#include <string>

#include "engine/func/date_value.h"
#include "engine/func/func_common.h"

namespace xfer::engine::func {
namespace {

enum class Part { Year, Quarter, Month, DayOfYear, Day, Week, Weekday, Hour, Minute, Second, Ms };

bool ParsePart(std::string_view name, Part* out) {
  std::string n(TrimBlanks(name));
  for (char& c : n) c = LowerAscii(c);
  static const struct {
    const char* name;
    Part part;
  } kParts[] = {
      {"year", Part::Year},       {"yy", Part::Year},
      {"yyyy", Part::Year},       {"quarter", Part::Quarter},
      {"qq", Part::Quarter},      {"q", Part::Quarter},
      {"month", Part::Month},     {"mm", Part::Month},
      {"m", Part::Month},         {"dayofyear", Part::DayOfYear},
      {"dy", Part::DayOfYear},    {"y", Part::DayOfYear},
      {"day", Part::Day},         {"dd", Part::Day},
      {"d", Part::Day},           {"week", Part::Week},
      {"wk", Part::Week},         {"ww", Part::Week},
      {"weekday", Part::Weekday}, {"dw", Part::Weekday},
      {"w", Part::Weekday},       {"hour", Part::Hour},
      {"hh", Part::Hour},         {"minute", Part::Minute},
      {"mi", Part::Minute},       {"n", Part::Minute},
      {"second", Part::Second},   {"ss", Part::Second},
      {"s", Part::Second},        {"millisecond", Part::Ms},
      {"ms", Part::Ms},
  };
  for (const auto& p : kParts) {
    if (n == p.name) {
      *out = p.part;
      return true;
    }
  }
  return false;
}

bool ReadPart(sqlite3_context* ctx, sqlite3_value* v, Part* out) {
  const std::string name = ArgText(v);
  if (ParsePart(name, out)) return true;
  RaiseError(ctx, 155, "'" + name + "' is not a recognized datepart option.");
  return false;
}

bool ReadDate(sqlite3_context* ctx, sqlite3_value* v, DateTime* out) {
  if (ArgDate(v, out)) return true;
  RaiseError(ctx, 241, kDateConversionFailed);
  return false;
}

// Sunday = 0.
int DayOfWeek(long long days) {
  return static_cast<int>(((days + 4) % 7 + 7) % 7);
}

long long FloorDiv(long long a, long long b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

long long PartOf(Part part, const DateTime& d) {
  const long long days = DaysFromCivil(d.year, d.month, d.day);
  const long long jan1 = DaysFromCivil(d.year, 1, 1);
  switch (part) {
    case Part::Year:
      return d.year;
    case Part::Quarter:
      return (d.month - 1) / 3 + 1;
    case Part::Month:
      return d.month;
    case Part::DayOfYear:
      return days - jan1 + 1;
    case Part::Day:
      return d.day;
    case Part::Week:
      return (days - jan1 + DayOfWeek(jan1)) / 7 + 1;
    case Part::Weekday:
      return DayOfWeek(days) + 1;
    case Part::Hour:
      return d.hour;
    case Part::Minute:
      return d.minute;
    case Part::Second:
      return d.second;
    case Part::Ms:
      return d.millisecond;
  }
  return 0;
}

void Now(sqlite3_context* ctx, bool utc) {
  timeval tv{};
  gettimeofday(&tv, nullptr);
  std::tm tm{};
  const time_t secs = tv.tv_sec;
  if (utc)
    gmtime_r(&secs, &tm);
  else
    localtime_r(&secs, &tm);
  DateTime d;
  d.year = tm.tm_year + 1900;
  d.month = tm.tm_mon + 1;
  d.day = tm.tm_mday;
  d.hour = tm.tm_hour;
  d.minute = tm.tm_min;
  d.second = tm.tm_sec;
  d.millisecond = static_cast<int>(tv.tv_usec / 1000);
  ResultText(ctx, FormatDateTime(d));
}

void GetDate(sqlite3_context* ctx, int, sqlite3_value**) {
  Now(ctx, false);
}
void GetUtcDate(sqlite3_context* ctx, int, sqlite3_value**) {
  Now(ctx, true);
}

template <Part P>
void PartFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (IsNull(argv[0])) return sqlite3_result_null(ctx);
  DateTime d;
  if (!ReadDate(ctx, argv[0], &d)) return;
  sqlite3_result_int64(ctx, PartOf(P, d));
}

void DatePart(sqlite3_context* ctx, int, sqlite3_value** argv) {
  Part part;
  if (!ReadPart(ctx, argv[0], &part)) return;
  if (IsNull(argv[1])) return sqlite3_result_null(ctx);
  DateTime d;
  if (!ReadDate(ctx, argv[1], &d)) return;
  sqlite3_result_int64(ctx, PartOf(part, d));
}

// A date-only value stays date-only while whole days are added, as a date column would.
void DateAdd(sqlite3_context* ctx, int, sqlite3_value** argv) {
  Part part;
  if (!ReadPart(ctx, argv[0], &part)) return;
  if (IsNull(argv[1]) || IsNull(argv[2])) return sqlite3_result_null(ctx);
  DateTime d;
  if (!ReadDate(ctx, argv[2], &d)) return;
  const long long n = sqlite3_value_int64(argv[1]);
  const bool keepDateOnly = d.dateOnly && part != Part::Hour && part != Part::Minute &&
                            part != Part::Second && part != Part::Ms;
  if (part == Part::Year || part == Part::Quarter || part == Part::Month) {
    const long long months = part == Part::Year ? n * 12 : part == Part::Quarter ? n * 3 : n;
    const long long total = d.year * 12LL + (d.month - 1) + months;
    d.year = static_cast<int>(FloorDiv(total, 12));
    d.month = static_cast<int>(total - d.year * 12LL) + 1;
    if (d.day > DaysInMonth(d.year, d.month)) d.day = DaysInMonth(d.year, d.month);
  } else {
    long long unit = 86400000LL;
    if (part == Part::Week) unit *= 7;
    if (part == Part::Hour) unit = 3600000LL;
    if (part == Part::Minute) unit = 60000LL;
    if (part == Part::Second) unit = 1000LL;
    if (part == Part::Ms) unit = 1LL;
    const bool dateOnly = d.dateOnly;
    d = FromMillis(ToMillis(d) + n * unit);
    d.dateOnly = dateOnly;
  }
  if (d.year < 1 || d.year > 9999)
    return RaiseError(ctx, 517, "Adding a value to a 'datetime' column caused an overflow.");
  ResultText(ctx, keepDateOnly ? FormatDate(d) : FormatDateTime(d));
}

// The number of part boundaries crossed between the two values.
void DateDiff(sqlite3_context* ctx, int, sqlite3_value** argv) {
  Part part;
  if (!ReadPart(ctx, argv[0], &part)) return;
  if (IsNull(argv[1]) || IsNull(argv[2])) return sqlite3_result_null(ctx);
  DateTime a, b;
  if (!ReadDate(ctx, argv[1], &a) || !ReadDate(ctx, argv[2], &b)) return;
  const long long da = DaysFromCivil(a.year, a.month, a.day);
  const long long db = DaysFromCivil(b.year, b.month, b.day);
  const long long ma = ToMillis(a);
  const long long mb = ToMillis(b);
  long long r = 0;
  switch (part) {
    case Part::Year:
      r = b.year - a.year;
      break;
    case Part::Quarter:
      r = (b.year * 4LL + (b.month - 1) / 3) - (a.year * 4LL + (a.month - 1) / 3);
      break;
    case Part::Month:
      r = (b.year * 12LL + b.month) - (a.year * 12LL + a.month);
      break;
    case Part::DayOfYear:
    case Part::Day:
    case Part::Weekday:
      r = db - da;
      break;
    case Part::Week:
      r = FloorDiv(db + 4, 7) - FloorDiv(da + 4, 7);
      break;
    case Part::Hour:
      r = FloorDiv(mb, 3600000LL) - FloorDiv(ma, 3600000LL);
      break;
    case Part::Minute:
      r = FloorDiv(mb, 60000LL) - FloorDiv(ma, 60000LL);
      break;
    case Part::Second:
      r = FloorDiv(mb, 1000LL) - FloorDiv(ma, 1000LL);
      break;
    case Part::Ms:
      r = mb - ma;
      break;
  }
  if (r > INT_MAX || r < INT_MIN)
    return RaiseError(ctx, 535,
                      "The datediff function resulted in an overflow. The number of dateparts "
                      "separating two date/time instances is too large. Try to use datediff "
                      "with a less precise datepart.");
  sqlite3_result_int64(ctx, r);
}

// DATENAME: month and weekday by name (us_english), every other part as its number.
void DateName(sqlite3_context* ctx, int, sqlite3_value** argv) {
  static constexpr const char* kMonths[] = {"January",   "February", "March",    "April",
                                            "May",       "June",     "July",     "August",
                                            "September", "October",  "November", "December"};
  static constexpr const char* kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                          "Thursday", "Friday", "Saturday"};
  Part part;
  if (!ReadPart(ctx, argv[0], &part)) return;
  if (IsNull(argv[1])) return sqlite3_result_null(ctx);
  DateTime d;
  if (!ReadDate(ctx, argv[1], &d)) return;
  const long long n = PartOf(part, d);
  if (part == Part::Month) return ResultText(ctx, kMonths[n - 1]);
  if (part == Part::Weekday) return ResultText(ctx, kDays[n - 1]);
  ResultText(ctx, std::to_string(n));
}

// EOMONTH(date [, months]): the last day of the month, as a date.
void EoMonth(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  DateTime d;
  if (!ReadDate(ctx, argv[0], &d)) return;
  const long long months = argc > 1 ? sqlite3_value_int64(argv[1]) : 0;
  const long long total = d.year * 12LL + (d.month - 1) + months;
  d.year = static_cast<int>(FloorDiv(total, 12));
  d.month = static_cast<int>(total - d.year * 12LL) + 1;
  if (d.year < 1 || d.year > 9999)
    return RaiseError(ctx, 517, "Adding a value to a 'date' column caused an overflow.");
  d.day = DaysInMonth(d.year, d.month);
  ResultText(ctx, FormatDate(d));
}

// DATEFROMPARTS(year, month, day): a date, error 289 when the parts make no date.
void DateFromParts(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  DateTime d;
  const long long y = sqlite3_value_int64(argv[0]);
  const long long m = sqlite3_value_int64(argv[1]);
  const long long day = sqlite3_value_int64(argv[2]);
  if (y < 1 || y > 9999 || m < 1 || m > 12 || day < 1 ||
      day > DaysInMonth(static_cast<int>(y), static_cast<int>(m)))
    return RaiseError(ctx, 289,
                      "Cannot construct data type date, some of the arguments have "
                      "values which are not valid.");
  d.year = static_cast<int>(y);
  d.month = static_cast<int>(m);
  d.day = static_cast<int>(day);
  ResultText(ctx, FormatDate(d));
}

// DATETIMEFROMPARTS(year, month, day, hour, minute, seconds, milliseconds): a datetime,
// error 289 when the parts make no time.
void DateTimeFromParts(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  long long p[7];
  for (int i = 0; i < 7; ++i) p[i] = sqlite3_value_int64(argv[i]);
  const bool valid = p[0] >= 1753 && p[0] <= 9999 && p[1] >= 1 && p[1] <= 12 && p[2] >= 1 &&
                     p[2] <= DaysInMonth(static_cast<int>(p[0]), static_cast<int>(p[1])) &&
                     p[3] >= 0 && p[3] < 24 && p[4] >= 0 && p[4] < 60 && p[5] >= 0 && p[5] < 60 &&
                     p[6] >= 0 && p[6] < 1000;
  if (!valid)
    return RaiseError(ctx, 289,
                      "Cannot construct data type datetime, some of the arguments have "
                      "values which are not valid.");
  DateTime d;
  d.year = static_cast<int>(p[0]);
  d.month = static_cast<int>(p[1]);
  d.day = static_cast<int>(p[2]);
  d.hour = static_cast<int>(p[3]);
  d.minute = static_cast<int>(p[4]);
  d.second = static_cast<int>(p[5]);
  d.millisecond = static_cast<int>(p[6]);
  ResultText(ctx, FormatDateTime(d));
}

void IsDate(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) != SQLITE_TEXT) return sqlite3_result_int(ctx, 0);
  DateTime d;
  const std::string s = ArgText(argv[0]);
  sqlite3_result_int(ctx, !TrimBlanks(s).empty() && ParseDateText(s, &d) ? 1 : 0);
}

void NewId(sqlite3_context* ctx, int, sqlite3_value**) {
  unsigned char b[16];
  sqlite3_randomness(sizeof b, b);
  b[6] = static_cast<unsigned char>((b[6] & 0x0F) | 0x40);
  b[8] = static_cast<unsigned char>((b[8] & 0x3F) | 0x80);
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string s;
  for (int i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) s += '-';
    s += kHex[b[i] >> 4];
    s += kHex[b[i] & 0x0F];
  }
  ResultText(ctx, s);
}

constexpr Impl kDate[] = {
    {"xf_getdate", 0, GetDate, false},
    {"xf_getutcdate", 0, GetUtcDate, false},
    {"xf_sysdatetime", 0, GetDate, false},
    {"xf_year", 1, PartFunction<Part::Year>, true},
    {"xf_month", 1, PartFunction<Part::Month>, true},
    {"xf_day", 1, PartFunction<Part::Day>, true},
    {"xf_datepart", 2, DatePart, true},
    {"xf_dateadd", 3, DateAdd, true},
    {"xf_datediff", 3, DateDiff, true},
    {"xf_isdate", 1, IsDate, true},
    {"xf_datename", 2, DateName, true},
    {"xf_eomonth", 1, EoMonth, true},
    {"xf_eomonth", 2, EoMonth, true},
    {"xf_datefromparts", 3, DateFromParts, true},
    {"xf_datetimefromparts", 7, DateTimeFromParts, true},
    {"xf_newid", 0, NewId, false},
};

}  // namespace

std::span<const Impl> DateImpls() {
  return kDate;
}

}  // namespace xfer::engine::func
