// Which form each entry point opens. Each export maps to a factory; the transfer and import
// forms plug in by replacing the default factory (in form_table.cpp, or at run time through
// RegisterFormFactory) without touching the entry points.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace xfer::host {

// In the order Release_It frees them.
enum class FormId { kKelvaro, kSell, kAnbar, kDara, kNaghd, kKol, kAuto };
inline constexpr int kFormCount = 7;

// Builds a form without parent; the entry point embeds it.
using FormFactory = std::function<QWidget*()>;

// Replaces the factory of `id`; an empty factory restores the default.
void RegisterFormFactory(FormId id, FormFactory factory);
QWidget* CreateForm(FormId id);

// Caption of the form and name of its class.
QString FormCaption(FormId id);
// The export opens a working form; false while it opens only a caption-only stand-in, so the
// host can offer it disabled instead of as an empty form.
bool FormBuilt(FormId id);
const char* FormClassName(FormId id);

// The factory an export starts with (form_table.cpp).
FormFactory DefaultFormFactory(FormId id);

}  // namespace xfer::host
