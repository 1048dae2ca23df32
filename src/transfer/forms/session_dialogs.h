// The core's Dialogs interface for a transfer form: each message and progress step goes to the
// message dialog and progress window of the host's latest session, with the form as owner.
#pragma once

#include <QPointer>
#include <QWidget>

#include "db/dialogs.h"
#include "transfer/forms/form_session.h"
#include "ui/qt_dialogs.h"

namespace xfer::transfer {

class SessionDialogs : public db::Dialogs {
 public:
  SessionDialogs(SessionSource session, QWidget* owner)
      : session_(std::move(session)), owner_(owner) {}

  int ShowDlgMsg(const std::string& message, const std::string& caption,
                 const std::string& code) override {
    return Current().ShowDlgMsg(message, caption, code);
  }
  void ShowState(const std::string& kind, const std::string& title,
                 const std::string& message) override {
    Current().ShowState(kind, title, message);
  }
  void HideState() override { Current().HideState(); }
  void Progress(long long done, long long total) override { Current().Progress(done, total); }
  void UnitStarted(const std::string& caption, long long done, long long total) override {
    Current().UnitStarted(caption, done, total);
  }

 private:
  ui::QtDialogs Current() const {
    const FormSession s = session_ ? session_() : FormSession{};
    return ui::QtDialogs(s.dlgMsg, s.stateForm, owner_, s.global);
  }

  SessionSource session_;
  QPointer<QWidget> owner_;
};

}  // namespace xfer::transfer
