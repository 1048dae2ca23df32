// Table and index definitions. Every text column gets the engine's collation and, for
// varchar(n), a check that raises SQL Server's truncation error; identity columns are recorded
// in the database's identity table and numbered by INSERT. ALTER TABLE forms SQLite lacks
// (ALTER COLUMN, DROP COLUMN) rebuild the table under its name with its indexes.
#include <algorithm>

#include "engine/constraints.h"
#include "engine/error.h"
#include "engine/executor.h"
#include "engine/func/functions.h"
#include "engine/sqlite_util.h"
#include "engine/types.h"

namespace xfer::engine {
namespace {

std::string ColumnSqlOf(const ColumnInfo& c) {
  std::string sql = QuoteIdent(c.name) + " " + StoredTypeText(c.type);
  TypeClass cls = ClassOf(c.type);
  if (cls == TypeClass::String || cls == TypeClass::Text)
    sql += std::string(" COLLATE ") + kCollation;
  if (c.notNull || c.identity || c.primaryKey) sql += " NOT NULL";
  if (!c.defaultSql.empty()) {
    bool wrapped = c.defaultSql.front() == '(' && c.defaultSql.back() == ')';
    sql += " DEFAULT " + (wrapped ? c.defaultSql : "(" + c.defaultSql + ")");
  }
  // varchar(n) widths are checked where values are written (INSERT, UPDATE), and only where
  // the declared types do not already show the value fits.
  return sql;
}

std::string IndexName(const std::string& table, const std::string& index) {
  return table + "$" + index;
}

std::string ColumnList(const std::vector<std::string>& cols) {
  std::string out;
  for (const auto& c : cols) out += (out.empty() ? "" : ", ") + QuoteIdent(c);
  return out;
}

}  // namespace

std::string Executor::ColumnSql(const ColumnDef& d, bool primaryKeyColumn) {
  ColumnInfo c;
  c.name = d.name;
  c.type = d.type;
  c.notNull = d.notNull;
  c.identity = d.identity;
  c.primaryKey = primaryKeyColumn || d.primaryKey;
  if (d.defaultValue) {
    Renderer r(conn_);
    r.InlineLiterals();
    ExprType t;
    c.defaultSql = r.Expression(*d.defaultValue, &t);
    if (!r.params().empty())
      throw SqlError(err::kUnsupported, "A DEFAULT must be a constant expression.");
  }
  return ColumnSqlOf(c);
}

void Executor::CreateTable(const Statement& s) {
  Renderer r(conn_);
  ResolvedTable t = r.Resolve(s.target, false);
  if (!t.catalogSql.empty() || r.Table(t))
    throw SqlError(err::kObjectExists,
                   "There is already an object named '" + s.target.object + "' in the database.");
  std::vector<std::string> pk;
  for (const auto& c : s.columns)
    if (c.primaryKey) pk.push_back(c.name);
  for (const auto& k : s.constraints)
    if (k.kind == TableConstraint::Kind::PrimaryKey) pk = k.columns;
  std::string sql;
  const ColumnDef* identity = nullptr;
  for (size_t i = 0; i < s.columns.size(); ++i) {
    const ColumnDef& c = s.columns[i];
    for (size_t k = 0; k < i; ++k)
      if (LowerName(s.columns[k].name) == LowerName(c.name))
        throw SqlError(2705, "Column names in each table must be unique. Column name '" + c.name +
                                 "' in table '" + s.target.object +
                                 "' is specified more than once.");
    if (c.identity) {
      if (identity)
        throw SqlError(2744, "Multiple identity columns specified for table '" + s.target.object +
                                 "'. Only one identity column per table is "
                                 "allowed.");
      identity = &c;
    }
    bool inPk = std::any_of(pk.begin(), pk.end(), [&](const std::string& p) {
      return LowerName(p) == LowerName(c.name);
    });
    sql += (sql.empty() ? "" : ", ") + ColumnSql(c, inPk);
  }
  if (!pk.empty()) {
    std::string name;
    for (const auto& c : s.columns)
      if (c.primaryKey && !c.constraintName.empty()) name = c.constraintName;
    for (const auto& k : s.constraints)
      if (k.kind == TableConstraint::Kind::PrimaryKey && !k.name.empty()) name = k.name;
    if (name.empty()) name = GeneratedConstraintName("PK", s.target.object);
    sql += ", CONSTRAINT " + QuoteIdent(name) + " PRIMARY KEY (" + ColumnList(pk) + ")";
  }
  std::string qualified = r.QualifiedName(t);
  // Owned before it exists: a process that dies between the two still leaves a table that the
  // next connection knows to drop.
  if (t.isGlobalTemp) conn_.OwnGlobal(t.name);
  Exec(conn_.db(), "CREATE TABLE " + qualified + " (" + sql + ")");
  // Unique constraints are indexes that carry the constraint's name.
  for (const auto& k : s.constraints)
    if (k.kind == TableConstraint::Kind::Unique) AddUnique(t, k.name, k.columns);
  for (const auto& c : s.columns)
    if (c.unique) AddUnique(t, c.constraintName, {c.name});
  std::string schema = QuoteIdent(t.schema);
  {
    Stmt del(conn_.db(), "DELETE FROM " + schema + ".__xfer_identity WHERE tbl = ?");
    sqlite3_bind_text(del.get(), 1, t.name.c_str(), -1, SQLITE_TRANSIENT);
    del.Step();
  }
  if (identity) {
    Stmt ins(conn_.db(), "INSERT INTO " + schema +
                             ".__xfer_identity (tbl, col, seed, step, last) VALUES (?, ?, ?, ?, "
                             "NULL)");
    sqlite3_bind_text(ins.get(), 1, t.name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(ins.get(), 2, identity->name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int64(ins.get(), 3, identity->identitySeed);
    sqlite3_bind_int64(ins.get(), 4, identity->identityStep);
    ins.Step();
  }
  if (t.isTempTable) conn_.frame().tempTables.push_back(t.name);
  conn_.TablesChanged(t.schema);
}

void Executor::DropTable(const Statement& s) {
  std::vector<ObjectName> targets = s.targets;
  if (targets.empty()) targets.push_back(s.target);
  for (const auto& name : targets) {
    Renderer r(conn_);
    ResolvedTable t = r.Resolve(name, false);
    if (!t.catalogSql.empty() || !r.Table(t)) {
      if (s.ifExists) continue;
      throw SqlError(err::kCannotDropTable, "Cannot drop the table '" + t.written +
                                                "', because it does not exist or you do not "
                                                "have permission.");
    }
    if (auto view = BoundView(conn_.db(), t.schema, t.name))
      throw SqlError(3729, "Cannot DROP TABLE '" + t.written +
                               "' because it is being referenced by object '" + *view + "'.");
    Exec(conn_.db(), "DROP TABLE " + r.QualifiedName(t));
    Stmt del(conn_.db(), "DELETE FROM " + QuoteIdent(t.schema) + ".__xfer_identity WHERE tbl = ?");
    sqlite3_bind_text(del.get(), 1, t.name.c_str(), -1, SQLITE_TRANSIENT);
    del.Step();
    if (t.isGlobalTemp) conn_.DisownGlobal(t.name);
    if (t.isTempTable) {
      auto& temps = conn_.frame().tempTables;
      temps.erase(
          std::remove_if(temps.begin(), temps.end(),
                         [&](const std::string& n) { return LowerName(n) == LowerName(t.name); }),
          temps.end());
    }
    conn_.TablesChanged(t.schema);
  }
}

void Executor::Truncate(const Statement& s) {
  Renderer r(conn_);
  ResolvedTable t = r.Resolve(s.target);
  Exec(conn_.db(), "DELETE FROM " + r.QualifiedName(t));
  Stmt reset(conn_.db(),
             "UPDATE " + QuoteIdent(t.schema) + ".__xfer_identity SET last = NULL WHERE tbl = ?");
  sqlite3_bind_text(reset.get(), 1, t.name.c_str(), -1, SQLITE_TRANSIENT);
  reset.Step();
}

void Executor::AlterTable(const Statement& s) {
  Renderer r(conn_);
  ResolvedTable t = r.Resolve(s.target);
  TableInfo info = *r.Table(t);
  std::string qualified = r.QualifiedName(t);
  switch (s.alterKind) {
    case AlterKind::AddColumns:
      for (const auto& c : s.columns) {
        if (info.Find(c.name))
          throw SqlError(2705, "Column names in each table must be unique. Column name '" + c.name +
                                   "' in table '" + info.name + "' is specified more than once.");
        if (c.identity || c.primaryKey)
          throw SqlError(err::kUnsupported,
                         "The T-SQL feature 'ALTER TABLE ADD with IDENTITY or PRIMARY KEY' is "
                         "not supported.");
        if (c.notNull && !c.defaultValue)
          throw SqlError(4901,
                         "ALTER TABLE only allows columns to be added that can contain "
                         "nulls, or have a DEFAULT definition specified.");
        Exec(conn_.db(), "ALTER TABLE " + qualified + " ADD COLUMN " + ColumnSql(c, false));
        // The default fills existing rows only for NOT NULL columns or WITH VALUES.
        if (c.defaultValue && !c.notNull && !c.withValues)
          Exec(conn_.db(), "UPDATE " + qualified + " SET " + QuoteIdent(c.name) + " = NULL");
      }
      break;
    case AlterKind::AlterColumn: {
      const ColumnDef& def = s.columns.at(0);
      auto it = std::find_if(info.columns.begin(), info.columns.end(), [&](const ColumnInfo& c) {
        return LowerName(c.name) == LowerName(def.name);
      });
      if (it == info.columns.end())
        throw SqlError(4924, "ALTER TABLE ALTER COLUMN failed because column '" + def.name +
                                 "' does not exist in table '" + info.name + "'.");
      if (auto view = BoundView(conn_.db(), t.schema, info.name, it->name))
        throw SqlError(5074,
                       "The object '" + *view + "' is dependent on column '" + it->name + "'.");
      it->type = def.type;
      it->notNull = def.hasNullability ? def.notNull : it->notNull;
      RebuildTable(t, info);
      break;
    }
    case AlterKind::DropColumn:
      for (const auto& name : s.dropNames) {
        auto it = std::find_if(info.columns.begin(), info.columns.end(), [&](const ColumnInfo& c) {
          return LowerName(c.name) == LowerName(name);
        });
        if (it == info.columns.end())
          throw SqlError(4924, "ALTER TABLE DROP COLUMN failed because column '" + name +
                                   "' does not exist in table '" + info.name + "'.");
        if (auto view = BoundView(conn_.db(), t.schema, info.name, it->name))
          throw SqlError(5074,
                         "The object '" + *view + "' is dependent on column '" + it->name + "'.");
        info.columns.erase(it);
      }
      RebuildTable(t, info);
      break;
    case AlterKind::AddConstraint:
      for (const auto& k : s.constraints) {
        if (k.kind == TableConstraint::Kind::Unique) {
          AddUnique(t, k.name, k.columns);
          continue;
        }
        std::string tableSql = TableSql(conn_.db(), t.schema, info.name);
        if (!PrimaryKeyName(tableSql, info.name).empty())
          throw SqlError(1779,
                         "Table '" + info.name + "' already has a primary key defined on it.");
        for (const auto& name : k.columns) {
          auto c = std::find_if(info.columns.begin(), info.columns.end(), [&](const ColumnInfo& x) {
            return LowerName(x.name) == LowerName(name);
          });
          if (c == info.columns.end())
            throw SqlError(
                1911, "Column name '" + name + "' does not exist in the target table or view.");
          if (!c->notNull)
            throw SqlError(8111,
                           "Cannot define PRIMARY KEY constraint on nullable column in "
                           "table '" +
                               info.name + "'.");
          c->primaryKey = true;
        }
        std::string name = k.name.empty() ? GeneratedConstraintName("PK", info.name) : k.name;
        try {
          RebuildTable(t, info, name);
        } catch (const SqlError& e) {
          if (e.number() != err::kDuplicateKey) throw;
          throw SqlError(1505,
                         "The CREATE UNIQUE INDEX statement terminated because a "
                         "duplicate key was found for the object name 'dbo." +
                             info.name + "' and the index name '" + name + "'.");
        }
      }
      break;
    case AlterKind::DropConstraint:
      for (const auto& name : s.dropNames) {
        std::string tableSql = TableSql(conn_.db(), t.schema, info.name);
        if (LowerName(PrimaryKeyName(tableSql, info.name)) == LowerName(name)) {
          for (auto& c : info.columns) c.primaryKey = false;
          RebuildTable(t, info);
          continue;
        }
        bool dropped = false;
        for (const std::string& index :
             {IndexName(info.name, "~" + name), IndexName(info.name, name)}) {
          {
            Stmt q(conn_.db(),
                   "SELECT 1 FROM " + QuoteIdent(t.schema) +
                       ".sqlite_master WHERE type = 'index' AND name = ? COLLATE NOCASE");
            sqlite3_bind_text(q.get(), 1, index.c_str(), -1, SQLITE_TRANSIENT);
            if (!q.Step()) continue;
          }
          Exec(conn_.db(), "DROP INDEX " + QuoteIdent(t.schema) + "." + QuoteIdent(index));
          dropped = true;
          break;
        }
        // Default constraints are not kept by name; dropping one changes nothing stored.
        if (!dropped && !LowerName(name).starts_with("df"))
          throw SqlError(3728, "'" + name + "' is not a constraint.");
      }
      break;
  }
  conn_.TablesChanged(t.schema);
}

void Executor::AddUnique(const ResolvedTable& t, const std::string& name,
                         const std::vector<std::string>& columns) {
  std::string index = name.empty() ? GeneratedConstraintName("UQ", t.name) : name;
  try {
    Exec(conn_.db(), "CREATE UNIQUE INDEX " + QuoteIdent(t.schema) + "." +
                         QuoteIdent(IndexName(t.name, "~" + index)) + " ON " + QuoteIdent(t.name) +
                         " (" + ColumnList(columns) + ")");
  } catch (const SqlError& e) {
    if (e.number() != err::kDuplicateKey) throw;
    throw SqlError(1505,
                   "The CREATE UNIQUE INDEX statement terminated because a duplicate key "
                   "was found for the object name 'dbo." +
                       t.name + "' and the index name '" + index + "'.");
  }
}

void Executor::RebuildTable(const ResolvedTable& t, TableInfo info, std::string pkName) {
  sqlite3* db = conn_.db();
  std::string schema = QuoteIdent(t.schema);
  if (pkName.empty()) pkName = PrimaryKeyName(TableSql(db, t.schema, info.name), info.name);
  std::optional<TableInfo> before = conn_.LoadTable(t.schema, info.name);
  std::vector<std::string> indexes;
  {
    Stmt s(db, "SELECT sql FROM " + schema +
                   ".sqlite_master WHERE type = 'index' AND tbl_name = ? AND sql IS NOT NULL");
    sqlite3_bind_text(s.get(), 1, info.name.c_str(), -1, SQLITE_TRANSIENT);
    while (s.Step())
      indexes.push_back(reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 0)));
  }
  std::string cols, names, select;
  std::vector<std::string> pk;
  for (const auto& c : info.columns) {
    ColumnInfo copy = c;
    copy.primaryKey = false;
    cols += (cols.empty() ? "" : ", ") + ColumnSqlOf(copy);
    if (c.primaryKey) pk.push_back(c.name);
    names += (names.empty() ? "" : ", ") + QuoteIdent(c.name);
    // A column whose type changes converts its values as CAST does (245 on text that is not
    // a number); the same class of type keeps them as they are.
    std::string value = QuoteIdent(c.name);
    if (const ColumnInfo* was = before ? before->Find(c.name) : nullptr) {
      ExprType from;
      from.cls = ClassOf(was->type);
      from.declared = was->type;
      if (ClassOf(c.type) != from.cls && NeedsCast(c.type, from))
        value = "xf_cast(" + value + ", '" + c.type.Text() + "')";
      value = FitWidth(c.type, from, value);  // a narrower column refuses longer values
    }
    select += (select.empty() ? "" : ", ") + value;
  }
  if (!pk.empty())
    cols += ", CONSTRAINT " + QuoteIdent(pkName) + " PRIMARY KEY (" + ColumnList(pk) + ")";
  std::string fresh = "__xfer_rebuild";
  conn_.cache.Clear();
  Exec(db, "DROP TABLE IF EXISTS " + schema + "." + QuoteIdent(fresh));
  Exec(db, "CREATE TABLE " + schema + "." + QuoteIdent(fresh) + " (" + cols + ")");
  Exec(db, "INSERT INTO " + schema + "." + QuoteIdent(fresh) + " (" + names + ") SELECT " + select +
               " FROM " + schema + "." + QuoteIdent(info.name));
  Exec(db, "DROP TABLE " + schema + "." + QuoteIdent(info.name));
  // Views naming the table read it by name: the rename must not check them while the table is
  // away, nor rewrite them.
  Exec(db, "PRAGMA legacy_alter_table=ON");
  try {
    Exec(db,
         "ALTER TABLE " + schema + "." + QuoteIdent(fresh) + " RENAME TO " + QuoteIdent(info.name));
  } catch (...) {
    Exec(db, "PRAGMA legacy_alter_table=OFF");
    throw;
  }
  Exec(db, "PRAGMA legacy_alter_table=OFF");
  for (std::string sql : indexes) {
    size_t at = sql.find("INDEX ");
    if (at != std::string::npos) sql.insert(at + 6, schema + ".");
    Exec(db, sql);
  }
  conn_.TablesChanged(t.schema);
}

void Executor::CreateIndex(const Statement& s) {
  Renderer r(conn_);
  ResolvedTable t = r.Resolve(s.target);
  std::string cols;
  for (const auto& c : s.indexColumns) {
    std::string name = c.expr->kind == ExprKind::Column ? c.expr->name.back() : c.expr->text;
    cols += (cols.empty() ? "" : ", ") + QuoteIdent(name) + (c.descending ? " DESC" : "");
  }
  std::string index = IndexName(t.name, s.indexName);
  bool exists = false;
  {
    Stmt q(conn_.db(), "SELECT 1 FROM " + QuoteIdent(t.schema) +
                           ".sqlite_master WHERE type = 'index' AND name = ? COLLATE NOCASE");
    sqlite3_bind_text(q.get(), 1, index.c_str(), -1, SQLITE_TRANSIENT);
    exists = q.Step();
  }
  if (exists)
    throw SqlError(1913, "The operation failed because an index or statistics with name '" +
                             s.indexName + "' already exists on table '" + t.name + "'.");
  try {
    Exec(conn_.db(), std::string("CREATE ") + (s.unique ? "UNIQUE " : "") + "INDEX " +
                         QuoteIdent(t.schema) + "." + QuoteIdent(index) + " ON " +
                         QuoteIdent(t.name) + " (" + cols + ")");
  } catch (const SqlError& e) {
    if (e.number() != err::kDuplicateKey) throw;
    throw SqlError(1505,
                   "The CREATE UNIQUE INDEX statement terminated because a duplicate key "
                   "was found for the object name 'dbo." +
                       t.name + "' and the index name '" + s.indexName + "'.");
  }
  conn_.TablesChanged(t.schema);
}

void Executor::DropIndex(const Statement& s) {
  Renderer r(conn_);
  ResolvedTable t = r.Resolve(s.target);
  std::string index = IndexName(t.name, s.indexName);
  try {
    Exec(conn_.db(), "DROP INDEX " + QuoteIdent(t.schema) + "." + QuoteIdent(index));
  } catch (const SqlError&) {
    throw SqlError(3701, "Cannot drop the index '" + t.name + "." + s.indexName +
                             "', because it does not exist or you do not have permission.");
  }
  conn_.TablesChanged(t.schema);
}

}  // namespace xfer::engine
