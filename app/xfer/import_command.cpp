// `xfer import maly`: the accounting voucher import without the form. The same core as the form
// loads the vouchers of a source period (by number and date range, summarised or not), prints
// them or their count, and applies them under the chosen numbering in one transaction. Exit
// status 1 when a check stops the load or the apply.
#include <unistd.h>
#include <CLI/CLI.hpp>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "cli_session.h"
#include "commands.h"
#include "console_dialogs.h"
#include "db/session.h"
#include "db/text_util.h"
#include "engine/engine.h"
#include "engine/error.h"
#include "import/import_text.h"
#include "import/maly_import.h"
#include "plain_errors.h"

namespace xfer::cli {

// `xfer import store` (store_command.cpp).
void RegisterStoreImportCommand(CLI::App& import);

namespace {

struct ImportOptions {
  std::string server;
  std::string database;
  std::string source;
  std::string sourceServer;
  std::string fromNo, toNo;
  std::string fromDate, toDate;
  std::string mode = "NEWID";
  std::string prior = "NOCHANGE";
  bool copyBase = false;
  bool preview = false;
};

std::string Cell(const db::ResultSet& rs, size_t row, const char* name) {
  for (size_t i = 0; i < rs.fields.size(); ++i)
    if (db::UpperAscii(rs.fields[i].name) == db::UpperAscii(name)) {
      const db::Value& v = rs.rows[row][i];
      return engine::IsNull(v) ? std::string() : engine::FormatValue(v);
    }
  return {};
}

void PrintCandidates(const db::ResultSet& rs) {
  std::printf("%-4s %-10s %-10s %-4s %-6s %-6s %-10s %14s %14s  %s\n", "mark", "SanadNo",
              "SanadDate", "Raj", "Koll", "Moein", "Tafsily", "Bed", "Bes", "Des");
  for (size_t r = 0; r < rs.rows.size(); ++r) {
    std::string mark;
    int colour = import::MalyImport::RowColour(Cell(rs, r, "TypeSys"), Cell(rs, r, "sOrder"));
    if (colour == import::kGreen) mark = "A";
    if (colour == import::kFuchsia) mark = "X";
    std::printf("%-4s %-10s %-10s %-4s %-6s %-6s %-10s %14s %14s  %s\n", mark.c_str(),
                std::string(db::Trim(Cell(rs, r, "SanadNo"))).c_str(),
                Cell(rs, r, "SanadDate").c_str(), Cell(rs, r, "Raj").c_str(),
                Cell(rs, r, "Koll").c_str(), Cell(rs, r, "Moein").c_str(),
                Cell(rs, r, "Tafsily").c_str(), Cell(rs, r, "Bed").c_str(),
                Cell(rs, r, "Bes").c_str(), Cell(rs, r, "Des").c_str());
  }
}

void PrintReport(const transfer::RunReport& report, const import::MalyOutcome& o) {
  std::printf("%-22s %10s %10s %10s %8s\n", "table", "source", "inserted", "clashing", "seconds");
  for (const auto& u : report.units) {
    std::string source = u.sourceRows < 0 ? "-" : std::to_string(u.sourceRows);
    std::printf("%-22s %10s %10lld %10lld %8.3f\n", u.table.c_str(), source.c_str(), u.inserted,
                u.clashing, u.seconds);
  }
  std::printf(
      "%lld vouchers written (%lld merged, %lld replaced), %lld kept out, %lld lines, "
      "%lld base records\n",
      o.vouchers, o.merged, o.replaced, o.kept, o.lines, o.baseRows);
}

int RunImport(const ImportOptions& o) {
  int after = import::AfterModeOf(o.mode);
  int prior = import::PriorModeOf(o.prior);
  // Every argument is checked before the first database is opened.
  if (after < 0 || prior < 0) {
    std::string accepted;
    for (int i = 0; i < 4; ++i)
      accepted += std::string(i ? ", " : "") +
                  (after < 0 ? import::AfterModeName(i) : import::PriorModeName(i));
    std::cerr << (after < 0 ? "شماره گذاري ناشناخته '" + o.mode + "'. شماره گذاريهاي پذيرفته: "
                            : "خلاصه سازي ناشناخته '" + o.prior + "'. خلاصه سازيهاي پذيرفته: ")
              << accepted << "\n";
    return 1;
  }
  if (!CheckServerPath(o.server)) return 1;
  if (!o.sourceServer.empty() && !CheckServerPath(o.sourceServer)) return 1;
  ConsoleDialogs dialogs;
  try {
    auto session = OpenCliSession(o.server, o.database);
    db::HostGlobal& g = session->global;
    g.userId = g.workstation;
    import::MalyImport maly(g, session->date, session->link, dialogs);
    maly.Prepare();
    if (!o.sourceServer.empty()) maly.UseSourceServer(CliSourceServer(*session, o.sourceServer));
    if (!maly.ChoosePeriodByDatabase(o.source)) {
      dialogs.ShowDlgMsg(import::text::kNoPeriod, "", "1ER");
      std::cerr << "(no period '" << o.source << "' in the registry of the source server)\n";
      return 1;
    }
    maly.numbers = {!o.fromNo.empty() || !o.toNo.empty(), o.fromNo, o.toNo};
    maly.dates = {!o.fromDate.empty() || !o.toDate.empty(), o.fromDate, o.toDate};
    maly.priorMode = prior;
    maly.afterMode = after;
    maly.copyBase = o.copyBase;
    if (!maly.Load()) return 1;
    std::printf("%lld vouchers, %lld lines loaded from %s\n", maly.candidateVouchers(),
                maly.candidateLines(), maly.SourceDatabase().c_str());
    if (o.preview) {
      PrintCandidates(maly.candidates());
      return 0;
    }
    if (!maly.applyEnabled()) return 0;
    if (!maly.Apply()) return 1;
    PrintReport(maly.lastReport(), maly.outcome());
    return 0;
  } catch (const engine::SqlError& e) {
    return ReportSqlError(e, o.database, dialogs);
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
}

}  // namespace

void RegisterImportCommand(CLI::App& app) {
  CLI::App* import = app.add_subcommand("import", "Import documents of another period");
  import->require_subcommand(1);
  auto o = std::make_shared<ImportOptions>();
  CLI::App* cmd = import->add_subcommand(
      "maly", "Import accounting vouchers: load them from a source period, then apply them");
  cmd->add_option("--server", o->server, "Server directory of the current period")->required();
  cmd->add_option("--database", o->database, "Current (destination) period database")->required();
  cmd->add_option("--source", o->source, "Source period database")->required();
  cmd->add_option("--source-server", o->sourceServer, "Server directory of the source period");
  cmd->add_option("--from-no", o->fromNo, "First voucher number");
  cmd->add_option("--to-no", o->toNo, "Last voucher number");
  cmd->add_option("--from-date", o->fromDate, "First voucher date (YYYY/MM/DD)");
  cmd->add_option("--to-date", o->toDate, "Last voucher date (YYYY/MM/DD)");
  cmd->add_option("--mode", o->mode, "Numbering: NEWID, OLDID, OLDID_NOCHANGE or REPLACE")
      ->capture_default_str();
  cmd->add_option("--summary", o->prior, "Before sending: NOCHANGE, DEAILY, MONTLY or YEARLY")
      ->capture_default_str();
  cmd->add_flag("--copy-base", o->copyBase,
                "Copy the accounts the vouchers need from the source when missing here");
  cmd->add_flag("--preview", o->preview, "Load and print the candidate lines; write nothing");
  cmd->callback([o] { SetExitCode(RunImport(*o)); });
  RegisterStoreImportCommand(*import);
  RegisterTradoImport(*import);
}

}  // namespace xfer::cli
