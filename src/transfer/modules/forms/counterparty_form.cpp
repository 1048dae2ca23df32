#include "transfer/modules/forms/counterparty_form.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/grid/maly_object.h"
#include "ui/ui_font.h"

namespace xfer::transfer {
namespace {

QString Amount(double v) {
  return QLocale(QLocale::English).toString(v, 'f', 0);
}

}  // namespace

TTarafHesabForm::TTarafHesabForm(TreasuryItems& items, const ChequeRow& cheque, QWidget* parent)
    : QDialog(parent), items_(items), cp_(items, cheque) {
  setObjectName("TTarafHesabForm");
  Build(false);
}

TTarafHesabForm::TTarafHesabForm(TreasuryItems& items, ItemKind kind, const NoteRow& note,
                                 QWidget* parent)
    : QDialog(parent), items_(items), cp_(items, kind, note), note_(true) {}

TTarafHesabSaftehForm::TTarafHesabSaftehForm(TreasuryItems& items, ItemKind kind,
                                             const NoteRow& note, QWidget* parent)
    : TTarafHesabForm(items, kind, note, parent) {
  setObjectName("TTarafHesabSaftehForm");
  Build(true);
}

void TTarafHesabForm::Build(bool note) {
  ui::ApplyFormStyle(this);
  setLayoutDirection(Qt::RightToLeft);
  setWindowTitle("طرف حساب ها");
  auto* layout = new QVBoxLayout(this);
  if (note) {
    auto* label = new QLabel("مبلغ سفته : " + Amount(cp_.value()), this);
    label->setObjectName("lbSaftehValue");
    layout->addWidget(label);
  } else {
    auto* caption = new QLabel("طرف حسابها", this);
    caption->setObjectName("Caption_Panel");
    layout->addWidget(caption);
  }
  dbgTaraf = new FrameGrid(this);
  dbgTaraf->setObjectName("dbgTaraf");
  // The search library offers the columns by these names; only the amount is typed in.
  const std::string credit = cp_.currency() ? "مقدار ارز" : "بستانكاري";
  std::vector<FrameColumn> columns = {{note ? "Joz" : "Serial", "سري"},
                                      {note ? "SaftehNo" : "ChqNo", "چك"},
                                      {"Des", "شرح"},
                                      {note ? "SaftehValue" : "ChqValue", credit},
                                      {note ? "NewSaftehValue" : "NewChqValue", "مبلغ"},
                                      {"Koll", "Koll"},
                                      {"Moein", "Moein"},
                                      {"Tafsily", "Tafsily"},
                                      {"ProjectCod", "ProjectCod"},
                                      {"ManabehCod", "مصارف"}};
  for (auto& c : columns) c.readOnly = c.field != columns[4].field;
  columns[3].delimiter = columns[4].delimiter = true;
  dbgTaraf->setColumns(std::move(columns));
  dbgTaraf->recordModel()->setEditable(true);
  dbgTaraf->recordModel()->setEditHandler(
      [this](long long row, const std::string&, const QString& text) {
        return AmountEdited(row, text);
      });
  dbgTaraf->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
  dbgTaraf->horizontalHeader()->setStretchLastSection(true);
  // The report menu: its search (Ctrl+F) and no cell copy, so Ctrl+C stays the line's credit.
  auto* tools = new ui::grid::TMalyObject(
      dbgTaraf, {"N", "SAYER", "XFER", note ? "DBGTARAFSAFTEH" : "DBGTARAF"},
      ui::grid::GridVariant::kReport, [items = &items_] {
        return ui::grid::GridSession{&items->global(), &items->database(), &items->dialogs(),
                                     nullptr};
      });
  tools->setTitle("طرف حساب ها");
  layout->addWidget(dbgTaraf);
  auto* buttons = new QHBoxLayout;
  cmdOk = new QPushButton("تاييد", this);
  cmdOk->setObjectName("cmdOk");
  cmdCancel = new QPushButton("انصراف", this);
  cmdCancel->setObjectName("cmdCancel");
  buttons->addWidget(cmdOk);
  buttons->addWidget(cmdCancel);
  layout->addLayout(buttons);
  connect(cmdOk, &QPushButton::clicked, this, &TTarafHesabForm::cmdOkClick);
  connect(cmdCancel, &QPushButton::clicked, this, &TTarafHesabForm::cmdCancelClick);
  auto* copy = new QAction("كپي مبلغ", this);
  copy->setObjectName("N1");
  copy->setShortcut(QKeySequence("Ctrl+C"));
  connect(copy, &QAction::triggered, this, &TTarafHesabForm::CopyAmount);
  auto* whole = new QAction(note ? "مبلغ سفته" : "مبلغ چک", this);
  whole->setObjectName("N2");
  whole->setShortcut(QKeySequence("Ctrl+M"));
  connect(whole, &QAction::triggered, this, &TTarafHesabForm::ChequeAmount);
  tools->menu()->addSeparator();
  for (QAction* a : {copy, whole}) {
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    dbgTaraf->addAction(a);
    tools->menu()->addAction(a);
  }
  Fill();
  resize(760, 360);
}

void TTarafHesabForm::Fill() {
  db::ResultSet rows;
  auto field = [&](std::string name, db::FieldKind kind) {
    db::Field f;
    f.name = std::move(name);
    f.kind = kind;
    rows.fields.push_back(std::move(f));
  };
  field(note_ ? "Joz" : "Serial", db::FieldKind::Integer);
  field(note_ ? "SaftehNo" : "ChqNo", db::FieldKind::String);
  field("Des", db::FieldKind::String);
  field(note_ ? "SaftehValue" : "ChqValue", db::FieldKind::Float);
  field(note_ ? "NewSaftehValue" : "NewChqValue", db::FieldKind::Float);
  for (const char* name : {"Koll", "Moein", "Tafsily", "ProjectCod", "ManabehCod"})
    field(name, db::FieldKind::String);
  for (const CounterpartyLine& l : cp_.lines())
    rows.rows.push_back({static_cast<long long>(l.raj), std::string(), l.des, l.credit, l.amount,
                         l.koll, l.moein, l.tafsily, l.projectCod, l.manabehCod});
  const long long row = quTaraf.active() ? quTaraf.RecNo() : 0;
  quTaraf.Assign(std::move(rows));
  quTaraf.MoveTo(std::clamp<long long>(row, 0, std::max<long long>(quTaraf.RecordCount() - 1, 0)));
  if (dbgTaraf->dataSet() != &quTaraf)
    dbgTaraf->setDataSet(&quTaraf);
  else
    dbgTaraf->Refresh();
}

bool TTarafHesabForm::AmountEdited(long long row, const QString& typed) {
  QString text = typed;
  text.remove(',');
  bool ok = false;
  const double amount = text.toDouble(&ok);
  const bool taken = ok && cp_.SetAmount(static_cast<size_t>(row), amount);
  quTaraf.MoveTo(row);
  Fill();
  return taken;
}

void TTarafHesabForm::CopyAmount() {
  const long long row = dbgTaraf->currentIndex().row();
  if (row < 0) return;
  cp_.CopyCredit(static_cast<size_t>(row));
  Fill();
}

void TTarafHesabForm::ChequeAmount() {
  const long long row = dbgTaraf->currentIndex().row();
  if (row < 0) return;
  cp_.WholeValue(static_cast<size_t>(row));
  Fill();
}

void TTarafHesabForm::cmdOkClick() {
  try {
    if (cp_.Commit()) done(1);
  } catch (const std::exception&) {
    done(0);
  }
}

void TTarafHesabForm::cmdCancelClick() {
  done(0);
}

}  // namespace xfer::transfer
