// Option strings: "KEY=VALUE;" entries kept in the Options table and the user table.
//
// Both functions upper-case their input and search with a plain substring search, so a key
// that ends another key (RECORD inside DEL_REP_RECORD) is found inside the longer one. Other
// parts of the suite write and read these strings the same way; keep it so.
#pragma once

#include <string>
#include <string_view>

namespace xfer::db {

// The value of `key` (upper-cased), or empty when the key is absent.
std::string GetOption(std::string_view options, std::string_view key);

// The option string with `key` set to `value`, replaced in place or appended; upper-cased.
std::string SetOption(std::string_view options, std::string_view key, std::string_view value);

}  // namespace xfer::db
