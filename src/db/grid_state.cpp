#include "db/grid_state.h"

#include "db/text_util.h"
#include "engine/engine.h"

namespace xfer::db {
namespace {

std::string KeyCondition(const std::string& userId, const GridKeys& k) {
  return "UserId=" + Quote(userId) + " And sProg = " + Quote(k.prog) +
         " And sItem = " + Quote(k.item) + " And sForm = " + Quote(k.form) +
         " And sPart=" + Quote(k.part);
}

std::optional<long long> Number(const Value& v) {
  if (const auto* i = std::get_if<long long>(&v)) return *i;
  if (const auto* d = std::get_if<double>(&v)) return static_cast<long long>(*d);
  if (const auto* s = std::get_if<std::string>(&v)) return ParseInteger(*s);
  return std::nullopt;
}

std::string Text(const Value& v) {
  const auto* s = std::get_if<std::string>(&v);
  return s ? std::string(Trim(*s)) : std::string();
}

}  // namespace

void SaveGridState(Backend& b, const std::string& userId, const GridKeys& keys,
                   const std::vector<ColumnState>& columns) {
  std::string sql = "Delete From Grid_State Where " + KeyCondition(userId, keys);
  for (size_t i = 0; i < columns.size(); ++i) {
    const ColumnState& c = columns[i];
    sql +=
        " Insert Into Grid_State(UserId, sVisible, sProg, sItem, sForm, sPart, sColName, iLen, "
        "iRaj) Values(" +
        Quote(userId) + ", " + Quote(c.visible ? "T" : "F") + ", " + Quote(keys.prog) + ", " +
        Quote(keys.item) + ", " + Quote(keys.form) + ", " + Quote(keys.part) + ", " +
        Quote(c.field) + ", " + std::to_string(c.width) + ", " + std::to_string(i) + ")";
  }
  // One batch, so a failure leaves the previous layout rather than half of the new one.
  b.Execute("BEGIN TRANSACTION " + sql + " COMMIT TRANSACTION");
}

void ResetGridState(Backend& b, const std::string& userId, const GridKeys& keys) {
  b.Execute("Delete From Grid_State Where " + KeyCondition(userId, keys));
}

std::vector<ColumnState> LoadGridState(Backend& b, const std::string& userId,
                                       const GridKeys& keys) {
  auto sets = b.Query("Select sColName, sVisible, iLen, iRaj From Grid_State Where " +
                      KeyCondition(userId, keys) + " Order By iRaj ");
  std::vector<ColumnState> out;
  if (sets.empty()) return out;
  for (const auto& row : sets.front().rows) {
    ColumnState c;
    const std::string visible = UpperAscii(Text(row[1]));
    const auto width = Number(row[2]);
    const auto position = Number(row[3]);
    const bool sane = (visible == "T" || visible == "F") && width && *width >= 0 &&
                      *width <= kMaxColumnWidth && position && *position >= 0;
    if (sane) {
      c.field = Text(row[0]);
      c.visible = visible == "T";
      c.width = static_cast<int>(*width);
    }
    out.push_back(std::move(c));
  }
  return out;
}

}  // namespace xfer::db
