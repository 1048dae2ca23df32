// A dry run of a table transfer: what pressing the confirm button would do to the destination
// table, without writing anything there. Source rows are matched with destination rows on the
// table's key expression, as the transfer procedure matches them.
#pragma once

#include <string>
#include <vector>

#include "db/backend.h"
#include "transfer/modules/module_tables.h"

namespace xfer::transfer {

// A source row whose key exists in the destination with other values.
struct ClashingRow {
  std::string key;                     // value of the key expression
  std::vector<std::string> differing;  // columns whose values differ, in column-list order
};

struct TablePreview {
  std::string table;
  std::string caption;
  long long sourceRows = 0;
  long long inserted = 0;            // rows with a new key: carried as they are
  long long clashing = 0;            // rows whose key exists: offered in the conflict window
  long long identical = 0;           // clashing rows equal to a destination row of their key
  std::vector<ClashingRow> clashes;  // the clashing rows that are not identical
};

// Reads `sourceTable` ("db..table") through `source` and the form's table of the current
// database through `destination`. Values compare as the server compares text: case and
// trailing blanks ignored.
TablePreview PreviewTable(db::Backend& source, const std::string& sourceTable,
                          db::Backend& destination, const ModuleTable& t);

}  // namespace xfer::transfer
