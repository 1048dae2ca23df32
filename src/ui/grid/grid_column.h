// How a form describes one column of a data grid: the field it shows, its title and width, and
// the flags the toolkit reads (read-only colours, totals and thousands separators when widths
// are fitted).
#pragma once

#include <string>

namespace xfer::ui::grid {

struct GridColumn {
  std::string field;
  std::string caption;     // empty: the field name
  int width = 0;           // pixels; 0 fits the title
  bool readOnly = false;   // painted in the read-only colours, never edited
  bool sumable = false;    // its total counts when widths are fitted
  bool delimiter = false;  // numbers shown with thousands separators
  bool visible = true;
};

}  // namespace xfer::ui::grid
