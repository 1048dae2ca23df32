// Names of key constraints as SQL Server reports them (sysobjects, violation messages).
#pragma once

#include <sqlite3.h>

#include <string>

namespace xfer::engine {

// SQL Server's form of a constraint name it makes up: "PK__KALA__0123456789ABCDEF".
std::string GeneratedConstraintName(const std::string& prefix, const std::string& table);
// The primary key's name from a table definition the engine wrote; generated when the
// definition names none; empty when the table has no primary key.
std::string PrimaryKeyName(const std::string& tableSql, const std::string& table);
// The CREATE TABLE text SQLite keeps for a table, or empty.
std::string TableSql(sqlite3* db, const std::string& schema, const std::string& table);

}  // namespace xfer::engine
