#include "import/import_modules.h"

#include <array>

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

std::string ConfigureMaly(ImportFrame& frame, const ImportSettings& s) {
  // On a schedule the same vouchers are loaded again on every tick: by default a voucher whose
  // number is already here stays out, so only new ones come.
  int after = AfterModeOf(s.mode.empty() ? "OLDID_NOCHANGE" : s.mode);
  int prior = PriorModeOf(s.summary.empty() ? "NOCHANGE" : s.summary);
  if (after < 0) return "unknown mode '" + s.mode + "'";
  if (prior < 0) return "unknown summary '" + s.summary + "'";
  frame.afterMode = after;
  frame.priorMode = prior;
  frame.copyBase = s.copyBase;
  frame.dates = s.dates;
  frame.numbers = s.numbers;
  return {};
}

std::string ConfigureStore(ImportFrame& frame, const ImportSettings& s) {
  auto& store = static_cast<StoreImport&>(frame);
  // A schedule needs a document type; receipts of a type already here stay out by default.
  int type = StoreTypeOf(s.type);
  int after = StoreAfterOf(s.mode.empty() ? "OLDID_NOCHANGE" : s.mode);
  int prior = PriorModeOf(s.summary.empty() ? "NOCHANGE" : s.summary);
  if (type < 0) return "unknown document type '" + s.type + "'";
  if (after < 0) return "unknown mode '" + s.mode + "'";
  if (prior < 0) return "unknown summary '" + s.summary + "'";
  store.ChooseType(type);
  store.afterMode = after;
  store.priorMode = prior;
  store.copyBase = s.copyBase;
  store.dates = s.dates;
  store.numbers = s.numbers;
  return {};
}

std::string ConfigureTrado(ImportFrame& frame, const ImportSettings& s) {
  auto& trado = static_cast<TradoImport&>(frame);
  // On a schedule an invoice whose number is already here stays out, so only new ones come.
  int type = TradoTypeOf(s.type);
  int after = TradoAfterModeOf(s.mode.empty() ? "OLDID_NEW" : s.mode);
  int prior = PriorModeOf(s.summary.empty() ? "NOCHANGE" : s.summary);
  if (type < 0) return "unknown document type '" + s.type + "'";
  if (after < 0) return "unknown mode '" + s.mode + "'";
  if (prior < 0) return "unknown summary '" + s.summary + "'";
  trado.ChooseType(type);
  trado.afterMode = after;
  trado.priorMode = prior;
  trado.copyBase = s.copyBase;
  trado.dates = s.dates;
  trado.numbers = s.numbers;
  return {};
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
