// TImportStoreForm: inventory documents of another company, period or server, by document type
// and warehouse range, previewed with their new numbers and totals, and applied (after the
// backups) under the chosen numbering; period-end stock becomes opening stock. The receipt rule
// of automatic mode rewrites the numbering items.
#pragma once

#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

#include "import/forms/import_frame_form.h"
#include "import/store_import.h"

namespace xfer::import {

class TImportStoreForm : public TImportFrameForm {
  Q_OBJECT
 public:
  explicit TImportStoreForm(transfer::SessionSource session, QWidget* parent = nullptr);
  ~TImportStoreForm() override;

  StoreImport* store() const { return store_.get(); }

  QComboBox* cmbTypeAsnad;
  QCheckBox* chbAnbar;
  QLineEdit *FrAnbarCod, *ToAnbarCod;
  QLabel* lbToAnbar;
  QCheckBox* chkHavaleh;
  QCheckBox* chbAuto;
  // The grid popup's own items, after the toolkit's.
  QAction *SelectAll_Item = nullptr, *DelAll_Item = nullptr, *ReSel_Item = nullptr;

 public slots:
  void FormShow() override;
  void cmbTypeAsnadChange();
  void chbAnbarClick();
  void rg_AfterImportClick();
  // Back to idle; the receipt rule may rewrite the numbering items.
  void chbAutoClick();
  void FormClose();
  void SelectAll_ItemClick();
  void DelAll_ItemClick();
  void ReSel_ItemClick();
  // Opens the warehouse picker for a warehouse edit.
  void OnEdit_DblClick(QLineEdit* edit);
  // Enter in a date edit checks that date (the "to" date for the edits of the second row).
  void OnDateEnter(bool to);

 protected:
  ImportFrame* frame() override { return store_.get(); }
  void OpenCandidates() override;
  void ReadChoices() override;
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void FillAfterItems();
  void SetColumns();
  void ShowRanges();
  void AddPopupItems();
  void MarkAll(StoreImport::Marks marks);

  std::unique_ptr<StoreImport> store_;
  // What the row-colour delegate reads; set with store_.
  const StoreImport* store_ptr_ = nullptr;
  db::HostDatabase* database_ = nullptr;
};

}  // namespace xfer::import
