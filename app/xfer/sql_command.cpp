// `xfer sql`: runs T-SQL batches against an embedded server (a directory) or a network server
// ("host,port", through ODBC with --user/--password) and prints every result set.
// Batches come from -e texts or files (each file one batch); output follows FormatResultSet,
// messages and row counts go to stderr, and the first failing batch ends the run with status 1.
#include <CLI/CLI.hpp>

#include <fstream>
#include <iostream>
#include <sstream>

#include "commands.h"
#include "db/backend.h"
#include "db/odbc_backend.h"
#include "engine/engine.h"
#include "plain_errors.h"

namespace xfer::cli {
namespace {

struct SqlOptions {
  std::string server;
  bool create = false;
  std::string database;
  std::string user;
  std::string password;
  std::vector<std::string> texts;
  std::vector<std::string> files;
};

int RunSql(const SqlOptions& o) {
  using namespace xfer::engine;
  try {
    std::unique_ptr<db::Backend> remote;
    std::shared_ptr<Server> server;
    std::unique_ptr<Connection> local;
    auto printMessage = [](const std::string& m) { std::cerr << m << "\n"; };
    if (db::IsNetworkServer(o.server)) {
      remote = db::OpenBackend("Data Source=" + o.server + ";Initial Catalog=" + o.database +
                               ";User ID=" + o.user + ";Password=" + o.password + ";");
      remote->SetMessageHandler(printMessage);
    } else {
      server = Server::Open(o.server, o.create);
      local = std::make_unique<Connection>(server, o.database);
      local->SetMessageSink(MessageSink{
          printMessage, [](long long n) {
            std::cerr << "(" << n << (n == 1 ? " row affected)" : " rows affected)") << "\n";
          }});
    }
    std::vector<std::string> batches = o.texts;
    for (const auto& f : o.files) {
      std::ifstream in(f, std::ios::binary);
      if (!in) {
        std::cerr << "Cannot open file '" << f << "'.\n";
        return 1;
      }
      std::ostringstream ss;
      ss << in.rdbuf();
      batches.push_back(ss.str());
    }
    if (o.texts.empty() && o.files.empty()) {
      std::ostringstream ss;
      ss << std::cin.rdbuf();
      batches.push_back(ss.str());
    }
    bool first = true;
    for (const auto& b : batches) {
      auto print = [&](const ResultSet& rs) {
        if (!first) std::cout << "\n";
        first = false;
        std::cout << FormatResultSet(rs);
      };
      if (remote) {
        for (const auto& rs : remote->Query(b)) print(rs);
      } else {
        local->Execute(b, [&](ResultSet&& rs) { print(rs); });
      }
    }
    std::cout.flush();
    return 0;
  } catch (const SqlError& e) {
    std::cout.flush();
    // A damaged or busy period is said plainly first; the server's own words follow.
    if (std::string plain = PlainMessage(e, o.database); !plain.empty())
      std::cerr << plain.substr(0, plain.find('\n')) << "\n";
    std::cerr << "Msg " << e.number() << ", Level " << e.severity() << ", State " << e.state()
              << ", Line " << e.line() << "\n"
              << e.message() << "\n";
    return 1;
  }
}

}  // namespace

void RegisterSqlCommand(CLI::App& app) {
  auto opts = std::make_shared<SqlOptions>();
  CLI::App* cmd = app.add_subcommand("sql", "Run T-SQL batches on an embedded server");
  cmd->add_option("--server", opts->server, "Server directory, or host,port of a network server")
      ->required();
  cmd->add_option("--user", opts->user, "Login name on a network server");
  cmd->add_option("--password", opts->password, "Password of that login");
  cmd->add_flag("--create", opts->create, "Create the server directory when missing");
  cmd->add_option("--database", opts->database, "Database to connect to (default master)");
  cmd->add_option("-e", opts->texts, "A batch given as text (repeatable)");
  cmd->add_option("files", opts->files, "Files, each holding one batch; stdin when none");
  cmd->callback([opts] { SetExitCode(RunSql(*opts)); });
}

}  // namespace xfer::cli
