#include "ui/persian_display.h"

namespace xfer::ui {
namespace {

constexpr char16_t kArabicYeh = 0x064A, kPersianYeh = 0x06CC;
constexpr char16_t kArabicKaf = 0x0643, kPersianKaf = 0x06A9;
constexpr char16_t kPersianZero = 0x06F0, kArabicIndicZero = 0x0660;
constexpr char16_t kDecimalSeparator = 0x066B;

bool Latin(QChar c) {
  const char16_t u = c.unicode();
  return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_';
}

bool WordChar(QChar c) {
  const char16_t u = c.unicode();
  return Latin(c) || (u >= '0' && u <= '9') || (u >= kArabicIndicZero && u <= kArabicIndicZero + 9);
}

}  // namespace

QString ForDisplay(const QString& text) {
  QString out = text;
  const qsizetype n = out.size();
  qsizetype i = 0;
  while (i < n) {
    const char16_t u = out[i].unicode();
    if (u == kArabicYeh) out[i] = QChar(kPersianYeh);
    if (u == kArabicKaf) out[i] = QChar(kPersianKaf);
    if (!WordChar(out[i])) {
      ++i;
      continue;
    }
    // One word of Latin letters and digits: its digits turn Persian only when it has no letter.
    qsizetype end = i;
    bool latin = false;
    while (end < n && WordChar(out[end])) latin |= Latin(out[end++]);
    if (!latin)
      for (qsizetype k = i; k < end; ++k) {
        const char16_t d = out[k].unicode();
        const char16_t digit = d >= kArabicIndicZero ? d - kArabicIndicZero : d - '0';
        out[k] = QChar(char16_t(kPersianZero + digit));
      }
    i = end;
  }
  return out;
}

QString ForDisplay(const std::string& utf8) {
  return ForDisplay(QString::fromStdString(utf8));
}

QString ForDisplay(const char* utf8) {
  return ForDisplay(QString::fromUtf8(utf8));
}

QString PersianNumber(long long n) {
  return n < 0 ? QStringLiteral("-") : ForDisplay(QString::number(n));
}

QString PersianSeconds(double seconds, int decimals) {
  QString text = QString::number(seconds, 'f', decimals);
  text.replace(QChar('.'), QChar(kDecimalSeparator));
  return ForDisplay(text);
}

}  // namespace xfer::ui
