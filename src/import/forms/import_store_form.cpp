#include "import/forms/import_store_form.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>

#include "db/session.h"
#include "import/forms/anbar_pick_form.h"
#include "import/forms/selection_text.h"
#include "import/import_text.h"
#include "import/store_text.h"
#include "transfer/forms/form_grid.h"
#include "ui/grid/db_grid.h"
#include "ui/grid/maly_object.h"

namespace xfer::import {
namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}
std::string S(const QString& s) {
  return s.toStdString();
}

// Grid columns of the preview: field and title ("" for the titles the type chooses).
struct StoreColumn {
  const char* field;
  const char* caption;
};
constexpr StoreColumn kColumns[] = {
    {"SLC", " "},
    {"AnbarCod", "انبار"},
    {"AnbarNam", "نام انبار"},
    {"PersonelCod", "تحويل دهنده"},
    {"PersonelNam", "نام تحويل دهنده"},
    {"OldDocument", "شماره"},
    {"Document", "شماره جديد"},
    {"Document2", "شماره جديد"},
    {"DocDate", "تاريخ"},
    {"Raj", "رديف"},
    {"KalaCod", "کالا/قطعات"},
    {"KalaNam", "نام کالا/قطعات"},
    {"Qty2", "مقياس2"},
    {"Qty1", "مقياس1"},
    {"Qty", "مقياس"},
    {"Fee", "في"},
    {"Price", "قيمت"},
    {"MasrafCod", ""},
    {"MasrafNam", ""},
    {"Tafsily2", "تفصيلي2"},
    {"NamHesab", "نام حساب تفصيلي2"},
    {"SellersCod", "فروشنده"},
    {"SellersNam", "نام فروشنده"},
};

}  // namespace

TImportStoreForm::TImportStoreForm(transfer::SessionSource session, QWidget* parent)
    : TImportFrameForm(std::move(session), parent) {
  setObjectName("TImportStoreForm");
  setWindowTitle(Q(text::kStoreCaption));
  auto* top = static_cast<QVBoxLayout*>(plTop->layout());
  cmbTypeAsnad = new QComboBox(plTop);
  cmbTypeAsnad->setObjectName("cmbTypeAsnad");
  for (const StoreDocType& t : StoreDocTypes()) cmbTypeAsnad->addItem(Q(t.name));
  cmbTypeAsnad->setCurrentIndex(-1);
  top->insertWidget(1, cmbTypeAsnad);
  auto* anbar = new QHBoxLayout;
  chbAnbar = new QCheckBox(Q(text::kAnbarFrom), plTop);
  FrAnbarCod = new QLineEdit(plTop);
  ToAnbarCod = new QLineEdit(plTop);
  lbToAnbar = new QLabel(Q(text::kTo), plTop);
  for (QWidget* w : {static_cast<QWidget*>(chbAnbar), static_cast<QWidget*>(FrAnbarCod),
                     static_cast<QWidget*>(lbToAnbar), static_cast<QWidget*>(ToAnbarCod)})
    anbar->addWidget(w);
  top->insertLayout(2, anbar);
  chkHavaleh = new QCheckBox(Q(text::kHavaleh), plTop);
  chkHavaleh->setEnabled(false);
  top->addWidget(chkHavaleh);
  chbAuto = new QCheckBox(this);
  layout()->addWidget(chbAuto);
  FillAfterItems();
  rg_AfterImport->setEnabled(false);
  SetRowColour([this](const FieldText& field) {
    return StoreImport::RowColour(field("sOrder"), store_ptr_ && store_ptr_->TypeCode() == "100");
  });
  connect(cmbTypeAsnad, &QComboBox::currentIndexChanged, this,
          &TImportStoreForm::cmbTypeAsnadChange);
  connect(chbAnbar, &QCheckBox::clicked, this, &TImportStoreForm::chbAnbarClick);
  connect(afterButtons, &QButtonGroup::idClicked, this, &TImportStoreForm::rg_AfterImportClick);
  connect(chbAuto, &QCheckBox::clicked, this, &TImportStoreForm::chbAutoClick);
  // After an apply that held documents back, the grid shows them.
  connect(cmdOk, &QPushButton::clicked, this, [this] {
    if (store_ && store_->outcome().notMoved > 0) OpenCandidates();
  });
  chbAnbarClick();
  FrAnbarCod->installEventFilter(this);
  ToAnbarCod->installEventFilter(this);
  for (QLineEdit* e : {mDay1, mMonth1, mYear1})
    connect(e, &QLineEdit::returnPressed, this, [this] { OnDateEnter(false); });
  for (QLineEdit* e : {mDay2, mMonth2, mYear2})
    connect(e, &QLineEdit::returnPressed, this, [this] { OnDateEnter(true); });
}

TImportStoreForm::~TImportStoreForm() = default;

void TImportStoreForm::FillAfterItems() {
  for (QAbstractButton* b : afterButtons->buttons()) {
    afterButtons->removeButton(b);
    delete b;
  }
  std::vector<std::string> items =
      store_ ? store_->AfterItems()
             : std::vector<std::string>{text::kStoreReplace, text::kStoreNewId, text::kStoreMerge,
                                        text::kStoreOldId};
  int i = 0;
  for (const std::string& item : items) {
    auto* b = new QRadioButton(Q(item), rg_AfterImport);
    afterButtons->addButton(b, i++);
    rg_AfterImport->layout()->addWidget(b);
  }
  int chosen = store_ ? store_->afterMode : kStoreNewId;
  if (afterButtons->button(chosen)) afterButtons->button(chosen)->setChecked(true);
}

void TImportStoreForm::FormShow() {
  const transfer::FormSession s = session_ ? session_() : transfer::FormSession{};
  if (!s.global || !s.date || !s.database) return;
  database_ = s.database;
  store_ = std::make_unique<StoreImport>(*s.global, *s.date, *s.database, *dialogs_);
  store_ptr_ = store_.get();
  store_->afterMode = kStoreNewId;
  store_->Prepare();
  if (!pmImportAsnad) {
    pmImportAsnad = new ui::grid::TMalyObject(dbgAsnad, {"A", "ASNAD", "IMPORT", "dbgAsnad"},
                                              ui::grid::GridVariant::kReport,
                                              transfer::GridSessionOf(session_, *dialogs_));
    pmImportAsnad->setTitle("مشخصات گزارش [انتقال اسناد انبار]");
    AddPopupItems();
  }
  FillAfterItems();
  SetColumns();
  Attach();
}

void TImportStoreForm::AddPopupItems() {
  using ui::grid::GridCommand;
  pmImportAsnad->setCommandCall(GridCommand::kProperties,
                                {[] { return text::kStorePropertiesTitle; }, ""});
  pmImportAsnad->setCommandCall(
      GridCommand::kPrint, {[this] {
                              return text::kReportPrefix + (store_
                                                                ? store_->caption()
                                                                : std::string(text::kStoreCaption));
                            },
                            text::kStoreReportKey});
  QMenu* menu = pmImportAsnad->menu();
  menu->addSeparator();
  const std::pair<QAction**, const char*> items[] = {
      {&SelectAll_Item, text::kAll}, {&DelAll_Item, text::kNone}, {&ReSel_Item, text::kRevert}};
  for (const auto& [item, caption] : items) *item = menu->addAction(Q(caption));
  SelectAll_Item->setObjectName("SelectAll_Item");
  DelAll_Item->setObjectName("DelAll_Item");
  ReSel_Item->setObjectName("ReSel_Item");
  connect(SelectAll_Item, &QAction::triggered, this, &TImportStoreForm::SelectAll_ItemClick);
  connect(DelAll_Item, &QAction::triggered, this, &TImportStoreForm::DelAll_ItemClick);
  connect(ReSel_Item, &QAction::triggered, this, &TImportStoreForm::ReSel_ItemClick);
}

void TImportStoreForm::MarkAll(StoreImport::Marks marks) {
  if (!store_ || !quAsnad.active()) return;
  try {
    store_->Mark(marks);
  } catch (const std::exception& e) {
    db::ShowCommandError(*dialogs_, e);
    return;
  }
  dbgAsnad->Requery();
}

void TImportStoreForm::SelectAll_ItemClick() {
  MarkAll(StoreImport::Marks::kAll);
}

void TImportStoreForm::DelAll_ItemClick() {
  MarkAll(StoreImport::Marks::kNone);
}

void TImportStoreForm::ReSel_ItemClick() {
  MarkAll(StoreImport::Marks::kInvert);
}

bool TImportStoreForm::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::MouseButtonDblClick &&
      (watched == FrAnbarCod || watched == ToAnbarCod)) {
    OnEdit_DblClick(static_cast<QLineEdit*>(watched));
    return true;
  }
  return TImportFrameForm::eventFilter(watched, e);
}

void TImportStoreForm::OnEdit_DblClick(QLineEdit* edit) {
  if (!store_ || !edit->isEnabled()) return;
  db::ResultSet rows;
  try {
    rows = store_->SourceAnbars();
  } catch (const std::exception& e) {
    db::ShowCommandError(*dialogs_, e);
    return;
  }
  TAnbarPickForm picker(std::move(rows), S(edit->text()), this);
  if (picker.exec() == QDialog::Accepted && !picker.chosen().empty())
    edit->setText(Q(picker.chosen()));
}

void TImportStoreForm::OnDateEnter(bool to) {
  if (!store_ || !chbDate->isChecked()) return;
  ReadChoices();
  store_->CheckDate(to ? store_->dates.to : store_->dates.from);
}

void TImportStoreForm::SetColumns() {
  std::string code = store_ ? store_->TypeCode() : std::string();
  bool receipt = code == "30" || code == "35" || code == "300";
  bool newNumbers = afterButtons->checkedId() == kStoreNewId;
  std::vector<ui::grid::GridColumn> columns;
  for (const StoreColumn& c : kColumns) {
    std::string field(c.field), caption(c.caption);
    if (field == "MasrafCod") caption = receipt ? "مورد رسيد" : "مورد مصرف";
    if (field == "MasrafNam") caption = receipt ? "نام مورد رسيد" : "نام مورد مصرف";
    if (field == "Tafsily2" && store_ && !store_->namTafsily2().empty())
      caption = store_->namTafsily2();
    bool amount = field == "Fee" || field == "Price";
    ui::grid::GridColumn col{field, caption, 0, true, amount, amount};
    if (field == "Document") col.visible = !newNumbers;
    if (field == "Document2") col.visible = newNumbers;
    columns.push_back(col);
  }
  dbgAsnad->setColumns(columns);
}

void TImportStoreForm::ShowRanges() {
  if (!store_) return;
  FrAnbarCod->setText(Q(store_->anbars.from));
  ToAnbarCod->setText(Q(store_->anbars.to));
  auto split = [](const std::string& d, QLineEdit* y, QLineEdit* m, QLineEdit* day) {
    if (d.size() < 10) return;
    y->setText(Q(d.substr(0, 4)));
    m->setText(Q(d.substr(5, 2)));
    day->setText(Q(d.substr(8, 2)));
  };
  split(store_->dates.from, mYear1, mMonth1, mDay1);
  split(store_->dates.to, mYear2, mMonth2, mDay2);
  FCountEdit->setText(Q(store_->numbers.from));
  TCountEdit->setText(Q(store_->numbers.to));
}

void TImportStoreForm::cmbTypeAsnadChange() {
  if (!store_) return;
  try {
    store_->ChooseType(cmbTypeAsnad->currentIndex());
  } catch (const std::exception& e) {
    db::ShowCommandError(*dialogs_, e);
    return;
  }
  quAsnad.Close();
  dbgAsnad->setDataSet(nullptr);
  ShowRanges();
  cmdOk->setEnabled(false);
  rg_AfterImportClick();
  ShowAutoState();
}

void TImportStoreForm::chbAnbarClick() {
  for (QWidget* w : {static_cast<QWidget*>(FrAnbarCod), static_cast<QWidget*>(ToAnbarCod),
                     static_cast<QWidget*>(lbToAnbar)})
    w->setEnabled(chbAnbar->isChecked());
}

void TImportStoreForm::rg_AfterImportClick() {
  SetColumns();
  if (dbgAsnad->dataSet()) dbgAsnad->setDataSet(&quAsnad);
  std::string code = store_ ? store_->TypeCode() : std::string();
  chkHavaleh->setEnabled((code == "50" || code == "1000") &&
                         afterButtons->checkedId() != kStoreNewId);
}

void TImportStoreForm::chbAutoClick() {
  if (!store_) return;
  ReadChoices();
  store_->ResetAuto();
  FillAfterItems();
  rg_AfterImport->setEnabled(store_->periodIndex() >= 0);
  ShowAutoState();
  if (store_->periodIndex() >= 0)
    EdtAutoMin->setFocus();
  else
    cmbDorehMale->setFocus();
}

void TImportStoreForm::ReadChoices() {
  TImportFrameForm::ReadChoices();
  if (!store_) return;
  store_->anbars = {chbAnbar->isChecked(), S(FrAnbarCod->text()), S(ToAnbarCod->text())};
  store_->havalehDest = chkHavaleh->isEnabled() && chkHavaleh->isChecked();
}

void TImportStoreForm::OpenCandidates() {
  if (!store_ || !database_) return;
  bool held = store_->outcome().notMoved > 0;
  if (!held && store_->candidateLines() == 0) return;
  dbgAsnad->setDataSet(nullptr);
  quAsnad.Open(*database_->connection(),
               std::string("Select * From ") +
                   (held ? StoreImport::kNotMovedTable : StoreImport::kGridTable) +
                   " where WhatDoc <> '80' Order By sOrder, Raj, IDX");
  // Rows are never deleted from the grid.
  quAsnad.beforeDelete = [](db::RecordSet&) { return false; };
  dbgAsnad->setDataSet(&quAsnad);
}

void TImportStoreForm::FormClose() {
  TimerAuto->stop();
  if (!database_) return;
  quAsnad.Close();
  dbgAsnad->setDataSet(nullptr);
  for (const char* t : {StoreImport::kGridTable, StoreImport::kNotMovedTable}) try {
      database_->RunSql(std::string("If Exists (Select * From Tempdb..SysObjects Where [Name] "
                                    "Like '") +
                        t + "') Drop Table " + t);
    } catch (const std::exception&) {
      // A lost connection has dropped them already.
    }
}

void TImportStoreForm::closeEvent(QCloseEvent* e) {
  FormClose();
  TImportFrameForm::closeEvent(e);
}

}  // namespace xfer::import
