// The import forms the automatic transfer form opens, as data: per import (by its name in the
// registry of imports) the stem of its widget names on the launcher, how its form is made and
// which edit must hold text for the final confirmation to start it. The forms themselves live in
// module-wide variables: once opened they outlive the launcher until the library releases them.
#pragma once

#include <span>

#include "import/forms/import_frame_form.h"

class QLineEdit;

namespace xfer::import {

struct ImportFormEntry {
  const char* name;  // the import's name in ImportModules()
  const char* stem;  // chk + stem, btn + stem, lbl + stem on the launcher
  TImportFrameForm* (*make)(transfer::SessionSource session);
  // The edit the final confirmation reads, trimmed: EdtAutoMin, or EdtAutoNo for inventory.
  QLineEdit* TImportFrameForm::*startEdit;
};

// Every import form, in the launcher's order.
std::span<const ImportFormEntry> ImportForms();

// The form variable of an import form (by its stem); empty until the form is first made,
// cleared when it is freed.
QPointer<TImportFrameForm>& ImportFormVariable(const char* stem);
// Frees every import form the launcher made.
void ReleaseImportForms();

}  // namespace xfer::import
