// The document imports the automatic transfer form and `xfer auto` run on their timers, as data:
// one row per import with its name, the captions of its check box and button on the launcher,
// how its core is made and how command-line settings reach it. The launcher's forms have their
// own rows, by the same names, beside the forms (forms/import_forms.h).
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "import/import_frame.h"

namespace xfer::import {

// Settings of one import given on the command line; empty texts keep the import's own default.
struct ImportSettings {
  std::string mode;     // numbering after sending, in the import's own names
  std::string summary;  // summarising before sending: NOCHANGE, DEAILY, MONTLY, YEARLY
  std::string type;     // document type, for imports that have one
  bool copyBase = false;
  Range dates;
  Range numbers;
};

struct ImportModule {
  const char* name;           // maly, trado, store
  const char* checkCaption;   // chkMaly, chkTrado, chkStore
  const char* buttonCaption;  // btnMaly, btnTrado, btnStore
  // The import on the host's session; Prepare has not run yet.
  std::unique_ptr<ImportFrame> (*make)(db::HostGlobal&, db::HostDate&, db::HostDatabase&,
                                       db::Dialogs&);
  // Puts `settings` into a prepared import with a chosen period; returns what is wrong with
  // them, empty when they were taken.
  std::string (*configure)(ImportFrame&, const ImportSettings&);
  // What --mode accepts, for the command's help; the first is the default on a schedule.
  const char* modes;
};

// Every import, in the launcher's order.
std::span<const ImportModule> ImportModules();
// The import of that name (case ignored); null for none.
const ImportModule* FindImportModule(std::string_view name);

}  // namespace xfer::import
