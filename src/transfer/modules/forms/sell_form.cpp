// The form class over its table data; all behaviour is the frame's.
#include "transfer/modules/forms/sell_form.h"

namespace xfer::transfer {

TXferSellForm::TXferSellForm(SessionSource session, QWidget* parent)
    : TModuleForm(std::move(session), SellForm(), "pcXfer", parent) {}

}  // namespace xfer::transfer
