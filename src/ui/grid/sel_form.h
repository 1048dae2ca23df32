// The file-location dialog (TSelForm): a drive list, a folder list, the files of the chosen
// folder and a file-name edit; the user picks the folder the exported files are copied to.
#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QListView;
class QPushButton;
class QTreeView;

namespace xfer::ui::grid {

class TSelForm : public QDialog {
  Q_OBJECT
 public:
  explicit TSelForm(QWidget* parent = nullptr);
  TSelForm(const TSelForm&) = delete;
  TSelForm& operator=(const TSelForm&) = delete;

  void setDirectory(const QString& dir);
  QString directory() const { return directory_; }
  QString fileName() const;

 private:
  QComboBox* cmbDrive = nullptr;
  QTreeView* lstDirectory = nullptr;
  QListView* lstFile = nullptr;
  QLineEdit* edtFileName = nullptr;
  QPushButton* cmdOk = nullptr;
  QPushButton* cmdCancel = nullptr;
  QFileSystemModel* dirs_ = nullptr;
  QFileSystemModel* files_ = nullptr;
  QString directory_;
};

}  // namespace xfer::ui::grid
