// `xfer kol`: the base-information transfer without the form. The same core routine as the
// form runs, with console messages, a progress bar on a terminal naming the table in progress and
// the run report per table (or as JSON); Ctrl-C stops after the table in progress;
// the exit status is 1 when a check stopped the run.
#include <unistd.h>
#include <CLI/CLI.hpp>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "cli_session.h"
#include "commands.h"
#include "console_dialogs.h"
#include "db/odbc_backend.h"
#include "db/registry.h"
#include "db/session.h"
#include "db/text_util.h"
#include "engine/error.h"
#include "plain_errors.h"
#include "transfer/base/base_transfer.h"
#include "transfer/base/catalogue.h"
#include "transfer/run/report_format.h"

namespace xfer::cli {
namespace {

using transfer::Module;

struct KolOptions {
  std::string server;
  std::string database;
  std::string source;
  std::string sourceServer;
  std::vector<std::string> modules{"maly", "store", "dara", "naghd", "trado"};
  std::vector<std::string> options;
  bool json = false;
};

// Ctrl-C or a termination signal asks the run to stop after the table in progress.
transfer::StopRequest g_stop;
extern "C" void AskToStop(int) {
  g_stop.Request();
}

const std::pair<const char*, Module> kModules[] = {
    {"maly", Module::kMaly},   {"store", Module::kStore}, {"dara", Module::kDara},
    {"naghd", Module::kNaghd}, {"trado", Module::kTrado}, {"sazmandehi", Module::kSazmandehi}};

int RunKol(const KolOptions& o) {
  // Every argument is checked before the first database is opened, so a mistyped one never
  // leaves half a run behind.
  std::set<Module> ticked;
  for (const auto& m : o.modules) {
    bool known = false;
    for (const auto& [name, module] : kModules)
      if (db::LowerAscii(m) == name) {
        ticked.insert(module);
        known = true;
      }
    if (!known) {
      std::string accepted;
      for (const auto& entry : kModules)
        accepted += (accepted.empty() ? "" : ", ") + std::string(entry.first);
      std::cerr << "بخش ناشناخته '" << m << "'. بخشهاي پذيرفته: " << accepted << "\n";
      return 1;
    }
  }
  std::set<std::string> options;
  for (const auto& name : o.options) {
    std::string column;
    for (const auto& d : transfer::OrganizingOptions())
      if (db::LowerAscii(std::string(db::Trim(name))) == db::LowerAscii(d.column))
        column = d.column;
    if (column.empty()) {
      std::string accepted;
      for (const auto& d : transfer::OrganizingOptions())
        if (accepted.find(std::string(d.column) + ",") == std::string::npos &&
            !accepted.ends_with(d.column))
          accepted += (accepted.empty() ? "" : ", ") + std::string(d.column);
      std::cerr << "گزينه سازماندهي ناشناخته '" << name << "'. گزينه هاي پذيرفته: " << accepted
                << "\n";
      return 1;
    }
    options.insert(column);
  }
  if (!options.empty()) ticked.insert(Module::kSazmandehi);
  if (!CheckServerPaths(o.server, o.sourceServer)) return 1;

  ConsoleDialogs dialogs(true, o.json);
  try {
    auto session = OpenCliSession(o.server, o.database);
    db::HostGlobal& g = session->global;
    transfer::BaseTransfer t(g, session->date, session->link, dialogs);
    t.Prepare();
    if (!o.sourceServer.empty()) t.UseSourceServer(CliSourceServer(*session, o.sourceServer));
    std::string entry;
    for (const auto& e : t.Periods())
      if (db::SourceDatabaseOf(e) == db::UpperAscii(o.source)) entry = e;
    if (entry.empty()) {
      dialogs.ShowDlgMsg(transfer::text::kChooseCompany, "", "1ER");
      std::cerr << "(no period '" << o.source << "' in the registry of the source server)\n";
      return 1;
    }
    t.ChoosePeriod(entry);
    g_stop.Clear();
    t.SetStopRequest(&g_stop);
    std::signal(SIGINT, AskToStop);
    std::signal(SIGTERM, AskToStop);
    bool ok = t.Run(ticked, options);
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    const std::string summary =
        o.json ? transfer::ReportJson(t.report()) : transfer::FormatReportTable(t.report());
    std::fputs(summary.c_str(), stdout);
    return ok ? 0 : 1;
  } catch (const engine::SqlError& e) {
    return ReportSqlError(e, o.database, dialogs);
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
}

}  // namespace

void RegisterKolCommand(CLI::App& app) {
  auto o = std::make_shared<KolOptions>();
  CLI::App* cmd =
      app.add_subcommand("kol", "Carry a source period's base information into a period");
  cmd->add_option("--server", o->server, "Server directory of the current period")->required();
  cmd->add_option("--database", o->database, "Current (destination) period database")->required();
  cmd->add_option("--source", o->source, "Source period database")->required();
  cmd->add_option("--source-server", o->sourceServer, "Server directory of the source period");
  cmd->add_option("--modules", o->modules,
                  "Blocks to carry: maly,store,dara,naghd,trado,sazmandehi")
      ->delimiter(',');
  cmd->add_option("--options", o->options,
                  "Options columns of the organizing block: Saham,Tolid,Hazeneh,Karkerd,hub,"
                  "Kelvaro,Naghd,Forosh,Sefaresh,Anbar,Dara,Company_StartDate")
      ->delimiter(',');
  cmd->add_flag("--json", o->json, "Print the run report as JSON instead of a table");
  cmd->callback([o] { SetExitCode(RunKol(*o)); });
}

}  // namespace xfer::cli
