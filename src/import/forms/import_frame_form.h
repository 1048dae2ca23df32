// The thin Qt face the import forms share: the period combo, the date and number ranges, the two
// radio groups, the copy-base box, the candidate grid with its toolkit, the confirm button and
// the automatic mode with its timer. Every handler reads the widgets into the core frame, calls
// it, and shows the outcome; the forms add their own captions, columns and row colours.
#pragma once

#include <QLabel>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "db/record_set.h"
#include "import/import_frame.h"
#include "transfer/forms/form_session.h"
#include "transfer/forms/session_dialogs.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTimer;

namespace xfer::ui::grid {
class TDBGrid;
class TMalyObject;
}  // namespace xfer::ui::grid

namespace xfer::import {

class TImportFrameForm : public QWidget {
  Q_OBJECT
 public:
  // The text of a field of one candidate row.
  using FieldText = std::function<std::string(const char* field)>;

  explicit TImportFrameForm(transfer::SessionSource session, QWidget* parent = nullptr);
  ~TImportFrameForm() override;
  // The remembered-servers file of the connection form (its default when empty).
  void setServersFile(const QString& file) { serversFile_ = file; }
  // The module's status label on the automatic transfer form: every status text goes there,
  // red for a failure and green for success, and none to the message dialog. Null: the form's
  // own label again. The label is cleared when this form is freed.
  void setStatusLabel(QLabel* label);
  QLabel* statusLabel() const { return statusLabel_; }
  // The form's core once FormShow made it; null before.
  ImportFrame* core() { return frame(); }
  TImportFrameForm(const TImportFrameForm&) = delete;
  TImportFrameForm& operator=(const TImportFrameForm&) = delete;

  // The widgets, named as the design names them.
  QWidget* plTop;
  QComboBox* cmbDorehMale;
  QCheckBox* chbDate;
  QLineEdit *mDay1, *mMonth1, *mYear1, *mDay2, *mMonth2, *mYear2;
  QCheckBox* chbSanad;
  QLineEdit *FCountEdit, *TCountEdit;
  QGroupBox* rg_PriorImport;
  QButtonGroup* priorButtons;
  QGroupBox* rg_AfterImport;
  QButtonGroup* afterButtons;
  QCheckBox* chbEntegalPaye;
  QPushButton* cmdServer;
  QLabel* lbServerNam;
  ui::grid::TDBGrid* dbgAsnad;
  ui::grid::TMalyObject* pmImportAsnad = nullptr;
  QAction* R_ReportItem = nullptr;  // the popup's item that runs the load step
  QPushButton* cmdOk;
  QTimer* TimerAuto;
  QLineEdit* EdtAutoMin;
  QLineEdit* EdtAutoNo;
  QLabel* lblState;
  QLabel* lblStatus;  // the module's status when no automatic transfer form shows it

  db::RecordSet quAsnad;

 public slots:
  virtual void FormShow() = 0;
  void cmbDorehMaleChange();
  void chbDateClick();
  void chbSanadClick();
  void R_ReportItemClick();
  void cmdOkClick();
  void EdtAutoMinChange();
  // The start the automatic transfer form calls.
  void StartAuto();
  void TimerAutoTimer();
  // Another source server, chosen in the connection form; the period list is refilled from it.
  void cmdServerClick();

 signals:
  // The automatic state (lblState, EdtAutoNo, the timer) was shown anew.
  void autoStateChanged();

 protected:
  // Showing the form runs FormShow, as the design's OnShow does.
  void showEvent(QShowEvent* e) override;
  // The form's core, made by FormShow.
  virtual ImportFrame* frame() = 0;
  // Opens quAsnad on the loaded candidates.
  virtual void OpenCandidates() = 0;
  // Wires the core to the widgets after FormShow made it.
  void Attach();
  virtual void ReadChoices();
  void ShowAutoState();
  void ShowStatus(const Status& s);
  // dbg_DrawColumnCell: each candidate row's font colour, from the texts of its fields (empty
  // for NULL or a missing field), then the default drawing.
  void SetRowColour(std::function<int(const FieldText& field)> colour);
  // Runs a handler; a server error ends it with the message dialog, as the suite's handler does.
  template <typename F>
  void Guarded(F&& body);
  // Guarded, under the run discipline of every form: the host's menu and the forms beside this
  // one wait, and closing the window asks first and waits until the run has ended.
  template <typename F>
  void Run(F&& body);
  void FillPeriods();

  transfer::SessionSource session_;
  QString serversFile_;
  QPointer<QLabel> statusLabel_;
  transfer::FormSession shownSession_;
  std::unique_ptr<transfer::SessionDialogs> dialogs_;
  // Asked by the automatic run between its load and its apply.
  transfer::StopRequest stop_;
};

}  // namespace xfer::import
