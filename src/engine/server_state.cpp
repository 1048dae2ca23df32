#include "engine/server_state.h"

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>

#include "engine/error.h"
#include "engine/sqlite_util.h"

namespace fs = std::filesystem;

namespace xfer::engine {

namespace {
constexpr std::string_view kExt = ".db";

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}
}  // namespace

ServerState::ServerState(std::string directory) : directory_(std::move(directory)) {
  for (const char* system : {"master", "tempdb"})
    if (!FindDatabase(system)) CreateDatabase(system);
}

std::optional<std::string> ServerState::FindDatabase(std::string_view name) const {
  // Trailing blanks never count in a name, as SQL Server compares names.
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  std::error_code ec;
  // A name written as the file is spelled is found without reading the whole directory.
  if (!name.empty() && name.front() != '.' &&
      name.find_first_of("/\\:") == std::string_view::npos &&
      fs::is_regular_file(FilePath(name), ec))
    return std::string(name);
  for (const auto& entry : fs::directory_iterator(directory_, ec)) {
    std::string file = entry.path().filename().string();
    if (file.size() <= kExt.size() || !file.ends_with(kExt)) continue;
    std::string stem = file.substr(0, file.size() - kExt.size());
    if (SameName(stem, name)) return stem;
  }
  return std::nullopt;
}

std::string ServerState::FilePath(std::string_view canonicalName) const {
  return (fs::path(directory_) / (std::string(canonicalName) + std::string(kExt))).string();
}

std::vector<std::string> ServerState::ListDatabases() const {
  std::vector<std::string> out;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(directory_, ec)) {
    std::string file = entry.path().filename().string();
    if (file.size() > kExt.size() && file.ends_with(kExt))
      out.push_back(file.substr(0, file.size() - kExt.size()));
  }
  // master and tempdb first, as sysdatabases lists them, then the rest by name.
  std::sort(out.begin(), out.end(), [](const std::string& a, const std::string& b) {
    auto rank = [](const std::string& n) {
      return SameName(n, "master") ? 0 : SameName(n, "tempdb") ? 1 : 2;
    };
    if (rank(a) != rank(b)) return rank(a) < rank(b);
    return a < b;
  });
  return out;
}

void ServerState::CreateDatabase(std::string_view name) {
  std::lock_guard lock(mutex_);
  if (FindDatabase(name))
    throw SqlError(err::kDatabaseExists, "Database '" + std::string(name) +
                                             "' already exists. Choose a different "
                                             "database name.");
  if (name.empty() || name.find_first_of("/\\:") != std::string_view::npos)
    throw SqlError(err::kSyntax, "Incorrect syntax near '" + std::string(name) + "'.");
  SqliteHandle h(FilePath(name));
  // tempdb keeps a rollback journal: see PrepareTempdb.
  if (!SameName(name, "tempdb")) Exec(h.get(), "PRAGMA journal_mode=WAL");
  EnsureBookkeeping(h.get(), "main");
}

void ServerState::DropDatabase(std::string_view name) {
  std::lock_guard lock(mutex_);
  auto found = FindDatabase(name);
  if (!found)
    throw SqlError(err::kCannotDropDatabase,
                   "Cannot drop the database '" + std::string(name) +
                       "', because it does not exist or you do not have permission.");
  std::string path = FilePath(*found);
  for (const char* suffix : {"", "-wal", "-shm", "-journal"}) fs::remove(path + suffix);
}

long long ServerState::NextConnectionId() {
  std::lock_guard lock(mutex_);
  return nextConnection_++;
}

void EnsureBookkeeping(sqlite3* db, const std::string& alias) {
  std::string q = "\"" + alias + "\".";
  Exec(db, "CREATE TABLE IF NOT EXISTS " + q +
               "__xfer_procs (name TEXT PRIMARY KEY COLLATE NOCASE, body TEXT NOT NULL, "
               "created TEXT)");
  Exec(db, "CREATE TABLE IF NOT EXISTS " + q +
               "__xfer_identity (tbl TEXT COLLATE NOCASE, col TEXT COLLATE NOCASE, seed INTEGER, "
               "step INTEGER, last INTEGER, PRIMARY KEY (tbl))");
  Exec(db, "CREATE TABLE IF NOT EXISTS " + q +
               "__xfer_owner (name TEXT PRIMARY KEY COLLATE NOCASE, owner TEXT)");
  // Views: the text as sent, column types (tab-separated), WITH CHECK OPTION, and for a
  // schema-bound view the tables it names.
  Exec(db, "CREATE TABLE IF NOT EXISTS " + q +
               "__xfer_views (name TEXT PRIMARY KEY COLLATE NOCASE, body TEXT NOT NULL, "
               "created TEXT, modified TEXT, types TEXT, check_option INTEGER, bound_to TEXT)");
}

}  // namespace xfer::engine
