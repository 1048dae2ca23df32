#include "ui/grid/db_grid.h"

#include <QHeaderView>

#include "ui/grid/colour_options.h"
#include "ui/grid/record_set_model.h"

namespace xfer::ui::grid {

TDBGrid::TDBGrid(QWidget* parent) : QTableView(parent), model_(new RecordSetModel(this)) {
  setLayoutDirection(Qt::RightToLeft);
  setModel(model_);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
  setContextMenuPolicy(Qt::CustomContextMenu);
  horizontalHeader()->setSectionsMovable(true);
  horizontalHeader()->setSectionsClickable(true);
  horizontalHeader()->setHighlightSections(false);
  verticalHeader()->setDefaultSectionSize(22);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &TDBGrid::titleClicked);
}

void TDBGrid::setColumns(std::vector<GridColumn> columns) {
  model_->setColumns(std::move(columns));
  ApplyDesignWidths();
}

void TDBGrid::ApplyDesignWidths() {
  QHeaderView* h = horizontalHeader();
  const auto& cols = model_->columns();
  for (int i = 0; i < model_->columnCount(); ++i) {
    h->moveSection(h->visualIndex(i), i);
    if (i < static_cast<int>(cols.size())) {
      if (cols[static_cast<size_t>(i)].width > 0)
        h->resizeSection(i, cols[static_cast<size_t>(i)].width);
      h->setSectionHidden(i, !cols[static_cast<size_t>(i)].visible);
    }
  }
}

void TDBGrid::setDataSet(db::RecordSet* rs) {
  const int columns = model_->columnCount();
  model_->setRecordSet(rs);
  if (model_->columns().empty() && model_->columnCount() != columns) ApplyDesignWidths();
  SyncToDataSet();
  emit dataSetChanged();
}

db::RecordSet* TDBGrid::dataSet() const {
  return model_->recordSet();
}

bool TDBGrid::dataSetActive() const {
  return dataSet() && dataSet()->active();
}

void TDBGrid::Requery() {
  if (!dataSet()) return;
  dataSet()->Requery();
  Refresh();
}

void TDBGrid::Refresh() {
  const int column = currentIndex().isValid() ? currentIndex().column() : -1;
  model_->Reload();
  SyncToDataSet();
  if (column >= 0 && currentIndex().isValid())
    setCurrentIndex(model_->index(currentIndex().row(), column));
}

void TDBGrid::SyncToDataSet() {
  db::RecordSet* rs = dataSet();
  if (!rs || !rs->active() || rs->RecordCount() == 0) return;
  const long long row = std::clamp<long long>(rs->RecNo(), 0, rs->RecordCount() - 1);
  model_->FetchUpTo(row);
  int column = currentIndex().isValid() ? currentIndex().column() : -1;
  if (column < 0)
    for (int visual = 0; visual < model_->columnCount() && column < 0; ++visual)
      if (!isColumnHidden(horizontalHeader()->logicalIndex(visual)))
        column = horizontalHeader()->logicalIndex(visual);
  const QModelIndex at = model_->index(static_cast<int>(row), std::max(column, 0));
  setCurrentIndex(at);
  scrollTo(at);
}

void TDBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  if (current.isValid() && dataSet()) dataSet()->MoveTo(current.row());
}

int TDBGrid::columnOf(const std::string& field) const {
  return model_->ColumnOf(field);
}

std::string TDBGrid::fieldOf(int column) const {
  const int field = model_->FieldOf(column);
  if (field >= 0) return dataSet()->fields()[static_cast<size_t>(field)].name;
  const auto& cols = model_->columns();
  return column >= 0 && column < static_cast<int>(cols.size())
             ? cols[static_cast<size_t>(column)].field
             : std::string();
}

std::vector<int> TDBGrid::displayOrder() const {
  std::vector<int> order;
  for (int visual = 0; visual < model_->columnCount(); ++visual)
    order.push_back(horizontalHeader()->logicalIndex(visual));
  return order;
}

void TDBGrid::setColours(const ColourOptions& o) {
  QPalette p = palette();
  p.setColor(QPalette::Base, o.gridTextBA);
  p.setColor(QPalette::Text, o.gridTextFA);
  setPalette(p);
  QPalette title = horizontalHeader()->palette();
  title.setColor(QPalette::Button, o.gridCaptionBA);
  title.setColor(QPalette::ButtonText, o.gridCaptionFA);
  horizontalHeader()->setPalette(title);
  model_->setColours(o.gridTextBA, o.gridTextFA, o.gridTextBR, o.gridTextFR, o.gridCaptionFA,
                     o.gridCaptionFR);
}

}  // namespace xfer::ui::grid
