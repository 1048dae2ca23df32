// Conversion of letters typed into the server-connection form. The suite's databases hold the
// Arabic forms of yeh and kaf, so unless the keyboard already types those (keyboard mode "WIN")
// the Persian forms are swapped as they are typed; an old Windows NT keyboard needs two more.
// No Qt here: the rules are data, applied to Unicode code points.
#pragma once

#include <span>
#include <string>

namespace xfer::ui {

// One replacement: the letter typed and the letter stored, with their code-page-1256 bytes
// (0 where the letter has none), which is how the suite names them.
struct KeyRule {
  char32_t typed;
  char32_t stored;
  unsigned char typedCp1256;
  unsigned char storedCp1256;
  bool windowsNtOnly;  // only when the session's platform is "Windows NT"
};

std::span<const KeyRule> KeyRules();

// The letter stored for `typed` under the session's keyboard mode and platform name. Each key
// is converted once, by the first rule that matches it.
char32_t ConvertTypedKey(char32_t typed, const std::string& keyboardMode,
                         const std::string& platformName);
// Every letter of a UTF-8 text converted as if typed.
std::string ConvertTypedText(const std::string& utf8, const std::string& keyboardMode,
                             const std::string& platformName);

}  // namespace xfer::ui
