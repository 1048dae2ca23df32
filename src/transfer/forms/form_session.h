// The host session a transfer form works with. The host may hand over new objects on every call
// of an entry point, so a form asks for them when it needs them instead of keeping them.
#pragma once

#include <functional>

namespace xfer::db {
struct HostGlobal;
class HostDate;
class HostDatabase;
}  // namespace xfer::db

namespace xfer::ui {
class TDlgMsg;
class TShowStateForm;
}  // namespace xfer::ui

namespace xfer::transfer {

struct FormSession {
  db::HostGlobal* global = nullptr;
  db::HostDate* date = nullptr;
  db::HostDatabase* database = nullptr;
  ui::TShowStateForm* stateForm = nullptr;
  ui::TDlgMsg* dlgMsg = nullptr;

  // The same session record, date service and database link: a form keeps its transfer (its
  // temporary name and source server) only while the host hands over the same objects.
  bool SameHostObjects(const FormSession& o) const {
    return global == o.global && date == o.date && database == o.database;
  }
};

using SessionSource = std::function<FormSession()>;

}  // namespace xfer::transfer
