// Dialogs on Qt: forwards to the host's message dialog and progress window.
#include "ui/qt_dialogs.h"

#include <QWidget>

#include "ui/dlg_msg.h"
#include "ui/show_state_form.h"

namespace xfer::ui {

QtDialogs::QtDialogs(TDlgMsg* dlgMsg, TShowStateForm* stateForm, QWidget* owner,
                     const db::HostGlobal* global)
    : dlgMsg_(dlgMsg), stateForm_(stateForm), owner_(owner), global_(global) {}

int QtDialogs::ShowDlgMsg(const std::string& message, const std::string& caption,
                          const std::string& code) {
  if (dlgMsg_) return ui::ShowDlgMsg(*dlgMsg_, message, caption, code);
  TDlgMsg temporary(owner_ ? owner_->window() : nullptr);
  return ui::ShowDlgMsg(temporary, message, caption, code);
}

void QtDialogs::ShowState(const std::string& kind, const std::string& title,
                          const std::string& message) {
  if (!stateForm_) return;
  stateForm_->ShowState(owner_, QString::fromStdString(kind), QString::fromStdString(title),
                        QString::fromStdString(message),
                        global_ ? QString::fromStdString(global_->appTitle) : QString());
}

void QtDialogs::HideState() {
  if (stateForm_) {
    stateForm_->HideState(owner_);
  } else if (owner_) {
    owner_->setEnabled(true);
  }
}

void QtDialogs::Progress(long long done, long long total) {
  if (stateForm_) stateForm_->Progress(done, total);
}

void QtDialogs::UnitStarted(const std::string& caption, long long done, long long total) {
  if (stateForm_) stateForm_->ShowUnit(QString::fromStdString(caption), done, total);
}

}  // namespace xfer::ui
