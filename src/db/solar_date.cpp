#include "db/solar_date.h"

#include <chrono>
#include <ctime>

#include "db/text_util.h"

namespace xfer::db {

ClockTime NowClock() {
  using namespace std::chrono;
  auto now = system_clock::now();
  std::time_t tt = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&tt, &local);
  auto cs = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000 / 10;
  return {local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(cs)};
}

bool IsValidSolarDate(std::string_view text) {
  std::string_view s = Trim(text);
  if (s.empty() || s == "//") return true;
  // Fixed layout: the first slash at position 5, the second at position 3 of the rest.
  if (s.size() < 5 || s.find('/') != 4) return false;
  std::string_view rest = s.substr(5);
  if (rest.find('/') != 2) return false;
  std::string_view year = Trim(s.substr(0, 4));
  std::string_view month = Trim(rest.substr(0, 2));
  std::string_view day = Trim(rest.substr(3));
  if (year.empty() || month.empty() || day.empty() || day.size() == 1) return false;
  auto y = ParseInteger(year), m = ParseInteger(month), d = ParseInteger(day);
  if (!y || !m || !d || *y == 0 || *m == 0 || *d == 0) return false;
  // The month and day limits are compared as text, exactly as the suite does.
  if (month <= "06" && day <= "31") return true;
  long long sinceBase = *y - 1355;
  if (sinceBase % 4 == 0 && sinceBase % 100 != 0) return month <= "12" && day <= "30";
  return (month <= "11" && day <= "30") || (month == "12" && day <= "29");
}

static std::string FixField(std::string_view text, int upper) {
  long long v = ParseInteger(text).value_or(0);
  std::string out(text);
  if (v > upper)
    out = std::to_string(upper);
  else if (v < 1)
    out = "1";
  if (out.size() == 1) out = "0" + out;
  return out;
}

std::string FixDayField(std::string_view text) {
  return FixField(text, 31);
}
std::string FixMonthField(std::string_view text) {
  return FixField(text, 12);
}

std::string TimeStamp(const ClockTime& t) {
  return std::to_string(t.hour * 3600 + t.minute * 60 + t.second) + std::to_string(t.centisecond);
}

std::string CurrentTime(const ClockTime& t) {
  auto two = [](int v) { return (v < 10 ? "0" : "") + std::to_string(v); };
  return std::to_string(t.hour) + ":" + two(t.minute) + ":" + two(t.second);
}

}  // namespace xfer::db
