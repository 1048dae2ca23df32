// The run report as text: the table the command-line tool prints after a run and the JSON it
// writes with --json. The summary window shows the same report on the forms.
#pragma once

#include <string>

#include "transfer/run/run_report.h"

namespace xfer::transfer {

// Sums over the units of a report.
struct RunTotals {
  long long units = 0;
  long long sourceRows = 0;  // units that counted their source only
  long long inserted = 0;
  long long clashing = 0;
  double seconds = 0;
};
RunTotals Totals(const RunReport& report);

// One line per unit (table, source rows, carried, kept, seconds, caption) and a total line.
std::string FormatReportTable(const RunReport& report);
// The whole report as one JSON object.
std::string ReportJson(const RunReport& report);

}  // namespace xfer::transfer
