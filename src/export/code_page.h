// Persian text in the single-byte code pages of DBF files: Windows Arabic (1256) and DOS
// Arabic (864). Letters a code page lacks are written as their nearest Arabic letter, and
// anything else it cannot hold as "?".
#pragma once

#include <string>
#include <string_view>

namespace xfer::grid_export {

enum class CodePage { kWindows1256, kDos864 };

std::string ToCodePage(std::string_view utf8, CodePage page);
// The name a reader of the file finds in its code-page companion (".cpg").
const char* CodePageName(CodePage page);

}  // namespace xfer::grid_export
