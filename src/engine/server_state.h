// A server: a directory of SQLite files, one per database, plus the shared tempdb. Database
// names are case-insensitive; the file keeps the spelling the database was created with.
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace xfer::engine {

class ServerState {
 public:
  explicit ServerState(std::string directory);

  const std::string& directory() const { return directory_; }

  // The spelling on disk of database `name`, or nullopt when there is none.
  std::optional<std::string> FindDatabase(std::string_view name) const;
  std::string FilePath(std::string_view canonicalName) const;
  std::vector<std::string> ListDatabases() const;

  // Creates the file of a new database with the engine's bookkeeping tables.
  // Throws SqlError 1801 when it exists already.
  void CreateDatabase(std::string_view name);
  // Deletes the file. Throws SqlError 3701 when the database does not exist.
  void DropDatabase(std::string_view name);

  // Connection numbers, unique within the process; with the process id they name the owner of
  // a global temporary table.
  long long NextConnectionId();

 private:
  std::string directory_;
  mutable std::mutex mutex_;
  long long nextConnection_ = 1;
};

// The bookkeeping tables every database file carries: procedures and identity counters.
// Runs inside the schema `alias` of an open SQLite handle.
void EnsureBookkeeping(sqlite3* db, const std::string& alias);

}  // namespace xfer::engine
