// Session variables of the module and the entry points' first step.
#include "host/session.h"

#include "host/xfer_api.h"

extern "C" {
xfer::db::HostGlobal* Global = nullptr;
xfer::db::HostDate* MyDate = nullptr;
xfer::db::HostDatabase* MyDatabase = nullptr;
xfer::ui::TShowStateForm* ShowStateForm = nullptr;
QWidget* TempGridForm = nullptr;
xfer::ui::TDlgMsg* DlgMsg = nullptr;
}

namespace xfer::host {

void StoreSession(db::HostGlobal* global, db::HostDate* myDate, db::HostDatabase* myDatabase,
                  ui::TShowStateForm* showStateForm, QWidget* tempGridForm, ui::TDlgMsg* dlgMsg) {
  Global = global;
  MyDate = myDate;
  MyDatabase = myDatabase;
  ShowStateForm = showStateForm;
  TempGridForm = tempGridForm;
  DlgMsg = dlgMsg;
}

ui::QtDialogs SessionDialogs(QWidget* owner) {
  return ui::QtDialogs(DlgMsg, ShowStateForm, owner, Global);
}

}  // namespace xfer::host
