// The suite's T-SQL scripts (src/suite/sql), embedded at build time. Each script is one batch;
// $(Name) marks a code width or other value filled in per period (sqlcmd variable syntax, so the
// same files also run through sqlcmd -v on SQL Server).
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace xfer::suite {

struct Script {
  std::string_view name;  // file name without .sql
  std::string_view text;
};

const std::vector<Script>& Scripts();
// The text of script `name`; throws std::out_of_range for an unknown name.
std::string_view ScriptText(std::string_view name);

// `text` with every $(Name) replaced by its value; an unknown name throws std::invalid_argument.
std::string Substitute(std::string_view text, const std::map<std::string, std::string>& values);

}  // namespace xfer::suite
