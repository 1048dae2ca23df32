// Factory table of the entry points' forms.
#include "host/form_registry.h"

#include <array>

namespace xfer::host {
namespace {

std::array<FormFactory, kFormCount>& Overrides() {
  static std::array<FormFactory, kFormCount> factories;
  return factories;
}

}  // namespace

void RegisterFormFactory(FormId id, FormFactory factory) {
  Overrides()[static_cast<size_t>(id)] = std::move(factory);
}

QWidget* CreateForm(FormId id) {
  const FormFactory& f = Overrides()[static_cast<size_t>(id)];
  return f ? f() : DefaultFormFactory(id)();
}

}  // namespace xfer::host
