#include "transfer/modules/forms/maly_form.h"

#include <QDialog>
#include <QVBoxLayout>
#include <utility>

#include "db/session.h"
#include "transfer/forms/form_grid.h"
#include "transfer/modules/turnover.h"
#include "ui/grid/maly_object.h"

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
    // The lines in the toolkit's grid, a report grid: sorted by a title click, exported,
    // printed and charted like every other grid.
    engine::ResultSet rows;
    for (const auto& [name, kind] : {std::pair{"SanadDate", engine::FieldKind::String},
                                     {"SanadNo", engine::FieldKind::String},
                                     {"Des", engine::FieldKind::String},
                                     {"Bed", engine::FieldKind::Float},
                                     {"Bes", engine::FieldKind::Float},
                                     {"Mande", engine::FieldKind::Float}}) {
      engine::Field f;
      f.name = name;
      f.kind = kind;
      rows.fields.push_back(std::move(f));
    }
    for (const TurnoverLine& l : lines)
      rows.rows.push_back({l.date, l.voucher, l.description, l.debit, l.credit, l.balance});
    db::RecordSet quGardesh;
    quGardesh.Assign(std::move(rows));
    QDialog window(this);
    window.setObjectName("GardeshWindow");
    window.setLayoutDirection(Qt::RightToLeft);
    window.setWindowTitle(QString::fromStdString(request->selection));
    auto* gardesh = new FrameGrid(&window);
    gardesh->setObjectName("dbgGardesh");
    // Read-only columns; the amounts sum and show thousands separators.
    auto column = [](const char* name, const char* title, bool amount) {
      FrameColumn c;
      c.field = name;
      c.caption = title;
      c.readOnly = true;
      c.sumable = c.delimiter = amount;
      return c;
    };
    gardesh->setColumns({column("SanadDate", "تاريخ", false), column("SanadNo", "سند", false),
                         column("Des", "شرح", false), column("Bed", "بدهكار", true),
                         column("Bes", "بستانكار", true), column("Mande", "مانده", true)});
    gardesh->setDataSet(&quGardesh);
    auto* tools = new ui::grid::TMalyObject(gardesh, {"M", "SAYER", "XFER", "DBGGARDESH"},
                                            ui::grid::GridVariant::kReport,
                                            GridSessionOf(session_, dialogs_));
    tools->setTitle(request->selection);
    (new QVBoxLayout(&window))->addWidget(gardesh);
    window.resize(720, 420);
    window.exec();
  });
}

}  // namespace xfer::transfer
