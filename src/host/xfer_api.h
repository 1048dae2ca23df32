// What the desktop host and the module share across the library boundary: the six session
// objects the host hands to every entry point, the exported entry points, and the module-wide
// variables the entry points fill. Host and module are built by one compiler from these headers,
// so the objects are passed as plain pointers to the same classes.
#pragma once

#include "db/session.h"

class QWidget;

namespace xfer::ui {
class TDlgMsg;
class TShowStateForm;
}  // namespace xfer::ui

#define XFER_API __attribute__((visibility("default")))

extern "C" {

// Signature of every transfer entry point: the host's container, then its session record, date
// service, database link, progress window, temporary grid form and message dialog.
typedef int (*XferEntryPoint)(QWidget* parent, xfer::db::HostGlobal* global,
                              xfer::db::HostDate* myDate, xfer::db::HostDatabase* myDatabase,
                              xfer::ui::TShowStateForm* showStateForm, QWidget* tempGridForm,
                              xfer::ui::TDlgMsg* dlgMsg);
typedef void (*XferReleaseFunction)();

XFER_API int Xfer_Kelvaro(QWidget* parent, xfer::db::HostGlobal* global, xfer::db::HostDate* myDate,
                          xfer::db::HostDatabase* myDatabase,
                          xfer::ui::TShowStateForm* showStateForm, QWidget* tempGridForm,
                          xfer::ui::TDlgMsg* dlgMsg);
XFER_API int Xfer_Sell(QWidget* parent, xfer::db::HostGlobal* global, xfer::db::HostDate* myDate,
                       xfer::db::HostDatabase* myDatabase, xfer::ui::TShowStateForm* showStateForm,
                       QWidget* tempGridForm, xfer::ui::TDlgMsg* dlgMsg);
XFER_API int Xfer_Anbar(QWidget* parent, xfer::db::HostGlobal* global, xfer::db::HostDate* myDate,
                        xfer::db::HostDatabase* myDatabase, xfer::ui::TShowStateForm* showStateForm,
                        QWidget* tempGridForm, xfer::ui::TDlgMsg* dlgMsg);
XFER_API int Xfer_Dara(QWidget* parent, xfer::db::HostGlobal* global, xfer::db::HostDate* myDate,
                       xfer::db::HostDatabase* myDatabase, xfer::ui::TShowStateForm* showStateForm,
                       QWidget* tempGridForm, xfer::ui::TDlgMsg* dlgMsg);
XFER_API int Xfer_Naghd(QWidget* parent, xfer::db::HostGlobal* global, xfer::db::HostDate* myDate,
                        xfer::db::HostDatabase* myDatabase, xfer::ui::TShowStateForm* showStateForm,
                        QWidget* tempGridForm, xfer::ui::TDlgMsg* dlgMsg);
XFER_API int Xfer_Kol(QWidget* parent, xfer::db::HostGlobal* global, xfer::db::HostDate* myDate,
                      xfer::db::HostDatabase* myDatabase, xfer::ui::TShowStateForm* showStateForm,
                      QWidget* tempGridForm, xfer::ui::TDlgMsg* dlgMsg);
XFER_API int Xfer_Auto(QWidget* parent, xfer::db::HostGlobal* global, xfer::db::HostDate* myDate,
                       xfer::db::HostDatabase* myDatabase, xfer::ui::TShowStateForm* showStateForm,
                       QWidget* tempGridForm, xfer::ui::TDlgMsg* dlgMsg);
// Frees the module's forms; harmless when none exists.
XFER_API void Release_It();

// Session variables: the latest call's objects, owned by the host, never freed here.
XFER_API extern xfer::db::HostGlobal* Global;
XFER_API extern xfer::db::HostDate* MyDate;
XFER_API extern xfer::db::HostDatabase* MyDatabase;
XFER_API extern xfer::ui::TShowStateForm* ShowStateForm;
XFER_API extern QWidget* TempGridForm;
XFER_API extern xfer::ui::TDlgMsg* DlgMsg;

// Form variables: empty until the export's form is first created, cleared when it is freed.
XFER_API extern QWidget* XferMalyForm;
XFER_API extern QWidget* XferSellForm;
XFER_API extern QWidget* XferAnbarForm;
XFER_API extern QWidget* XferDaraForm;
XFER_API extern QWidget* XferNaghdForm;
XFER_API extern QWidget* XferKolForm;
XFER_API extern QWidget* XferAutoForm;

}  // extern "C"

// Names of the entry points and form variables, in release order, for loaders and tests.
namespace xfer::host {
inline constexpr const char* kEntryPointNames[] = {
    "Xfer_Kelvaro", "Xfer_Sell", "Xfer_Anbar", "Xfer_Dara", "Xfer_Naghd", "Xfer_Kol", "Xfer_Auto"};
inline constexpr const char* kFormVariableNames[] = {
    "XferMalyForm",  "XferSellForm", "XferAnbarForm", "XferDaraForm",
    "XferNaghdForm", "XferKolForm",  "XferAutoForm"};
}  // namespace xfer::host
