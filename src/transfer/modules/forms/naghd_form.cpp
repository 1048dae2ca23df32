#include "transfer/modules/forms/naghd_form.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "db/text_util.h"
#include "transfer/forms/form_grid.h"
#include "transfer/modules/forms/counterparty_form.h"
#include "ui/grid/maly_object.h"

namespace xfer::transfer {
namespace {

// Settled rows are drawn in blue, rows waiting for the user in red.
const QColor kSettled(0x00, 0x00, 0xFF);
const QColor kWaiting(0xFF, 0x00, 0x00);

// The cheque page's columns, then the note pages'.
std::vector<FrameColumn> ChequeColumns() {
  std::vector<FrameColumn> c = {{"BankCod", "بانک"},
                                {"AcountNam", "نام شعبه"},
                                {"AcountCod", "شماره حساب"},
                                {"Joz", "سري"},
                                {"ChqNo", "چک"},
                                {"ChqValue", "مبلغ"},
                                {"ArzCount", "مقدار ارز"},
                                {"ArzName", "نام ارز"},
                                {"SanadDate", "تاريخ صدور"},
                                {"SarResidDate", "تاريخسررسيد"},
                                {"WhatDocNam", "آخرين عمليات"},
                                {"Serial", "سريال"},
                                {"SanadNo", "سند"},
                                {"Taraf", "طرف حساب"}};
  c[5].delimiter = true;
  return c;
}

std::vector<FrameColumn> NoteColumns() {
  std::vector<FrameColumn> c = {{"Serial", "سريال"},
                                {"Joz", "سري"},
                                {"SaftehNo", "شماره سفته"},
                                {"SaftehValue", "مبلغ"},
                                {"SodorDate", "تاريخ صدور"},
                                {"SarResidDate", "تاريخسررسيد"},
                                {"LastActionDate", "تاريخآخرينعمل"},
                                {"WhatDocNam", "عمليات جاري"},
                                {"Getter", "نام متعهد"},
                                {"SanadNo", "سند"}};
  c[3].delimiter = true;
  return c;
}

}  // namespace

TXferNaghdForm::TXferNaghdForm(SessionSource session, QWidget* parent)
    : TModuleForm(std::move(session), NaghdForm(), "pcXfer", parent) {
  ts_Chq = new QWidget;
  ts_Chq->setObjectName("ts_Chq");
  auto* chq = new QVBoxLayout(ts_Chq);
  auto* chqBar = new QHBoxLayout;
  cmbKind = new QComboBox(ts_Chq);
  cmbKind->setObjectName("cmbKind");
  cmbKind->addItems({"دريافتي", "پرداختي"});
  cmdRegChq = new QPushButton("ثبت چكها", ts_Chq);
  cmdRegChq->setObjectName("cmdRegChq");
  cmdRegChq->setEnabled(false);
  chqBar->addWidget(cmbKind);
  chqBar->addWidget(cmdRegChq);
  chqBar->addStretch();
  chq->addLayout(chqBar);
  dbgChqPay = ItemGrid(ts_Chq, "dbgChqPay", ChequeColumns(), quChqPay, "Mojaz");
  chq->addWidget(dbgChqPay);
  pageControl_->addTab(ts_Chq, "چكها");

  ts_Safteh1 = new QWidget;
  ts_Safteh1->setObjectName("ts_Safteh1");
  auto* safteh = new QVBoxLayout(ts_Safteh1);
  auto* safBar = new QHBoxLayout;
  cmbKindSafte = new QComboBox(ts_Safteh1);
  cmbKindSafte->setObjectName("cmbKindSafte");
  cmbKindSafte->addItems({"دريافتي", "پرداختي"});
  cmdRegSafteh = new QPushButton("ثبت سفته ها", ts_Safteh1);
  cmdRegSafteh->setObjectName("cmdRegSafteh");
  cmdRegSafteh->setEnabled(false);
  safBar->addWidget(cmbKindSafte);
  safBar->addWidget(cmdRegSafteh);
  safBar->addStretch();
  safteh->addLayout(safBar);
  dbgSafteh1 = ItemGrid(ts_Safteh1, "dbgSafteh1", NoteColumns(), quSafteh1, "Status");
  dbgSaftehPay1 = ItemGrid(ts_Safteh1, "dbgSaftehPay1", NoteColumns(), quSaftehPay1, "Status");
  dbgSaftehPay1->hide();
  safteh->addWidget(dbgSafteh1);
  safteh->addWidget(dbgSaftehPay1);
  pageControl_->addTab(ts_Safteh1, "سفته ها");

  connect(cmbKind, &QComboBox::currentIndexChanged, this, &TXferNaghdForm::cmbKindChange);
  connect(cmbKindSafte, &QComboBox::currentIndexChanged, this, &TXferNaghdForm::cmbKindSafteChange);
  connect(cmdRegChq, &QPushButton::clicked, this, &TXferNaghdForm::cmdRegChqClick);
  connect(cmdRegSafteh, &QPushButton::clicked, this, &TXferNaghdForm::cmdRegSaftehClick);
}

TreasuryItems* TXferNaghdForm::Items() {
  if (!transfer_) return nullptr;
  if (!items_ || itemsFrame_ != transfer_.get()) {
    items_ = std::make_unique<TreasuryItems>(*transfer_, *transferSession_.global,
                                             *transferSession_.database, dialogs_);
    items_->CreateWorkTables();
    itemsFrame_ = transfer_.get();
  }
  return items_.get();
}

ItemKind TXferNaghdForm::ChequeKind() const {
  return cmbKind->currentIndex() == 1 ? ItemKind::kPaid : ItemKind::kReceived;
}

ItemKind TXferNaghdForm::NoteKind() const {
  return cmbKindSafte->currentIndex() == 1 ? ItemKind::kPaid : ItemKind::kReceived;
}

FrameGrid* TXferNaghdForm::NoteGrid() const {
  return NoteKind() == ItemKind::kPaid ? dbgSaftehPay1 : dbgSafteh1;
}

db::RecordSet& TXferNaghdForm::NoteRows() {
  return NoteKind() == ItemKind::kPaid ? quSaftehPay1 : quSafteh1;
}

FrameGrid* TXferNaghdForm::ItemGrid(QWidget* parent, const char* name,
                                    std::vector<FrameColumn> columns, db::RecordSet& rows,
                                    const char* stateField) {
  auto* grid = new FrameGrid(parent);
  grid->setObjectName(name);
  grid->setColumns(std::move(columns));
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  // Settled rows in blue, rows waiting for the user in red (of the rows shown, filtered or not).
  grid->recordModel()->setRowForeground([grid, stateField](long long row) {
    const db::RecordSet* shown = grid->dataSet();
    const int field = shown && shown->active() ? shown->FieldIndex(stateField) : -1;
    if (field < 0 || row < 0 || row >= shown->RecordCount()) return QColor();
    const db::Value& v = shown->data().rows[static_cast<size_t>(row)][static_cast<size_t>(field)];
    const auto* state = std::get_if<std::string>(&v);
    const std::string s = state ? std::string(db::Trim(*state)) : std::string();
    return s == "A" ? kSettled : s == "X" ? kWaiting : QColor();
  });
  rows.beforeDelete = [](db::RecordSet&) { return false; };
  // The report menu: the rows are the listing's work tables, which only the counterparty
  // windows and the registration change, never a pasted cell.
  auto* tools =
      new ui::grid::TMalyObject(grid, {form_.systemLetter, "SAYER", "XFER", db::UpperAscii(name)},
                                ui::grid::GridVariant::kReport, GridSessionOf(session_, dialogs_));
  tools->setTitle(form_.caption);
  grid->installEventFilter(this);
  return grid;
}

void TXferNaghdForm::ShowRows(FrameGrid* grid, db::RecordSet& rows, const std::string& sql) {
  rows.Close();
  if (!sql.empty()) rows.Open(*transferSession_.database->connection(), sql);
  grid->setDataSet(&rows);
}

bool TXferNaghdForm::OwnTabOk() {
  QWidget* active = pageControl_->currentWidget();
  if (active != ts_Chq && active != ts_Safteh1) return false;
  Guarded([&] {
    TreasuryItems* items = Items();
    if (!items) return;
    if (active == ts_Chq) {
      items->ListCheques(ChequeKind());
      ShowCheques();
    } else {
      items->ListNotes(NoteKind());
      ShowNotes();
    }
  });
  return true;
}

void TXferNaghdForm::ShowCheques() {
  ShowRows(dbgChqPay, quChqPay, items_ ? items_->ChequeQuery() : std::string());
  cmdRegChq->setEnabled(items_ && items_->listed() > 0);
}

void TXferNaghdForm::ShowNotes() {
  FrameGrid* g = NoteGrid();
  dbgSafteh1->setVisible(g == dbgSafteh1);
  dbgSaftehPay1->setVisible(g == dbgSaftehPay1);
  ShowRows(g, NoteRows(), items_ ? items_->NoteQuery(NoteKind()) : std::string());
  cmdRegSafteh->setEnabled(items_ && items_->listed() > 0);
}

void TXferNaghdForm::cmbKindChange() {
  // The other kind's list comes with the next confirm; until then the page is empty.
  ShowRows(dbgChqPay, quChqPay, {});
  cmdRegChq->setEnabled(false);
}

void TXferNaghdForm::cmbKindSafteChange() {
  ShowRows(dbgSafteh1, quSafteh1, {});
  ShowRows(dbgSaftehPay1, quSaftehPay1, {});
  dbgSafteh1->setVisible(NoteKind() == ItemKind::kReceived);
  dbgSaftehPay1->setVisible(NoteKind() == ItemKind::kPaid);
  cmdRegSafteh->setEnabled(false);
}

void TXferNaghdForm::cmdRegChqClick() {
  Guarded([&] {
    if (TreasuryItems* items = Items()) items->RegisterCheques(ChequeKind());
    ShowCheques();
  });
}

void TXferNaghdForm::cmdRegSaftehClick() {
  Guarded([&] {
    if (TreasuryItems* items = Items()) items->RegisterNotes(NoteKind());
    ShowNotes();
  });
}

void TXferNaghdForm::SettleCurrentCheque() {
  const db::RecordSet* shown = dbgChqPay->dataSet();
  const int row = dbgChqPay->currentIndex().row();
  if (!items_ || !shown || !shown->active() || row < 0 || row >= shown->RecordCount()) return;
  const ChequeRow cheque = TreasuryItems::ChequeAt(shown->data(), static_cast<size_t>(row));
  if (cheque.mojaz != "X") return;
  Guarded([&] {
    TTarafHesabForm window(*items_, cheque, this);
    if (window.exec() != 1) return;
    ShowCheques();
    quChqPay.MoveTo(row);
    dbgChqPay->SyncToDataSet();
  });
}

void TXferNaghdForm::SettleCurrentNote() {
  FrameGrid* g = NoteGrid();
  db::RecordSet& rows = NoteRows();
  const db::RecordSet* shown = g->dataSet();
  const int row = g->currentIndex().row();
  if (!items_ || !shown || !shown->active() || row < 0 || row >= shown->RecordCount()) return;
  const NoteRow note = TreasuryItems::NoteAt(shown->data(), static_cast<size_t>(row));
  if (note.status != "X") return;
  Guarded([&] {
    TTarafHesabSaftehForm window(*items_, NoteKind(), note, this);
    if (window.exec() != 1) return;
    ShowNotes();
    rows.MoveTo(row);
    g->SyncToDataSet();
  });
}

bool TXferNaghdForm::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(e)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      if (watched == dbgChqPay) {
        SettleCurrentCheque();
        return true;
      }
      if (watched == dbgSafteh1 || watched == dbgSaftehPay1) {
        SettleCurrentNote();
        return true;
      }
    }
    // Rows are never deleted from these grids.
    if (key == Qt::Key_Delete &&
        (watched == dbgChqPay || watched == dbgSafteh1 || watched == dbgSaftehPay1))
      return true;
  }
  return TModuleForm::eventFilter(watched, e);
}

}  // namespace xfer::transfer
