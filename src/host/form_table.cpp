// The form each entry point opens, with its caption. Forms not yet written open as a plain
// right-to-left form carrying their caption, so every menu entry of the host works.
#include <array>

#include "host/form_registry.h"
#include "host/plain_form.h"

namespace xfer::host {
namespace {

struct FormEntry {
  const char* className;
  const char* caption;
};

constexpr std::array<FormEntry, kFormCount> kForms = {{
    {"TXferMalyForm", "انتقال اطلاعات پايه حسابها"},
    {"TXferSellForm", "انتقال اطلاعات پايه فروش"},
    {"TXferAnbarForm", "انتقال اطلاعات پايه انبار"},
    {"TXferDaraForm", "انتقال اطلاعات پايه داراييها"},
    {"TXferNaghdForm", "انتقال اطلاعات پايه نقدينگي"},
    {"TXferKolForm", "انتقال اطلاعات پايه"},
    {"TXferAutoForm", "انتقال اسناد"},
}};

const FormEntry& Entry(FormId id) {
  return kForms[static_cast<size_t>(id)];
}

}  // namespace

QString FormCaption(FormId id) {
  return QString::fromUtf8(Entry(id).caption);
}

const char* FormClassName(FormId id) {
  return Entry(id).className;
}

FormFactory DefaultFormFactory(FormId id) {
  return [id] { return MakePlainForm(FormClassName(id), FormCaption(id)); };
}

}  // namespace xfer::host
