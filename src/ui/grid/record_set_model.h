// A table model over a db::RecordSet: cells are read from the record set when painted, never
// copied into widgets; rows are handed to the view in chunks as it scrolls. The mark character
// shows as a check mark. Edits go through the record set (Edit, Set, Post).
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <functional>
#include <string>
#include <vector>

#include "db/record_set.h"
#include "ui/grid/grid_column.h"
#include "ui/grid/grid_library_api.h"

namespace xfer::ui::grid {

class RecordSetModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit RecordSetModel(QObject* parent = nullptr);

  // Columns of the grid; empty shows every field of the record set.
  void setColumns(std::vector<GridColumn> columns);
  const std::vector<GridColumn>& columns() const { return columns_; }
  // The record set is not owned; null empties the grid.
  void setRecordSet(db::RecordSet* rs);
  db::RecordSet* recordSet() const { return rs_; }
  // Floating-point fields shown as "###,###,###,###,###.###" (a filtered query's format).
  void setFloatFormat(bool on) { floatFormat_ = on; }
  void setEditable(bool on) { editable_ = on; }
  // A row's text colour ahead of the columns' own, for a state the row carries (an invalid
  // colour leaves the row to its columns).
  void setRowForeground(std::function<QColor(long long row)> colour) {
    rowForeground_ = std::move(colour);
  }
  // Edits handed to the form instead of posted to the record set (rows the form keeps itself):
  // row, field name and the typed text; false refuses the edit.
  void setEditHandler(std::function<bool(long long row, const std::string&, const QString&)> h) {
    editHandler_ = std::move(h);
  }
  // The rows changed under the model (sort, requery, delete): everything is read again.
  void Reload();
  // Makes sure rows up to `row` are handed to the view.
  void FetchUpTo(long long row);

  // Field index of a column in the record set, -1 when the set has no such field.
  int FieldOf(int column) const;
  // Column showing `field` (case ignored), -1 when none.
  int ColumnOf(const std::string& field) const;
  // Display text of a cell as the grid shows it (check mark for the mark character).
  QString DisplayText(long long row, int column) const;

  void setTitleColour(int column, const QColor& c);
  void setColours(QColor textBack, QColor textFore, QColor readOnlyBack, QColor readOnlyFore,
                  QColor titleFore, QColor readOnlyTitleFore);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation o, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  bool canFetchMore(const QModelIndex& parent) const override;
  void fetchMore(const QModelIndex& parent) override;

  static constexpr int kChunk = 4096;
  // Header role carrying a column's field name, for the dialog libraries.
  static constexpr int kFieldRole = Qt::UserRole;
  static_assert(kFieldRole == kFieldNameRole);

 signals:
  // An edit the server refused; the record set is back in browse state.
  void postFailed(const QString& error);

 private:
  void MapFields();
  QString CellText(const db::Value& v, const db::Field& f, const GridColumn& c) const;

  db::RecordSet* rs_ = nullptr;
  std::vector<GridColumn> columns_;
  std::vector<GridColumn> shown_;  // columns_ or one per field
  std::vector<int> fieldIndex_;
  std::vector<QColor> titleColours_;
  long long fetched_ = 0;
  bool floatFormat_ = false;
  bool editable_ = false;
  std::function<QColor(long long)> rowForeground_;
  std::function<bool(long long, const std::string&, const QString&)> editHandler_;
  QColor textBack_, textFore_, readOnlyBack_, readOnlyFore_, titleFore_, readOnlyTitleFore_;
};

// "12,345,678.5": thousands separators, at most three decimals.
QString DelimitedNumber(double v);

}  // namespace xfer::ui::grid
