// The grid of the module forms and the conflict window: the toolkit's data grid, with the
// columns it was given readable back (the conflict window copies the caller's).
#pragma once

#include <vector>

#include "ui/grid/db_grid.h"
#include "ui/grid/grid_column.h"
#include "ui/grid/record_set_model.h"

namespace xfer::transfer {

using FrameColumn = ui::grid::GridColumn;

class FrameGrid : public ui::grid::TDBGrid {
  Q_OBJECT
 public:
  explicit FrameGrid(QWidget* parent = nullptr) : TDBGrid(parent) {}
  const std::vector<FrameColumn>& columns() const { return recordModel()->columns(); }
};

}  // namespace xfer::transfer
