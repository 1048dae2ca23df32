// TImportTradoForm: sales pre-invoices and invoices (and their returns) of another company,
// period or server, loaded for review and applied under the chosen numbering (the sales import
// of the core), with the document-type combo, the converted pre-invoice box, its grid columns,
// row colours and the three numbering items.
#pragma once

#include <memory>

class QCheckBox;
class QComboBox;

#include "import/forms/import_frame_form.h"
#include "import/trado_import.h"

namespace xfer::import {

class TImportTradoForm : public TImportFrameForm {
  Q_OBJECT
 public:
  explicit TImportTradoForm(transfer::SessionSource session, QWidget* parent = nullptr);
  ~TImportTradoForm() override;

  TradoImport* trado() const { return trado_.get(); }

  QComboBox* cmbTypeAsnad;
  QCheckBox* chbAdamEntegal;

 public slots:
  void FormShow() override;
  void cmbTypeAsnadChange();
  void rg_AfterImportClick();

 protected:
  ImportFrame* frame() override { return trado_.get(); }
  void OpenCandidates() override;

 private:
  void ShowRanges();

  std::unique_ptr<TradoImport> trado_;
  db::HostDatabase* database_ = nullptr;
};

}  // namespace xfer::import
