// The transfer form of the inventory module's base information: items, warehouses, suppliers and
// document types, over the module frame; each tab (or combo entry) carries one table.
#pragma once

#include "transfer/modules/forms/module_form.h"

namespace xfer::transfer {

class TXferAnbarForm : public TModuleForm {
  Q_OBJECT
 public:
  explicit TXferAnbarForm(SessionSource session, QWidget* parent = nullptr);
};

}  // namespace xfer::transfer
