#include "transfer/modules/forms/frame_grid.h"

#include <QHeaderView>

#include "db/text_util.h"
#include "engine/engine.h"
#include "transfer/modules/conflict_review.h"

namespace xfer::transfer {

void RecordSetTableModel::setColumns(std::vector<FrameColumn> columns) {
  beginResetModel();
  columns_ = std::move(columns);
  MapFields();
  endResetModel();
}

void RecordSetTableModel::setRecordSet(db::RecordSet* rs) {
  beginResetModel();
  rs_ = rs;
  MapFields();
  endResetModel();
}

void RecordSetTableModel::Reload() {
  beginResetModel();
  MapFields();
  endResetModel();
}

void RecordSetTableModel::MapFields() {
  shown_ = columns_;
  if (shown_.empty() && rs_)
    for (const auto& f : rs_->fields()) shown_.push_back({f.name, f.name, 0});
  fieldIndex_.clear();
  for (const auto& c : shown_) fieldIndex_.push_back(rs_ ? rs_->FieldIndex(c.field) : -1);
}

int RecordSetTableModel::FieldOf(int column) const {
  return column >= 0 && column < static_cast<int>(fieldIndex_.size())
             ? fieldIndex_[static_cast<size_t>(column)]
             : -1;
}

int RecordSetTableModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || !rs_ || !rs_->active()) return 0;
  return static_cast<int>(rs_->RecordCount());
}

int RecordSetTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

QVariant RecordSetTableModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole && role != Qt::TextAlignmentRole) return {};
  const int field = FieldOf(index.column());
  if (!rs_ || field < 0 || index.row() >= rowCount()) return {};
  const db::Value& v =
      rs_->data().rows[static_cast<size_t>(index.row())][static_cast<size_t>(field)];
  std::string text = engine::IsNull(v) ? std::string() : engine::FormatValue(v);
  const bool mark = std::string(db::Trim(text)) == kMark;
  if (role == Qt::TextAlignmentRole)
    return mark || text.size() <= 1 ? QVariant(Qt::AlignCenter) : QVariant();
  return mark ? QString(QChar(0x2714)) : QString::fromStdString(text);
}

QVariant RecordSetTableModel::headerData(int section, Qt::Orientation o, int role) const {
  if (o != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= static_cast<int>(shown_.size()))
    return QAbstractTableModel::headerData(section, o, role);
  const FrameColumn& c = shown_[static_cast<size_t>(section)];
  return QString::fromStdString(c.caption.empty() ? c.field : c.caption);
}

FrameGrid::FrameGrid(QWidget* parent) : QTableView(parent), model_(new RecordSetTableModel(this)) {
  setModel(model_);
  setLayoutDirection(Qt::RightToLeft);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  verticalHeader()->setDefaultSectionSize(22);
  verticalHeader()->hide();
}

void FrameGrid::setColumns(std::vector<FrameColumn> columns) {
  model_->setColumns(std::move(columns));
  for (int i = 0; i < static_cast<int>(model_->columns().size()); ++i)
    if (int w = model_->columns()[static_cast<size_t>(i)].width; w > 0) setColumnWidth(i, w);
}

void FrameGrid::setDataSet(db::RecordSet* rs) {
  model_->setRecordSet(rs);
  SyncToDataSet();
}

void FrameGrid::Requery() {
  if (!dataSetActive()) return;
  const int column = currentIndex().isValid() ? currentIndex().column() : 0;
  dataSet()->Requery();
  model_->Reload();
  SyncToDataSet();
  if (currentIndex().isValid()) setCurrentIndex(model_->index(currentIndex().row(), column));
}

void FrameGrid::Refresh() {
  model_->Reload();
  SyncToDataSet();
}

int FrameGrid::columnOf(const std::string& field) const {
  for (int i = 0; i < static_cast<int>(model_->columns().size()); ++i)
    if (db::UpperAscii(model_->columns()[static_cast<size_t>(i)].field) == db::UpperAscii(field))
      return i;
  return -1;
}

std::string FrameGrid::fieldOf(int column) const {
  if (column < 0 || column >= static_cast<int>(model_->columns().size())) return {};
  return model_->columns()[static_cast<size_t>(column)].field;
}

void FrameGrid::SyncToDataSet() {
  db::RecordSet* rs = dataSet();
  if (!rs || !rs->active() || rs->RecordCount() == 0) return;
  long long row = rs->RecNo() < 0 ? 0 : std::min(rs->RecNo(), rs->RecordCount() - 1);
  const int column = currentIndex().isValid() ? currentIndex().column() : 0;
  setCurrentIndex(model_->index(static_cast<int>(row), column));
}

void FrameGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  if (current.isValid() && dataSetActive()) dataSet()->MoveTo(current.row());
}

}  // namespace xfer::transfer
