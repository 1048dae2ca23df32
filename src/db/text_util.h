// Small text helpers shared by the core: ASCII case mapping that leaves UTF-8 Persian text
// untouched, trimming, integer parsing with the suite's rules, and the one SQL quoting helper.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace xfer::db {

// Upper-cases ASCII letters only; every other byte (UTF-8 Persian included) is kept.
std::string UpperAscii(std::string_view s);
std::string LowerAscii(std::string_view s);

// Removes leading and trailing blanks and control characters (<= ' ').
std::string_view Trim(std::string_view s);

// Reads a whole string as a decimal integer (optional sign, leading blanks allowed), as the
// suite's integer conversions do; nullopt for anything else.
std::optional<long long> ParseInteger(std::string_view s);

// A SQL string literal: the value between single quotes with every quote doubled.
std::string Quote(std::string_view value);
// The value with its single quotes doubled, for splicing inside an existing literal.
std::string EscapeQuotes(std::string_view value);

}  // namespace xfer::db
