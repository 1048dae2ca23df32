// A right-to-left form that carries only its caption: what an entry point opens while its real
// form is not yet part of the module.
#pragma once

#include <QString>

class QWidget;

namespace xfer::host {

// A parentless form named `className`, titled `caption`, with the caption on its caption panel.
QWidget* MakePlainForm(const char* className, const QString& caption);

}  // namespace xfer::host
