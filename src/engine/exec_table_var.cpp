// Table variables: DECLARE @t TABLE (...) makes a table of the connection's temp schema that
// only its batch or procedure sees by that name, and that goes when the scope ends.
#include "engine/error.h"
#include "engine/executor.h"
#include "engine/sqlite_util.h"

namespace xfer::engine {

void Executor::DeclareTable(const Declaration& d) {
  std::string key = LowerName(d.name);
  Frame& frame = conn_.frame();
  if (frame.vars.count(key) || frame.tableVars.count(key))
    throw SqlError(134, "The variable name '" + d.name +
                            "' has already been declared. Variable names must be unique "
                            "within a query batch or stored procedure.");
  // A procedure that calls itself declares the same name again one level down.
  std::string stored = d.name;
  if (frame.depth > 0) stored += "~" + std::to_string(frame.depth);
  frame.tableVars[key] = stored;
  // A rollback may bring back the table an earlier scope dropped inside the transaction.
  Exec(conn_.db(), "DROP TABLE IF EXISTS temp." + QuoteIdent(stored));
  try {
    CreateTable(*d.table);
  } catch (...) {
    frame.tableVars.erase(key);
    throw;
  }
}

void Executor::DropTableVariables() {
  Frame& frame = conn_.frame();
  if (frame.tableVars.empty()) return;
  for (const auto& [name, stored] : frame.tableVars) {
    Exec(conn_.db(), "DROP TABLE IF EXISTS temp." + QuoteIdent(stored));
    Stmt del(conn_.db(), "DELETE FROM temp.__xfer_identity WHERE tbl = ?");
    sqlite3_bind_text(del.get(), 1, stored.c_str(), -1, SQLITE_TRANSIENT);
    del.Step();
  }
  frame.tableVars.clear();
  conn_.SchemaChanged();
}

}  // namespace xfer::engine
