// The report-properties library: the report's title (editable), its rows and columns. The
// answer is the title the user keeps.
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

#include "ui/grid/libs/library_widgets.h"

using namespace xfer::ui::grid;
using namespace xfer::ui::grid::library;

extern "C" __attribute__((visibility("default"))) void ReportProperties(GridLibraryCall* call) {
  call->result.clear();
  if (!call->grid) return;
  QAbstractItemModel* m = call->grid->model();
  FetchAll(m);
  QDialog d;
  QVBoxLayout* body =
      MakeDialog(d, "PropertiesDialog", QString::fromUtf8("مشخصات گزارش"), call->grid->window());
  auto* form = new QFormLayout;
  auto* title = new QLineEdit(QString::fromStdString(call->title), &d);
  title->setObjectName("edtTitle");
  form->addRow(QString::fromUtf8("عنوان"), title);
  form->addRow(QString::fromUtf8("تعداد رديف"), new QLabel(QString::number(m->rowCount()), &d));
  form->addRow(QString::fromUtf8("تعداد ستون"),
               new QLabel(QString::number(ColumnsOf(call->grid, true).size()), &d));
  body->addLayout(form);
  if (d.exec() == QDialog::Accepted) call->result = title->text().toStdString();
}
