// Public face of the embedded SQL Server stand-in.
//
// A Server is a directory; each database is one SQLite file in it. A Connection has a current
// database and runs T-SQL batches with SQL Server's meaning, returning client-side result sets.
// Nothing here depends on Qt; the session layer wraps it behind its backend interface.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/error.h"
#include "engine/value.h"

namespace xfer::engine {

class ServerState;
class ConnectionState;

class Server {
 public:
  // Opens the server in `directory`; with `create` the directory is made when missing.
  // Throws SqlError when the directory does not exist and `create` is false.
  static std::shared_ptr<Server> Open(const std::string& directory, bool create = false);
  ~Server();

  const std::string& Directory() const;
  // Names of the databases (as first created), master and tempdb included.
  std::vector<std::string> Databases() const;
  bool HasDatabase(std::string_view name) const;

  ServerState& state() { return *state_; }

 private:
  explicit Server(std::unique_ptr<ServerState> state);
  std::unique_ptr<ServerState> state_;
};

// Receives what a batch produces besides result sets: PRINT text, informational messages
// and row counts ("(3 rows affected)").
struct MessageSink {
  std::function<void(const std::string&)> message;
  std::function<void(long long)> rowsAffected;
};

class Connection {
 public:
  // Connects to `database` (master when empty). Throws SqlError 911 for a missing database.
  explicit Connection(std::shared_ptr<Server> server, std::string_view database = {});
  ~Connection();  // drops the ## tables this connection created
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Runs one batch; every result set it produces is returned in order. A batch that does not
  // parse runs nothing; a failing statement stops the batch and throws its SqlError.
  std::vector<ResultSet> Execute(std::string_view batch);
  // The same, handing each result set to `onResult` as it is produced.
  void Execute(std::string_view batch, const std::function<void(ResultSet&&)>& onResult);

  // Appends rows to a table ("t", "db..t", "#t", "##t") by column name, in one transaction
  // with one prepared statement: the fast path for moving record sets between servers.
  // Identity columns are numbered as INSERT numbers them. Throws SqlError; nothing is
  // appended when a row fails.
  void BulkInsert(std::string_view table, const std::vector<std::string>& columns,
                  const std::vector<std::vector<Value>>& rows);

  void SetMessageSink(MessageSink sink);

  std::string CurrentDatabase() const;
  Server& server();
  ConnectionState& state() { return *state_; }

 private:
  std::shared_ptr<Server> server_;
  std::unique_ptr<ConnectionState> state_;
};

// Prints a result set as `xfer sql` does: a header of column names separated by TAB, one line
// per row, NULL as "NULL", integers as digits, floats in shortest round-trip form, text as is,
// binary as 0x followed by upper-case hex digits; a decimal, numeric or money field prints its
// values with exactly the field's scale (money with four decimals).
std::string FormatResultSet(const ResultSet& rs);
std::string FormatValue(const Value& v);
std::string FormatValue(const Value& v, const Field& field);

// Decimals a field of this declared type shows ("numeric(10, 2)" 2, "money" 4); -1 when the
// type is not an exact decimal type.
int DecimalScaleOf(const std::string& declaredType);

}  // namespace xfer::engine
