// TXferAutoForm: the console of the automatic imports. Per import a check box that enables its
// button, the button that opens the import form in the lower panel (where the user sets it up),
// and the import's status labels: the texts and colours its runs report, and whether its
// automatic mode is on. The final confirmation starts the automatic mode of every opened import
// whose interval is filled; their timers then share the one user-interface thread.
#pragma once

#include <QWidget>
#include <span>
#include <vector>

#include "import/forms/import_forms.h"
#include "transfer/forms/form_session.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QToolButton;

namespace xfer::ui {
class CaptionPanel;
}

namespace xfer::import {

class TXferAutoForm : public QWidget {
  Q_OBJECT
 public:
  // `forms`: the import forms it offers, in order (every one by default).
  explicit TXferAutoForm(transfer::SessionSource session, QWidget* parent = nullptr,
                         std::span<const ImportFormEntry> forms = ImportForms());
  ~TXferAutoForm() override;
  TXferAutoForm(const TXferAutoForm&) = delete;
  TXferAutoForm& operator=(const TXferAutoForm&) = delete;

  // One row per import: chk + stem, btn + stem, lbl + stem (status), lbl + stem + "State".
  struct Row {
    const ImportFormEntry* entry = nullptr;
    QCheckBox* chk = nullptr;
    QPushButton* btn = nullptr;
    QLabel* lbl = nullptr;
    QLabel* lblState = nullptr;
  };
  const std::vector<Row>& rows() const { return rows_; }
  // The import form of row `i`, once its button opened it.
  TImportFrameForm* importForm(size_t i) const;

  ui::CaptionPanel* Caption_Panel;
  QToolButton* sb_Minimized;
  QToolButton* sb_Closed;
  QWidget* pnlBottom;
  QPushButton* cmdOk;

 public slots:
  void FormShow();
  void chkClick(int row);
  void btnClick(int row);
  void cmdOkClick();
  void sb_ClosedClick();
  void sb_MinimizedClick();

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  void Attach(size_t i);
  void ShowAutoState(size_t i);

  transfer::SessionSource session_;
  std::vector<Row> rows_;
};

}  // namespace xfer::import
