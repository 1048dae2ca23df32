// A structure converter library for the tests: it leaves a trace of its call in the session
// record, so a test sees that the form found the library and handed over the right objects.
#include "db/session.h"
#include "transfer/forms/structure_converter.h"

extern "C" __attribute__((visibility("default"))) void ConvertStructure(
    xfer::db::HostGlobal* global, xfer::db::HostDate* myDate, xfer::db::HostDatabase* myDatabase,
    xfer::ui::TDlgMsg* dlgMsg, const char* module) {
  global->appTitle = std::string("converted ") + module + (myDate ? " date" : "") +
                     (myDatabase && myDatabase->connection() ? " database" : "") +
                     (dlgMsg ? " dialog" : "");
}
