// The search library: finding a value in a column ("FIELD=VALUE" for the grid to position on)
// and the advanced sort (up to three columns, each ascending or descending, answered as a
// client-side sort order "F1 ASC, F2 DESC").
#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>

#include "ui/grid/libs/library_widgets.h"

using namespace xfer::ui::grid;
using namespace xfer::ui::grid::library;

extern "C" __attribute__((visibility("default"))) void SearchGrid(GridLibraryCall* call) {
  call->result.clear();
  if (!call->grid) return;
  const auto cols = ColumnsOf(call->grid, true);
  QDialog d;
  QVBoxLayout* body =
      MakeDialog(d, "SearchDialog", QString::fromUtf8("جستجو"), call->grid->window());
  QComboBox* field = FieldBox(&d, "cmbField", cols);
  const int current = call->grid->currentIndex().column();
  for (size_t i = 0; i < cols.size(); ++i)
    if (cols[i].logical == current) field->setCurrentIndex(static_cast<int>(i));
  auto* value = new QLineEdit(QString::fromStdString(call->text), &d);
  value->setObjectName("edtValue");
  body->addWidget(field);
  body->addWidget(value);
  if (d.exec() != QDialog::Accepted || field->currentIndex() < 0) return;
  call->result = (field->currentData().toString() + "=" + value->text()).toStdString();
}

extern "C" __attribute__((visibility("default"))) void SortGrid(GridLibraryCall* call) {
  call->result.clear();
  if (!call->grid) return;
  const auto cols = ColumnsOf(call->grid, true);
  QDialog d;
  QVBoxLayout* body =
      MakeDialog(d, "SortDialog", QString::fromUtf8("مرتب سازي پيشرفته"), call->grid->window());
  auto* grid = new QGridLayout;
  std::vector<std::pair<QComboBox*, QCheckBox*>> keys;
  for (int i = 0; i < 3; ++i) {
    QComboBox* field = FieldBox(&d, ("cmbField" + std::to_string(i + 1)).c_str(), cols);
    field->insertItem(0, QString(), QString());
    field->setCurrentIndex(0);
    auto* desc = new QCheckBox(QString::fromUtf8("نزولي"), &d);
    desc->setObjectName("chkDesc" + QString::number(i + 1));
    grid->addWidget(field, i, 0);
    grid->addWidget(desc, i, 1);
    keys.emplace_back(field, desc);
  }
  body->addLayout(grid);
  if (d.exec() != QDialog::Accepted) return;
  std::string order;
  for (auto [field, desc] : keys) {
    const QString name = field->currentData().toString();
    if (name.isEmpty()) continue;
    order +=
        (order.empty() ? "" : ", ") + name.toStdString() + (desc->isChecked() ? " DESC" : " ASC");
  }
  call->result = order;
}
