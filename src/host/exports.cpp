// The exported entry points: store the session, create the export's form once, embed it.
// Release_It, and unloading the library, free the forms.
#include <QCoreApplication>
#include <QObject>
#include <QWidget>

#include "host/embed_form.h"
#include "host/form_registry.h"
#include "host/session.h"
#include "host/xfer_api.h"
#include "import/forms/import_forms.h"

extern "C" {
QWidget* XferMalyForm = nullptr;
QWidget* XferSellForm = nullptr;
QWidget* XferAnbarForm = nullptr;
QWidget* XferDaraForm = nullptr;
QWidget* XferNaghdForm = nullptr;
QWidget* XferKolForm = nullptr;
QWidget* XferAutoForm = nullptr;
}

namespace xfer::host {
namespace {

// Form variables in FormId order, which is also the order they are freed in.
QWidget** const kFormVariables[kFormCount] = {&XferMalyForm, &XferSellForm,  &XferAnbarForm,
                                              &XferDaraForm, &XferNaghdForm, &XferKolForm,
                                              &XferAutoForm};

int OpenForm(FormId id, QWidget* parent, db::HostGlobal* global, db::HostDate* myDate,
             db::HostDatabase* myDatabase, ui::TShowStateForm* showStateForm, QWidget* tempGridForm,
             ui::TDlgMsg* dlgMsg) {
  StoreSession(global, myDate, myDatabase, showStateForm, tempGridForm, dlgMsg);
  QWidget*& form = *kFormVariables[static_cast<int>(id)];
  if (!form) {
    form = CreateForm(id);
    if (!form) return 0;
    // A form also dies with the host's container; its variable must not outlive it.
    QObject::connect(form, &QObject::destroyed, [slot = &form] { *slot = nullptr; });
  }
  return EmbedForm(Global, form, parent);
}

void ReleaseForms() {
  for (QWidget** slot : kFormVariables) {
    if (QWidget* form = *slot) {
      *slot = nullptr;
      delete form;
    }
  }
  // The import forms the launcher opened outlive it, until now.
  import::ReleaseImportForms();
}

// Process exit or dlclose: forms go with the library. Once the application object is gone the
// widgets can no longer be deleted; the host's container has taken them with it by then.
__attribute__((destructor)) void ReleaseOnUnload() {
  if (QCoreApplication::instance()) {
    ReleaseForms();
  } else {
    for (QWidget** slot : kFormVariables) *slot = nullptr;
  }
}

}  // namespace
}  // namespace xfer::host

using xfer::host::FormId;
using xfer::host::OpenForm;

#define XFER_ENTRY_POINT(name, id)                                                                 \
  extern "C" int name(QWidget* parent, xfer::db::HostGlobal* global, xfer::db::HostDate* myDate,   \
                      xfer::db::HostDatabase* myDatabase, xfer::ui::TShowStateForm* showStateForm, \
                      QWidget* tempGridForm, xfer::ui::TDlgMsg* dlgMsg) {                          \
    return OpenForm(id, parent, global, myDate, myDatabase, showStateForm, tempGridForm, dlgMsg);  \
  }

XFER_ENTRY_POINT(Xfer_Kelvaro, FormId::kKelvaro)
XFER_ENTRY_POINT(Xfer_Sell, FormId::kSell)
XFER_ENTRY_POINT(Xfer_Anbar, FormId::kAnbar)
XFER_ENTRY_POINT(Xfer_Dara, FormId::kDara)
XFER_ENTRY_POINT(Xfer_Naghd, FormId::kNaghd)
XFER_ENTRY_POINT(Xfer_Kol, FormId::kKol)
XFER_ENTRY_POINT(Xfer_Auto, FormId::kAuto)

extern "C" void Release_It() {
  xfer::host::ReleaseForms();
}
