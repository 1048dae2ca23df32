// The transfer form of the fixed-assets module's base information: the assets register and its
// definition tables, over the module frame; each tab (or combo entry) carries one table.
#pragma once

#include "transfer/modules/forms/module_form.h"

namespace xfer::transfer {

class TXferDaraForm : public TModuleForm {
  Q_OBJECT
 public:
  explicit TXferDaraForm(SessionSource session, QWidget* parent = nullptr);
};

}  // namespace xfer::transfer
