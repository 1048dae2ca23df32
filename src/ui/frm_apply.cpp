// Existing-form dialog: radio choice, new-name check and result codes.
#include "ui/frm_apply.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/dlg_msg.h"
#include "ui/ui_font.h"
#include "ui/ui_text.h"

namespace xfer::ui {

TFrmApply::TFrmApply(TDlgMsg& dlgMsg, QWidget* parent) : QDialog(parent), dlgMsg_(dlgMsg) {
  setObjectName("FrmApply");
  ApplyFormStyle(this);
  setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setModal(true);

  Label1 = new QLabel(QString::fromUtf8(text::kApplyFormWithName), this);
  Label1->setObjectName("Label1");
  lbl1 = new QLabel(QString(30, '-'), this);
  lbl1->setObjectName("lbl1");
  Label5 = new QLabel(QString::fromUtf8(text::kApplyExists), this);
  Label5->setObjectName("Label5");
  Label5->setWordWrap(true);
  rb1 = new QRadioButton(QString::fromUtf8(text::kApplyReplace), this);
  rb1->setObjectName("rb1");
  rb1->setChecked(true);
  rb2 = new QRadioButton(QString::fromUtf8(text::kApplyRename), this);
  rb2->setObjectName("rb2");
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName("Edit1");
  Edit1->setEnabled(false);
  rb3 = new QRadioButton(QString::fromUtf8(text::kApplySkip), this);
  rb3->setObjectName("rb3");
  Button2 = new QPushButton(QString::fromUtf8(text::kApplyOk), this);
  Button2->setObjectName("Button2");
  Button2->setDefault(true);
  Button3 = new QPushButton(QString::fromUtf8(text::kApplyCancel), this);
  Button3->setObjectName("Button3");

  auto* nameRow = new QHBoxLayout;
  nameRow->addWidget(Label1);
  nameRow->addWidget(lbl1, 1);
  auto* renameRow = new QHBoxLayout;
  renameRow->addWidget(rb2);
  renameRow->addWidget(Edit1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(Button2);
  buttons->addWidget(Button3);
  auto* root = new QVBoxLayout(this);
  root->addLayout(nameRow);
  root->addWidget(Label5);
  root->addWidget(rb1);
  root->addLayout(renameRow);
  root->addWidget(rb3);
  root->addLayout(buttons);
  setFixedWidth(420);

  for (QRadioButton* rb : {rb1, rb2, rb3})
    connect(rb, &QRadioButton::toggled, this, &TFrmApply::rb2Click);
  connect(Button2, &QPushButton::clicked, this, &TFrmApply::Button2Click);
  connect(Button3, &QPushButton::clicked, this, [this] { done(kSkip); });
}

void TFrmApply::setFormName(const QString& name) {
  formName_ = name;
  lbl1->setText(name);
  Edit1->setText(name);
}

QString TFrmApply::newName() const {
  return Edit1->text();
}

void TFrmApply::rb2Click() {
  Edit1->setEnabled(rb2->isChecked());
}

void TFrmApply::Button2Click() {
  if (rb1->isChecked()) {
    done(kReplace);
  } else if (rb2->isChecked()) {
    if (Edit1->text().trimmed() == formName_.trimmed()) {
      dlgMsg_.Execute(QString::fromUtf8(text::kApplyChangeName), QString(), "1ER");
      Edit1->setFocus();
      return;
    }
    done(kRename);
  } else if (rb3->isChecked()) {
    done(kSkip);
  }
}

}  // namespace xfer::ui
