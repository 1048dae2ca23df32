// Gregorian to Solar Hijri by day counts: days since a common epoch, then the Solar Hijri year
// from the 33-year cycle of leap years.
#include "solar_hijri.h"

#include <cstdio>

namespace xfer::hostapp {
namespace {

constexpr int kGregorianMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

bool GregorianLeap(int y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

}  // namespace

SolarDate GregorianToSolar(int gy, int gm, int gd) {
  // Days from 1600-01-01 (Gregorian), which is 979-10-11 (Solar Hijri).
  const int y = gy - 1600;
  long days = 365L * y + (y + 3) / 4 - (y + 99) / 100 + (y + 399) / 400;
  for (int m = 0; m < gm - 1; ++m) days += kGregorianMonthDays[m];
  if (gm > 2 && GregorianLeap(gy)) ++days;
  days += gd - 1;

  long j = days - 79;             // days since 979-01-01
  const long cycles = j / 12053;  // 33-year cycles of 12053 days
  j %= 12053;
  int jy = 979 + 33 * int(cycles) + 4 * int(j / 1461);
  j %= 1461;
  if (j >= 366) {
    jy += int((j - 1) / 365);
    j = (j - 1) % 365;
  }
  SolarDate out;
  out.year = jy;
  if (j < 186) {
    out.month = 1 + int(j / 31);
    out.day = 1 + int(j % 31);
  } else {
    out.month = 7 + int((j - 186) / 30);
    out.day = 1 + int((j - 186) % 30);
  }
  return out;
}

std::string FormatSolar(const SolarDate& d) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", d.year, d.month, d.day);
  return buf;
}

}  // namespace xfer::hostapp
