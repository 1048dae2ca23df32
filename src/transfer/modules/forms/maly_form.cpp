#include "transfer/modules/forms/maly_form.h"

#include <QDialog>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "db/session.h"
#include "transfer/modules/turnover.h"

namespace xfer::transfer {

TXferMalyForm::TXferMalyForm(SessionSource session, QWidget* parent)
    : TModuleForm(std::move(session), MalyForm(), "Hesab_PageControl", parent) {}

void TXferMalyForm::GardeshItemClick() {
  FrameGrid* grid = activeGrid();
  if (!transfer_ || !grid || grid == dbgDorhMale || !grid->dataSetActive()) return;
  db::RecordSet* rs = grid->dataSet();
  if (rs->Eof() || rs->Bof()) return;
  const std::string field = grid->fieldOf(grid->currentIndex().column());
  if (field.empty()) return;
  const std::string koll = rs->FieldIndex("Koll") >= 0 ? rs->Text("Koll") : std::string();
  const db::HostGlobal& g = *transferSession_.global;
  auto request = TurnoverFor(field, rs->Text(field), koll, g.periodStart, g.periodEnd);
  if (!request) return;
  lastTurnover_ = request->selection + request->condition;
  Guarded([&] {
    const auto lines = AccountTurnover(*transferSession_.database->connection(), *request);
    QDialog window(this);
    window.setObjectName("GardeshWindow");
    window.setLayoutDirection(Qt::RightToLeft);
    window.setWindowTitle(QString::fromStdString(request->selection));
    auto* table = new QTableWidget(static_cast<int>(lines.size()), 6, &window);
    table->setObjectName("dbgGardesh");
    table->setHorizontalHeaderLabels({"تاريخ", "سند", "شرح", "بدهكار", "بستانكار", "مانده"});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int r = 0; r < static_cast<int>(lines.size()); ++r) {
      const TurnoverLine& l = lines[static_cast<size_t>(r)];
      const QString cells[] = {
          QString::fromStdString(l.date),        QString::fromStdString(l.voucher),
          QString::fromStdString(l.description), QString::number(l.debit, 'f', 0),
          QString::number(l.credit, 'f', 0),     QString::number(l.balance, 'f', 0)};
      for (int c = 0; c < 6; ++c) table->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    table->horizontalHeader()->setStretchLastSection(true);
    (new QVBoxLayout(&window))->addWidget(table);
    window.resize(720, 420);
    window.exec();
  });
}

}  // namespace xfer::transfer
