// The form class over its table data; all behaviour is the frame's.
#include "transfer/modules/forms/anbar_form.h"

namespace xfer::transfer {

TXferAnbarForm::TXferAnbarForm(SessionSource session, QWidget* parent)
    : TModuleForm(std::move(session), AnbarForm(), "pcXfer", parent) {}

}  // namespace xfer::transfer
