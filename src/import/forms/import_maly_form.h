// TImportMalyForm: accounting vouchers of another company, period or server, loaded for review
// and applied under the chosen numbering (the voucher import of the core), with its grid columns,
// row colours and the four numbering items.
#pragma once

#include <memory>

class QCheckBox;
class QPushButton;

#include "import/forms/import_frame_form.h"
#include "import/maly_import.h"

namespace xfer::import {

class TImportMalyForm : public TImportFrameForm {
  Q_OBJECT
 public:
  explicit TImportMalyForm(transfer::SessionSource session, QWidget* parent = nullptr);
  ~TImportMalyForm() override;

  MalyImport* maly() const { return maly_.get(); }

  QCheckBox* chbSelector;
  QPushButton* btnSelector;

 public slots:
  void FormShow() override;
  void chbSelectorClick();
  // Opens the voucher selection, then loads the chosen vouchers.
  void btnSelectorClick();

 protected:
  ImportFrame* frame() override { return maly_.get(); }
  void OpenCandidates() override;

 private:
  std::unique_ptr<MalyImport> maly_;
  db::HostDatabase* database_ = nullptr;
};

}  // namespace xfer::import
