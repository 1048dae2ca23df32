// Letters typed into the server-connection form: which keyboard modes and platforms convert
// which letters, whole texts, and the code-page bytes the rules are named by.
#include "ui/key_conversion.h"

#include <gtest/gtest.h>

namespace xfer::ui {
namespace {

TEST(KeyConversionTest, KeysByKeyboardModeAndPlatform) {
  struct Case {
    char32_t typed;
    const char* mode;
    const char* platform;
    char32_t stored;
  };
  const Case cases[] = {
      {U'\u06A9', "", "Linux", U'\u0643'},  // Persian kaf -> Arabic kaf
      {U'\u06A9', "FA", "Windows NT", U'\u0643'},
      {U'\u06A9', "WIN", "Linux", U'\u06A9'},  // keyboard already types what is stored
      {U'\u0649', "", "Linux", U'\u064A'},     // the code page's 0xEC -> 0xED
      {U'\u06CC', "", "Linux", U'\u064A'},     // Persian yeh of a Unicode keyboard
      {U'\u06CC', "WIN", "Windows NT", U'\u06CC'},
      {U'\u00F7', "", "Windows NT", U'\u067E'},  // NT only: the division key types peh
      {U'\u067E', "", "Windows NT", U'\u0698'},  // and peh's key types jeh, once
      {U'\u00F7', "", "Linux", U'\u00F7'},
      {U'\u067E', "", "Linux", U'\u067E'},
      {U'\u00F7', "WIN", "Windows NT", U'\u00F7'},
      {U'a', "", "Windows NT", U'a'},
      {U'\u0643', "", "Linux", U'\u0643'},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ConvertTypedKey(c.typed, c.mode, c.platform), c.stored)
        << std::hex << static_cast<unsigned>(c.typed) << " " << c.mode << " " << c.platform;
}

TEST(KeyConversionTest, TextsConvertLetterByLetter) {
  struct Case {
    const char* typed;
    const char* mode;
    const char* platform;
    const char* stored;
  };
  const Case cases[] = {
      {"sa", "", "Linux", "sa"},
      {"\u06A9\u0627\u0631\u0628\u0631", "", "Linux", "\u0643\u0627\u0631\u0628\u0631"},
      {"\u06A9\u0627\u0631\u0628\u0631", "WIN", "Linux", "\u06A9\u0627\u0631\u0628\u0631"},
      {"x\u06CCy\u06A9z", "", "Linux", "x\u064Ay\u0643z"},
      {"\u00F7\u067E", "", "Windows NT", "\u067E\u0698"},
      {"", "", "Linux", ""},
      // A broken sequence passes through byte by byte.
      {"a\xD9", "", "Linux", "a\xC3\x99"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ConvertTypedText(c.typed, c.mode, c.platform), c.stored) << c.typed;
}

TEST(KeyConversionTest, RulesNameTheirCodePageBytes) {
  // Code page 1256 at the bytes the rules name.
  const std::pair<unsigned char, char32_t> cp1256[] = {
      {0xEC, U'\u0649'}, {0xED, U'\u064A'}, {0x98, U'\u06A9'}, {0xDF, U'\u0643'},
      {0xF7, U'\u00F7'}, {0x81, U'\u067E'}, {0x8E, U'\u0698'}};
  auto letter = [&](unsigned char byte) {
    for (auto [b, c] : cp1256)
      if (b == byte) return c;
    return char32_t{0};
  };
  ASSERT_EQ(KeyRules().size(), 5u);
  int windowsNt = 0;
  for (const KeyRule& r : KeyRules()) {
    if (r.typedCp1256) {
      EXPECT_EQ(letter(r.typedCp1256), r.typed);
    }
    EXPECT_EQ(letter(r.storedCp1256), r.stored);
    windowsNt += r.windowsNtOnly;
  }
  EXPECT_EQ(windowsNt, 2);
}

}  // namespace
}  // namespace xfer::ui
