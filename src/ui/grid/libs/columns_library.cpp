// The column-chooser library: every column of the grid in display order with a tick for shown
// ones; the user ticks and moves them, and the grid takes the new order and visibility in place.
#include <QHBoxLayout>
#include <QListWidget>

#include "ui/grid/libs/library_widgets.h"

using namespace xfer::ui::grid;
using namespace xfer::ui::grid::library;

extern "C" __attribute__((visibility("default"))) void ChooseColumns(GridLibraryCall* call) {
  if (!call->grid) return;
  QHeaderView* header = call->grid->horizontalHeader();
  QDialog d;
  QVBoxLayout* body =
      MakeDialog(d, "ColumnsDialog", QString::fromUtf8("ستونها"), call->grid->window());
  auto* list = new QListWidget(&d);
  list->setObjectName("lstColumns");
  for (const Column& c : ColumnsOf(call->grid, false)) {
    auto* item = new QListWidgetItem(c.caption, list);
    item->setData(Qt::UserRole, c.logical);
    item->setCheckState(header->isSectionHidden(c.logical) ? Qt::Unchecked : Qt::Checked);
  }
  auto* up = new QPushButton(QString::fromUtf8("بالا"), &d);
  up->setObjectName("cmdUp");
  auto* down = new QPushButton(QString::fromUtf8("پايين"), &d);
  down->setObjectName("cmdDown");
  auto move = [list](int step) {
    const int row = list->currentRow();
    if (row < 0 || row + step < 0 || row + step >= list->count()) return;
    QListWidgetItem* item = list->takeItem(row);
    list->insertItem(row + step, item);
    list->setCurrentRow(row + step);
  };
  QObject::connect(up, &QPushButton::clicked, list, [move] { move(-1); });
  QObject::connect(down, &QPushButton::clicked, list, [move] { move(1); });
  auto* row = new QHBoxLayout;
  row->addWidget(list, 1);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(up);
  buttons->addWidget(down);
  buttons->addStretch(1);
  row->addLayout(buttons);
  body->addLayout(row);
  if (d.exec() != QDialog::Accepted) return;
  for (int i = 0; i < list->count(); ++i) {
    const int logical = list->item(i)->data(Qt::UserRole).toInt();
    header->moveSection(header->visualIndex(logical), i);
    header->setSectionHidden(logical, list->item(i)->checkState() != Qt::Checked);
  }
}
