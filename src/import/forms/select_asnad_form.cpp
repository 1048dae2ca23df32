#include "import/forms/select_asnad_form.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "db/text_util.h"
#include "import/forms/selection_text.h"
#include "ui/grid/db_grid.h"

namespace xfer::import {
namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

QPushButton* Button(const char* caption, const char* name, const QKeySequence& key,
                    QWidget* parent) {
  auto* b = new QPushButton(Q(caption), parent);
  b->setObjectName(name);
  if (!key.isEmpty()) b->setShortcut(key);
  return b;
}

// Rows of a chosen voucher ("ض" in SLC) in their own colour.
class MarkedRowDelegate : public QStyledItemDelegate {
 public:
  MarkedRowDelegate(db::RecordSet& rows, QObject* parent)
      : QStyledItemDelegate(parent), rows_(rows) {}

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    int slc = rows_.FieldIndex("SLC");
    if (slc < 0 || index.row() >= rows_.RecordCount()) return;
    const auto* mark = std::get_if<std::string>(
        &rows_.data().rows[static_cast<size_t>(index.row())][static_cast<size_t>(slc)]);
    if (mark && db::Trim(*mark) == "ض") option->palette.setColor(QPalette::Text, Qt::blue);
  }

 private:
  db::RecordSet& rows_;
};

}  // namespace

TFrm_SelectSoftware::TFrm_SelectSoftware(VoucherSelection& selection, QWidget* parent)
    : QDialog(parent), sel_(selection) {
  setObjectName("TFrm_SelectSoftware");
  setWindowTitle(Q(text::kSoftwareCaption));
  setLayoutDirection(Qt::RightToLeft);
  auto* root = new QVBoxLayout(this);
  root->addWidget(new QLabel(Q(text::kSoftwareTitleLine), this));
  dbgTemp = new ui::grid::TDBGrid(this);
  root->addWidget(dbgTemp, 1);
  auto* buttons = new QHBoxLayout;
  BitBtn1 = Button(text::kOkButton, "BitBtn1", {}, this);
  SelectAllBtn = Button(text::kAll, "SelectAllBtn", QKeySequence("Ctrl+A"), this);
  NotSelectAllBtn = Button(text::kNone, "NotSelectAllBtn", QKeySequence("Ctrl+Z"), this);
  SelectRevertBtn = Button(text::kRevert, "SelectRevertBtn", QKeySequence("Ctrl+Q"), this);
  sb_Closed = Button("X", "sb_Closed", {}, this);
  sb_Closed->setToolTip(Q(text::kCloseHint));
  for (QPushButton* b : {BitBtn1, SelectAllBtn, NotSelectAllBtn, SelectRevertBtn, sb_Closed})
    buttons->addWidget(b);
  root->addLayout(buttons);
  connect(SelectAllBtn, &QPushButton::clicked, this, [this] {
    sel_.AllPrograms();
    Requery();
  });
  connect(NotSelectAllBtn, &QPushButton::clicked, this, [this] {
    sel_.NoPrograms();
    Requery();
  });
  connect(SelectRevertBtn, &QPushButton::clicked, this, [this] {
    sel_.RevertPrograms();
    Requery();
  });
  connect(BitBtn1, &QPushButton::clicked, this, &TFrm_SelectSoftware::BitBtn1Click);
  connect(sb_Closed, &QPushButton::clicked, this, &QDialog::reject);
  connect(dbgTemp, &QAbstractItemView::doubleClicked, this, &TFrm_SelectSoftware::dbgTemp_DblClick);
  Requery();
}

void TFrm_SelectSoftware::Requery() {
  dbgTemp->setDataSet(nullptr);
  quTemp.Assign(sel_.Programs());
  quTemp.beforeDelete = [](db::RecordSet&) { return false; };
  dbgTemp->setDataSet(&quTemp);
}

void TFrm_SelectSoftware::dbgTemp_DblClick() {
  if (quTemp.Bof() || quTemp.Eof()) return;
  long long row = quTemp.RecNo();
  sel_.ToggleProgram(quTemp.Text("TypeSysNam"));
  Requery();
  quTemp.MoveTo(row);
  dbgTemp->SyncToDataSet();
}

void TFrm_SelectSoftware::BitBtn1Click() {
  sel_.ConfirmPrograms();
  accept();
}

TFrmSelectAsnad::TFrmSelectAsnad(VoucherSelection& selection, db::HostDatabase& database,
                                 db::Dialogs& dialogs, const std::string& captionLine,
                                 QWidget* parent)
    : QDialog(parent), sel_(selection), db_(database), dialogs_(dialogs) {
  setObjectName("TFrmSelectAsnad");
  setWindowTitle(Q(text::kSelectCaption));
  setLayoutDirection(Qt::RightToLeft);
  auto* root = new QVBoxLayout(this);
  root->addWidget(new QLabel(Q(text::kSelectTitleLine), this));
  root->addWidget(new QLabel(Q(captionLine), this));
  dbgTemp = new ui::grid::TDBGrid(this);
  dbgTemp->setItemDelegate(new MarkedRowDelegate(quTemp, dbgTemp));
  dbgTemp->setColumns({{"SLC", "", 24, true},
                       {"SanadNo", ""},
                       {"SanadDate", ""},
                       {"Koll", text::kKoll},
                       {"Moein", text::kMoein},
                       {"Tafsily", ""},
                       {"Des", ""},
                       {"Bed", text::kBed, 0, true, true, true},
                       {"Bes", text::kBes, 0, true, true, true},
                       {"TypeSysNam", ""}});
  root->addWidget(dbgTemp, 1);
  auto* buttons = new QHBoxLayout;
  SelectAllBtn = Button(text::kAll, "SelectAllBtn", QKeySequence("Ctrl+A"), this);
  NotSelectAllBtn = Button(text::kNone, "NotSelectAllBtn", QKeySequence("Ctrl+Z"), this);
  SelectRevertBtn = Button(text::kRevert, "SelectRevertBtn", QKeySequence("Ctrl+Q"), this);
  SelectRengBtn = Button(text::kRange, "SelectRengBtn", QKeySequence("Ctrl+M"), this);
  SelectRengRevertBtn =
      Button(text::kRangeRevert, "SelectRengRevertBtn", QKeySequence("Ctrl+N"), this);
  SpeedButton1 = Button("...", "SpeedButton1", {}, this);
  edSoftwares = new QLineEdit(this);
  edSoftwares->setReadOnly(true);
  OkBitBtn = Button(text::kOkButton, "OkBitBtn", {}, this);
  CancelBitBtn = Button(text::kCancel, "CancelBitBtn", {}, this);
  for (QPushButton* b : {SelectAllBtn, NotSelectAllBtn, SelectRevertBtn, SelectRengBtn,
                         SelectRengRevertBtn, SpeedButton1})
    buttons->addWidget(b);
  buttons->addWidget(edSoftwares);
  buttons->addWidget(OkBitBtn);
  buttons->addWidget(CancelBitBtn);
  root->addLayout(buttons);

  auto mark = [this](auto call) {
    return [this, call] {
      call();
      Requery();
    };
  };
  connect(SelectAllBtn, &QPushButton::clicked, this, mark([this] { sel_.All(); }));
  connect(NotSelectAllBtn, &QPushButton::clicked, this, mark([this] { sel_.None(); }));
  connect(SelectRevertBtn, &QPushButton::clicked, this, mark([this] { sel_.Revert(); }));
  connect(SelectRengBtn, &QPushButton::clicked, this,
          mark([this] { sel_.Range(quTemp.Text("SanadNo")); }));
  connect(SelectRengRevertBtn, &QPushButton::clicked, this,
          mark([this] { sel_.RangeReverse(quTemp.Text("SanadNo")); }));
  connect(SpeedButton1, &QPushButton::clicked, this, &TFrmSelectAsnad::SpeedButton1Click);
  connect(OkBitBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBitBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(dbgTemp, &QAbstractItemView::doubleClicked, this,
          [this](const QModelIndex& i) { dbgTemp_DblClick(i.column()); });
  Requery();
}

void TFrmSelectAsnad::Requery() {
  long long row = quTemp.active() ? quTemp.RecNo() : 0;
  dbgTemp->setDataSet(nullptr);
  quTemp.Assign(sel_.Rows());
  quTemp.beforeDelete = [](db::RecordSet&) { return false; };
  dbgTemp->setDataSet(&quTemp);
  if (row >= 0 && row < quTemp.RecordCount()) {
    quTemp.MoveTo(row);
    dbgTemp->SyncToDataSet();
  }
  edSoftwares->setText(Q(sel_.softwareText()));
}

void TFrmSelectAsnad::dbgTemp_DblClick(int column) {
  if (quTemp.Bof() || quTemp.Eof()) return;
  if (dbgTemp->fieldOf(column) == "TypeSysNam") {
    sel_.MarkProgram(quTemp.Text("TypeSysNam"));
  } else {
    std::string message;
    if (!sel_.Toggle(quTemp.Text("SanadNo"), message) && !message.empty())
      dialogs_.ShowDlgMsg(message, "", "1ER");
  }
  Requery();
}

void TFrmSelectAsnad::SpeedButton1Click() {
  TFrm_SelectSoftware software(sel_, this);
  if (software.exec() == QDialog::Accepted) Requery();
}

}  // namespace xfer::import
