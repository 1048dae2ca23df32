#include "import/forms/import_trado_form.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "db/dialogs.h"
#include "db/session.h"
#include "import/forms/trado_grid_text.h"
#include "import/trado_text.h"
#include "transfer/forms/form_grid.h"
#include "ui/grid/db_grid.h"
#include "ui/grid/maly_object.h"

namespace xfer::import {
namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

}  // namespace

TImportTradoForm::TImportTradoForm(transfer::SessionSource session, QWidget* parent)
    : TImportFrameForm(std::move(session), parent) {
  setObjectName("TImportTradoForm");
  setWindowTitle(Q(text::kTradoCaption));
  int i = 0;
  for (const char* c :
       {text::kTradoAfterNewId, text::kTradoAfterOldIdNew, text::kTradoAfterOldIdReplace}) {
    auto* b = new QRadioButton(Q(c), rg_AfterImport);
    afterButtons->addButton(b, i++);
    rg_AfterImport->layout()->addWidget(b);
  }
  afterButtons->button(0)->setChecked(true);
  rg_AfterImport->setEnabled(false);
  // Sales documents are never summarised by hand: the choice stays at "no change".
  rg_PriorImport->setVisible(false);
  cmbTypeAsnad = new QComboBox(plTop);
  cmbTypeAsnad->setObjectName("cmbTypeAsnad");
  chbAdamEntegal = new QCheckBox(Q(text::kAdamEntegal), plTop);
  auto* top = static_cast<QVBoxLayout*>(plTop->layout());
  top->insertWidget(1, cmbTypeAsnad);
  top->addWidget(chbAdamEntegal);
  SetRowColour([](const FieldText& field) { return TradoImport::RowColour(field("sOrder")); });
  connect(cmbTypeAsnad, &QComboBox::currentIndexChanged, this,
          &TImportTradoForm::cmbTypeAsnadChange);
  connect(afterButtons, &QButtonGroup::idClicked, this, &TImportTradoForm::rg_AfterImportClick);
  connect(chbAdamEntegal, &QCheckBox::toggled, this, [this](bool on) {
    if (trado_) trado_->skipConverted = on;
  });
  // Enter in the last number edit runs the load step.
  connect(TCountEdit, &QLineEdit::returnPressed, this, &TImportFrameForm::R_ReportItemClick);
}

TImportTradoForm::~TImportTradoForm() = default;

void TImportTradoForm::FormShow() {
  const transfer::FormSession s = session_ ? session_() : transfer::FormSession{};
  if (!s.global || !s.date || !s.database) return;
  database_ = s.database;
  trado_ = std::make_unique<TradoImport>(*s.global, *s.date, *s.database, *dialogs_);
  trado_->Prepare();
  setWindowTitle(Q(trado_->caption()));
  {
    QSignalBlocker block(cmbTypeAsnad);
    cmbTypeAsnad->clear();
    for (const auto& name : trado_->typeNames()) cmbTypeAsnad->addItem(Q(name));
    cmbTypeAsnad->setCurrentIndex(trado_->typeIndex());
  }
  chbAdamEntegal->setEnabled(trado_->typeIndex() == 0);
  if (!pmImportAsnad) {
    pmImportAsnad = new ui::grid::TMalyObject(dbgAsnad, {"R", "ASNAD", "IMPORT", "dbgAsnad"},
                                              ui::grid::GridVariant::kReport,
                                              transfer::GridSessionOf(session_, *dialogs_));
    pmImportAsnad->setTitle(text::kTradoReportTitle);
  }
  std::vector<ui::grid::GridColumn> columns;
  for (const auto& t : text::kTradoGrid)
    columns.push_back({t.field, t.caption, 0, true, t.amount, t.amount});
  dbgAsnad->setColumns(columns);
  Attach();
}

void TImportTradoForm::ShowRanges() {
  auto split = [](const std::string& d, QLineEdit* y, QLineEdit* m, QLineEdit* day) {
    if (d.size() < 10) return;
    y->setText(Q(d.substr(0, 4)));
    m->setText(Q(d.substr(5, 2)));
    day->setText(Q(d.substr(8, 2)));
  };
  split(trado_->dates.from, mYear1, mMonth1, mDay1);
  split(trado_->dates.to, mYear2, mMonth2, mDay2);
  FCountEdit->setText(Q(trado_->numbers.from));
  TCountEdit->setText(Q(trado_->numbers.to));
  FCountEdit->setMaxLength(std::max(1, trado_->numberWidth));
  TCountEdit->setMaxLength(std::max(1, trado_->numberWidth));
}

void TImportTradoForm::cmbTypeAsnadChange() {
  if (!trado_) return;
  try {
    trado_->ChooseType(cmbTypeAsnad->currentIndex());
    // Only pre-invoice sales can have been turned into invoices.
    chbAdamEntegal->setEnabled(cmbTypeAsnad->currentIndex() == 0);
    if (cmbTypeAsnad->currentIndex() != 0) chbAdamEntegal->setChecked(false);
    quAsnad.Close();
    dbgAsnad->setDataSet(nullptr);
    ShowRanges();
    rg_AfterImport->setEnabled(trado_->periodIndex() >= 0 && cmbTypeAsnad->currentIndex() >= 0);
    cmdOk->setEnabled(trado_->applyEnabled());
  } catch (const std::exception& e) {
    // A server error ends the handler with the message dialog, as every handler's does.
    db::ShowCommandError(*dialogs_, e);
  }
}

void TImportTradoForm::rg_AfterImportClick() {
  // The new number is shown only when documents are numbered anew.
  int column = dbgAsnad->columnOf("SanadNoForosh");
  if (column >= 0) dbgAsnad->setColumnHidden(column, afterButtons->checkedId() != kTradoNewId);
}

void TImportTradoForm::OpenCandidates() {
  if (!trado_ || !database_ || trado_->candidateLines() == 0) return;
  dbgAsnad->setDataSet(nullptr);
  quAsnad.Open(*database_->connection(),
               "Select * From " + trado_->importTable() + " Order By sOrder, SanadNoForosh, IDX");
  // Rows are never deleted from the grid.
  quAsnad.beforeDelete = [](db::RecordSet&) { return false; };
  dbgAsnad->setDataSet(&quAsnad);
  rg_AfterImportClick();
}

}  // namespace xfer::import
