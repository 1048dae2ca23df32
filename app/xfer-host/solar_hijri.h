// Today's date for the session record. The module never converts dates itself; the host, as the
// suite's host does, supplies today as a Solar Hijri date string.
#pragma once

#include <string>

namespace xfer::hostapp {

struct SolarDate {
  int year = 0;
  int month = 0;
  int day = 0;
};

// Proleptic Gregorian date to the arithmetic Solar Hijri calendar (33-year cycles), valid for
// the years the suite can hold (Gregorian 1800 to 2200).
SolarDate GregorianToSolar(int year, int month, int day);
// "YYYY/MM/DD".
std::string FormatSolar(const SolarDate& d);

}  // namespace xfer::hostapp
