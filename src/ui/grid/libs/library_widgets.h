// What the suite's dialog libraries share: a right-to-left dialog with OK and cancel buttons,
// the grid's columns in display order, and the grid as an HTML table for printing.
#pragma once

#include <QAbstractItemModel>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <vector>

#include "ui/grid/grid_library_api.h"

namespace xfer::ui::grid::library {

struct Column {
  int logical;
  QString field;
  QString caption;
};

// Every column of the grid in display order; `visibleOnly` leaves hidden ones out.
inline std::vector<Column> ColumnsOf(QTableView* grid, bool visibleOnly) {
  std::vector<Column> out;
  QHeaderView* h = grid->horizontalHeader();
  QAbstractItemModel* m = grid->model();
  for (int visual = 0; visual < h->count(); ++visual) {
    const int logical = h->logicalIndex(visual);
    if (visibleOnly && h->isSectionHidden(logical)) continue;
    out.push_back({logical, m->headerData(logical, Qt::Horizontal, kFieldNameRole).toString(),
                   m->headerData(logical, Qt::Horizontal, Qt::DisplayRole).toString()});
  }
  return out;
}

// Rows the view has not fetched yet are fetched, so a library sees every row.
inline void FetchAll(QAbstractItemModel* m) {
  while (m->canFetchMore({})) m->fetchMore({});
}

// A dialog named `name`; the body goes into the returned layout, OK and cancel below it.
inline QVBoxLayout* MakeDialog(QDialog& d, const char* name, const QString& caption,
                               QWidget* parent) {
  d.setParent(parent, Qt::Dialog);
  d.setObjectName(name);
  d.setLayoutDirection(Qt::RightToLeft);
  d.setWindowTitle(caption);
  auto* outer = new QVBoxLayout(&d);
  auto* body = new QVBoxLayout;
  outer->addLayout(body);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("cmdOk");
  buttons->button(QDialogButtonBox::Ok)->setText(QString::fromUtf8("تاييد"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName("cmdCancel");
  buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf8("انصراف"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
  outer->addWidget(buttons);
  return body;
}

// A combo box of the columns, each item carrying its field name.
inline QComboBox* FieldBox(QWidget* parent, const char* name, const std::vector<Column>& cols) {
  auto* box = new QComboBox(parent);
  box->setObjectName(name);
  for (const Column& c : cols) box->addItem(c.caption, c.field);
  return box;
}

inline QString Escaped(const QString& s) {
  return s.toHtmlEscaped();
}

// The visible columns and every row as a right-to-left HTML table under the title.
inline QString GridHtml(QTableView* grid, const std::string& title) {
  QAbstractItemModel* m = grid->model();
  FetchAll(m);
  const auto cols = ColumnsOf(grid, true);
  QString html = "<html dir=rtl><body><h3 align=center>" + Escaped(QString::fromStdString(title)) +
                 "</h3><table border=1 cellspacing=0 cellpadding=2 width=100%><tr>";
  for (const Column& c : cols) html += "<th>" + Escaped(c.caption) + "</th>";
  html += "</tr>";
  for (int r = 0; r < m->rowCount(); ++r) {
    html += "<tr>";
    for (const Column& c : cols)
      html += "<td>" + Escaped(m->index(r, c.logical).data().toString()) + "</td>";
    html += "</tr>";
  }
  return html + "</table></body></html>";
}

}  // namespace xfer::ui::grid::library
