// `xfer kol`: the base-information transfer without the form. The same core routine as the
// form runs, with console messages, a progress bar on a terminal and a summary per table;
// the exit status is 1 when a check stopped the run.
#include <unistd.h>
#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "commands.h"
#include "console_dialogs.h"
#include "db/odbc_backend.h"
#include "db/registry.h"
#include "db/session.h"
#include "db/text_util.h"
#include "engine/error.h"
#include "transfer/base/base_transfer.h"

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
};

std::string HostName() {
  char buf[256] = {};
  return ::gethostname(buf, sizeof buf - 1) == 0 ? std::string(buf) : "XFER";
}

void PrintSummary(const std::vector<transfer::TableStats>& stats) {
  std::printf("%-22s %10s %10s %10s %8s\n", "table", "source", "inserted", "clashing", "seconds");
  long long totalIn = 0;
  double totalSeconds = 0;
  for (const auto& s : stats) {
    std::string source = s.sourceRows < 0 ? "-" : std::to_string(s.sourceRows);
    std::printf("%-22s %10s %10lld %10lld %8.3f\n", s.table.c_str(), source.c_str(), s.inserted,
                s.clashing, s.seconds);
    totalIn += s.inserted;
    totalSeconds += s.seconds;
  }
  std::printf("%zu tables, %lld rows inserted, %.3f s\n", stats.size(), totalIn, totalSeconds);
}

int RunKol(const KolOptions& o) {
  static const std::pair<const char*, Module> kModules[] = {
      {"maly", Module::kMaly},   {"store", Module::kStore}, {"dara", Module::kDara},
      {"naghd", Module::kNaghd}, {"trado", Module::kTrado}, {"sazmandehi", Module::kSazmandehi}};
  std::set<Module> ticked;
  for (const auto& m : o.modules) {
    bool known = false;
    for (const auto& [name, module] : kModules)
      if (db::LowerAscii(m) == name) {
        ticked.insert(module);
        known = true;
      }
    if (!known) {
      std::cerr << "unknown module '" << m << "'\n";
      return 2;
    }
  }
  std::set<std::string> options(o.options.begin(), o.options.end());
  if (!options.empty()) ticked.insert(Module::kSazmandehi);

  ConsoleDialogs dialogs;
  try {
    db::HostGlobal g;
    g.serverName =
        db::IsNetworkServer(o.server) ? o.server : std::filesystem::absolute(o.server).string();
    g.workstation = HostName();
    g.appTitle = "Xfer";
    g.appFolder =
        (std::filesystem::temp_directory_path() / ("xfer-work-" + std::to_string(::getuid())))
            .string();
    std::filesystem::create_directories(g.appFolder);
    // KELVARO_<code>_<year>: the company and year the options rows are keyed by.
    std::string db = o.database;
    size_t a = db.find('_'), b = db.rfind('_');
    if (a != std::string::npos && b > a) {
      g.companyCode = db.substr(a + 1, b - a - 1);
      g.fiscalYear = db.substr(b + 1);
    }
    db::HostDate date;
    db::HostDatabase link;
    link.ConnectDatabase(g, g.serverName, o.database, g.authKind, g.sqlUser, g.sqlPassword);

    transfer::BaseTransfer t(g, date, link, dialogs);
    t.Prepare();
    if (!o.sourceServer.empty()) {
      transfer::SourceServer s;
      s.name = db::IsNetworkServer(o.sourceServer)
                   ? o.sourceServer
                   : std::filesystem::absolute(o.sourceServer).string();
      s.authKind = "SQL";
      s.connection = db::OpenBackend(db::ConnectionString(g, s.name, "master", "SQL", "", ""));
      t.UseSourceServer(std::move(s));
    }
    std::string entry;
    for (const auto& e : t.Periods())
      if (db::SourceDatabaseOf(e) == db::UpperAscii(o.source)) entry = e;
    if (entry.empty()) {
      dialogs.ShowDlgMsg(transfer::text::kChooseCompany, "", "1ER");
      std::cerr << "(no period '" << o.source << "' in the registry of the source server)\n";
      return 1;
    }
    t.ChoosePeriod(entry);
    bool ok = t.Run(ticked, options);
    PrintSummary(t.stats());
    return ok ? 0 : 1;
  } catch (const engine::SqlError& e) {
    std::cerr << "Msg " << e.number() << ", Level " << e.severity() << ": " << e.message() << "\n";
    return 1;
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
  cmd->add_option("--modules", o->modules, "maly,store,dara,naghd,trado,sazmandehi")
      ->delimiter(',');
  cmd->add_option("--options", o->options, "Options columns of the organizing block")
      ->delimiter(',');
  cmd->callback([o] { SetExitCode(RunKol(*o)); });
}

}  // namespace xfer::cli
