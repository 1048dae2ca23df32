// The form each entry point opens, with its caption. Forms not yet written open as a plain
// right-to-left form carrying their caption, so every menu entry of the host works.
#include <array>

#include "host/form_registry.h"
#include "host/plain_form.h"
#include "host/xfer_api.h"
#include "import/forms/xfer_auto_form.h"
#include "transfer/forms/kol_form.h"
#include "transfer/modules/forms/anbar_form.h"
#include "transfer/modules/forms/dara_form.h"
#include "transfer/modules/forms/maly_form.h"
#include "transfer/modules/forms/naghd_form.h"
#include "transfer/modules/forms/sell_form.h"

// The session variables are defined by the module (session.cpp). Programs that link the form
// table without the module, such as the registry tests, leave them out: weak references read
// as absent there, and the forms then open without a session.
#pragma weak Global
#pragma weak MyDate
#pragma weak MyDatabase
#pragma weak ShowStateForm
#pragma weak DlgMsg

namespace xfer::host {
namespace {

struct FormEntry {
  const char* className;
  const char* caption;
  bool built;  // false: the export opens the caption-only stand-in
};

constexpr std::array<FormEntry, kFormCount> kForms = {{
    {"TXferMalyForm", "انتقال اطلاعات پايه حسابها", true},
    {"TXferSellForm", "انتقال اطلاعات پايه فروش", true},
    {"TXferAnbarForm", "انتقال اطلاعات پايه انبار", true},
    {"TXferDaraForm", "انتقال اطلاعات پايه داراييها", true},
    {"TXferNaghdForm", "انتقال اطلاعات پايه نقدينگي", true},
    {"TXferKolForm", "انتقال اطلاعات پايه", true},
    {"TXferAutoForm", "انتقال اسناد", true},
}};

const FormEntry& Entry(FormId id) {
  return kForms[static_cast<size_t>(id)];
}

// The latest session an entry point stored.
transfer::FormSession ModuleSession() {
  if (!&Global) return {};
  return {Global, MyDate, MyDatabase, ShowStateForm, DlgMsg};
}

}  // namespace

QString FormCaption(FormId id) {
  return QString::fromUtf8(Entry(id).caption);
}

bool FormBuilt(FormId id) {
  return Entry(id).built;
}

const char* FormClassName(FormId id) {
  return Entry(id).className;
}

FormFactory DefaultFormFactory(FormId id) {
  if (id == FormId::kKol) return [] { return new transfer::TXferKolForm(ModuleSession); };
  if (id == FormId::kKelvaro) return [] { return new transfer::TXferMalyForm(ModuleSession); };
  if (id == FormId::kSell) return [] { return new transfer::TXferSellForm(ModuleSession); };
  if (id == FormId::kDara) return [] { return new transfer::TXferDaraForm(ModuleSession); };
  if (id == FormId::kAnbar) return [] { return new transfer::TXferAnbarForm(ModuleSession); };
  if (id == FormId::kNaghd) return [] { return new transfer::TXferNaghdForm(ModuleSession); };
  if (id == FormId::kAuto) return [] { return new import::TXferAutoForm(ModuleSession); };
  return [id] { return MakePlainForm(FormClassName(id), FormCaption(id)); };
}

}  // namespace xfer::host
