// The core's Dialogs interface on the real message dialog and progress window, so transfer
// routines report and show progress the same way from every form.
#pragma once

#include <QPointer>
#include <QWidget>

#include "db/dialogs.h"
#include "db/session.h"
#include "ui/dlg_msg.h"
#include "ui/show_state_form.h"

namespace xfer::ui {

class QtDialogs : public db::Dialogs {
 public:
  // Any pointer may be null: without a message dialog a temporary one is used, without a
  // progress window progress is not shown. `owner` is disabled while progress shows; `global`
  // supplies the default progress title.
  QtDialogs(TDlgMsg* dlgMsg, TShowStateForm* stateForm, QWidget* owner,
            const db::HostGlobal* global);

  int ShowDlgMsg(const std::string& message, const std::string& caption,
                 const std::string& code) override;
  void ShowState(const std::string& kind, const std::string& title,
                 const std::string& message) override;
  void HideState() override;
  void Progress(long long done, long long total) override;
  void UnitStarted(const std::string& caption, long long done, long long total) override;

  QWidget* owner() const { return owner_; }

 private:
  QPointer<TDlgMsg> dlgMsg_;
  QPointer<TShowStateForm> stateForm_;
  QPointer<QWidget> owner_;
  const db::HostGlobal* global_;
};

}  // namespace xfer::ui
