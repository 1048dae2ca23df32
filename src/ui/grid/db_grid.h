// The data grid every form shows its rows in: a right-to-left table view over a record set,
// with the current row kept in step with the record set's cursor, kept across sorts and
// requeries, and the suite's grid colours. The menu and commands come with TMalyObject.
#pragma once

#include <QTableView>
#include <string>
#include <vector>

#include "db/record_set.h"
#include "ui/grid/grid_column.h"

namespace xfer::ui::grid {

class RecordSetModel;
struct ColourOptions;

class TDBGrid : public QTableView {
  Q_OBJECT
 public:
  explicit TDBGrid(QWidget* parent = nullptr);
  TDBGrid(const TDBGrid&) = delete;
  TDBGrid& operator=(const TDBGrid&) = delete;

  // The design-time columns, in design order; without them every field shows.
  void setColumns(std::vector<GridColumn> columns);
  // The record set the grid shows (not owned); the current row follows its cursor.
  void setDataSet(db::RecordSet* rs);
  db::RecordSet* dataSet() const;
  RecordSetModel* recordModel() const { return model_; }
  // Whether the dataset is open.
  bool dataSetActive() const;

  // Re-runs the query, keeping the current row (found again by its values) and cell.
  void Requery();
  // The rows changed in the record set (sort, delete, restore): read them again, keeping the
  // record set's current row.
  void Refresh();
  // Moves the current cell to the record set's current row.
  void SyncToDataSet();

  // Column (model index) of a field, -1 when the grid has none.
  int columnOf(const std::string& field) const;
  std::string fieldOf(int column) const;
  // Columns in display order.
  std::vector<int> displayOrder() const;

  void setColours(const ColourOptions& o);

 signals:
  // Emitted after setDataSet, so the toolkit can load the stored layout.
  void dataSetChanged();
  void titleClicked(int column);

 protected:
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

 private:
  void ApplyDesignWidths();

  RecordSetModel* model_ = nullptr;
};

}  // namespace xfer::ui::grid
