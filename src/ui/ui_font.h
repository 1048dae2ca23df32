// The suite's dialog font: a Persian-capable face at 13 pixels, and the right-to-left set-up every
// form of the module gets.
#pragma once

#include <QFont>

class QWidget;

namespace xfer::ui {

// Vazirmatn where installed, else Noto Sans Arabic / Noto Naskh Arabic (Debian's fonts-noto-core).
QFont DialogFont();
// Right-to-left layout and the dialog font.
void ApplyFormStyle(QWidget* w);

}  // namespace xfer::ui
