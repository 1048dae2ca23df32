// Text form of result sets, as the command-line shell prints them and the conformance cases
// expect them: TAB-separated, NULL as NULL, floats in shortest round-trip form.
#include <charconv>

#include "engine/engine.h"

namespace xfer::engine {

std::string FormatValue(const Value& v) {
  if (IsNull(v)) return "NULL";
  if (const auto* i = std::get_if<long long>(&v)) return std::to_string(*i);
  if (const auto* d = std::get_if<double>(&v)) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, *d);
    return ec == std::errc() ? std::string(buf, end) : std::string("NaN");
  }
  if (const auto* s = std::get_if<std::string>(&v)) return *s;
  static const char* const kHex = "0123456789ABCDEF";
  std::string out = "0x";
  for (unsigned char c : std::get<Blob>(v).bytes) {
    out += kHex[c >> 4];
    out += kHex[c & 15];
  }
  return out;
}

std::string FormatResultSet(const ResultSet& rs) {
  std::string out;
  for (size_t i = 0; i < rs.fields.size(); ++i) out += (i ? "\t" : "") + rs.fields[i].name;
  out += "\n";
  for (const auto& row : rs.rows) {
    for (size_t i = 0; i < row.size(); ++i) out += (i ? "\t" : "") + FormatValue(row[i]);
    out += "\n";
  }
  return out;
}

}  // namespace xfer::engine
