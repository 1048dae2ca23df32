// Server and Connection: the public handles over the server directory and a connection's state.
#include "engine/engine.h"

#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "engine/conn_state.h"
#include "engine/exec/executor.h"
#include "engine/fault_points.h"
#include "engine/server_state.h"
#include "engine/sqlite_util.h"

namespace xfer::engine {
namespace {

// Global temporary tables left by a process that is gone (killed, say) are dropped when a
// server opens and again when a connection opens, so a long-lived host does not keep them.
void DropOrphanGlobals(ServerState& server, bool serverOpens) {
  SqliteHandle h(server.FilePath("tempdb"));
  if (serverOpens) EnsureBookkeeping(h.get(), "main");
  std::vector<std::string> orphans;
  {
    Stmt s(h.get(), "SELECT name, owner FROM __xfer_owner");
    while (s.Step()) {
      std::string owner = reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 1));
      pid_t pid = static_cast<pid_t>(std::atol(owner.c_str()));
      if (pid > 0 && pid != ::getpid() && ::kill(pid, 0) != 0)
        orphans.push_back(reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 0)));
    }
  }
  // While other connections are reading tempdb the drops wait briefly, then leave the tables to a
  // later connection rather than hold this one up.
  sqlite3_busy_timeout(h.get(), 200);
  try {
    for (const auto& name : orphans) {
      Exec(h.get(), "DROP TABLE IF EXISTS " + QuoteIdent(name));
      Stmt d(h.get(), "DELETE FROM __xfer_owner WHERE name = ?");
      sqlite3_bind_text(d.get(), 1, name.c_str(), -1, SQLITE_TRANSIENT);
      d.Step();
    }
  } catch (const SqlError&) {
  }
}

// tempdb holds only work tables, which no run outlives, so it is written as scratch: a rollback
// journal rather than a log (work tables are written once at commit, not to a log and again at a
// checkpoint) and no flush to disk (synchronous=OFF on every connection). A killed process still
// leaves the journal that undoes its unfinished commit; what an operating-system crash may damage
// is made afresh here, as SQL Server makes tempdb anew when it starts. A tempdb of an earlier
// version is still in WAL mode; it changes over when no other process has it open.
void PrepareTempdb(ServerState& server) {
  const std::string path = server.FilePath("tempdb");
  bool damaged = false;
  {
    SqliteHandle h(path);
    sqlite3_busy_timeout(h.get(), 0);
    int rc = sqlite3_exec(h.get(), "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    damaged = (rc & 0xff) == SQLITE_NOTADB || (rc & 0xff) == SQLITE_CORRUPT;
    // Fails, and leaves the log, while another process has the file open.
    if (!damaged) sqlite3_exec(h.get(), "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
  }
  if (!damaged) return;
  for (const char* suffix : {"", "-wal", "-shm", "-journal"})
    std::filesystem::remove(path + suffix);
  server.CreateDatabase("tempdb");
}

}  // namespace

Server::Server(std::unique_ptr<ServerState> state) : state_(std::move(state)) {}
Server::~Server() = default;

std::shared_ptr<Server> Server::Open(const std::string& directory, bool create) {
  namespace fs = std::filesystem;
  fault::Arm();
  std::error_code ec;
  if (!fs::is_directory(directory, ec)) {
    if (!create && fs::exists(directory, ec))
      throw SqlError(53, "A network-related or instance-specific error occurred: '" + directory +
                             "' is a file, not a server directory.");
    if (!create)
      throw SqlError(53,
                     "A network-related or instance-specific error occurred: the server "
                     "directory '" +
                         directory + "' does not exist.");
    fs::create_directories(directory, ec);
    if (ec) throw SqlError(53, "Cannot create the server directory '" + directory + "'.");
  }
  auto server = std::shared_ptr<Server>(new Server(std::make_unique<ServerState>(directory)));
  PrepareTempdb(*server->state_);
  DropOrphanGlobals(*server->state_, true);
  return server;
}

const std::string& Server::Directory() const {
  return state_->directory();
}
std::vector<std::string> Server::Databases() const {
  return state_->ListDatabases();
}
bool Server::HasDatabase(std::string_view name) const {
  return state_->FindDatabase(name).has_value();
}

Connection::Connection(std::shared_ptr<Server> server, std::string_view database)
    : server_(std::move(server)) {
  DropOrphanGlobals(server_->state(), false);
  state_ = std::make_unique<ConnectionState>(server_->state(), database);
}

Connection::~Connection() = default;

std::vector<ResultSet> Connection::Execute(std::string_view batch) {
  std::vector<ResultSet> out;
  Execute(batch, [&](ResultSet&& rs) { out.push_back(std::move(rs)); });
  return out;
}

void Connection::Execute(std::string_view batch, const std::function<void(ResultSet&&)>& onResult) {
  Executor exec(*state_, onResult);
  exec.RunBatch(batch);
}

void Connection::SetMessageSink(MessageSink sink) {
  state_->sink = std::move(sink);
}
std::string Connection::CurrentDatabase() const {
  return state_->currentDatabase();
}
Server& Connection::server() {
  return *server_;
}

}  // namespace xfer::engine
