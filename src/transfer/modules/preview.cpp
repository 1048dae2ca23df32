#include "transfer/modules/preview.h"

#include <unordered_map>

#include "db/text_util.h"
#include "engine/engine.h"

namespace xfer::transfer {
namespace {

// A value as the server's collation sees it; NULL apart from every text.
struct Cell {
  bool null = true;
  std::string text;
};

Cell Normal(const db::Value& v) {
  if (engine::IsNull(v)) return {};
  std::string s = engine::FormatValue(v);
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return {false, db::UpperAscii(s)};
}

bool Same(const Cell& a, const Cell& b) {
  return a.null == b.null && a.text == b.text;
}

db::ResultSet Read(db::Backend& b, const std::string& from, const ModuleTable& t) {
  auto sets =
      b.Query(std::string("SELECT (") + t.key + ") AS XferKey, " + t.columns + " FROM " + from);
  return sets.empty() ? db::ResultSet{} : std::move(sets.front());
}

}  // namespace

TablePreview PreviewTable(db::Backend& source, const std::string& sourceTable,
                          db::Backend& destination, const ModuleTable& t) {
  TablePreview p;
  p.table = t.table;
  db::ResultSet src = Read(source, sourceTable, t);
  db::ResultSet dst = Read(destination, t.table, t);
  // Destination rows by key; a NULL key never matches, as in the procedure.
  std::unordered_map<std::string, std::vector<size_t>> byKey;
  for (size_t r = 0; r < dst.rows.size(); ++r) {
    Cell k = Normal(dst.rows[r][0]);
    if (!k.null) byKey[k.text].push_back(r);
  }
  const size_t width = src.fields.size();
  for (const auto& row : src.rows) {
    ++p.sourceRows;
    Cell k = Normal(row[0]);
    auto it = k.null ? byKey.end() : byKey.find(k.text);
    if (it == byKey.end()) {
      ++p.inserted;
      continue;
    }
    ++p.clashing;
    bool identical = false;
    for (size_t d : it->second) {
      bool all = true;
      for (size_t c = 1; c < width && all; ++c) all = Same(Normal(row[c]), Normal(dst.rows[d][c]));
      if (all) identical = true;
    }
    if (identical) {
      ++p.identical;
      continue;
    }
    ClashingRow clash;
    clash.key = engine::IsNull(row[0]) ? std::string() : engine::FormatValue(row[0]);
    const auto& first = dst.rows[it->second.front()];
    for (size_t c = 1; c < width; ++c)
      if (!Same(Normal(row[c]), Normal(first[c]))) clash.differing.push_back(src.fields[c].name);
    p.clashes.push_back(std::move(clash));
  }
  return p;
}

}  // namespace xfer::transfer
