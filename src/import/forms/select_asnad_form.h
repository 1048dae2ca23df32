// TFrmSelectAsnad and TFrm_SelectSoftware: the voucher selection form of the voucher import and
// the small dialog that picks the issuing program. Both are thin over VoucherSelection: each
// button or double-click is one call, then the grid is read again with its position kept.
#pragma once

#include <QDialog>

#include "db/dialogs.h"
#include "db/record_set.h"
#include "import/voucher_selection.h"

class QLineEdit;
class QPushButton;

namespace xfer::ui::grid {
class TDBGrid;
}

namespace xfer::import {

class TFrm_SelectSoftware : public QDialog {
  Q_OBJECT
 public:
  explicit TFrm_SelectSoftware(VoucherSelection& selection, QWidget* parent = nullptr);

  ui::grid::TDBGrid* dbgTemp;
  QPushButton *BitBtn1, *SelectAllBtn, *NotSelectAllBtn, *SelectRevertBtn, *sb_Closed;
  db::RecordSet quTemp;

 public slots:
  void dbgTemp_DblClick();
  void BitBtn1Click();

 private:
  void Requery();
  VoucherSelection& sel_;
};

class TFrmSelectAsnad : public QDialog {
  Q_OBJECT
 public:
  TFrmSelectAsnad(VoucherSelection& selection, db::HostDatabase& database, db::Dialogs& dialogs,
                  const std::string& captionLine, QWidget* parent = nullptr);

  ui::grid::TDBGrid* dbgTemp;
  QPushButton *SelectAllBtn, *NotSelectAllBtn, *SelectRevertBtn, *SelectRengBtn,
      *SelectRengRevertBtn, *SpeedButton1, *OkBitBtn, *CancelBitBtn;
  QLineEdit* edSoftwares;
  db::RecordSet quTemp;

 public slots:
  // A double-click on the current row: its program's vouchers on the software column, else its
  // voucher.
  void dbgTemp_DblClick(int column);
  void SpeedButton1Click();

 private:
  void Requery();
  VoucherSelection& sel_;
  db::HostDatabase& db_;
  db::Dialogs& dialogs_;
};

}  // namespace xfer::import
