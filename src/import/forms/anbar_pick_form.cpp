#include "import/forms/anbar_pick_form.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "db/text_util.h"
#include "import/forms/selection_text.h"
#include "import/import_text.h"
#include "import/store_text.h"
#include "ui/grid/db_grid.h"

namespace xfer::import {

TAnbarPickForm::TAnbarPickForm(db::ResultSet rows, const std::string& current, QWidget* parent)
    : QDialog(parent) {
  setObjectName("TAnbarPickForm");
  setLayoutDirection(Qt::RightToLeft);
  setWindowTitle(QString::fromUtf8(text::kAnbarPickTitle));
  auto* root = new QVBoxLayout(this);
  dbgAnbar = new ui::grid::TDBGrid(this);
  dbgAnbar->setObjectName("dbgAnbar");
  dbgAnbar->setColumns({{"AnbarCod", "انبار", 0, true}, {"AnbarNam", "نام انبار", 0, true}});
  root->addWidget(dbgAnbar, 1);
  auto* buttons = new QHBoxLayout;
  cmdOk = new QPushButton(QString::fromUtf8(text::kOk), this);
  cmdOk->setObjectName("cmdOk");
  cmdCancel = new QPushButton(QString::fromUtf8(text::kCancel), this);
  cmdCancel->setObjectName("cmdCancel");
  buttons->addWidget(cmdOk);
  buttons->addWidget(cmdCancel);
  root->addLayout(buttons);

  quAnbar.Assign(std::move(rows));
  for (long long r = 0; r < quAnbar.RecordCount(); ++r) {
    quAnbar.MoveTo(r);
    if (db::Trim(quAnbar.Text("AnbarCod")) == db::Trim(current)) break;
  }
  if (quAnbar.Eof()) quAnbar.First();
  dbgAnbar->setDataSet(&quAnbar);
  dbgAnbar->SyncToDataSet();
  cmdOk->setEnabled(quAnbar.RecordCount() > 0);
  connect(cmdOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(dbgAnbar, &QAbstractItemView::doubleClicked, this, [this] {
    if (quAnbar.RecordCount() > 0) accept();
  });
}

std::string TAnbarPickForm::chosen() const {
  if (quAnbar.Bof() || quAnbar.Eof()) return {};
  return std::string(db::Trim(quAnbar.Text("AnbarCod")));
}

}  // namespace xfer::import
