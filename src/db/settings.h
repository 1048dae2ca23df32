// The module settings objects of the accounting, sales and inventory transfers: option values
// read from the period's Options row and the user's UserHub row, plus three code widths.
#pragma once

#include <map>
#include <string>

#include "db/backend.h"
#include "db/session.h"

namespace xfer::db {

struct ModuleSettings {
  std::map<std::string, std::string> values;  // option key -> value as the string gives it
  int lenCodGrohTafsily = 0;
  int lenCodGrohTafsily2 = 0;
  int lenCodGrohProject = 0;
  // The value of `key`, empty when it was not read.
  std::string Get(const std::string& key) const;
};

ModuleSettings ReadAccountingSettings(Backend& b, const HostGlobal& g);  // TM_Global
ModuleSettings ReadSalesSettings(Backend& b, const HostGlobal& g);       // TR_Global
ModuleSettings ReadInventorySettings(Backend& b, const HostGlobal& g);   // TA_Global

}  // namespace xfer::db
