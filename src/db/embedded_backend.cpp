// The embedded engine as a backend. Servers are shared per directory within the process, so
// every connection to one directory sees the same tempdb bookkeeping.
#include <map>
#include <mutex>

#include "db/backend.h"
#include "db/odbc_backend.h"
#include "db/served_directory.h"
#include "db/text_util.h"
#include "engine/engine.h"

namespace xfer::db {
namespace {

class EmbeddedBackend : public Backend {
 public:
  EmbeddedBackend(std::shared_ptr<engine::Server> server, const std::string& database)
      : server_(server), conn_(server, database) {}

  void Execute(const std::string& sql) override {
    conn_.Execute(sql, [](ResultSet&&) {});
  }
  std::vector<ResultSet> Query(const std::string& sql) override { return conn_.Execute(sql); }
  void AppendRows(const std::string& table, const std::vector<std::string>& columns,
                  const std::vector<std::vector<Value>>& rows) override {
    conn_.BulkInsert(table, columns, rows);
  }
  std::string ServerName() const override { return server_->Directory(); }
  std::string CurrentDatabase() const override { return conn_.CurrentDatabase(); }
  void SetMessageHandler(std::function<void(const std::string&)> handler) override {
    conn_.SetMessageSink(engine::MessageSink{std::move(handler), nullptr});
  }

 private:
  std::shared_ptr<engine::Server> server_;
  engine::Connection conn_;
};

std::shared_ptr<engine::Server> SharedServer(const std::string& directory) {
  static std::mutex mutex;
  static std::map<std::string, std::weak_ptr<engine::Server>> servers;
  std::lock_guard lock(mutex);
  if (auto s = servers[directory].lock()) return s;
  auto s = engine::Server::Open(directory, false);
  servers[directory] = s;
  return s;
}

}  // namespace

std::string ConnectionStringValue(const std::string& cs, const std::string& key) {
  std::string want = UpperAscii(key);
  size_t pos = 0;
  while (pos < cs.size()) {
    size_t end = cs.find(';', pos);
    std::string part = cs.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    size_t eq = part.find('=');
    if (eq != std::string::npos && UpperAscii(Trim(part.substr(0, eq))) == want)
      return std::string(Trim(part.substr(eq + 1)));
    if (end == std::string::npos) break;
    pos = end + 1;
  }
  return {};
}

std::unique_ptr<Backend> OpenBackend(const std::string& connectionString) {
  std::string server = ConnectionStringValue(connectionString, "Data Source");
  std::string database = ConnectionStringValue(connectionString, "Initial Catalog");
  if (server.empty())
    throw engine::SqlError(53, "The connection string names no server (Data Source).");
  if (IsNetworkServer(server)) return OpenOdbcBackend(connectionString);
  if (auto served = ServedDirectoryAddress(server))
    return OpenOdbcBackend("Data Source=" + served->dataSource + ";Initial Catalog=" + database +
                           ";User ID=" + served->user + ";Password=" + served->password + ";");
  return std::make_unique<EmbeddedBackend>(SharedServer(server), database);
}

}  // namespace xfer::db
