// Parsing, formatting and calendar arithmetic of the engine's date and time text.
#include "engine/func/date_value.h"

#include <cmath>
#include <cstdio>

#include "engine/func/func_common.h"

namespace xfer::engine::func {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Reads 1..maxDigits digits at `i`.
bool ReadNumber(std::string_view s, size_t* i, int maxDigits, int* out, int* count = nullptr) {
  int n = 0;
  int v = 0;
  while (*i < s.size() && IsDigit(s[*i]) && n < maxDigits) {
    v = v * 10 + (s[*i] - '0');
    ++*i;
    ++n;
  }
  if (count) *count = n;
  *out = v;
  return n > 0;
}

bool ParseTime(std::string_view s, DateTime* d) {
  size_t i = 0;
  if (!ReadNumber(s, &i, 2, &d->hour) || i >= s.size() || s[i] != ':') return false;
  ++i;
  if (!ReadNumber(s, &i, 2, &d->minute)) return false;
  if (i < s.size() && s[i] == ':') {
    ++i;
    if (!ReadNumber(s, &i, 2, &d->second)) return false;
    if (i < s.size() && s[i] == '.') {
      ++i;
      int digits = 0;
      int frac = 0;
      ReadNumber(s, &i, 7, &frac, &digits);
      while (digits > 3) frac /= 10, --digits;
      while (digits < 3) frac *= 10, ++digits;
      d->millisecond = frac;
    }
  }
  std::string_view rest = TrimBlanks(s.substr(i));
  if (rest.size() == 2 && (rest[1] == 'M' || rest[1] == 'm')) {
    const char ap = LowerAscii(rest[0]);
    if ((ap != 'a' && ap != 'p') || d->hour < 1 || d->hour > 12) return false;
    if (d->hour == 12) d->hour = 0;
    if (ap == 'p') d->hour += 12;
    rest = {};
  }
  return rest.empty() && d->hour < 24 && d->minute < 60 && d->second < 60;
}

bool ParseDatePart(std::string_view s, DateTime* d) {
  size_t i = 0;
  int a, na;
  if (!ReadNumber(s, &i, 8, &a, &na)) return false;
  if (i == s.size() && na == 8) {  // yyyymmdd
    d->year = a / 10000;
    d->month = a / 100 % 100;
    d->day = a % 100;
    return true;
  }
  if (i >= s.size() || na > 4) return false;
  const char sep = s[i];
  if (sep != '-' && sep != '/' && sep != '.') return false;
  ++i;
  int b, c, nc;
  if (!ReadNumber(s, &i, 2, &b) || i >= s.size() || s[i] != sep) return false;
  ++i;
  if (!ReadNumber(s, &i, 4, &c, &nc) || i != s.size()) return false;
  if (na == 4) {  // ymd
    d->year = a;
    d->month = b;
    d->day = c;
  } else if (nc == 4) {  // mdy, the us_english order
    d->year = c;
    d->month = a;
    d->day = b;
  } else {
    return false;
  }
  return true;
}

}  // namespace

int DaysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m == 2 && leap ? 29 : kDays[m - 1];
}

bool ParseDateText(std::string_view s, DateTime* out) {
  s = TrimBlanks(s);
  DateTime d;
  if (s.empty()) {  // '' converts to 1900-01-01
    *out = d;
    return true;
  }
  const size_t split = s.find_first_of(" T");
  const std::string_view datePart = s.substr(0, split);
  if (datePart.find(':') != std::string_view::npos) {  // time only
    if (!ParseTime(s, &d)) return false;
  } else {
    if (!ParseDatePart(datePart, &d)) return false;
    if (split == std::string_view::npos) {
      d.dateOnly = true;
    } else if (!ParseTime(TrimBlanks(s.substr(split + 1)), &d)) {
      return false;
    }
  }
  if (d.year < 1 || d.year > 9999 || d.month < 1 || d.month > 12 || d.day < 1 ||
      d.day > DaysInMonth(d.year, d.month))
    return false;
  *out = d;
  return true;
}

bool ArgDate(sqlite3_value* v, DateTime* out) {
  const int type = sqlite3_value_type(v);
  if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
    const double days = sqlite3_value_double(v);
    const long long base = DaysFromCivil(1900, 1, 1) * 86400000LL;
    *out = FromMillis(base + std::llround(days * 86400000.0));
    return true;
  }
  return ParseDateText(ArgText(v), out);
}

std::string FormatDateTime(const DateTime& d) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", d.year, d.month, d.day,
                d.hour, d.minute, d.second, d.millisecond);
  return buf;
}

std::string FormatDate(const DateTime& d) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
  return buf;
}

// Civil-calendar conversions on the proleptic Gregorian calendar, days counted from 1970-01-01.
long long DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(long long z, int* y, int* m, int* d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  *d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  *m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  *y = static_cast<int>(yoe + era * 400 + (*m <= 2));
}

long long ToMillis(const DateTime& d) {
  return DaysFromCivil(d.year, d.month, d.day) * 86400000LL +
         ((d.hour * 60LL + d.minute) * 60 + d.second) * 1000 + d.millisecond;
}

DateTime FromMillis(long long ms) {
  long long days = ms / 86400000LL;
  long long rest = ms % 86400000LL;
  if (rest < 0) {
    rest += 86400000LL;
    --days;
  }
  DateTime d;
  CivilFromDays(days, &d.year, &d.month, &d.day);
  d.millisecond = static_cast<int>(rest % 1000);
  rest /= 1000;
  d.second = static_cast<int>(rest % 60);
  rest /= 60;
  d.minute = static_cast<int>(rest % 60);
  d.hour = static_cast<int>(rest / 60);
  return d;
}

}  // namespace xfer::engine::func
