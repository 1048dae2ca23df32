// The counterparty forms: a modal window over the counterparty lines of one cheque's
// (TTarafHesabForm) or one promissory note's (TTarafHesabSaftehForm) document, where the user
// gives each line its share of the item's value. Amounts above a line's credit are refused as
// typed; the confirm button refuses a total that is not the item's value. Result 1 when the
// distribution was written.
#pragma once

#include <QDialog>
#include <string>

#include "db/record_set.h"
#include "transfer/modules/counterparty.h"
#include "transfer/modules/forms/frame_grid.h"

class QAction;
class QLabel;
class QPushButton;

namespace xfer::transfer {

class TTarafHesabForm : public QDialog {
  Q_OBJECT
 public:
  TTarafHesabForm(TreasuryItems& items, const ChequeRow& cheque, QWidget* parent = nullptr);
  FrameGrid* grid() const { return dbgTaraf; }

 public slots:
  void cmdOkClick();
  void cmdCancelClick();
  void CopyAmount();    // Ctrl+C: the line's whole credit
  void ChequeAmount();  // Ctrl+M: the item's whole value

 protected:
  // For the note form: a different title and total label.
  TTarafHesabForm(TreasuryItems& items, ItemKind kind, const NoteRow& note, QWidget* parent);
  void Build(bool note);
  // The lines into the grid, the current line kept.
  void Fill();
  // An amount typed into a line; false when refused (the line shows what it had).
  bool AmountEdited(long long row, const QString& text);

  TreasuryItems& items_;
  Counterparty cp_;
  bool note_ = false;
  db::RecordSet quTaraf;  // the lines as the grid shows them
  FrameGrid* dbgTaraf = nullptr;
  QPushButton* cmdOk = nullptr;
  QPushButton* cmdCancel = nullptr;
};

class TTarafHesabSaftehForm : public TTarafHesabForm {
  Q_OBJECT
 public:
  TTarafHesabSaftehForm(TreasuryItems& items, ItemKind kind, const NoteRow& note,
                        QWidget* parent = nullptr);
};

}  // namespace xfer::transfer
