// Places a module form inside the host's container: parented to it, filling its client area,
// maximized and shown modeless. The automatic launcher embeds the import forms the same way.
#pragma once

class QWidget;

namespace xfer::db {
struct HostGlobal;
}

namespace xfer::ui {

// Returns 1 when the form ends up shown within its container (or on its own without one).
int EmbedForm(const db::HostGlobal* global, QWidget* form, QWidget* parent);

}  // namespace xfer::ui
