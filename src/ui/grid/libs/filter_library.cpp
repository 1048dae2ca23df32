// The filter library: the user picks a column, a comparison and a value; the answer is the
// grid's statement narrowed to the matching rows, or empty when the user cancels.
#include <QLabel>
#include <QLineEdit>

#include "db/text_util.h"
#include "ui/grid/libs/library_widgets.h"

using namespace xfer::ui::grid;
using namespace xfer::ui::grid::library;

namespace {

struct Comparison {
  const char* caption;
  const char* op;  // empty: contains
};
constexpr Comparison kComparisons[] = {{"=", "="},   {"<>", "<>"}, {">", ">"},  {"<", "<"},
                                       {">=", ">="}, {"<=", "<="}, {"شامل", ""}};

}  // namespace

extern "C" __attribute__((visibility("default"))) void FilterReport(GridLibraryCall* call) {
  call->result.clear();
  if (!call->grid || call->sql.empty()) return;
  const auto cols = ColumnsOf(call->grid, true);
  QDialog d;
  QVBoxLayout* body =
      MakeDialog(d, "FilterDialog", QString::fromUtf8("پالايش گزارش"), call->grid->window());
  body->addWidget(new QLabel(QString::fromStdString(call->title), &d));
  QComboBox* field = FieldBox(&d, "cmbField", cols);
  auto* comparison = new QComboBox(&d);
  comparison->setObjectName("cmbOperator");
  for (const Comparison& c : kComparisons) comparison->addItem(QString::fromUtf8(c.caption));
  auto* value = new QLineEdit(&d);
  value->setObjectName("edtValue");
  body->addWidget(field);
  body->addWidget(comparison);
  body->addWidget(value);
  if (d.exec() != QDialog::Accepted || field->currentIndex() < 0) return;

  const std::string column = "[" + field->currentData().toString().toStdString() + "]";
  const std::string text = value->text().toStdString();
  const Comparison& c = kComparisons[comparison->currentIndex()];
  const std::string condition = *c.op ? column + " " + c.op + " " + xfer::db::Quote(text)
                                      : column + " Like " + xfer::db::Quote("%" + text + "%");
  // The ordering of the statement stays outside the derived table.
  const std::string upper = xfer::db::UpperAscii(call->sql);
  const size_t order = upper.rfind("ORDER BY");
  const std::string inner = call->sql.substr(0, order);
  const std::string tail = order == std::string::npos ? "" : " " + call->sql.substr(order);
  call->result = "Select * From (" + inner + ") As F Where " + condition + tail;
}
