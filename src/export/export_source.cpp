#include "export/export_source.h"

#include <algorithm>

#include "db/record_set.h"
#include "engine/engine.h"

namespace xfer::grid_export {

RecordSetSource::RecordSetSource(const db::RecordSet& rs) : rs_(rs) {
  for (const auto& f : rs.fields()) {
    const bool number = f.kind == db::FieldKind::Integer || f.kind == db::FieldKind::Float;
    // Text columns as wide as their declared size, within reason.
    const int chars = number ? 14 : std::clamp(f.size, 4, 40);
    columns_.push_back({f.name, f.name, number ? CellKind::kNumber : CellKind::kText, chars * 7});
  }
}

size_t RecordSetSource::Rows() const {
  return static_cast<size_t>(rs_.RecordCount());
}

std::string RecordSetSource::Text(size_t row, size_t column) const {
  const db::Value& v = rs_.data().rows[row][column];
  return engine::IsNull(v) ? std::string() : engine::FormatValue(v, rs_.fields()[column]);
}

std::optional<double> RecordSetSource::Number(size_t row, size_t column) const {
  const db::Value& v = rs_.data().rows[row][column];
  if (const auto* i = std::get_if<long long>(&v)) return static_cast<double>(*i);
  if (const auto* d = std::get_if<double>(&v)) return *d;
  return std::nullopt;
}

}  // namespace xfer::grid_export
