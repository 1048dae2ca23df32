#include "ui/chart/graf_col_set_form.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/ui_font.h"

namespace xfer::ui::chart {
namespace {

void MoveCurrent(QListWidget* from, QListWidget* to) {
  if (QListWidgetItem* item = from->takeItem(from->currentRow())) to->addItem(item);
}

void MoveAll(QListWidget* from, QListWidget* to) {
  while (from->count() > 0) to->addItem(from->takeItem(0));
}

}  // namespace

TGrafColSetForm::TGrafColSetForm(const QStringList& chosen, const QStringList& available,
                                 QWidget* parent)
    : QDialog(parent) {
  setObjectName("TGrafColSetForm");
  ApplyFormStyle(this);
  setWindowTitle(QString::fromUtf8("ستونهاي نمودار"));
  // Right to left: the chosen list sits on the right, the available one on the left.
  lstChosen = new QListWidget(this);
  lstChosen->setObjectName("lstChosen");
  lstChosen->addItems(chosen);
  lstAvailable = new QListWidget(this);
  lstAvailable->setObjectName("lstAvailable");
  lstAvailable->addItems(available);
  auto button = [this](QPushButton*& b, const char* name, const char* text) {
    b = new QPushButton(QString::fromUtf8(text), this);
    b->setObjectName(name);
  };
  button(cmd_1_To_Left, "cmd_1_To_Left", "<");
  button(cmd_n_To_Left, "cmd_n_To_Left", "<<");
  button(cmd_1_To_Right, "cmd_1_To_Right", ">");
  button(cmd_n_To_Right, "cmd_n_To_Right", ">>");
  auto* middle = new QVBoxLayout;
  for (QPushButton* b : {cmd_1_To_Left, cmd_n_To_Left, cmd_1_To_Right, cmd_n_To_Right})
    middle->addWidget(b);
  middle->addStretch(1);
  auto* lists = new QHBoxLayout;
  lists->addWidget(lstChosen, 1);
  lists->addLayout(middle);
  lists->addWidget(lstAvailable, 1);
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  box->button(QDialogButtonBox::Ok)->setObjectName("cmdOk");
  box->button(QDialogButtonBox::Ok)->setText(QString::fromUtf8("تاييد"));
  box->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf8("انصراف"));
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(lists, 1);
  layout->addWidget(box);
  connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  // In the right-to-left layout "to the left" moves from the chosen list to the available one.
  connect(cmd_1_To_Left, &QPushButton::clicked, this, &TGrafColSetForm::cmd_1_To_LeftClick);
  connect(cmd_n_To_Left, &QPushButton::clicked, this, &TGrafColSetForm::cmd_n_To_LeftClick);
  connect(cmd_1_To_Right, &QPushButton::clicked, this, &TGrafColSetForm::cmd_1_To_RightClick);
  connect(cmd_n_To_Right, &QPushButton::clicked, this, &TGrafColSetForm::cmd_n_To_RightClick);
}

void TGrafColSetForm::cmd_1_To_LeftClick() {
  MoveCurrent(lstChosen, lstAvailable);
}
void TGrafColSetForm::cmd_n_To_LeftClick() {
  MoveAll(lstChosen, lstAvailable);
}
void TGrafColSetForm::cmd_1_To_RightClick() {
  MoveCurrent(lstAvailable, lstChosen);
}
void TGrafColSetForm::cmd_n_To_RightClick() {
  MoveAll(lstAvailable, lstChosen);
}

QStringList TGrafColSetForm::chosen() const {
  QStringList out;
  for (int i = 0; i < lstChosen->count(); ++i) out << lstChosen->item(i)->text();
  return out;
}

}  // namespace xfer::ui::chart
