// `xfer export`: a query's rows written to a file in any format of the grid menu, through the
// same writers: xlsx, the tab-separated xls, html, dbf (Windows or DOS code page) and csv.
// A progress bar shows on a terminal; a failing query or an unwritable file ends with status 1.
#include <CLI/CLI.hpp>

#include <chrono>
#include <iostream>

#include "cli_session.h"
#include "commands.h"
#include "console_dialogs.h"
#include "db/record_set.h"
#include "db/session.h"
#include "engine/error.h"
#include "export/export_format.h"
#include "xfer-host/solar_hijri.h"

namespace xfer::cli {
namespace {

struct ExportOptions {
  std::string server;
  std::string database;
  std::string sql;
  std::string format;
  std::string out;
  std::string title;
};

// Today as the host supplies it to the forms: a Solar Hijri date string.
std::string Today() {
  const std::chrono::year_month_day d{
      std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now())};
  return hostapp::FormatSolar(hostapp::GregorianToSolar(
      static_cast<int>(d.year()), static_cast<int>(static_cast<unsigned>(d.month())),
      static_cast<int>(static_cast<unsigned>(d.day()))));
}

int RunExport(const ExportOptions& o) {
  ConsoleDialogs dialogs;
  const auto format = grid_export::FormatByName(o.format);
  if (!format) {
    dialogs.ShowDlgMsg("Unknown format '" + o.format + "'.", "", "1ER");
    return 1;
  }
  if (!CheckServerPaths(o.server)) return 1;
  try {
    db::HostGlobal g;
    db::HostDatabase link;
    link.ConnectDatabase(g, o.server, o.database, "SQL", "", "");
    db::RecordSet rs;
    rs.Open(*link.connection(), o.sql);
    const grid_export::RecordSetSource source(rs);
    dialogs.ShowState("INFO", "xfer export", o.out);
    grid_export::WriteExport(
        *format, source, o.out, {o.title.empty() ? o.database : o.title, Today()},
        [&](size_t done, size_t total) {
          dialogs.Progress(static_cast<long long>(done), static_cast<long long>(total));
        });
    dialogs.HideState();
    std::cout << rs.RecordCount() << " rows written to " << o.out << "\n";
    return 0;
  } catch (const engine::SqlError& e) {
    dialogs.HideState();
    dialogs.ShowDlgMsg(e.what(), "", "1ER");
  } catch (const std::exception& e) {
    dialogs.HideState();
    dialogs.ShowDlgMsg(e.what(), "", "1ER");
  }
  return 1;
}

}  // namespace

void RegisterExportCommand(CLI::App& app) {
  auto opts = std::make_shared<ExportOptions>();
  CLI::App* cmd =
      app.add_subcommand("export", "Write a query's rows to a spreadsheet, page or table file");
  cmd->add_option("--server", opts->server, "Server directory")->required();
  cmd->add_option("--database", opts->database, "Database to query")->required();
  cmd->add_option("-e", opts->sql, "The SELECT statement")->required();
  cmd->add_option("--format", opts->format, "xlsx, xls, doc, html, dbf, dbf-dos or csv")
      ->required();
  cmd->add_option("--out", opts->out, "File to write")->required();
  cmd->add_option("--title", opts->title, "Page heading and sheet name (default: the database)");
  cmd->callback([opts] { SetExitCode(RunExport(*opts)); });
}

}  // namespace xfer::cli
