// The session layer's view of a database server: run a batch, fetch its result sets, name the
// server and the current database. The embedded engine is one backend; a real SQL Server over
// ODBC is another. Forms and transfer logic only ever see this interface.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/value.h"

namespace xfer::db {

using engine::Field;
using engine::FieldKind;
using engine::ResultSet;
using engine::Value;

class Backend {
 public:
  virtual ~Backend() = default;
  // Runs a batch; result sets it produces are discarded. Throws engine::SqlError.
  virtual void Execute(const std::string& sql) = 0;
  // Runs a batch and returns every result set it produced.
  virtual std::vector<ResultSet> Query(const std::string& sql) = 0;
  // Appends rows to a table by column name, all or none: the fast path that carries record
  // sets between servers.
  virtual void AppendRows(const std::string& table, const std::vector<std::string>& columns,
                          const std::vector<std::vector<Value>>& rows) = 0;
  virtual std::string ServerName() const = 0;
  virtual std::string CurrentDatabase() const = 0;
  // Receives PRINT text and informational RAISERROR messages of later batches.
  virtual void SetMessageHandler(std::function<void(const std::string&)> handler) { (void)handler; }
};

// Parsed "Key=Value;" pairs of a connection string (keys compared without case).
std::string ConnectionStringValue(const std::string& connectionString, const std::string& key);

// Opens a backend from a connection string. The embedded backend takes the server directory
// from Data Source and the database from Initial Catalog; a Data Source of the form
// "host[,port]" is a network server reached over ODBC. Throws engine::SqlError.
std::unique_ptr<Backend> OpenBackend(const std::string& connectionString);

}  // namespace xfer::db
