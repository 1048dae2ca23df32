// Persian display at the edge: digits and letter forms of what is shown, while words with Latin
// letters (database and file names) keep their digits, and the input is never changed.
#include "ui/persian_display.h"

#include <gtest/gtest.h>

namespace xfer::ui {
namespace {

TEST(PersianDisplayTest, DigitsAndLetterForms) {
  struct Case {
    const char* in;
    const char* shown;
  };
  const Case cases[] = {
      {"1403/01/01", "۱۴۰۳/۰۱/۰۱"},
      {"12 rows", "۱۲ rows"},
      {"KELVARO_7_1403", "KELVARO_7_1403"},
      {"KELVARO_7_1403 از 1403/01/01", "KELVARO_7_1403 از ۱۴۰۳/۰۱/۰۱"},
      {"/tmp/srv2/Lib 3", "/tmp/srv2/Lib ۳"},  // a word with letters keeps its digits
      {"حسابداري", "حسابداری"},
      {"كالا يک", "کالا یک"},
      {"٣ از ١٠", "۳ از ۱۰"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ForDisplay(c.in), QString::fromUtf8(c.shown)) << c.in;
}

TEST(PersianDisplayTest, NumbersAndSeconds) {
  EXPECT_EQ(PersianNumber(0), QString::fromUtf8("۰"));
  EXPECT_EQ(PersianNumber(1234567), QString::fromUtf8("۱۲۳۴۵۶۷"));
  EXPECT_EQ(PersianNumber(-1), "-");
  EXPECT_EQ(PersianSeconds(1.5), QString::fromUtf8("۱٫۵۰"));
  EXPECT_EQ(PersianSeconds(0.1234, 3), QString::fromUtf8("۰٫۱۲۳"));
}

}  // namespace
}  // namespace xfer::ui
