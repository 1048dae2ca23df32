#include "ui/grid/sel_form.h"

#include <QComboBox>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

#include "ui/caption_panel.h"
#include "ui/ui_font.h"

namespace xfer::ui::grid {

TSelForm::TSelForm(QWidget* parent) : QDialog(parent) {
  setObjectName("TSelForm");
  ApplyFormStyle(this);
  setWindowTitle(QString::fromUtf8("انتخاب فايل"));
  auto* caption = new CaptionPanel(this);
  caption->setObjectName("Caption_Panel");
  caption->setText(QString::fromUtf8("         انتخاب مسير کپي فايلها"));
  cmbDrive = new QComboBox(this);
  cmbDrive->setObjectName("cmbDrive");
  for (const QStorageInfo& v : QStorageInfo::mountedVolumes())
    if (v.isValid() && v.isReady()) cmbDrive->addItem(v.rootPath());
  dirs_ = new QFileSystemModel(this);
  dirs_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
  dirs_->setRootPath("/");
  lstDirectory = new QTreeView(this);
  lstDirectory->setObjectName("lstDirectory");
  lstDirectory->setModel(dirs_);
  for (int c = 1; c < dirs_->columnCount(); ++c) lstDirectory->hideColumn(c);
  lstDirectory->header()->hide();
  files_ = new QFileSystemModel(this);
  files_->setFilter(QDir::Files);
  lstFile = new QListView(this);
  lstFile->setObjectName("lstFile");
  lstFile->setModel(files_);
  edtFileName = new QLineEdit(this);
  edtFileName->setObjectName("edtFileName");
  cmdOk = new QPushButton(QString::fromUtf8("تاييـد"), this);
  cmdOk->setObjectName("cmdOk");
  cmdCancel = new QPushButton(QString::fromUtf8("انصراف"), this);
  cmdCancel->setObjectName("cmdCancel");

  auto* lists = new QHBoxLayout;
  lists->addWidget(lstDirectory, 1);
  lists->addWidget(lstFile, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdOk);
  buttons->addWidget(cmdCancel);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(caption);
  layout->addWidget(cmbDrive);
  layout->addLayout(lists, 1);
  layout->addWidget(edtFileName);
  layout->addLayout(buttons);
  resize(520, 360);

  connect(cmbDrive, &QComboBox::textActivated, this, &TSelForm::setDirectory);
  connect(lstDirectory, &QTreeView::clicked, this,
          [this](const QModelIndex& i) { setDirectory(dirs_->filePath(i)); });
  connect(lstFile, &QListView::clicked, this,
          [this](const QModelIndex& i) { edtFileName->setText(files_->fileName(i)); });
  connect(cmdOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TSelForm::setDirectory(const QString& dir) {
  directory_ = dir;
  lstDirectory->setCurrentIndex(dirs_->index(dir));
  lstFile->setRootIndex(files_->setRootPath(dir));
}

QString TSelForm::fileName() const {
  return edtFileName->text();
}

}  // namespace xfer::ui::grid
