// Run reports kept in the destination period: every transfer or import appends its RunReport to
// two tables of the period database (one row per run, one per unit), created on first use, so
// that an accountant can read back what was carried, from where, when, by whom and how it ended.
#pragma once

#include <string>
#include <vector>

#include "db/backend.h"
#include "transfer/run/run_report.h"

namespace xfer::transfer {

inline constexpr const char* kRunTable = "Xfer_Run";
inline constexpr const char* kRunUnitTable = "Xfer_RunUnit";

// Appends `report` to the current database of `destination`; returns the new run's number.
long long SaveRunReport(db::Backend& destination, const RunReport& report);

// A kept run: its number, the time the server recorded it, and the report.
struct StoredRun {
  long long id = 0;
  std::string recorded;
  RunReport report;
};

// The last `count` runs of the current database, oldest first; none when nothing was kept.
std::vector<StoredRun> ReadRunReports(db::Backend& destination, int count = 20);

}  // namespace xfer::transfer
