// The options, source choice and error handling shared by `xfer import maly|trado|store`.
#include "import_options.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>

#include "db/text_util.h"
#include "engine/engine.h"
#include "engine/error.h"
#include "import/import_text.h"
#include "plain_errors.h"

namespace xfer::cli {

void AddImportOptions(CLI::App& cmd, ImportOptions& o, const std::string& noun,
                      const std::string& modes, bool sourceRequired) {
  cmd.add_option("--server", o.server, "Server directory of the current period")->required();
  cmd.add_option("--database", o.database, "Current (destination) period database")->required();
  CLI::Option* source = cmd.add_option("--source", o.source, "Source period database");
  if (sourceRequired) source->required();
  cmd.add_option("--source-server", o.sourceServer, "Server directory of the source period");
  cmd.add_option("--from-no", o.fromNo, "First " + noun + " number");
  cmd.add_option("--to-no", o.toNo, "Last " + noun + " number");
  cmd.add_option("--from-date", o.fromDate, "First " + noun + " date (YYYY/MM/DD)");
  cmd.add_option("--to-date", o.toDate, "Last " + noun + " date (YYYY/MM/DD)");
  cmd.add_option("--mode", o.mode, "Numbering: " + modes)->capture_default_str();
  cmd.add_option("--summary", o.prior, "Before sending: NOCHANGE, DEAILY, MONTLY or YEARLY")
      ->capture_default_str();
}

std::string Cell(const db::ResultSet& rs, size_t row, const char* name) {
  for (size_t i = 0; i < rs.fields.size(); ++i)
    if (db::UpperAscii(rs.fields[i].name) == db::UpperAscii(name)) {
      const db::Value& v = rs.rows[row][i];
      return engine::IsNull(v) ? std::string() : engine::FormatValue(v);
    }
  return {};
}

void PrintUnits(const transfer::RunReport& report, int tableWidth) {
  std::printf("%-*s %10s %10s %10s %8s\n", tableWidth, "table", "source", "inserted", "clashing",
              "seconds");
  for (const auto& u : report.units) {
    std::string source = u.sourceRows < 0 ? "-" : std::to_string(u.sourceRows);
    std::printf("%-*s %10s %10lld %10lld %8.3f\n", tableWidth, u.table.c_str(), source.c_str(),
                u.inserted, u.clashing, u.seconds);
  }
}

bool ChooseSource(import::ImportFrame& frame, CliSession& session, const ImportOptions& o,
                  db::Dialogs& dialogs) {
  if (!o.sourceServer.empty()) frame.UseSourceServer(CliSourceServer(session, o.sourceServer));
  if (!frame.ChoosePeriodByDatabase(o.source)) {
    dialogs.ShowDlgMsg(import::text::kNoPeriod, "", "1ER");
    std::cerr << "(no period '" << o.source << "' in the registry of the source server)\n";
    return false;
  }
  return true;
}

void SetRanges(import::ImportFrame& frame, const ImportOptions& o, int priorMode, int afterMode) {
  frame.numbers = {!o.fromNo.empty() || !o.toNo.empty(), o.fromNo, o.toNo};
  frame.dates = {!o.fromDate.empty() || !o.toDate.empty(), o.fromDate, o.toDate};
  frame.priorMode = priorMode;
  frame.afterMode = afterMode;
  frame.copyBase = o.copyBase;
}

int RunImportCommand(const ImportOptions& o,
                     const std::function<int(CliSession&, ConsoleDialogs&)>& body) {
  if (!CheckServerPaths(o.server, o.sourceServer)) return 1;
  ConsoleDialogs dialogs;
  try {
    auto session = OpenCliSession(o.server, o.database);
    session->global.userId = session->global.workstation;
    return body(*session, dialogs);
  } catch (const engine::SqlError& e) {
    return ReportSqlError(e, o.database, dialogs);
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
}

}  // namespace xfer::cli
