#include "engine/sqlite_util.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/error.h"
#include "engine/fault_points.h"

namespace xfer::engine {
namespace {

bool Damaged(int rc) {
  return (rc & 0xff) == SQLITE_CORRUPT || (rc & 0xff) == SQLITE_NOTADB;
}

}  // namespace

SqliteHandle::SqliteHandle(const std::string& path) {
  fault::Arm();
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

Stmt::Stmt(sqlite3* db, std::string_view sql) : db_(db) {
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
  int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
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

std::string After(const std::string& s, std::string_view prefix) {
  return s.substr(prefix.size());
}

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
  if (message.starts_with("no such table: ")) {
    std::string name = After(message, "no such table: ");
    if (size_t dot = name.rfind('.'); dot != std::string::npos) name = name.substr(dot + 1);
    throw SqlError(err::kInvalidObject, "Invalid object name '" + name + "'.");
  }
  if (message.starts_with("no such column: ")) {
    std::string name = After(message, "no such column: ");
    if (size_t dot = name.rfind('.'); dot != std::string::npos) name = name.substr(dot + 1);
    throw SqlError(err::kInvalidColumn, "Invalid column name '" + name + "'.");
  }
  if (message.starts_with("ambiguous column name: ")) {
    throw SqlError(err::kAmbiguousColumn,
                   "Ambiguous column name '" + After(message, "ambiguous column name: ") + "'.");
  }
  if (message.starts_with("UNIQUE constraint failed: ")) {
    std::string table, columns;
    SplitConstraint(After(message, "UNIQUE constraint failed: "), table, columns);
    throw SqlError(err::kDuplicateKey, "Violation of PRIMARY KEY constraint 'PK_" + table +
                                           "'. Cannot insert duplicate key in object 'dbo." +
                                           table + "'.");
  }
  if (message.starts_with("CHECK constraint failed: ") &&
      message.find(kLengthCheckPrefix) != std::string::npos)
    throw SqlError(err::kTruncation, "String or binary data would be truncated.");
  if (message.starts_with("NOT NULL constraint failed: ")) {
    std::string table, columns;
    SplitConstraint(After(message, "NOT NULL constraint failed: "), table, columns);
    throw SqlError(err::kNullNotAllowed, "Cannot insert the value NULL into column '" + columns +
                                             "', table '" + table +
                                             "'; column does not allow nulls. INSERT fails.");
  }
  if (message.find("already exists") != std::string::npos && message.starts_with("table ")) {
    std::string name = message.substr(6, message.find(' ', 6) - 6);
    throw SqlError(err::kObjectExists,
                   "There is already an object named '" + name + "' in the database.");
  }
  if (message == "interrupted") throw SqlError(3617, "Query was cancelled by user.");
  switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      throw SqlError(err::kLockTimeout,
                     "Lock request time out period exceeded. Another connection holds the "
                     "database; waited " +
                         std::to_string(kBusyWaitMs / 1000) + " seconds.");
    case SQLITE_FULL:
      throw SqlError(err::kDiskFull,
                     "Could not allocate space in the database because the disk is full.", 17);
    case SQLITE_IOERR:
      throw SqlError(
          err::kIoError,
          "The operating system returned an I/O error on a database file (" + message + ").", 24);
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      throw SqlError(err::kDamagedPage, "A database file is damaged (" + message + ").", 24);
    default:
      break;
  }
  // Anything else is a statement the engine rendered wrongly or SQLite refused.
  throw SqlError(50001, "Internal engine error: " + message);
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
