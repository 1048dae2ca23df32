// The table a chart reads its points from: "##" + grid name + "_Vert" (the current row across
// the grid's number columns) or "_Horiz" (one column down the rows), with XLabel and XData.
#pragma once

#include <string>

namespace xfer::db {
class HostDatabase;
}

namespace xfer::ui::grid {
class TDBGrid;
}

namespace xfer::ui::chart {

enum class ChartKind { kVert, kHoriz };

// The temporary table's name without "##".
std::string ChartTableName(const grid::TDBGrid& grid, ChartKind kind);

// Drops and refills the table. A row chart takes `labelField` and `dataField` of every row of
// the grid's query. Returns the name with "##".
std::string FillChartTable(db::HostDatabase& db, const grid::TDBGrid& grid, ChartKind kind,
                           const std::string& labelField = {}, const std::string& dataField = {});

}  // namespace xfer::ui::chart
