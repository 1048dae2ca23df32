// How text reaches the user's eye: Persian digits in numbers and dates, and the Persian forms of
// yeh and kaf where the suite's texts and data carry the Arabic letters. Only what is shown is
// converted; stored data and the texts themselves are left byte for byte as they are.
#pragma once

#include <QString>
#include <string>

namespace xfer::ui {

// The text as shown: ي and ك become ی and ک; ASCII and Arabic-Indic digits become Persian
// digits, except inside a word that also holds Latin letters or an underscore, such as a
// database name (KELVARO_7_1403) or a file name, which stays as typed.
QString ForDisplay(const QString& text);
QString ForDisplay(const std::string& utf8);
QString ForDisplay(const char* utf8);

// A count in Persian digits; a negative count (not counted) shows as a dash.
QString PersianNumber(long long n);
// Seconds with `decimals` places, Persian digits and the Persian decimal separator.
QString PersianSeconds(double seconds, int decimals = 2);

}  // namespace xfer::ui
