// The grids of the transfer forms work with the host objects of the form's latest session and
// report through the form's dialogs.
#pragma once

#include "db/dialogs.h"
#include "transfer/forms/form_session.h"
#include "ui/grid/maly_object.h"

namespace xfer::transfer {

inline ui::grid::GridSessionSource GridSessionOf(SessionSource session, db::Dialogs& dialogs) {
  return [session = std::move(session), d = &dialogs] {
    const FormSession s = session ? session() : FormSession{};
    return ui::grid::GridSession{s.global, s.database, d, nullptr};
  };
}

}  // namespace xfer::transfer
