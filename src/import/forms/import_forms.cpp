#include "import/forms/import_forms.h"

#include <array>
#include <map>
#include <string>

#include "import/forms/import_maly_form.h"

namespace xfer::import {
namespace {

template <typename T>
TImportFrameForm* Make(transfer::SessionSource session) {
  return new T(std::move(session));
}

constexpr std::array kForms = {
    ImportFormEntry{"maly", "Maly", &Make<TImportMalyForm>, &TImportFrameForm::EdtAutoMin},
};

std::map<std::string, QPointer<TImportFrameForm>>& Variables() {
  static std::map<std::string, QPointer<TImportFrameForm>> variables;
  return variables;
}

}  // namespace

std::span<const ImportFormEntry> ImportForms() {
  return kForms;
}

QPointer<TImportFrameForm>& ImportFormVariable(const char* stem) {
  return Variables()[stem];
}

void ReleaseImportForms() {
  for (auto& [stem, form] : Variables()) delete form.data();
  Variables().clear();
}

}  // namespace xfer::import
