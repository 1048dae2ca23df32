// Backups of the inventory tables that an inventory import writes: before each import every
// table is copied to "BCK_" + its name + "_" + a stamp, and the backups of earlier imports are
// dropped, so each table has exactly one backup: the one of the last import. A backup set can be
// listed and put back in one transaction.
#pragma once

#include <string>
#include <vector>

#include "db/backend.h"
#include "db/session.h"

namespace xfer::import {

struct StoreBackup {
  std::string stamp;
  std::vector<std::string> tables;  // backup table names of that stamp
  bool complete = false;            // one backup for each inventory table
};

// The tables backed up, with the prefix of their backup names.
struct BackedUpTable {
  const char* table;
  const char* prefix;
};
const std::vector<BackedUpTable>& StoreBackupTables();

// A stamp from the Solar Hijri date and the time of day: "14030915_093005" (the machine's
// date when the session has none).
std::string BackupStamp(const std::string& solarDate, const std::string& time);

// Drops every earlier backup and copies each table to prefix + stamp. Returns the stamp.
std::string BackupStoreTables(db::Backend& b, const std::string& stamp);
std::vector<StoreBackup> ListStoreBackups(db::Backend& b);
// Every inventory table of the set back as it was when the backup was made, identities
// included, in one transaction. False (nothing changed) when `stamp` has no complete set.
bool RestoreStoreBackup(db::HostDatabase& destination, const std::string& stamp);

}  // namespace xfer::import
