// Per-user column layouts of the data grids, kept in the period's Grid_State table: one row per
// column with its field name, visibility, width and position, keyed by the user and the four
// names a form gives its grid. The grid widgets apply what is read here.
#pragma once

#include <string>
#include <vector>

#include "db/backend.h"

namespace xfer::db {

// The four names that identify one grid of one form (program, item, form, part).
struct GridKeys {
  std::string prog;
  std::string item;
  std::string form;
  std::string part;
};

struct ColumnState {
  std::string field;
  bool visible = true;
  int width = 0;  // pixels
};

// A stored width outside this range is treated as a damaged row.
inline constexpr int kMaxColumnWidth = 4000;

// Replaces the stored layout of the grid with `columns` (display order).
void SaveGridState(Backend& b, const std::string& userId, const GridKeys& keys,
                   const std::vector<ColumnState>& columns);
// Deletes the stored layout; the design-time layout returns the next time the form opens.
void ResetGridState(Backend& b, const std::string& userId, const GridKeys& keys);

// The stored rows in saved order. A row that cannot be a column of this grid (no field name,
// a visibility other than "T"/"F", a width or position that is not a sane number) comes back
// with an empty field, so the caller skips it like a column the grid no longer has.
std::vector<ColumnState> LoadGridState(Backend& b, const std::string& userId, const GridKeys& keys);

}  // namespace xfer::db
