// The counterparty forms: a modal window over the counterparty lines of one cheque's
// (TTarafHesabForm) or one promissory note's (TTarafHesabSaftehForm) document, where the user
// gives each line its share of the item's value. Amounts above a line's credit are refused as
// typed; the confirm button refuses a total that is not the item's value. Result 1 when the
// distribution was written.
#pragma once

#include <QDialog>
#include <string>

#include "transfer/modules/counterparty.h"

class QAction;
class QLabel;
class QPushButton;
class QTableWidget;

namespace xfer::transfer {

class TTarafHesabForm : public QDialog {
  Q_OBJECT
 public:
  TTarafHesabForm(TreasuryItems& items, const ChequeRow& cheque, QWidget* parent = nullptr);
  QTableWidget* grid() const { return dbgTaraf; }

 public slots:
  void cmdOkClick();
  void cmdCancelClick();
  void CopyAmount();    // Ctrl+C: the line's whole credit
  void ChequeAmount();  // Ctrl+M: the item's whole value
  void Search();        // Ctrl+F: the search library's dialog, then the line it names

 protected:
  // For the note form: a different title and total label.
  TTarafHesabForm(TreasuryItems& items, ItemKind kind, const NoteRow& note, QWidget* parent);
  void Build(bool note);
  void Fill();
  void CellEdited(int row, int column);

  Counterparty cp_;
  std::string appFolder_;  // where the suite's libraries are
  QAction* search_ = nullptr;
  QTableWidget* dbgTaraf = nullptr;
  QPushButton* cmdOk = nullptr;
  QPushButton* cmdCancel = nullptr;
  bool filling_ = false;
};

class TTarafHesabSaftehForm : public TTarafHesabForm {
  Q_OBJECT
 public:
  TTarafHesabSaftehForm(TreasuryItems& items, ItemKind kind, const NoteRow& note,
                        QWidget* parent = nullptr);
};

}  // namespace xfer::transfer
