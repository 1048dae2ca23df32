// The transfer form of the sales module's base information: items, customers, marketers, taxes and
// invoice settings, over the module frame; each tab (or combo entry) carries one table.
#pragma once

#include "transfer/modules/forms/module_form.h"

namespace xfer::transfer {

class TXferSellForm : public TModuleForm {
  Q_OBJECT
 public:
  explicit TXferSellForm(SessionSource session, QWidget* parent = nullptr);
};

}  // namespace xfer::transfer
