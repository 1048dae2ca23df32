// What the export writers read: the columns to write (caption, field, kind, width) and, per
// cell, its display text and its number when it holds one. A grid hands over its visible
// columns in display order; the command-line tool hands over a query's record set.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace xfer::db {
class RecordSet;
}

namespace xfer::grid_export {

enum class CellKind { kText, kNumber };

struct ExportColumn {
  std::string caption;
  std::string field;
  CellKind kind = CellKind::kText;
  int widthPx = 64;
};

class ExportSource {
 public:
  virtual ~ExportSource() = default;
  virtual const std::vector<ExportColumn>& Columns() const = 0;
  virtual size_t Rows() const = 0;
  // Display text; empty for NULL.
  virtual std::string Text(size_t row, size_t column) const = 0;
  // The number a cell of a number column holds; nullopt for NULL.
  virtual std::optional<double> Number(size_t row, size_t column) const = 0;
};

// Every field of a record set, captions the field names, numbers typed.
class RecordSetSource : public ExportSource {
 public:
  explicit RecordSetSource(const db::RecordSet& rs);
  const std::vector<ExportColumn>& Columns() const override { return columns_; }
  size_t Rows() const override;
  std::string Text(size_t row, size_t column) const override;
  std::optional<double> Number(size_t row, size_t column) const override;

 private:
  const db::RecordSet& rs_;
  std::vector<ExportColumn> columns_;
};

// Rows written so far of all rows; called now and then by the writers.
using ExportProgress = std::function<void(size_t done, size_t total)>;

}  // namespace xfer::grid_export
