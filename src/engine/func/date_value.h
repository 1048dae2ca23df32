// Date and time values as the engine stores them: text 'YYYY-MM-DD HH:MM:SS.mmm' (datetime) or
// 'YYYY-MM-DD' (date). Parsing accepts the literal forms SQL Server takes under us_english;
// numbers are days since 1900-01-01, as datetime converts them.
#pragma once

#include <sqlite3.h>

#include <string>
#include <string_view>

namespace xfer::engine::func {

struct DateTime {
  int year = 1900, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
  bool dateOnly = false;  // the text carried no time of day
};

bool ParseDateText(std::string_view s, DateTime* out);
// A non-NULL argument as a date: text parsed, numbers read as days since 1900-01-01.
bool ArgDate(sqlite3_value* v, DateTime* out);
std::string FormatDateTime(const DateTime& d);
std::string FormatDate(const DateTime& d);

long long DaysFromCivil(int y, int m, int d);  // days since 1970-01-01
void CivilFromDays(long long days, int* y, int* m, int* d);
long long ToMillis(const DateTime& d);  // milliseconds since 1970-01-01
DateTime FromMillis(long long ms);
int DaysInMonth(int y, int m);

inline constexpr const char* kDateConversionFailed =
    "Conversion failed when converting date and/or time from character string.";

}  // namespace xfer::engine::func
