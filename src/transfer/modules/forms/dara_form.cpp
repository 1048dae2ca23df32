// The form class over its table data; all behaviour is the frame's.
#include "transfer/modules/forms/dara_form.h"

namespace xfer::transfer {

TXferDaraForm::TXferDaraForm(SessionSource session, QWidget* parent)
    : TModuleForm(std::move(session), DaraForm(), "pcXfer", parent) {}

}  // namespace xfer::transfer
