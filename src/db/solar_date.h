// Solar Hijri date strings and the clock strings of the host's date service.
//
// Dates in the suite are ten-character text (YYYY/MM/DD) compared as text, never converted.
// The validation below reproduces the suite's own checks, textual comparisons included, so a
// date accepted here is accepted by every other part of the suite.
#pragma once

#include <string>
#include <string_view>

namespace xfer::db {

// A time of day, passed in so the clock strings can be tested without the real clock.
struct ClockTime {
  int hour = 0;
  int minute = 0;
  int second = 0;
  int centisecond = 0;  // hundredths of a second, 0..99
};

// The local time of day now.
ClockTime NowClock();

// True for a well-formed Solar Hijri date, for the empty text and for "//" (a blank mask).
bool IsValidSolarDate(std::string_view text);

// What a day edit box holds after the user leaves it: clamped to 1..31, two digits at least.
std::string FixDayField(std::string_view text);
// The same for a month edit box, clamped to 1..12.
std::string FixMonthField(std::string_view text);

// Run-unique suffix for temporary-table names: seconds since midnight, then the hundredths.
std::string TimeStamp(const ClockTime& t);
// Time of day as printed on documents: H:MM:SS.
std::string CurrentTime(const ClockTime& t);

}  // namespace xfer::db
