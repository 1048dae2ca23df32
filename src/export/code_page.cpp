#include "export/code_page.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <stdexcept>

namespace xfer::grid_export {
namespace {

struct Substitute {
  const char* from;
  const char* to;
  bool dosOnly;
};

// Persian letters outside the Arabic code pages. 1256 lacks only the Persian ye; the DOS page
// also lacks peh, tcheh, jeh, gaf and keheh.
constexpr std::array<Substitute, 6> kSubstitutes = {{
    {"ی", "ي", false},
    {"ک", "ك", true},
    {"پ", "ب", true},
    {"چ", "ج", true},
    {"ژ", "ز", true},
    {"گ", "ك", true},
}};

// The DOS page holds Arabic letters only as presentation forms: each letter is written in its
// isolated form (its final form where the page has no isolated one).
constexpr std::array<std::pair<const char*, const char*>, 34> kDosForms = {{
    {"ء", "ﺀ"}, {"آ", "ﺁ"}, {"أ", "ﺃ"}, {"ؤ", "ﺅ"}, {"ا", "ﺍ"}, {"ب", "ﺏ"}, {"ة", "ﺓ"},
    {"ت", "ﺕ"}, {"ث", "ﺙ"}, {"ج", "ﺝ"}, {"ح", "ﺡ"}, {"خ", "ﺥ"}, {"د", "ﺩ"}, {"ذ", "ﺫ"},
    {"ر", "ﺭ"}, {"ز", "ﺯ"}, {"س", "ﺱ"}, {"ش", "ﺵ"}, {"ص", "ﺹ"}, {"ض", "ﺽ"}, {"ط", "ﻁ"},
    {"ظ", "ﻅ"}, {"ع", "ﻉ"}, {"غ", "ﻍ"}, {"ف", "ﻑ"}, {"ق", "ﻕ"}, {"ك", "ﻙ"}, {"ل", "ﻝ"},
    {"م", "ﻡ"}, {"ن", "ﻥ"}, {"ه", "ﻩ"}, {"و", "ﻭ"}, {"ى", "ﻯ"}, {"ي", "ﻱ"},
}};

}  // namespace

const char* CodePageName(CodePage page) {
  return page == CodePage::kWindows1256 ? "1256" : "864";
}

std::string ToCodePage(std::string_view utf8, CodePage page) {
  std::string text(utf8);
  for (const Substitute& s : kSubstitutes) {
    if (s.dosOnly && page != CodePage::kDos864) continue;
    const std::string from = s.from;
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at))
      text.replace(at, from.size(), s.to);
  }
  if (page == CodePage::kDos864)
    for (const auto& [letter, form] : kDosForms) {
      const std::string from = letter;
      for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at))
        text.replace(at, from.size(), form);
    }
  // One converter per page and thread, reset for each text: opening one costs more than a
  // whole cell's conversion.
  static thread_local iconv_t converters[2] = {reinterpret_cast<iconv_t>(-1),
                                               reinterpret_cast<iconv_t>(-1)};
  iconv_t& cd = converters[page == CodePage::kWindows1256 ? 0 : 1];
  if (cd == reinterpret_cast<iconv_t>(-1))
    cd = iconv_open(page == CodePage::kWindows1256 ? "CP1256" : "IBM864", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("code page not available");
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::string out(text.size() + 4, '\0');
  char* in = text.data();
  size_t inLeft = text.size();
  char* dst = out.data();
  size_t outLeft = out.size();
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &dst, &outLeft) != static_cast<size_t>(-1)) break;
    if (errno == EILSEQ || errno == EINVAL) {
      // One character the page cannot hold: skip its UTF-8 bytes and write "?".
      size_t skip = 1;
      while (skip < inLeft && (static_cast<unsigned char>(in[skip]) & 0xC0) == 0x80) ++skip;
      in += skip;
      inLeft -= skip;
      if (outLeft == 0) break;
      *dst++ = '?';
      --outLeft;
    } else {
      break;  // E2BIG cannot happen: single-byte output never outgrows its UTF-8 input
    }
  }
  out.resize(static_cast<size_t>(dst - out.data()));
  return out;
}

}  // namespace xfer::grid_export
