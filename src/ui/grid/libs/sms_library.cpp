// The SMS library: a message to the mobile numbers of one column of the grid, queued for the
// suite's SMS program in its ##TSMS table. The answer positions the grid on the last number
// queued ("FIELD=NUMBER").
#include <QLineEdit>
#include <QPlainTextEdit>
#include <set>

#include "db/text_util.h"
#include "ui/grid/libs/library_widgets.h"

using namespace xfer::ui::grid;
using namespace xfer::ui::grid::library;

extern "C" __attribute__((visibility("default"))) void SendSms(GridLibraryCall* call) {
  call->result.clear();
  if (!call->grid || !call->runSql) return;
  const auto cols = ColumnsOf(call->grid, true);
  QDialog d;
  QVBoxLayout* body =
      MakeDialog(d, "SmsDialog", QString::fromUtf8("ارسال SMS"), call->grid->window());
  QComboBox* field = FieldBox(&d, "cmbMobile", cols);
  auto* message = new QPlainTextEdit(QString::fromStdString(call->text), &d);
  message->setObjectName("edtMessage");
  body->addWidget(field);
  body->addWidget(message);
  if (d.exec() != QDialog::Accepted || field->currentIndex() < 0) return;
  QAbstractItemModel* m = call->grid->model();
  FetchAll(m);
  const int column = cols[static_cast<size_t>(field->currentIndex())].logical;
  const std::string text = message->toPlainText().toStdString();
  std::set<std::string> sent;
  std::string last;
  for (int r = 0; r < m->rowCount(); ++r) {
    const std::string number = m->index(r, column).data().toString().trimmed().toStdString();
    if (number.empty() || !sent.insert(number).second) continue;
    call->runSql("Insert Into ##TSMS (Mobile, Msg) Values (" + xfer::db::Quote(number) + ", " +
                 xfer::db::Quote(text) + ")");
    last = number;
  }
  if (!last.empty()) call->result = field->currentData().toString().toStdString() + "=" + last;
}
