// The grid's stored column layout: saving, resetting and applying the rows of Grid_State for
// the current user and the grid's four names.
#include <QHeaderView>
#include <algorithm>
#include <exception>

#include "db/dialogs.h"
#include "db/grid_state.h"
#include "db/session.h"
#include "ui/grid/db_grid.h"
#include "ui/grid/grid_text.h"
#include "ui/grid/maly_object.h"

namespace xfer::ui::grid {

void TMalyObject::SaveLayout() {
  GridSession s = session();
  if (!grid_->dataSetActive() || !s.global || !s.database || !s.database->connection()) return;
  std::vector<db::ColumnState> columns;
  for (int column : grid_->displayOrder())
    columns.push_back(
        {grid_->fieldOf(column), !grid_->isColumnHidden(column), grid_->columnWidth(column)});
  db::SaveGridState(*s.database->connection(), s.global->userId, keys_, columns);
  Message(text::kLayoutSaved, "1ER");
}

void TMalyObject::ResetLayout() {
  GridSession s = session();
  if (!grid_->dataSetActive() || !s.global || !s.database || !s.database->connection()) return;
  db::ResetGridState(*s.database->connection(), s.global->userId, keys_);
  Message(text::kLayoutReset, "1ER");
}

void TMalyObject::LoadLayout() {
  GridSession s = session();
  if (!s.global || !s.database || !s.database->connection()) return;
  std::vector<db::ColumnState> stored;
  try {
    stored = db::LoadGridState(*s.database->connection(), s.global->userId, keys_);
  } catch (const std::exception&) {
    return;  // a period without the table shows the design-time layout
  }
  QHeaderView* header = grid_->horizontalHeader();
  int misses = 0;
  for (size_t k = 0; k < stored.size(); ++k) {
    const int column = stored[k].field.empty() ? -1 : grid_->columnOf(stored[k].field);
    if (column < 0) {
      ++misses;
      continue;
    }
    header->moveSection(header->visualIndex(column),
                        std::min(static_cast<int>(k) - misses, header->count() - 1));
    if (stored[k].visible) {
      grid_->setColumnHidden(column, false);
      grid_->setColumnWidth(column, stored[k].width);
    } else {
      grid_->setColumnHidden(column, true);
    }
  }
}

}  // namespace xfer::ui::grid
