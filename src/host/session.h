// The module's view of the latest host session: storing the six objects an entry point receives,
// and the Dialogs the forms report through.
#pragma once

#include "db/session.h"
#include "ui/qt_dialogs.h"

class QWidget;

namespace xfer::ui {
class TDlgMsg;
class TShowStateForm;
}  // namespace xfer::ui

namespace xfer::host {

// Overwrites the session variables; every entry point does this before anything else.
void StoreSession(db::HostGlobal* global, db::HostDate* myDate, db::HostDatabase* myDatabase,
                  ui::TShowStateForm* showStateForm, QWidget* tempGridForm, ui::TDlgMsg* dlgMsg);

// The host's message dialog and progress window of the latest session, with `owner` disabled
// while progress shows.
ui::QtDialogs SessionDialogs(QWidget* owner);

}  // namespace xfer::host
