// The company and fiscal-period registry (KELVARO_Hub..Hub_Company): period lists for the
// source combo boxes, period dates, and the structure-version check before a base transfer.
#pragma once

#include <string>
#include <vector>

#include "db/backend.h"

namespace xfer::db {

// One combo entry: DBName, four blanks, company name.
std::string PeriodEntry(const std::string& dbName, const std::string& companyName);
// The database an entry names: its first 17 characters, upper-cased, trailing blanks removed.
std::string SourceDatabaseOf(const std::string& entry);
// The same without trimming (some statements use it so; the server ignores trailing blanks).
std::string SourceDatabaseUntrimmed(const std::string& entry);

// Every period of the registry except `excludeDb`, ordered by company code and year.
std::vector<std::string> ListPeriods(Backend& b, const std::string& excludeDb);

// Periods of a registry on another server, through the global temporary table `tempName`
// there; `sameServer` when that server is in fact the current one (then `currentDb` is left
// out). The registry's database names are rewritten from code and year first.
std::vector<std::string> ListRemotePeriods(Backend& remote, const std::string& tempName,
                                           const std::string& currentDb, bool sameServer);

struct PeriodRange {
  std::string first;  // sDate1
  std::string last;   // sDate2
};
PeriodRange PeriodDates(Backend& b, const std::string& entry);

// True when the two periods carry the same structure version (or one is missing).
bool SameStructure(Backend& b, const std::string& currentDb, const std::string& sourceDb);
// The message shown when they do not.
std::string StructureMessage(const std::string& currentDb);

}  // namespace xfer::db
