#include "transfer/modules/forms/counterparty_form.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/grid/form_libraries.h"
#include "ui/ui_font.h"

namespace xfer::transfer {
namespace {

constexpr int kAmountColumn = 4;

QString Amount(double v) {
  return QLocale(QLocale::English).toString(v, 'f', 0);
}

}  // namespace

TTarafHesabForm::TTarafHesabForm(TreasuryItems& items, const ChequeRow& cheque, QWidget* parent)
    : QDialog(parent), cp_(items, cheque), appFolder_(items.global().appFolder) {
  setObjectName("TTarafHesabForm");
  Build(false);
}

TTarafHesabForm::TTarafHesabForm(TreasuryItems& items, ItemKind kind, const NoteRow& note,
                                 QWidget* parent)
    : QDialog(parent), cp_(items, kind, note), appFolder_(items.global().appFolder) {}

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
  dbgTaraf = new QTableWidget(this);
  dbgTaraf->setObjectName("dbgTaraf");
  const QString credit = cp_.currency() ? "مقدار ارز" : "بستانكاري";
  dbgTaraf->setColumnCount(10);
  dbgTaraf->setHorizontalHeaderLabels({"سري", note ? "چك" : "چك", "شرح", credit, "مبلغ", "Koll",
                                       "Moein", "Tafsily", "ProjectCod", "مصارف"});
  // The search library offers the columns by these names.
  const char* const fields[] = {note ? "Joz" : "Serial",
                                note ? "SaftehNo" : "ChqNo",
                                "Des",
                                note ? "SaftehValue" : "ChqValue",
                                note ? "NewSaftehValue" : "NewChqValue",
                                "Koll",
                                "Moein",
                                "Tafsily",
                                "ProjectCod",
                                "ManabehCod"};
  for (int c = 0; c < 10; ++c)
    dbgTaraf->horizontalHeaderItem(c)->setData(ui::grid::kFieldNameRole, QString(fields[c]));
  dbgTaraf->horizontalHeader()->setStretchLastSection(true);
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
  search_ = new QAction("جستجو", this);
  search_->setObjectName("search");
  search_->setShortcut(QKeySequence("Ctrl+F"));
  connect(search_, &QAction::triggered, this, &TTarafHesabForm::Search);
  dbgTaraf->addAction(copy);
  dbgTaraf->addAction(whole);
  dbgTaraf->addAction(search_);
  dbgTaraf->setContextMenuPolicy(Qt::ActionsContextMenu);
  connect(dbgTaraf, &QTableWidget::cellChanged, this, &TTarafHesabForm::CellEdited);
  Fill();
  resize(760, 360);
}

void TTarafHesabForm::Fill() {
  filling_ = true;
  const auto& lines = cp_.lines();
  dbgTaraf->setRowCount(static_cast<int>(lines.size()));
  for (int r = 0; r < static_cast<int>(lines.size()); ++r) {
    const CounterpartyLine& l = lines[static_cast<size_t>(r)];
    const QString cells[] = {QString::number(l.raj),
                             "",
                             QString::fromStdString(l.des),
                             Amount(l.credit),
                             Amount(l.amount),
                             QString::fromStdString(l.koll),
                             QString::fromStdString(l.moein),
                             QString::fromStdString(l.tafsily),
                             QString::fromStdString(l.projectCod),
                             QString::fromStdString(l.manabehCod)};
    for (int c = 0; c < 10; ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      if (c != kAmountColumn) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
      dbgTaraf->setItem(r, c, item);
    }
  }
  // As on every grid, searching needs more than one line.
  search_->setEnabled(lines.size() > 1);
  filling_ = false;
}

void TTarafHesabForm::CellEdited(int row, int column) {
  if (filling_ || column != kAmountColumn) return;
  QString text = dbgTaraf->item(row, column)->text();
  text.remove(',');
  bool ok = false;
  const double amount = text.toDouble(&ok);
  // A refused amount goes back to what the line had.
  if (!ok || !cp_.SetAmount(static_cast<size_t>(row), amount)) Fill();
}

void TTarafHesabForm::CopyAmount() {
  const int row = dbgTaraf->currentRow();
  if (row < 0) return;
  cp_.CopyCredit(static_cast<size_t>(row));
  Fill();
}

void TTarafHesabForm::ChequeAmount() {
  const int row = dbgTaraf->currentRow();
  if (row < 0) return;
  cp_.WholeValue(static_cast<size_t>(row));
  Fill();
}

void TTarafHesabForm::Search() {
  ui::grid::GridLibraryCall call;
  call.grid = dbgTaraf;
  call.title = windowTitle().toStdString();
  if (!ui::grid::CallLibrary(ui::grid::GridService::kSearch, appFolder_, call)) return;
  // The answer is "FIELD=VALUE": the first line showing that value (or starting with it).
  const size_t eq = call.result.find('=');
  if (eq == std::string::npos) return;
  const QString field = QString::fromStdString(call.result.substr(0, eq));
  const QString want = QString::fromStdString(call.result.substr(eq + 1));
  for (int c = 0; c < dbgTaraf->columnCount(); ++c) {
    if (dbgTaraf->horizontalHeaderItem(c)->data(ui::grid::kFieldNameRole).toString() != field)
      continue;
    for (int r = 0; r < dbgTaraf->rowCount(); ++r)
      if (dbgTaraf->item(r, c)->text().startsWith(want, Qt::CaseInsensitive)) {
        dbgTaraf->setCurrentCell(r, c);
        return;
      }
  }
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
