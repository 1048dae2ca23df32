#include "transfer/modules/forms/conflict_form.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <exception>

#include "db/text_util.h"
#include "transfer/modules/forms/module_form_text.h"
#include "ui/caption_panel.h"
#include "ui/ui_font.h"

namespace xfer::transfer {
namespace {

QString Q(const char* utf8) {
  return QString::fromUtf8(utf8);
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption) {
  auto* b = new QPushButton(Q(caption), parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

THesabNotXferForm::THesabNotXferForm(db::HostDatabase& destination, db::Dialogs& dialogs,
                                     ConflictCall call, std::vector<FrameColumn> columns,
                                     QWidget* parent)
    : QDialog(parent), db_(destination), dialogs_(dialogs), review_(destination, dialogs, call) {
  setObjectName("THesabNotXferForm");
  ui::ApplyFormStyle(this);
  setWindowTitle(Q(module_text::kConflictCaption));
  setLayoutDirection(Qt::RightToLeft);
  setModal(true);

  Caption_Panel = new ui::CaptionPanel(this);
  Caption_Panel->setObjectName("Caption_Panel");
  Caption_Panel->setText(Q(module_text::kConflictTitle));
  Caption_Panel->setMinimumHeight(24);
  sb_Closed = new QToolButton(Caption_Panel);
  sb_Closed->setObjectName("sb_Closed");
  sb_Closed->setText("X");
  sb_Closed->setToolTip(Q(module_text::kCloseHint));
  auto* captionLayout = new QHBoxLayout(Caption_Panel);
  captionLayout->setContentsMargins(2, 1, 2, 1);
  captionLayout->addStretch(1);
  captionLayout->addWidget(sb_Closed);

  dbgHesab = new FrameGrid(this);
  dbgHesab->setObjectName("dbgHesab");
  columns.insert(columns.begin(), FrameColumn{"bCheck", module_text::kState, 40});
  dbgHesab->setColumns(std::move(columns));
  dbgHesab->installEventFilter(this);
  connect(dbgHesab, &QAbstractItemView::doubleClicked, this, &THesabNotXferForm::dbg_DblClick);

  cmdOkCheck = MakeButton(this, "cmdOkCheck", module_text::kOkCheck);
  cmdOkAll = MakeButton(this, "cmdOkAll", module_text::kOkAll);
  cmdReserved = MakeButton(this, "cmdReserved", module_text::kReserved);
  CancelBtn = MakeButton(this, "CancelBtn", module_text::kCancel);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {cmdOkCheck, cmdOkAll, cmdReserved, CancelBtn}) buttons->addWidget(b);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 6);
  layout->addWidget(Caption_Panel);
  layout->addWidget(dbgHesab, 1);
  layout->addLayout(buttons);
  resize(760, 460);

  connect(cmdOkCheck, &QPushButton::clicked, this, &THesabNotXferForm::cmdOkCheckClick);
  connect(cmdOkAll, &QPushButton::clicked, this, &THesabNotXferForm::cmdOkAllClick);
  connect(cmdReserved, &QPushButton::clicked, this, &THesabNotXferForm::cmdReservedClick);
  connect(CancelBtn, &QPushButton::clicked, this, &THesabNotXferForm::CancelBtnClick);
  connect(sb_Closed, &QToolButton::clicked, this, &THesabNotXferForm::CancelBtnClick);

  quHesab.beforeDelete = [](db::RecordSet&) { return false; };
  quHesab.Open(*db_.connection(), review_.SelectSql());
  dbgHesab->setDataSet(&quHesab);
}

THesabNotXferForm::~THesabNotXferForm() = default;

void THesabNotXferForm::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (!e->spontaneous()) FormShow();
}

void THesabNotXferForm::FormShow() {
  dialogs_.HideState();  // the caller's progress window would cover this one
  qu_AfterPost();
  quHesab.First();
  dbgHesab->Refresh();
  dbgHesab->setFocus();
}

void THesabNotXferForm::dbg_DblClick() {
  if (!quHesab.active() || quHesab.Eof()) return;
  try {
    quHesab.Edit();
    if (dbgHesab->currentIndex().column() == 0) {
      const bool marked = std::string(db::Trim(quHesab.Text("bCheck"))) == kMark;
      quHesab.Set("bCheck", db::Value(std::string(marked ? "" : kMark)));
    }
    quHesab.Post();
  } catch (const std::exception& e) {
    quHesab.Cancel();
    dialogs_.ShowDlgMsg(e.what(), "", "1ER");
  }
  dbgHesab->Refresh();
  qu_AfterPost();
}

void THesabNotXferForm::qu_AfterPost() {
  cmdOkCheck->setEnabled(review_.MarkedCount() != 0);
}

void THesabNotXferForm::cmdReservedClick() {
  review_.InvertMarks();
  dbgHesab->Requery();
  qu_AfterPost();
}

void THesabNotXferForm::Decide(ReplaceMode mode) {
  try {
    replaced_ = review_.Decide(mode);
  } catch (const std::exception& e) {
    // The window stays open; the destination is as it was before the press.
    dialogs_.ShowDlgMsg(e.what(), "", "1ER");
    return;
  }
  if (mode == ReplaceMode::kNone)
    reject();
  else
    done(1);
}

void THesabNotXferForm::cmdOkCheckClick() {
  Decide(ReplaceMode::kMarked);
}

void THesabNotXferForm::cmdOkAllClick() {
  Decide(ReplaceMode::kAll);
}

void THesabNotXferForm::CancelBtnClick() {
  Decide(ReplaceMode::kNone);
}

bool THesabNotXferForm::eventFilter(QObject* watched, QEvent* e) {
  if (watched == dbgHesab && e->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(e)->key() == Qt::Key_Space) {
    dbg_DblClick();
    return true;
  }
  return QDialog::eventFilter(watched, e);
}

void THesabNotXferForm::keyPressEvent(QKeyEvent* e) {
  // Escape leaves without a decision: nothing replaced, the conflict table kept.
  if (e->key() == Qt::Key_Escape) {
    done(QDialog::Rejected);
    return;
  }
  QDialog::keyPressEvent(e);
}

}  // namespace xfer::transfer
