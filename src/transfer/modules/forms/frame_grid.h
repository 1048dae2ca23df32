// The grid of the module forms and the conflict window: a right-to-left table view over a
// db::RecordSet whose current row follows the record set's cursor; the mark character shows
// as a check mark. Kept to the interface of the suite's grid toolkit so the forms take the
// toolkit's grid in its place.
#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <string>
#include <vector>

#include "db/record_set.h"

namespace xfer::transfer {

struct FrameColumn {
  std::string field;
  std::string caption;  // empty: the field name
  int width = 0;        // pixels; 0 fits the title
};

class RecordSetTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit RecordSetTableModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}
  void setColumns(std::vector<FrameColumn> columns);
  const std::vector<FrameColumn>& columns() const { return shown_; }
  void setRecordSet(db::RecordSet* rs);
  db::RecordSet* recordSet() const { return rs_; }
  // The rows changed under the model: everything is read again.
  void Reload();
  int FieldOf(int column) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation o, int role) const override;

 private:
  void MapFields();

  db::RecordSet* rs_ = nullptr;
  std::vector<FrameColumn> columns_;
  std::vector<FrameColumn> shown_;
  std::vector<int> fieldIndex_;
};

class FrameGrid : public QTableView {
  Q_OBJECT
 public:
  explicit FrameGrid(QWidget* parent = nullptr);
  FrameGrid(const FrameGrid&) = delete;
  FrameGrid& operator=(const FrameGrid&) = delete;

  void setColumns(std::vector<FrameColumn> columns);
  const std::vector<FrameColumn>& columns() const { return model_->columns(); }
  void setDataSet(db::RecordSet* rs);
  db::RecordSet* dataSet() const { return model_->recordSet(); }
  bool dataSetActive() const { return dataSet() && dataSet()->active(); }
  // Re-runs the query, keeping the current row.
  void Requery();
  // Reads the rows again, the record set's cursor kept.
  void Refresh();
  int columnOf(const std::string& field) const;
  std::string fieldOf(int column) const;

 protected:
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

 private:
  void SyncToDataSet();

  RecordSetTableModel* model_;
};

}  // namespace xfer::transfer
