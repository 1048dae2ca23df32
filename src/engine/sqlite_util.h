// Thin RAII and error helpers over the SQLite C API, used by every engine file that talks to
// SQLite directly. SQLite messages are translated into SQL Server errors in one place.
#pragma once

#include <sqlite3.h>

#include <string>
#include <string_view>

#include "engine/value.h"

namespace xfer::engine {

// Name prefix of the width checks that databases made by earlier versions carry on their
// varchar(n) columns; a failing one is SQL Server's truncation error.
inline constexpr const char* kLengthCheckPrefix = "width$";

class SqliteHandle {
 public:
  explicit SqliteHandle(const std::string& path);
  ~SqliteHandle();
  SqliteHandle(const SqliteHandle&) = delete;
  SqliteHandle& operator=(const SqliteHandle&) = delete;
  sqlite3* get() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

// SQL text as SQLite must receive it: wherever two written-out tokens meet as "--" or "/*" (a
// minus before a negative number, say), a blank keeps SQLite from reading a comment. Quoted
// text and names are left alone; the engine never writes comments of its own. Parameters
// numbered in the order they appear lose their numbers.
std::string SeparateTokens(std::string_view sql);

class Stmt {
 public:
  Stmt(sqlite3* db, std::string_view sql);
  ~Stmt();
  Stmt(const Stmt&) = delete;
  Stmt& operator=(const Stmt&) = delete;
  sqlite3_stmt* get() const { return stmt_; }
  // One step; true while a row is available. Throws SqlError on failure.
  bool Step();

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

// Runs SQL that returns no rows; throws SqlError on failure.
void Exec(sqlite3* db, const std::string& sql);
// First column of the first row as text, or empty.
std::string QueryText(sqlite3* db, const std::string& sql);

// How long a statement waits for a database another connection holds before it fails.
inline constexpr int kBusyWaitMs = 10000;

// Throws the error of a damaged database file, naming the database and the file.
[[noreturn]] void ThrowDamaged(const std::string& file, int rc, const std::string& detail);

// Throws the SQL Server error that corresponds to SQLite's last error on `db`.
[[noreturn]] void ThrowSqlite(sqlite3* db, int rc);
// The SQL Server error for a SQLite message (also decodes "@NNN@text" raised by our functions).
[[noreturn]] void ThrowMessage(int rc, const std::string& message);

Value ColumnValue(sqlite3_stmt* stmt, int i);
void BindValue(sqlite3_stmt* stmt, int index, const Value& v);

// "name" with embedded quotes doubled.
std::string QuoteIdent(std::string_view name);

}  // namespace xfer::engine
