#include "import/forms/import_maly_form.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLayout>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "db/session.h"
#include "db/text_util.h"
#include "import/forms/maly_grid_text.h"
#include "import/forms/select_asnad_form.h"
#include "import/forms/selection_text.h"
#include "import/maly_text.h"
#include "import/voucher_selection.h"
#include "transfer/forms/form_grid.h"
#include "ui/grid/db_grid.h"
#include "ui/grid/maly_object.h"

namespace xfer::import {
namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

}  // namespace

TImportMalyForm::TImportMalyForm(transfer::SessionSource session, QWidget* parent)
    : TImportFrameForm(std::move(session), parent) {
  setObjectName("TImportMalyForm");
  setWindowTitle(Q(text::kMalyCaption));
  int i = 0;
  for (const char* c :
       {text::kAfterNewId, text::kAfterOldId, text::kAfterOldIdNoChange, text::kAfterReplace}) {
    auto* b = new QRadioButton(Q(c), rg_AfterImport);
    afterButtons->addButton(b, i++);
    rg_AfterImport->layout()->addWidget(b);
  }
  afterButtons->button(0)->setChecked(true);
  rg_AfterImport->setEnabled(false);
  SetRowColour([](const FieldText& field) {
    return MalyImport::RowColour(field("TypeSys"), field("sOrder"));
  });
  chbSelector = new QCheckBox(plTop);
  btnSelector = new QPushButton(Q(text::kSelectorButton), plTop);
  btnSelector->setEnabled(false);
  auto* selector = new QHBoxLayout;
  selector->addWidget(chbSelector);
  selector->addWidget(btnSelector);
  static_cast<QVBoxLayout*>(plTop->layout())->addLayout(selector);
  connect(chbSelector, &QCheckBox::clicked, this, &TImportMalyForm::chbSelectorClick);
  connect(btnSelector, &QPushButton::clicked, this, &TImportMalyForm::btnSelectorClick);
}

void TImportMalyForm::chbSelectorClick() {
  btnSelector->setEnabled(chbSelector->isChecked());
  if (maly_ && !chbSelector->isChecked()) maly_->chosenVouchers.clear();
}

void TImportMalyForm::btnSelectorClick() {
  if (!maly_ || !database_ || maly_->periodIndex() < 0) return;
  ReadChoices();
  // The ranges of the frame, as the selection filters the source's lines.
  std::string filter = " Where 15 = 15 ";
  if (maly_->dates.ticked)
    filter += " And  SanadDate >= " + db::Quote(maly_->dates.from) +
              " And  SanadDate <= " + db::Quote(maly_->dates.to) + " ";
  if (maly_->numbers.ticked)
    filter += " And  SanadNo >= " + db::Quote(maly_->PaddedNumber(maly_->numbers.from)) +
              " And  SanadNo <= " + db::Quote(maly_->PaddedNumber(maly_->numbers.to)) + " ";
  const transfer::FormSession s = session_ ? session_() : transfer::FormSession{};
  VoucherSelection selection(*database_, maly_->selectionTable(), "##SLCSOFT_S_" + maly_->suffix(),
                             maly_->SourceDatabase(), filter,
                             maly_->RemoteSource() ? &maly_->RemoteQuery() : nullptr,
                             s.global ? s.global->appFolder : std::string());
  selection.Show(maly_->importTable());
  TFrmSelectAsnad form(selection, *database_, *dialogs_, maly_->caption(), this);
  if (form.exec() != QDialog::Accepted) return;
  maly_->chosenVouchers = selection.Chosen();
  if (maly_->chosenVouchers.empty()) return;
  R_ReportItemClick();
}

TImportMalyForm::~TImportMalyForm() = default;

void TImportMalyForm::FormShow() {
  const transfer::FormSession s = session_ ? session_() : transfer::FormSession{};
  if (!s.global || !s.date || !s.database) return;
  database_ = s.database;
  maly_ = std::make_unique<MalyImport>(*s.global, *s.date, *s.database, *dialogs_);
  maly_->Prepare();
  if (!pmImportAsnad) {
    pmImportAsnad = new ui::grid::TMalyObject(dbgAsnad, {"M", "ASNAD", "IMPORT", "dbgAsnad"},
                                              ui::grid::GridVariant::kReport,
                                              transfer::GridSessionOf(session_, *dialogs_));
    pmImportAsnad->setTitle(text::kReportTitle);
  }
  std::vector<ui::grid::GridColumn> columns;
  for (const auto& t : text::kMalyGrid) {
    std::string field(t.field), caption(t.caption);
    if (*t.option) caption = field == "Tafsily2" ? maly_->namTafsily2() : maly_->namProject();
    bool amount = field == "Bed" || field == "Bes";
    columns.push_back({field, caption.empty() ? field : caption, 0, true, amount, amount});
  }
  dbgAsnad->setColumns(columns);
  Attach();
}

void TImportMalyForm::OpenCandidates() {
  if (!maly_ || !database_ || maly_->candidateLines() == 0) return;
  dbgAsnad->setDataSet(nullptr);
  quAsnad.Open(*database_->connection(),
               "Select * From " + maly_->importTable() + " Order By sOrder, ProgOrder, Raj, IDX");
  // Rows are never deleted from the grid.
  quAsnad.beforeDelete = [](db::RecordSet&) { return false; };
  dbgAsnad->setDataSet(&quAsnad);
}

}  // namespace xfer::import
