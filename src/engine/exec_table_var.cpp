// Table variables: DECLARE @t TABLE (...) makes a table of the connection's temp schema that
// only its batch or procedure sees by that name, and that goes when the scope ends. A ROLLBACK
// leaves table variables as they were.
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
  conn_.TablesChanged(kTempSchema);
}

namespace {

// A table variable as it stood before a rollback: its definition, indexes, rows and identity.
struct SavedTable {
  std::string stored;
  std::string createSql;
  std::vector<std::string> indexSql;
  std::vector<std::vector<Value>> rows;
  std::vector<Value> identity;  // col, seed, step, last; empty when none
};

// Definitions in sqlite_master carry no schema: put them back into the temp schema.
std::string InTemp(std::string sql, const char* after) {
  size_t at = sql.find(after);
  if (at != std::string::npos) sql.insert(at + std::string_view(after).size(), "temp.");
  return sql;
}

}  // namespace

void Executor::RollbackKeepingTableVariables(const std::string& name) {
  sqlite3* db = conn_.db();
  std::vector<SavedTable> saved;
  for (Frame* f : conn_.Frames())
    for (const auto& [key, stored] : f->tableVars) {
      SavedTable t;
      t.stored = stored;
      Stmt def(db,
               "SELECT type, sql FROM temp.sqlite_master WHERE tbl_name = ? AND sql IS NOT NULL");
      sqlite3_bind_text(def.get(), 1, stored.c_str(), -1, SQLITE_TRANSIENT);
      while (def.Step()) {
        std::string type = reinterpret_cast<const char*>(sqlite3_column_text(def.get(), 0));
        std::string sql = reinterpret_cast<const char*>(sqlite3_column_text(def.get(), 1));
        if (type == "table") t.createSql = InTemp(sql, "CREATE TABLE ");
        if (type == "index") t.indexSql.push_back(InTemp(sql, "INDEX "));
      }
      if (t.createSql.empty()) continue;
      Stmt rows(db, "SELECT * FROM temp." + QuoteIdent(stored));
      while (rows.Step()) {
        std::vector<Value> row;
        for (int i = 0; i < sqlite3_column_count(rows.get()); ++i)
          row.push_back(ColumnValue(rows.get(), i));
        t.rows.push_back(std::move(row));
      }
      Stmt id(db, "SELECT col, seed, step, last FROM temp.__xfer_identity WHERE tbl = ?");
      sqlite3_bind_text(id.get(), 1, stored.c_str(), -1, SQLITE_TRANSIENT);
      if (id.Step())
        for (int i = 0; i < 4; ++i) t.identity.push_back(ColumnValue(id.get(), i));
      saved.push_back(std::move(t));
    }
  conn_.RollbackTran(name);
  for (const SavedTable& t : saved) {
    std::string table = "temp." + QuoteIdent(t.stored);
    if (!conn_.LoadTable(kTempSchema, t.stored)) {
      Exec(db, t.createSql);
      for (const auto& sql : t.indexSql) Exec(db, sql);
      conn_.TablesChanged(kTempSchema);
    }
    Exec(db, "DELETE FROM " + table);
    if (!t.rows.empty()) {
      std::string marks;
      for (size_t i = 0; i < t.rows.front().size(); ++i) marks += i ? ", ?" : "?";
      Stmt ins(db, "INSERT INTO " + table + " VALUES (" + marks + ")");
      for (const auto& row : t.rows) {
        for (size_t i = 0; i < row.size(); ++i)
          BindValue(ins.get(), static_cast<int>(i + 1), row[i]);
        ins.Step();
        sqlite3_reset(ins.get());
      }
    }
    if (!t.identity.empty()) {
      Stmt id(db,
              "INSERT OR REPLACE INTO temp.__xfer_identity (tbl, col, seed, step, last) VALUES "
              "(?, ?, ?, ?, ?)");
      sqlite3_bind_text(id.get(), 1, t.stored.c_str(), -1, SQLITE_TRANSIENT);
      for (size_t i = 0; i < t.identity.size(); ++i)
        BindValue(id.get(), static_cast<int>(i + 2), t.identity[i]);
      id.Step();
    }
  }
}

}  // namespace xfer::engine
