// The treasury transfer form: the module frame over the treasury's base tables (bank accounts,
// cash boxes and petty-cash holders take their openings as they move), plus the cheque page and
// the promissory-note page, which list what is still open at the source period's end, let the
// user settle the red rows through the counterparty forms (Enter) and register the blue ones.
#pragma once

#include <memory>

#include "db/record_set.h"
#include "transfer/modules/forms/frame_grid.h"
#include "transfer/modules/forms/module_form.h"
#include "transfer/modules/treasury_items.h"

class QComboBox;
class QPushButton;

namespace xfer::transfer {

class TXferNaghdForm : public TModuleForm {
  Q_OBJECT
 public:
  explicit TXferNaghdForm(SessionSource session, QWidget* parent = nullptr);

  TreasuryItems* items() const { return items_.get(); }

 public slots:
  void cmbKindChange();
  void cmbKindSafteChange();
  void cmdRegChqClick();
  void cmdRegSaftehClick();
  // Enter on a red row: the counterparty form of that cheque or note.
  void SettleCurrentCheque();
  void SettleCurrentNote();

 protected:
  bool OwnTabOk() override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  TreasuryItems* Items();
  ItemKind ChequeKind() const;
  ItemKind NoteKind() const;
  FrameGrid* NoteGrid() const;
  db::RecordSet& NoteRows();
  // A grid of the cheque or note page: the toolkit's menu and search, rows coloured by their
  // settlement state, never deleted.
  FrameGrid* ItemGrid(QWidget* parent, const char* name, std::vector<FrameColumn> columns,
                      db::RecordSet& rows, const char* stateField);
  // Shows `sql` (empty: nothing) in `grid` through `rows`.
  void ShowRows(FrameGrid* grid, db::RecordSet& rows, const std::string& sql);
  void ShowCheques();
  void ShowNotes();

  std::unique_ptr<TreasuryItems> items_;
  ModuleTransfer* itemsFrame_ = nullptr;
  db::RecordSet quChqPay;
  db::RecordSet quSafteh1;
  db::RecordSet quSaftehPay1;

  QWidget* ts_Chq = nullptr;
  QComboBox* cmbKind = nullptr;
  FrameGrid* dbgChqPay = nullptr;
  QPushButton* cmdRegChq = nullptr;
  QWidget* ts_Safteh1 = nullptr;
  QComboBox* cmbKindSafte = nullptr;
  FrameGrid* dbgSafteh1 = nullptr;
  FrameGrid* dbgSaftehPay1 = nullptr;
  QPushButton* cmdRegSafteh = nullptr;
};

}  // namespace xfer::transfer
