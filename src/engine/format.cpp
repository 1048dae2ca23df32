// Text form of result sets, as the command-line shell prints them and the conformance cases
// expect them: TAB-separated, NULL as NULL, floats in shortest round-trip form.
#include <charconv>
#include <cstdlib>

#include "engine/engine.h"
#include "engine/types.h"

namespace xfer::engine {
namespace {

// `digits` (plain decimal text, optional sign) rounded half away from zero to `scale` places
// and padded to exactly that many. Working on the shortest round-trip text keeps 2.675 at 2.68.
std::string FixedScale(std::string digits, int scale) {
  bool negative = !digits.empty() && digits[0] == '-';
  if (negative || (!digits.empty() && digits[0] == '+')) digits.erase(0, 1);
  size_t dot = digits.find('.');
  std::string whole = digits.substr(0, dot);
  std::string frac = dot == std::string::npos ? "" : digits.substr(dot + 1);
  if (whole.empty()) whole = "0";
  bool up = static_cast<int>(frac.size()) > scale && frac[static_cast<size_t>(scale)] >= '5';
  frac.resize(static_cast<size_t>(scale), '0');
  if (up) {
    std::string all = whole + frac;
    int i = static_cast<int>(all.size()) - 1;
    for (; i >= 0; --i) {
      if (all[static_cast<size_t>(i)] == '9') {
        all[static_cast<size_t>(i)] = '0';
      } else {
        ++all[static_cast<size_t>(i)];
        break;
      }
    }
    if (i < 0) all.insert(all.begin(), '1');
    whole = all.substr(0, all.size() - frac.size());
    frac = all.substr(all.size() - frac.size());
  }
  std::string out = whole + (scale > 0 ? "." + frac : "");
  bool zero = out.find_first_not_of("0.") == std::string::npos;
  return (negative && !zero ? "-" : "") + out;
}

}  // namespace

int DecimalScaleOf(const std::string& declaredType) {
  if (declaredType.empty()) return -1;
  TypeName t = ParseTypeText(declaredType);
  if (t.name == "money" || t.name == "smallmoney") return 4;
  if (t.name != "numeric" && t.name != "decimal") return -1;
  return t.scale >= 0 ? t.scale : 0;
}

std::string FormatValue(const Value& v, const Field& field) {
  int scale = DecimalScaleOf(field.declaredType);
  if (scale < 0) {
    // smalldatetime keeps whole minutes: it shows seconds as :00 and no fraction.
    const auto* s = std::get_if<std::string>(&v);
    if (s && s->size() == 23 && (*s)[19] == '.' && field.declaredType.starts_with("smalldatetime"))
      return s->substr(0, 19);
    return FormatValue(v);
  }
  if (const auto* i = std::get_if<long long>(&v)) return FixedScale(std::to_string(*i), scale);
  if (const auto* d = std::get_if<double>(&v)) {
    char buf[400];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, *d, std::chars_format::fixed);
    if (ec == std::errc()) return FixedScale(std::string(buf, end), scale);
  }
  if (const auto* s = std::get_if<std::string>(&v)) {
    // Decimal text (as a conversion may leave it) prints like the number it holds.
    if (!s->empty() && s->find_first_not_of("+-.0123456789") == std::string::npos &&
        s->find_first_of("0123456789") != std::string::npos)
      return FixedScale(*s, scale);
  }
  return FormatValue(v);
}

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
    for (size_t i = 0; i < row.size(); ++i) {
      out += i ? "\t" : "";
      out += i < rs.fields.size() ? FormatValue(row[i], rs.fields[i]) : FormatValue(row[i]);
    }
    out += "\n";
  }
  return out;
}

}  // namespace xfer::engine
