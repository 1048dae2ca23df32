// Bulk appends: rows given as values go through one prepared INSERT, bound row by row, inside
// one transaction, so record sets move between servers at SQLite's speed rather than the
// parser's.
#include "engine/conn_state.h"
#include "engine/engine.h"
#include "engine/exec/executor.h"
#include "engine/fault_points.h"
#include "engine/render/render.h"
#include "engine/sqlite_util.h"

namespace xfer::engine {

void Connection::BulkInsert(std::string_view table, const std::vector<std::string>& columns,
                            const std::vector<std::vector<Value>>& rows) {
  fault::Statement();
  ConnectionState& conn = *state_;
  ObjectName name = ParseObjectName(table);
  if (!name.database.empty()) conn.SchemaFor(name.database);
  conn.BeginBatch();
  try {
    Renderer r(conn);
    IdentityPlan plan;
    Rendered insert =
        r.InsertValues(name, columns, columns.size(), plan, ValueTypes(rows, columns.size()));
    sqlite3* db = conn.db();
    Stmt st(db, insert.sql);
    long long next = plan.base;
    const int identityParam = static_cast<int>(columns.size()) + 1;
    for (const auto& row : rows) {
      sqlite3_reset(st.get());
      for (size_t i = 0; i < columns.size() && i < row.size(); ++i)
        BindValue(st.get(), static_cast<int>(i + 1), row[i]);
      if (plan.active) sqlite3_bind_int64(st.get(), identityParam, next += plan.step);
      st.Step();
    }
    if (plan.active && !rows.empty()) {
      Stmt last(
          db, "UPDATE " + QuoteIdent(plan.schema) + ".__xfer_identity SET last = ? WHERE tbl = ?");
      sqlite3_bind_int64(last.get(), 1, next);
      sqlite3_bind_text(last.get(), 2, plan.table.c_str(), -1, SQLITE_TRANSIENT);
      last.Step();
    }
    conn.rowcount = static_cast<long long>(rows.size());
  } catch (...) {
    conn.EndBatch(false);
    throw;
  }
  conn.EndBatch(true);
}

}  // namespace xfer::engine
