// The entry points embed their forms as the automatic launcher embeds the import forms: one
// operation, kept with the shared dialogs (ui/embed_form.h).
#pragma once

#include "ui/embed_form.h"

namespace xfer::host {
using ui::EmbedForm;
}  // namespace xfer::host
