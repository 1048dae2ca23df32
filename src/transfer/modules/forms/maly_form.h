// The chart-of-accounts transfer form: the module frame over the accounting tables, closed
// while the current period holds an opening or closing voucher, with the account turnover of
// a code cell on double click or from the grid's popup.
#pragma once

#include "transfer/modules/forms/module_form.h"

namespace xfer::transfer {

class TXferMalyForm : public TModuleForm {
  Q_OBJECT
 public:
  explicit TXferMalyForm(SessionSource session, QWidget* parent = nullptr);

  // The last turnover asked for; empty selection when none.
  const std::string& lastTurnover() const { return lastTurnover_; }

 public slots:
  void GardeshItemClick() override;

 private:
  std::string lastTurnover_;
};

}  // namespace xfer::transfer
