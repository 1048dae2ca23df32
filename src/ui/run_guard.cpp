#include "ui/run_guard.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include "db/dialogs.h"
#include "ui/dlg_msg.h"
#include "ui/run_text.h"
#include "ui/show_state_form.h"

namespace xfer::ui {
namespace {

// The mark a running form leaves on its window. A property rather than a registry: the host
// and the module each carry their own copy of this code, and both must see the same mark.
constexpr char kRunningProperty[] = "xferRunning";

}  // namespace

RunGuard::RunGuard(QWidget* form, transfer::StopRequest& stop, TShowStateForm* stateForm,
                   TDlgMsg* dlgMsg)
    : form_(form),
      window_(form ? form->window() : nullptr),
      stop_(stop),
      stateForm_(stateForm),
      dlgMsg_(dlgMsg) {
  stop_.Clear();
  if (window_) {
    window_->setProperty(kRunningProperty, true);
    window_->installEventFilter(this);
    for (QMenuBar* bar : window_->findChildren<QMenuBar*>()) Disable(bar);
  }
  // The forms beside this one in the host's container wait too.
  if (form_ && form_->parentWidget() && form_->parentWidget() != window_)
    for (QObject* o : form_->parentWidget()->children())
      if (auto* w = qobject_cast<QWidget*>(o); w && w != form_ && !w->isWindow()) Disable(w);
  if (stateForm_) {
    stateForm_->setStopVisible(true);
    stopClicked_ =
        connect(stateForm_->stopButton(), &QPushButton::clicked, this, &RunGuard::AskStop);
  }
}

RunGuard::~RunGuard() {
  if (stateForm_) {
    disconnect(stopClicked_);
    stateForm_->setStopVisible(false);
  }
  for (const QPointer<QWidget>& w : disabled_)
    if (w) w->setEnabled(true);
  if (window_) {
    window_->removeEventFilter(this);
    window_->setProperty(kRunningProperty, QVariant());
    // Closed from the event loop, once the form's handler has returned.
    if (closeRequested_)
      QTimer::singleShot(0, window_.data(), [w = window_] {
        if (w) w->close();
      });
  }
}

bool RunGuard::Running(const QWidget* window) {
  return window && window->property(kRunningProperty).toBool();
}

void RunGuard::Disable(QWidget* w) {
  if (!w->isEnabled()) return;
  w->setEnabled(false);
  disabled_.emplace_back(w);
}

bool RunGuard::eventFilter(QObject* watched, QEvent* event) {
  if (watched != window_ || event->type() != QEvent::Close)
    return QObject::eventFilter(watched, event);
  // The run is still writing: the window stays until the unit in progress has finished.
  event->ignore();
  if (!closeRequested_ && Confirm(run_text::kCloseQuestion)) {
    closeRequested_ = true;
    stop_.Request();
  }
  return true;
}

void RunGuard::AskStop() {
  if (stop_.Requested()) return;
  if (Confirm(run_text::kStopQuestion)) {
    stop_.Request();
    if (stateForm_) stateForm_->stopButton()->setEnabled(false);
  }
}

bool RunGuard::Confirm(const char* question) {
  if (asking_) return false;  // one question at a time
  asking_ = true;
  int answer = 0;
  if (dlgMsg_) {
    answer = ShowDlgMsg(*dlgMsg_, question, "", "3QR");
  } else {
    TDlgMsg temporary(window_);
    answer = ShowDlgMsg(temporary, question, "", "3QR");
  }
  asking_ = false;
  return answer == db::kResultYes;
}

}  // namespace xfer::ui
