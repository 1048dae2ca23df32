// `xfer report`: the runs kept in a period database, newest last, with their units.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>

#include "cli_session.h"
#include "commands.h"
#include "console_dialogs.h"
#include "engine/error.h"
#include "plain_errors.h"
#include "transfer/run/report_store.h"

namespace xfer::cli {
namespace {

struct ReportOptions {
  std::string server;
  std::string database;
  int last = 10;
};

int RunReport(const ReportOptions& o) {
  if (!CheckServerPaths(o.server)) return 1;
  try {
    auto session = OpenCliSession(o.server, o.database);
    auto runs = transfer::ReadRunReports(*session->link.connection(), o.last);
    if (runs.empty()) std::printf("no transfer runs kept in %s\n", o.database.c_str());
    for (const auto& run : runs) {
      const transfer::RunReport& r = run.report;
      std::printf("#%lld %s  %s  from %s into %s  by %s  (%s)  %s\n", run.id, run.recorded.c_str(),
                  r.what.c_str(), r.source.c_str(), r.destination.c_str(), r.user.c_str(),
                  r.started.c_str(), r.outcome.c_str());
      for (const auto& u : r.units) {
        std::string source = u.sourceRows < 0 ? "-" : std::to_string(u.sourceRows);
        std::printf("    %-16s %8s source %8lld new %8lld clashing %8lld replaced %8.3f s%s%s\n",
                    u.table.c_str(), source.c_str(), u.inserted, u.clashing, u.replaced, u.seconds,
                    u.error.empty() ? "" : "  error: ", u.error.c_str());
      }
    }
    return 0;
  } catch (const engine::SqlError& e) {
    ConsoleDialogs dialogs;
    return ReportSqlError(e, o.database, dialogs);
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
}

}  // namespace

void RegisterReportCommand(CLI::App& app) {
  auto o = std::make_shared<ReportOptions>();
  CLI::App* cmd = app.add_subcommand("report", "Print the transfer runs kept in a period");
  cmd->add_option("--server", o->server, "Server directory")->required();
  cmd->add_option("--database", o->database, "Period database")->required();
  cmd->add_option("--last", o->last, "How many runs, newest last")->capture_default_str();
  cmd->callback([o] { SetExitCode(RunReport(*o)); });
}

}  // namespace xfer::cli
