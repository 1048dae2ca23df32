// Views: CREATE [OR ALTER] VIEW, ALTER VIEW and DROP VIEW [IF EXISTS]. A view is a SQLite view
// over the query as the renderer writes it, in the database it belongs to; its T-SQL text, the
// declared types of its columns and its options are kept in __xfer_views beside it, for the
// catalog views, OBJECT_DEFINITION and the column types later queries derive.
#include <cctype>
#include <set>

#include "engine/error.h"
#include "engine/exec/executor.h"
#include "engine/sqlite_util.h"

namespace xfer::engine {
namespace {

// Every table a query names in its FROM clauses, its derived tables and its set operations.
void NamedTables(const Select& s, std::vector<const ObjectName*>& out);

void NamedTables(const TableRef& t, std::vector<const ObjectName*>& out) {
  switch (t.kind) {
    case TableRef::Kind::Named:
      out.push_back(&t.name);
      break;
    case TableRef::Kind::Derived:
      NamedTables(*t.derived, out);
      break;
    case TableRef::Kind::Join:
      NamedTables(*t.left, out);
      NamedTables(*t.right, out);
      break;
    case TableRef::Kind::Pivot:
      NamedTables(*t.left, out);
      break;
    case TableRef::Kind::Function:
      break;
  }
}

void NamedTables(const Select& s, std::vector<const ObjectName*>& out) {
  for (const auto& t : s.from) NamedTables(*t, out);
  for (const auto& p : s.setParts) NamedTables(*p.select, out);
}

bool HasStar(const Select& s) {
  for (const auto& i : s.items)
    if (i.expr->kind == ExprKind::Star) return true;
  for (const auto& p : s.setParts)
    if (HasStar(*p.select)) return true;
  return false;
}

// The view's query without the name of its own schema: SQLite keeps a view's text and reads it
// again whenever the file is opened, under whatever name it is attached as then.
std::string Unqualified(const std::string& sql, const std::string& schema) {
  const std::string prefix = QuoteIdent(schema) + ".";
  std::string out;
  out.reserve(sql.size());
  bool literal = false;
  for (size_t i = 0; i < sql.size(); ++i) {
    if (sql[i] == '\'') literal = !literal;
    if (!literal && sql.compare(i, prefix.size(), prefix) == 0) {
      i += prefix.size() - 1;
      continue;
    }
    out += sql[i];
  }
  return out;
}

// "view" or "table" for an object of the schema, "procedure" for one, empty when none.
std::string KindOf(sqlite3* db, const std::string& schema, const std::string& name) {
  Stmt s(db, "SELECT type FROM " + QuoteIdent(schema) +
                 ".sqlite_master WHERE type IN ('table','view') AND name = ? COLLATE NOCASE "
                 "UNION ALL SELECT 'procedure' FROM " +
                 QuoteIdent(schema) + ".__xfer_procs WHERE name = ?");
  sqlite3_bind_text(s.get(), 1, name.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_bind_text(s.get(), 2, name.c_str(), -1, SQLITE_TRANSIENT);
  if (!s.Step()) return {};
  return reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 0));
}

}  // namespace

void Executor::CreateView(const Statement& s) {
  const std::string& name = s.target.object;
  if (!s.target.database.empty())
    throw SqlError(166,
                   "'CREATE/ALTER VIEW' does not allow specifying the database name as a prefix "
                   "to the object name.");
  if (name.starts_with("#"))
    throw SqlError(4103, "\"" + name + "\": Temporary views are not allowed.");
  const std::string schema = conn_.SchemaFor(conn_.currentDatabase());
  const std::string kind = KindOf(conn_.db(), schema, name);
  if (!kind.empty() && kind != "view" && !s.alter)
    throw SqlError(err::kObjectExists,
                   "There is already an object named '" + name + "' in the database.");
  if (kind == "view" && !s.alter && !s.orAlter)
    throw SqlError(err::kObjectExists,
                   "There is already an object named '" + name + "' in the database.");
  if (kind != "view" && s.alter)
    throw SqlError(err::kInvalidObject, "Invalid object name '" + name + "'.");

  std::vector<const ObjectName*> tables;
  NamedTables(*s.select, tables);
  for (const ObjectName* t : tables) {
    if (t->object.starts_with("#"))
      throw SqlError(4508,
                     "Views or functions are not allowed on temporary tables. Table names that "
                     "begin with '#' denote temporary tables.");
  }
  if (s.schemaBinding) {
    if (HasStar(*s.select))
      throw SqlError(1054, "Syntax '*' is not allowed in schema-bound objects.");
    for (const ObjectName* t : tables) {
      if (t->schema.empty() || !t->database.empty() || LowerName(t->object) == LowerName(name))
        throw SqlError(4512, "Cannot schema bind view '" + name + "' because name '" + t->object +
                                 "' is invalid for schema binding. Names must be in two-part "
                                 "format and an object cannot reference itself.");
    }
  }
  if (!s.select->orderBy.empty() && !s.select->top)
    throw SqlError(1033,
                   "The ORDER BY clause is invalid in views, inline functions, derived tables, "
                   "subqueries, and common table expressions, unless TOP, OFFSET or FOR XML is "
                   "also specified.");

  Renderer r(conn_);
  r.InlineLiterals();
  Rendered q = r.Select(*s.select);
  if (!q.params.empty())
    throw SqlError(err::kUnsupported, "The T-SQL feature 'variables in a view' is not supported.");

  std::vector<std::string> names = q.columnNames;
  if (!s.viewColumns.empty()) {
    if (s.viewColumns.size() < names.size())
      throw SqlError(8158,
                     "'" + name + "' has more columns than were specified in the column list.");
    if (s.viewColumns.size() > names.size())
      throw SqlError(8159,
                     "'" + name + "' has fewer columns than were specified in the column list.");
    names = s.viewColumns;
  }
  std::set<std::string> seen;
  std::string columns, types;
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i].empty())
      throw SqlError(4511,
                     "Create View or Function failed because no column name was specified "
                     "for column " +
                         std::to_string(i + 1) + ".");
    if (!seen.insert(LowerName(names[i])).second)
      throw SqlError(4506, "Column names in each view or function must be unique. Column name '" +
                               names[i] + "' in view or function '" + name +
                               "' is specified more than once.");
    columns += (i ? ", " : "") + QuoteIdent(names[i]);
    if (i) types += '\t';
    if (i < q.columnTypes.size()) types += q.columnTypes[i].declared.Text();
  }

  std::string refs;
  if (s.schemaBinding) {
    for (const ObjectName* t : tables) refs += (refs.empty() ? "" : "\t") + LowerName(t->object);
  }
  // SQLite takes a view naming columns that do not exist and fails only when it is used;
  // compiling the query now gives SQL Server's error at definition.
  { Stmt check(conn_.db(), q.sql); }
  const std::string qualified = QuoteIdent(schema) + "." + QuoteIdent(name);
  if (kind == "view") Exec(conn_.db(), "DROP VIEW " + qualified);
  Exec(conn_.db(),
       "CREATE VIEW " + qualified + " (" + columns + ") AS " + Unqualified(q.sql, schema));
  Stmt w(conn_.db(), "INSERT INTO " + QuoteIdent(schema) +
                         ".__xfer_views (name, body, created, modified, types, check_option, "
                         "bound_to) VALUES (?1, ?2, datetime('now'), datetime('now'), ?3, ?4, ?5) "
                         "ON CONFLICT (name) DO UPDATE SET name = ?1, body = ?2, modified = "
                         "datetime('now'), types = ?3, check_option = ?4, bound_to = ?5");
  sqlite3_bind_text(w.get(), 1, name.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_bind_text(w.get(), 2, s.procText.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_bind_text(w.get(), 3, types.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_bind_int(w.get(), 4, s.checkOption ? 1 : 0);
  if (s.schemaBinding) sqlite3_bind_text(w.get(), 5, refs.c_str(), -1, SQLITE_TRANSIENT);
  w.Step();
}

void Executor::DropView(const Statement& s) {
  for (const auto& t : s.targets) {
    if (!t.database.empty())
      throw SqlError(166,
                     "'DROP VIEW' does not allow specifying the database name as a prefix to the "
                     "object name.");
    const std::string schema = conn_.SchemaFor(conn_.currentDatabase());
    const std::string kind = KindOf(conn_.db(), schema, t.object);
    if (kind == "table")
      throw SqlError(3705, "Cannot use DROP VIEW with '" + t.object + "' because '" + t.object +
                               "' is a table. Use DROP TABLE.");
    if (kind != "view") {
      if (s.ifExists) continue;
      throw SqlError(err::kCannotDropTable, "Cannot drop the view '" + t.object +
                                                "', because it does not exist or you do not "
                                                "have permission.");
    }
    Exec(conn_.db(), "DROP VIEW " + QuoteIdent(schema) + "." + QuoteIdent(t.object));
    Stmt d(conn_.db(), "DELETE FROM " + QuoteIdent(schema) + ".__xfer_views WHERE name = ?");
    sqlite3_bind_text(d.get(), 1, t.object.c_str(), -1, SQLITE_TRANSIENT);
    d.Step();
    conn_.TablesChanged(schema);
  }
}

// The schema-bound view that names `table` (and, when given, its `column`), if any: such a
// table cannot be dropped, nor such a column changed. A column counts as named where the
// view's text has it as a word of its own.
std::optional<std::string> BoundView(sqlite3* db, const std::string& schema,
                                     const std::string& table, const std::string& column) {
  Stmt s(db, "SELECT name, body FROM " + QuoteIdent(schema) +
                 ".__xfer_views WHERE instr(char(9) || bound_to || char(9), char(9) || ? || "
                 "char(9)) > 0");
  const std::string lower = LowerName(table);
  sqlite3_bind_text(s.get(), 1, lower.c_str(), -1, SQLITE_TRANSIENT);
  const std::string word = LowerName(column);
  auto identifier = [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '@' || c == '#' ||
           static_cast<unsigned char>(c) >= 0x80;
  };
  while (s.Step()) {
    std::string name = reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 0));
    if (word.empty()) return name;
    const std::string body =
        LowerName(reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 1)));
    for (size_t at = body.find(word); at != std::string::npos; at = body.find(word, at + 1)) {
      bool before = at > 0 && identifier(body[at - 1]);
      bool after = at + word.size() < body.size() && identifier(body[at + word.size()]);
      if (!before && !after) return name;
    }
  }
  return std::nullopt;
}

}  // namespace xfer::engine
