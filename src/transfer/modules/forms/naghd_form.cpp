#include "transfer/modules/forms/naghd_form.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "transfer/modules/forms/counterparty_form.h"

namespace xfer::transfer {
namespace {

// Settled rows are drawn in blue, rows waiting for the user in red.
const QColor kSettled(0x00, 0x00, 0xFF);
const QColor kWaiting(0xFF, 0x00, 0x00);

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

QString Amount(double v) {
  return QLocale(QLocale::English).toString(v, 'f', 0);
}

QTableWidget* Grid(QWidget* parent, const char* name, const QStringList& titles) {
  auto* g = new QTableWidget(parent);
  g->setObjectName(name);
  g->setColumnCount(static_cast<int>(titles.size()));
  g->setHorizontalHeaderLabels(titles);
  g->setEditTriggers(QAbstractItemView::NoEditTriggers);
  g->setSelectionBehavior(QAbstractItemView::SelectRows);
  g->setSelectionMode(QAbstractItemView::SingleSelection);
  return g;
}

void Fill(QTableWidget* g, int row, const std::vector<QString>& cells, const std::string& state) {
  for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
    auto* item = new QTableWidgetItem(cells[static_cast<size_t>(c)]);
    if (state == "A") item->setForeground(kSettled);
    if (state == "X") item->setForeground(kWaiting);
    g->setItem(row, c, item);
  }
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
  dbgChqPay = Grid(ts_Chq, "dbgChqPay",
                   {"بانک", "نام شعبه", "شماره حساب", "سري", "چک", "مبلغ", "مقدار ارز", "نام ارز",
                    "تاريخ صدور", "تاريخسررسيد", "آخرين عمليات", "سريال", "سند", "طرف حساب"});
  dbgChqPay->installEventFilter(this);
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
  const QStringList noteTitles = {"سريال",      "سري",         "شماره سفته",    "مبلغ",
                                  "تاريخ صدور", "تاريخسررسيد", "تاريخآخرينعمل", "عمليات جاري",
                                  "نام متعهد",  "سند"};
  dbgSafteh1 = Grid(ts_Safteh1, "dbgSafteh1", noteTitles);
  dbgSaftehPay1 = Grid(ts_Safteh1, "dbgSaftehPay1", noteTitles);
  dbgSaftehPay1->hide();
  dbgSafteh1->installEventFilter(this);
  dbgSaftehPay1->installEventFilter(this);
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

QTableWidget* TXferNaghdForm::NoteGrid() const {
  return NoteKind() == ItemKind::kPaid ? dbgSaftehPay1 : dbgSafteh1;
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
  cheques_ = items_ ? items_->Cheques() : std::vector<ChequeRow>{};
  dbgChqPay->setRowCount(static_cast<int>(cheques_.size()));
  for (int r = 0; r < static_cast<int>(cheques_.size()); ++r) {
    const ChequeRow& c = cheques_[static_cast<size_t>(r)];
    Fill(dbgChqPay, r,
         {Q(c.bankCod), Q(c.acountNam), Q(c.acountCod), Q(c.joz), Q(c.chqNo), Amount(c.value),
          c.arzCount ? QString::number(*c.arzCount) : QString(), Q(c.arzName), Q(c.sanadDate),
          Q(c.sarResidDate), Q(c.whatDocNam), QString::number(c.serial), Q(c.sanadNo), Q(c.taraf)},
         c.mojaz);
  }
  cmdRegChq->setEnabled(items_ && items_->listed() > 0);
}

void TXferNaghdForm::ShowNotes() {
  notes_ = items_ ? items_->Notes(NoteKind()) : std::vector<NoteRow>{};
  QTableWidget* g = NoteGrid();
  dbgSafteh1->setVisible(g == dbgSafteh1);
  dbgSaftehPay1->setVisible(g == dbgSaftehPay1);
  g->setRowCount(static_cast<int>(notes_.size()));
  for (int r = 0; r < static_cast<int>(notes_.size()); ++r) {
    const NoteRow& n = notes_[static_cast<size_t>(r)];
    Fill(g, r,
         {QString::number(n.serial), Q(n.joz), Q(n.saftehNo), Amount(n.value), Q(n.sodorDate),
          Q(n.sarResidDate), Q(n.lastActionDate), Q(n.whatDocNam), Q(n.getter), Q(n.sanadNo)},
         n.status);
  }
  cmdRegSafteh->setEnabled(items_ && items_->listed() > 0);
}

void TXferNaghdForm::cmbKindChange() {
  // The other kind's list comes with the next confirm; until then the page is empty.
  cheques_.clear();
  dbgChqPay->setRowCount(0);
  cmdRegChq->setEnabled(false);
}

void TXferNaghdForm::cmbKindSafteChange() {
  notes_.clear();
  dbgSafteh1->setRowCount(0);
  dbgSaftehPay1->setRowCount(0);
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
  const int row = dbgChqPay->currentRow();
  if (!items_ || row < 0 || row >= static_cast<int>(cheques_.size())) return;
  const ChequeRow cheque = cheques_[static_cast<size_t>(row)];
  if (cheque.mojaz != "X") return;
  Guarded([&] {
    TTarafHesabForm window(*items_, cheque, this);
    if (window.exec() != 1) return;
    ShowCheques();
    dbgChqPay->setCurrentCell(row, 0);
  });
}

void TXferNaghdForm::SettleCurrentNote() {
  QTableWidget* g = NoteGrid();
  const int row = g->currentRow();
  if (!items_ || row < 0 || row >= static_cast<int>(notes_.size())) return;
  const NoteRow note = notes_[static_cast<size_t>(row)];
  if (note.status != "X") return;
  Guarded([&] {
    TTarafHesabSaftehForm window(*items_, NoteKind(), note, this);
    if (window.exec() != 1) return;
    ShowNotes();
    g->setCurrentCell(row, 0);
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
