// Typed-letter rules of the server-connection form.
#include "ui/key_conversion.h"

#include <array>

namespace xfer::ui {
namespace {

constexpr std::array<KeyRule, 5> kRules = {{
    {U'\u0649', U'\u064A', 0xEC, 0xED, false},  // alef maksura, the code page's yeh -> yeh
    // A Unicode keyboard types the Persian yeh, which code page 1256 carries as 0xEC.
    {U'\u06CC', U'\u064A', 0, 0xED, false},
    {U'\u06A9', U'\u0643', 0x98, 0xDF, false},  // keheh (Persian kaf) -> Arabic kaf
    {U'\u00F7', U'\u067E', 0xF7, 0x81, true},   // the division-sign key types peh
    {U'\u067E', U'\u0698', 0x81, 0x8E, true},   // and peh's key types jeh
}};

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes one code point at `i` and advances past it; a malformed byte stands for itself.
char32_t NextCodePoint(const std::string& s, size_t& i) {
  const auto lead = static_cast<unsigned char>(s[i]);
  int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
  if (i + extra >= s.size()) extra = 0;
  for (int k = 1; k <= extra; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) extra = 0;
  char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
  i += 1 + extra;
  return c;
}

}  // namespace

std::span<const KeyRule> KeyRules() {
  return kRules;
}

char32_t ConvertTypedKey(char32_t typed, const std::string& keyboardMode,
                         const std::string& platformName) {
  if (keyboardMode == "WIN") return typed;
  const bool nt = platformName == "Windows NT";
  for (const KeyRule& r : kRules)
    if (r.typed == typed && (nt || !r.windowsNtOnly)) return r.stored;
  return typed;
}

std::string ConvertTypedText(const std::string& utf8, const std::string& keyboardMode,
                             const std::string& platformName) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();)
    AppendUtf8(out, ConvertTypedKey(NextCodePoint(utf8, i), keyboardMode, platformName));
  return out;
}

}  // namespace xfer::ui
