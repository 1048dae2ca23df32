// `xfer sql`: runs T-SQL batches against an embedded server and prints every result set.
// Batches come from -e texts or files (each file one batch); output follows FormatResultSet,
// messages and row counts go to stderr, and the first failing batch ends the run with status 1.
#include <CLI/CLI.hpp>

#include <fstream>
#include <iostream>
#include <sstream>

#include "commands.h"
#include "engine/engine.h"

namespace xfer::cli {
namespace {

struct SqlOptions {
  std::string server;
  bool create = false;
  std::string database;
  std::vector<std::string> texts;
  std::vector<std::string> files;
};

int RunSql(const SqlOptions& o) {
  using namespace xfer::engine;
  try {
    auto server = Server::Open(o.server, o.create);
    Connection conn(server, o.database);
    conn.SetMessageSink(MessageSink{[](const std::string& m) { std::cerr << m << "\n"; },
                                    [](long long n) {
                                      std::cerr << "(" << n
                                                << (n == 1 ? " row affected)" : " rows affected)")
                                                << "\n";
                                    }});
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
      conn.Execute(b, [&](ResultSet&& rs) {
        if (!first) std::cout << "\n";
        first = false;
        std::cout << FormatResultSet(rs);
      });
    }
    std::cout.flush();
    return 0;
  } catch (const SqlError& e) {
    std::cout.flush();
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
  cmd->add_option("--server", opts->server, "Server directory")->required();
  cmd->add_flag("--create", opts->create, "Create the server directory when missing");
  cmd->add_option("--database", opts->database, "Database to connect to (default master)");
  cmd->add_option("-e", opts->texts, "A batch given as text (repeatable)");
  cmd->add_option("files", opts->files, "Files, each holding one batch; stdin when none");
  cmd->callback([opts] { SetExitCode(RunSql(*opts)); });
}

}  // namespace xfer::cli
