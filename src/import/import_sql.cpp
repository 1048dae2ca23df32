#include "import/import_sql.h"

#include "db/text_util.h"
#include "engine/engine.h"

namespace xfer::import {

std::string Text(const db::ResultSet& rs, size_t row, size_t col) {
  if (row >= rs.rows.size() || col >= rs.rows[row].size()) return {};
  const db::Value& v = rs.rows[row][col];
  return engine::IsNull(v) ? std::string() : engine::FormatValue(v);
}

long long Number(const db::ResultSet& rs, size_t row, size_t col) {
  return db::ParseInteger(Text(rs, row, col)).value_or(0);
}

std::string Replace(std::string s, const std::string& from, const std::string& to) {
  for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
    s.replace(at, from.size(), to);
  return s;
}

db::ResultSet Last(std::vector<db::ResultSet> sets) {
  return sets.empty() ? db::ResultSet{} : std::move(sets.back());
}

std::string Aligned(const std::string& column) {
  return "Right(Space(20) + Ltrim(Rtrim(" + column + ")), 20)";
}

std::string AlignedLiteral(const std::string& typed) {
  std::string n(db::Trim(typed));
  if (n.size() < 20) n = std::string(20 - n.size(), ' ') + n;
  return db::Quote(n);
}

bool BlankDate(const std::string& d) {
  std::string t(db::Trim(d));
  return t.empty() || t == "//";
}

}  // namespace xfer::import
