#include "import/import_modules.h"

#include <array>

#include "db/text_util.h"
#include "import/maly_import.h"

namespace xfer::import {
namespace {

template <typename T>
std::unique_ptr<ImportFrame> Make(db::HostGlobal& g, db::HostDate& d, db::HostDatabase& link,
                                  db::Dialogs& dialogs) {
  return std::make_unique<T>(g, d, link, dialogs);
}

std::string ConfigureMaly(ImportFrame& frame, const ImportSettings& s) {
  // On a schedule the same vouchers are loaded again on every tick: by default a voucher whose
  // number is already here stays out, so only new ones come.
  int after = AfterModeOf(s.mode.empty() ? "OLDID_NOCHANGE" : s.mode);
  int prior = PriorModeOf(s.summary.empty() ? "NOCHANGE" : s.summary);
  if (after < 0) return "unknown mode '" + s.mode + "'";
  if (prior < 0) return "unknown summary '" + s.summary + "'";
  if (!s.type.empty()) return "vouchers have no document type";
  frame.afterMode = after;
  frame.priorMode = prior;
  frame.copyBase = s.copyBase;
  frame.dates = s.dates;
  frame.numbers = s.numbers;
  return {};
}

constexpr std::array kModules = {
    ImportModule{"maly", "حسابداري", "انتقال حسابداري", &Make<MalyImport>, &ConfigureMaly,
                 "OLDID_NOCHANGE, NEWID, OLDID, REPLACE"},
};

}  // namespace

std::span<const ImportModule> ImportModules() {
  return kModules;
}

const ImportModule* FindImportModule(std::string_view name) {
  std::string wanted = db::LowerAscii(db::Trim(name));
  for (const ImportModule& m : kModules)
    if (wanted == m.name) return &m;
  return nullptr;
}

}  // namespace xfer::import
