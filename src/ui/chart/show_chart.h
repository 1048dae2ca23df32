// The chart commands of the grid menu: the column chart of the current row and the row chart of
// one column, each filling its chart table and showing TGrafForm.
#pragma once

#include <string>

#include "ui/chart/chart_table.h"

class QWidget;

namespace xfer::ui::grid {
class TMalyObject;
}

namespace xfer::ui::chart {

class TGrafForm;

// Fills the table and opens the chart form (modal unless `modal` is false, for tests and
// callers that keep it); returns the form, owned by the grid's window.
TGrafForm* ShowChart(grid::TMalyObject& maly, ChartKind kind, const std::string& labelField,
                     const std::string& dataField, const std::string& title, bool modal = true);

// Gives the toolkit object its two chart commands. A row chart takes the first visible text
// column as labels and the current column (or the first number column) as values.
void AttachChartCommands(grid::TMalyObject& maly);

}  // namespace xfer::ui::chart
