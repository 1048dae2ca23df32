#include "import/import_modules.h"

#include <array>
#include <functional>

#include "db/text_util.h"
#include "import/maly_import.h"
#include "import/store_import.h"
#include "import/trado_import.h"

namespace xfer::import {
namespace {

template <typename T>
std::unique_ptr<ImportFrame> Make(db::HostGlobal& g, db::HostDate& d, db::HostDatabase& link,
                                  db::Dialogs& dialogs) {
  return std::make_unique<T>(g, d, link, dialogs);
}

// What every import takes alike: numbering (`after`, already read), summary, base copying and
// the ranges. The document type is chosen, by `chooseType`, only once everything is valid and
// before the ranges, which choosing a type reads afresh.
std::string SetCommon(ImportFrame& frame, const ImportSettings& s, int after,
                      const std::function<void()>& chooseType = {}) {
  int prior = PriorModeOf(s.summary.empty() ? "NOCHANGE" : s.summary);
  if (after < 0) return "unknown mode '" + s.mode + "'";
  if (prior < 0) return "unknown summary '" + s.summary + "'";
  if (chooseType) chooseType();
  frame.afterMode = after;
  frame.priorMode = prior;
  frame.copyBase = s.copyBase;
  frame.dates = s.dates;
  frame.numbers = s.numbers;
  return {};
}

std::string ConfigureMaly(ImportFrame& frame, const ImportSettings& s) {
  // On a schedule the same vouchers are loaded again on every tick: by default a voucher whose
  // number is already here stays out, so only new ones come.
  return SetCommon(frame, s, AfterModeOf(s.mode.empty() ? "OLDID_NOCHANGE" : s.mode));
}

std::string ConfigureStore(ImportFrame& frame, const ImportSettings& s) {
  // A schedule needs a document type; receipts of a type already here stay out by default.
  int type = StoreTypeOf(s.type);
  if (type < 0) return "unknown document type '" + s.type + "'";
  return SetCommon(frame, s, StoreAfterOf(s.mode.empty() ? "OLDID_NOCHANGE" : s.mode),
                   [&] { static_cast<StoreImport&>(frame).ChooseType(type); });
}

std::string ConfigureTrado(ImportFrame& frame, const ImportSettings& s) {
  // On a schedule an invoice whose number is already here stays out, so only new ones come.
  int type = TradoTypeOf(s.type);
  if (type < 0) return "unknown document type '" + s.type + "'";
  return SetCommon(frame, s, TradoAfterModeOf(s.mode.empty() ? "OLDID_NEW" : s.mode),
                   [&] { static_cast<TradoImport&>(frame).ChooseType(type); });
}

constexpr std::array kModules = {
    ImportModule{"maly", "حسابداري", "انتقال حسابداري", &Make<MalyImport>, &ConfigureMaly,
                 "OLDID_NOCHANGE, NEWID, OLDID, REPLACE"},
    ImportModule{"trado", "فروش", "انتقال فروش", &Make<TradoImport>, &ConfigureTrado,
                 "OLDID_NEW, NEWID, OLDID_REPLACE"},
    ImportModule{"store", "انبار", "انتقال انبار", &Make<StoreImport>, &ConfigureStore,
                 "OLDID_NOCHANGE, REPLACE, NEWID, OLDID"},
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
