// The discipline every form keeps while one of its runs executes. For the lifetime of a guard:
// the menus of the host's window and the other forms beside this one are disabled; closing the
// window asks first and, when confirmed, stops the run after the unit in progress and closes the
// window once the run has ended; the progress window's stop button asks and stops the same way.
// A form makes one guard on the stack around its run; the host asks Running() before it opens
// another form.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <vector>

#include "transfer/run/run_report.h"

namespace xfer::ui {

class TDlgMsg;
class TShowStateForm;

class RunGuard : public QObject {
  Q_OBJECT
 public:
  // `stateForm` and `dlgMsg` are the session's progress window and message dialog (either may
  // be null); `stop` is the request the run checks between units, cleared here.
  RunGuard(QWidget* form, transfer::StopRequest& stop, TShowStateForm* stateForm, TDlgMsg* dlgMsg);
  ~RunGuard() override;
  RunGuard(const RunGuard&) = delete;
  RunGuard& operator=(const RunGuard&) = delete;

  // The user confirmed closing the window during the run; it closes when the guard ends.
  bool closeRequested() const { return closeRequested_; }

  // A run holds `window` (any form's top-level window).
  static bool Running(const QWidget* window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Disable(QWidget* w);
  bool Confirm(const char* question);
  void AskStop();

  QPointer<QWidget> form_;
  QPointer<QWidget> window_;
  transfer::StopRequest& stop_;
  QPointer<TShowStateForm> stateForm_;
  QPointer<TDlgMsg> dlgMsg_;
  std::vector<QPointer<QWidget>> disabled_;
  QMetaObject::Connection stopClicked_;
  bool closeRequested_ = false;
  bool asking_ = false;
};

}  // namespace xfer::ui
