#include "engine/sqlite_util.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/error.h"
#include "engine/fault_points.h"
#include "engine/page_memory.h"

namespace xfer::engine {
namespace {

bool Damaged(int rc) {
  return (rc & 0xff) == SQLITE_CORRUPT || (rc & 0xff) == SQLITE_NOTADB;
}

}  // namespace

SqliteHandle::SqliteHandle(const std::string& path) {
  fault::Arm();
  ReservePageMemory();
  int rc =
      sqlite3_open_v2(path.c_str(), &db_,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    std::string msg = db_ ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close(db_);
    db_ = nullptr;
    throw SqlError(5120, "Unable to open the physical file \"" + path + "\": " + msg);
  }
  fault::Watch(db_);
  sqlite3_busy_timeout(db_, kBusyWaitMs);
}

SqliteHandle::~SqliteHandle() {
  sqlite3_close_v2(db_);
}

std::string SeparateTokens(std::string_view sql) {
  std::string out;
  out.reserve(sql.size() + 4);
  char quote = 0;      // the closing character of the quoted text being copied
  long long last = 0;  // highest parameter number written so far
  for (size_t i = 0; i < sql.size(); ++i) {
    const char c = sql[i];
    out += c;
    if (quote) {
      if (c == quote) quote = 0;  // a doubled quote closes and reopens: same result
      continue;
    }
    if (c == '?') {
      // "?N" where N is the next number is written "?", which SQLite numbers the same: it
      // looks a numbered parameter up in a list per use, which makes a statement of many
      // thousand values (a long INSERT ... VALUES) quadratic to prepare.
      size_t end = i + 1;
      long long n = 0;
      while (end < sql.size() && sql[end] >= '0' && sql[end] <= '9' && n < 1000000000)
        n = n * 10 + (sql[end++] - '0');
      if (end == i + 1) continue;
      if (n != last + 1) out.append(sql.substr(i + 1, end - i - 1));
      last = std::max(last, n);
      i = end - 1;
      continue;
    }
    if (c == '\'' || c == '"' || c == '`') {
      quote = c;
    } else if (c == '[') {
      quote = ']';
    } else if (i + 1 < sql.size() &&
               ((c == '-' && sql[i + 1] == '-') || (c == '/' && sql[i + 1] == '*'))) {
      out += ' ';
    }
  }
  return out;
}

namespace {

bool JoinsComment(std::string_view sql) {
  return sql.find("--") != std::string_view::npos || sql.find("/*") != std::string_view::npos;
}

}  // namespace

Stmt::Stmt(sqlite3* db, std::string_view sql) : db_(db) {
  std::string safe;
  if (JoinsComment(sql)) sql = safe = SeparateTokens(sql);
  int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr);
  if (rc != SQLITE_OK) ThrowSqlite(db, rc);
}

Stmt::~Stmt() {
  sqlite3_finalize(stmt_);
}

bool Stmt::Step() {
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  ThrowSqlite(db_, rc);
}

void Exec(sqlite3* db, const std::string& sql) {
  char* err = nullptr;
  const std::string safe = JoinsComment(sql) ? SeparateTokens(sql) : std::string();
  int rc = sqlite3_exec(db, (safe.empty() ? sql : safe).c_str(), nullptr, nullptr, &err);
  if (rc != SQLITE_OK) {
    std::string msg = err ? err : sqlite3_errmsg(db);
    sqlite3_free(err);
    if (Damaged(rc)) ThrowSqlite(db, rc);
    ThrowMessage(rc, msg);
  }
}

std::string QueryText(sqlite3* db, const std::string& sql) {
  Stmt s(db, sql);
  if (!s.Step()) return {};
  const unsigned char* t = sqlite3_column_text(s.get(), 0);
  return t ? reinterpret_cast<const char*>(t) : std::string();
}

void ThrowDamaged(const std::string& file, int rc, const std::string& detail) {
  std::string stem = std::filesystem::path(file).stem().string();
  bool header = (rc & 0xff) == SQLITE_NOTADB;
  throw SqlError(header ? err::kDamagedHeader : err::kDamagedPage,
                 "Database '" + stem + "' is damaged: the file '" + file + "' " +
                     (header ? "is not a valid database file" : "failed its consistency check") +
                     " (" + detail + ").");
}

void ThrowSqlite(sqlite3* db, int rc) {
  std::string message = sqlite3_errmsg(db);
  if (Damaged(rc)) {
    // Which of the attached files is damaged is found only now, on the way out.
    std::vector<std::pair<std::string, std::string>> files;  // schema, file
    {
      sqlite3_stmt* st = nullptr;
      sqlite3_prepare_v2(db, "PRAGMA database_list", -1, &st, nullptr);
      while (st && sqlite3_step(st) == SQLITE_ROW) {
        const unsigned char* name = sqlite3_column_text(st, 1);
        const unsigned char* file = sqlite3_column_text(st, 2);
        if (name && file && *file)
          files.emplace_back(reinterpret_cast<const char*>(name),
                             reinterpret_cast<const char*>(file));
      }
      sqlite3_finalize(st);
    }
    for (const auto& [schema, file] : files) {
      sqlite3_stmt* st = nullptr;
      std::string check = "PRAGMA " + QuoteIdent(schema) + ".quick_check(1)";
      int prc = sqlite3_prepare_v2(db, check.c_str(), -1, &st, nullptr);
      int src = prc == SQLITE_OK ? sqlite3_step(st) : prc;
      std::string result;
      if (src == SQLITE_ROW && sqlite3_column_text(st, 0))
        result = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
      sqlite3_finalize(st);
      if (src == SQLITE_ROW && result == "ok") continue;
      if (src == SQLITE_ROW || Damaged(src)) ThrowDamaged(file, rc, message);
    }
    if (files.size() == 1) ThrowDamaged(files.front().second, rc, message);
  }
  ThrowMessage(rc, message);
}

namespace {

// How the name in a SQLite message is cut out of the text that follows the matched start.
enum class Named {
  None,
  Rest,        // the whole rest: "ambiguous column name: Code"
  LastPart,    // after the last dot: "no such table: kelvaro_7_1402.T" names T
  FirstWord,   // up to the first blank: "table T already exists"
  AfterLast,   // the last word of the message: "use DROP VIEW to delete view v"
  Constraint,  // "t.a, t.b": table t, columns a, b
};

// One SQLite message and the SQL Server error a user gets for it. `start` is how the message
// begins, `contains` (when set) a part it must also have. In `text`, {name} is the object the
// message names, {table} and {columns} the parts of a constraint's column list.
struct Translation {
  std::string_view start;
  std::string_view contains;
  int number;
  Named named;
  std::string_view text;
};

constexpr Translation kTranslations[] = {
    {"no such table: ", "", err::kInvalidObject, Named::LastPart, "Invalid object name '{name}'."},
    {"no such view: ", "", err::kInvalidObject, Named::LastPart, "Invalid object name '{name}'."},
    {"no such column: ", "", err::kInvalidColumn, Named::LastPart, "Invalid column name '{name}'."},
    {"ambiguous column name: ", "", err::kAmbiguousColumn, Named::Rest,
     "Ambiguous column name '{name}'."},
    {"UNIQUE constraint failed: ", "", err::kDuplicateKey, Named::Constraint,
     "Violation of PRIMARY KEY constraint 'PK_{table}'. Cannot insert duplicate key in object "
     "'dbo.{table}'."},
    {"CHECK constraint failed: ", kLengthCheckPrefix, err::kTruncation, Named::None,
     "String or binary data would be truncated."},
    {"NOT NULL constraint failed: ", "", err::kNullNotAllowed, Named::Constraint,
     "Cannot insert the value NULL into column '{columns}', table '{table}'; column does not "
     "allow nulls. INSERT fails."},
    {"FOREIGN KEY constraint failed", "", 547, Named::None,
     "The statement conflicted with a FOREIGN KEY constraint."},
    {"table ", " already exists", err::kObjectExists, Named::FirstWord,
     "There is already an object named '{name}' in the database."},
    {"view ", " already exists", err::kObjectExists, Named::FirstWord,
     "There is already an object named '{name}' in the database."},
    {"use DROP VIEW to delete view ", "", 3705, Named::AfterLast,
     "Cannot use DROP TABLE with '{name}' because '{name}' is a view. Use DROP VIEW."},
    {"use DROP TABLE to delete table ", "", 3705, Named::AfterLast,
     "Cannot use DROP VIEW with '{name}' because '{name}' is a table. Use DROP TABLE."},
    {"cannot modify ", "because it is a view", err::kUnsupported, Named::FirstWord,
     "The T-SQL feature 'changing data through the view {name}' is not supported."},
    {"view ", "cannot reference objects in database tempdb", 4508, Named::None,
     "Views or functions are not allowed on temporary tables. Table names that begin with '#' "
     "denote temporary tables."},
    {"view ", "cannot reference objects in database", err::kUnsupported, Named::FirstWord,
     "The T-SQL feature 'a view over another database ({name})' is not supported."},
    {"table ", "values were supplied", 213, Named::None,
     "Column name or number of supplied values does not match table definition."},
    {"sub-select returns ", "", 116, Named::None,
     "Only one expression can be specified in the select list when the subquery is not "
     "introduced with EXISTS."},
    {"SELECTs to the left and right of ", "", 205, Named::None,
     "All queries combined using a UNION, INTERSECT or EXCEPT operator must have an equal number "
     "of expressions in their target lists."},
    {"", "ORDER BY term does not match any column in the result set", 104, Named::None,
     "ORDER BY items must appear in the select list if the statement contains a UNION, "
     "INTERSECT or EXCEPT operator."},
    {"no such function: ", "", err::kUnknownFunction, Named::Rest,
     "'{name}' is not a recognized built-in function name."},
    {"misuse of aggregate", "", 147, Named::None,
     "An aggregate may not appear in the WHERE clause unless it is in a subquery contained in a "
     "HAVING clause or a select list, and the column being aggregated is an outer reference."},
    {"aggregate functions are not allowed in the GROUP BY clause", "", 144, Named::None,
     "Cannot use an aggregate or a subquery in an expression used for the group by list of a "
     "GROUP BY clause."},
    {"parser stack overflow", "", 191, Named::None,
     "Some part of your SQL statement is nested too deeply. Rewrite the query or break it up "
     "into smaller queries."},
    {"Expression tree is too large", "", 191, Named::None,
     "Some part of your SQL statement is nested too deeply. Rewrite the query or break it up "
     "into smaller queries."},
    {"too many terms in compound SELECT", "", 8623, Named::None,
     "The query processor ran out of internal resources and could not produce a query plan."},
    {"at most 64 tables in a join", "", 8623, Named::None,
     "The query processor ran out of internal resources and could not produce a query plan."},
    {"too many SQL variables", "", 8003, Named::None,
     "The incoming request has too many parameters. The server supports a maximum of 2100 "
     "parameters. Reduce the number of parameters and resend the request."},
    {"integer overflow", "", 8115, Named::None,
     "Arithmetic overflow error converting expression to data type bigint."},
    {"cannot commit - no transaction is active", "", 3902, Named::None,
     "The COMMIT TRANSACTION request has no corresponding BEGIN TRANSACTION."},
    {"cannot rollback - no transaction is active", "", 3903, Named::None,
     "The ROLLBACK TRANSACTION request has no corresponding BEGIN TRANSACTION."},
    {"no such savepoint: ", "", 6401, Named::Rest,
     "Cannot roll back {name}. No transaction or savepoint of that name was found."},
    {"interrupted", "", 3617, Named::None, "Query was cancelled by user."},
    {"database is locked", "", 1222, Named::None, "Lock request time out period exceeded."},
    {"database table is locked", "", 1222, Named::None, "Lock request time out period exceeded."},
    {"attempt to write a readonly database", "", 3906, Named::None,
     "Failed to update database because the database is read-only."},
    {"database or disk is full", "", 1105, Named::None,
     "Could not allocate space for object in database because the filegroup is full."},
    {"disk I/O error", "", 823, Named::None,
     "The operating system returned an error to SQL Server during a read or write operation."},
    {"database disk image is malformed", "", 824, Named::None,
     "SQL Server detected a logical consistency-based I/O error."},
    {"file is not a database", "", 824, Named::None,
     "SQL Server detected a logical consistency-based I/O error."},
    {"out of memory", "", 701, Named::None,
     "There is insufficient system memory in resource pool 'default' to run this query."},
    {"string or blob too big", "", 1105, Named::None,
     "Could not allocate space for object in database because the filegroup is full."},
    {"near \"", ": syntax error", err::kSyntax, Named::Rest, "Incorrect syntax near '{name}'."},
};

// What no row names: SQLite's result code decides, never its wording.
struct Fallback {
  int rc;
  int number;
  std::string_view text;
};

static_assert(kBusyWaitMs == 10000, "the lock time-out messages name the wait");
constexpr Fallback kFallbacks[] = {
    {SQLITE_CONSTRAINT, 547, "The statement conflicted with a constraint."},
    // The wait is kBusyWaitMs, checked below.
    {SQLITE_BUSY, 1222,
     "Lock request time out period exceeded. Another connection holds the database; waited 10 "
     "seconds."},
    {SQLITE_LOCKED, 1222,
     "Lock request time out period exceeded. Another connection holds the database; waited 10 "
     "seconds."},
    {SQLITE_NOMEM, 701,
     "There is insufficient system memory in resource pool 'default' to run this query."},
    {SQLITE_READONLY, 3906, "Failed to update database because the database is read-only."},
    {SQLITE_IOERR, 823,
     "The operating system returned an error to SQL Server during a read or write operation."},
    {SQLITE_CORRUPT, 824, "SQL Server detected a logical consistency-based I/O error."},
    {SQLITE_NOTADB, 5172, "The header for a database file is not a valid database file header."},
    {SQLITE_FULL, 1105,
     "Could not allocate space for object in database because the filegroup is full."},
    {SQLITE_CANTOPEN, 5120, "Unable to open the physical file."},
    {SQLITE_MISMATCH, 206, "Operand type clash."},
    {SQLITE_TOOBIG, 1105,
     "Could not allocate space for object in database because the filegroup is full."},
};

// "t.a, t.b" -> table "t", columns "a, b".
void SplitConstraint(const std::string& text, std::string& table, std::string& columns) {
  size_t dot = text.find('.');
  table = dot == std::string::npos ? text : text.substr(0, dot);
  columns.clear();
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find(", ", pos);
    std::string part = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    size_t d = part.find('.');
    if (!columns.empty()) columns += ", ";
    columns += d == std::string::npos ? part : part.substr(d + 1);
    if (end == std::string::npos) break;
    pos = end + 2;
  }
}

void Fill(std::string& text, std::string_view field, const std::string& value) {
  for (size_t at = text.find(field); at != std::string::npos;
       at = text.find(field, at + value.size()))
    text.replace(at, field.size(), value);
}

std::string Translate(const Translation& t, const std::string& message) {
  std::string rest = message.substr(t.start.size());
  std::string name, table, columns;
  switch (t.named) {
    case Named::None:
      break;
    case Named::Rest:
      name = rest;
      if (size_t end = name.find("\": syntax error"); end != std::string::npos)
        name = name.substr(0, end);
      break;
    case Named::LastPart:
      name = rest.substr(rest.rfind('.') == std::string::npos ? 0 : rest.rfind('.') + 1);
      break;
    case Named::FirstWord:
      name = rest.substr(0, rest.find(' '));
      if (name.size() > 1 && name.front() == '"' && name.back() == '"')
        name = name.substr(1, name.size() - 2);
      break;
    case Named::AfterLast:
      name = message.substr(message.rfind(' ') + 1);
      break;
    case Named::Constraint:
      SplitConstraint(rest, table, columns);
      break;
  }
  if (size_t dot = name.rfind('.'); t.named == Named::FirstWord && dot != std::string::npos)
    name = name.substr(dot + 1);
  std::string text(t.text);
  Fill(text, "{name}", name);
  Fill(text, "{table}", table);
  Fill(text, "{columns}", columns);
  return text;
}

}  // namespace

void ThrowMessage(int rc, const std::string& message) {
  // Errors our own SQL functions raise carry their SQL Server number: "@8152@text".
  if (message.size() > 2 && message[0] == '@') {
    size_t close = message.find('@', 1);
    if (close != std::string::npos) {
      int number = std::atoi(message.c_str() + 1);
      throw SqlError(number, message.substr(close + 1));
    }
  }
  for (const auto& t : kTranslations) {
    if (!message.starts_with(t.start)) continue;
    if (!t.contains.empty() && message.find(t.contains) == std::string::npos) continue;
    throw SqlError(t.number, Translate(t, message));
  }
  // XFER_TRACE_SQL=1 shows what SQLite said where no translation names it.
  if (std::getenv("XFER_TRACE_SQL")) std::fprintf(stderr, "[sqlite] error: %s\n", message.c_str());
  for (const auto& f : kFallbacks)
    if ((rc & 0xFF) == f.rc) throw SqlError(f.number, std::string(f.text));
  // A statement SQLite could not compile for a reason no row above names.
  throw SqlError(8180, "Statement(s) could not be prepared.");
}

Value ColumnValue(sqlite3_stmt* stmt, int i) {
  switch (sqlite3_column_type(stmt, i)) {
    case SQLITE_INTEGER:
      return static_cast<long long>(sqlite3_column_int64(stmt, i));
    case SQLITE_FLOAT:
      return sqlite3_column_double(stmt, i);
    case SQLITE_TEXT:
      return std::string(reinterpret_cast<const char*>(sqlite3_column_text(stmt, i)),
                         static_cast<size_t>(sqlite3_column_bytes(stmt, i)));
    case SQLITE_BLOB: {
      const void* p = sqlite3_column_blob(stmt, i);
      int n = sqlite3_column_bytes(stmt, i);
      return Blob{std::string(static_cast<const char*>(p), static_cast<size_t>(n))};
    }
    default:
      return std::monostate{};
  }
}

void BindValue(sqlite3_stmt* stmt, int index, const Value& v) {
  if (const auto* i = std::get_if<long long>(&v)) {
    sqlite3_bind_int64(stmt, index, *i);
  } else if (const auto* d = std::get_if<double>(&v)) {
    sqlite3_bind_double(stmt, index, *d);
  } else if (const auto* s = std::get_if<std::string>(&v)) {
    sqlite3_bind_text(stmt, index, s->data(), static_cast<int>(s->size()), SQLITE_TRANSIENT);
  } else if (const auto* b = std::get_if<Blob>(&v)) {
    sqlite3_bind_blob(stmt, index, b->bytes.data(), static_cast<int>(b->bytes.size()),
                      SQLITE_TRANSIENT);
  } else {
    sqlite3_bind_null(stmt, index);
  }
}

std::string QuoteIdent(std::string_view name) {
  std::string out = "\"";
  for (char c : name) {
    out += c;
    if (c == '"') out += '"';
  }
  return out + "\"";
}

}  // namespace xfer::engine
