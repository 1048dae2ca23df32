#include "import/forms/xfer_auto_form.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include "import/forms/auto_text.h"
#include "import/import_modules.h"
#include "ui/caption_panel.h"
#include "ui/embed_form.h"
#include "ui/persian_display.h"
#include "ui/ui_font.h"

namespace xfer::import {
namespace {

QString Q(const char* utf8) {
  return ui::ForDisplay(utf8);
}

void Paint(QLabel* label, const Status& s) {
  label->setText(ui::ForDisplay(s.text));
  QPalette p = label->palette();
  // The suite's colour values are 0x00BBGGRR.
  p.setColor(QPalette::WindowText,
             QColor(s.colour & 0xFF, (s.colour >> 8) & 0xFF, (s.colour >> 16) & 0xFF));
  label->setPalette(p);
}

}  // namespace

TXferAutoForm::TXferAutoForm(transfer::SessionSource session, QWidget* parent,
                             std::span<const ImportFormEntry> forms)
    : QWidget(parent), session_(std::move(session)) {
  setObjectName("TXferAutoForm");
  ui::ApplyFormStyle(this);
  setWindowTitle(QString::fromUtf8(text::kAutoCaption));
  auto* root = new QVBoxLayout(this);

  Caption_Panel = new ui::CaptionPanel(this);
  Caption_Panel->setText(Q(text::kAutoCaption));
  Caption_Panel->setMinimumHeight(24);
  Caption_Panel->AddWindowButtons(sb_Minimized, sb_Closed);
  root->addWidget(Caption_Panel);

  for (const ImportFormEntry& entry : forms) {
    const ImportModule* module = FindImportModule(entry.name);
    const QString stem = QString::fromUtf8(entry.stem);
    Row row;
    row.entry = &entry;
    row.chk = new QCheckBox(Q(module ? module->checkCaption : entry.name), this);
    row.chk->setObjectName("chk" + stem);
    row.btn = new QPushButton(Q(module ? module->buttonCaption : entry.name), this);
    row.btn->setObjectName("btn" + stem);
    row.btn->setEnabled(false);
    row.lblState = new QLabel(this);
    row.lblState->setObjectName("lbl" + stem + "State");
    row.lbl = new QLabel(this);
    row.lbl->setObjectName("lbl" + stem);
    auto* line = new QHBoxLayout;
    line->addWidget(row.chk);
    line->addWidget(row.btn);
    line->addWidget(row.lblState);
    line->addWidget(row.lbl, 1);
    root->addLayout(line);
    const int i = static_cast<int>(rows_.size());
    connect(row.chk, &QCheckBox::clicked, this, [this, i] { chkClick(i); });
    connect(row.btn, &QPushButton::clicked, this, [this, i] { btnClick(i); });
    rows_.push_back(row);
  }
  cmdOk = new QPushButton(Q(text::kAutoConfirm), this);
  cmdOk->setObjectName("cmdOk");
  auto* confirm = new QHBoxLayout;
  confirm->addWidget(cmdOk);
  confirm->addStretch(1);
  root->addLayout(confirm);
  pnlBottom = new QWidget(this);
  pnlBottom->setObjectName("pnlBottom");
  root->addWidget(pnlBottom, 1);

  connect(cmdOk, &QPushButton::clicked, this, &TXferAutoForm::cmdOkClick);
  connect(sb_Closed, &QToolButton::clicked, this, &TXferAutoForm::sb_ClosedClick);
  connect(sb_Minimized, &QToolButton::clicked, this, &TXferAutoForm::sb_MinimizedClick);

  // Import forms still alive from an earlier launcher come back into this one.
  for (size_t i = 0; i < rows_.size(); ++i)
    if (importForm(i)) {
      rows_[i].chk->setChecked(true);
      rows_[i].btn->setEnabled(true);
      Attach(i);
    }
}

TXferAutoForm::~TXferAutoForm() {
  // The import forms stay alive in their own variables, their timers running; only their
  // status labels go with this form.
  for (size_t i = 0; i < rows_.size(); ++i)
    if (TImportFrameForm* form = importForm(i)) {
      disconnect(form, nullptr, this, nullptr);
      form->setStatusLabel(nullptr);
      form->hide();
      form->setParent(nullptr);
    }
}

TImportFrameForm* TXferAutoForm::importForm(size_t i) const {
  return i < rows_.size() ? ImportFormVariable(rows_[i].entry->stem).data() : nullptr;
}

void TXferAutoForm::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  if (!e->spontaneous()) FormShow();
}

void TXferAutoForm::FormShow() {
  // The common frame: the caption strip with its close and minimize buttons, made above.
  Caption_Panel->setVisible(true);
}

void TXferAutoForm::chkClick(int row) {
  // Unticking only disables the button: an import form already opened stays as it is.
  const Row& r = rows_.at(static_cast<size_t>(row));
  r.btn->setEnabled(r.chk->isChecked());
}

void TXferAutoForm::btnClick(int row) {
  const size_t i = static_cast<size_t>(row);
  QPointer<TImportFrameForm>& form = ImportFormVariable(rows_.at(i).entry->stem);
  if (!form) form = rows_[i].entry->make(session_);
  Attach(i);
}

void TXferAutoForm::Attach(size_t i) {
  TImportFrameForm* form = importForm(i);
  form->setStatusLabel(rows_[i].lbl);
  disconnect(form, nullptr, this, nullptr);
  connect(form, &TImportFrameForm::autoStateChanged, this, [this, i] { ShowAutoState(i); });
  connect(form, &QObject::destroyed, this, [this, i] { rows_[i].lblState->clear(); });
  const transfer::FormSession s = session_ ? session_() : transfer::FormSession{};
  ui::EmbedForm(s.global, form, pnlBottom);
  ShowAutoState(i);
}

void TXferAutoForm::ShowAutoState(size_t i) {
  TImportFrameForm* form = importForm(i);
  if (!form || !form->core()) return;
  Paint(rows_[i].lblState, form->core()->state());
}

void TXferAutoForm::cmdOkClick() {
  // In the launcher's order, every opened import whose interval edit holds text.
  for (size_t i = 0; i < rows_.size(); ++i) {
    TImportFrameForm* form = importForm(i);
    if (!form || (form->*(rows_[i].entry->startEdit))->text().trimmed().isEmpty()) continue;
    const transfer::FormSession s = session_ ? session_() : transfer::FormSession{};
    ui::EmbedForm(s.global, form, pnlBottom);
    form->StartAuto();
  }
}

void TXferAutoForm::sb_ClosedClick() {
  close();
  deleteLater();
}

void TXferAutoForm::sb_MinimizedClick() {
  window()->showMinimized();
}

}  // namespace xfer::import
