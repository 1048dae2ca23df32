// `xfer import trado`: the sales document import without the form. The same core as the form
// loads the pre-invoices or invoices (or their returns) of a source period by number and date
// range, prints them or their count, and applies them under the chosen numbering in one
// transaction, with their factors, payments and serial numbers. Exit status 1 when a check stops
// the load or the apply.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>

#include "cli_session.h"
#include "commands.h"
#include "console_dialogs.h"
#include "db/text_util.h"
#include "engine/engine.h"
#include "engine/error.h"
#include "import/import_text.h"
#include "import/maly_import.h"
#include "import/trado_import.h"

namespace xfer::cli {
namespace {

struct TradoOptions {
  std::string server;
  std::string database;
  std::string source;
  std::string sourceServer;
  std::string type = "FACTOR";
  std::string fromNo, toNo;
  std::string fromDate, toDate;
  std::string mode = "NEWID";
  std::string prior = "NOCHANGE";
  bool skipConverted = false;
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

void PrintCandidates(const db::ResultSet& rs, bool newNumbers) {
  std::printf("%-4s %-10s %-10s %-10s %-4s %-10s %-10s %-15s %10s %14s  %s\n", "mark", "number",
              newNumbers ? "new" : "", "date", "Raj", "customer", "warehouse", "item", "qty",
              "value", "item name");
  for (size_t r = 0; r < rs.rows.size(); ++r) {
    int colour = import::TradoImport::RowColour(Cell(rs, r, "sOrder"));
    std::string mark = colour == import::kGreen ? "1D" : colour == import::kRed ? "A" : "";
    std::printf("%-4s %-10s %-10s %-10s %-4s %-10s %-10s %-15s %10s %14s  %s\n", mark.c_str(),
                std::string(db::Trim(Cell(rs, r, "OldSanadNoForosh"))).c_str(),
                newNumbers ? Cell(rs, r, "SanadNoForosh").c_str() : "",
                Cell(rs, r, "SanadDate").c_str(), Cell(rs, r, "Raj").c_str(),
                Cell(rs, r, "CustomerCod").c_str(), Cell(rs, r, "AnbarCod").c_str(),
                Cell(rs, r, "KalaCod").c_str(), Cell(rs, r, "Qty").c_str(),
                Cell(rs, r, "SellValue").c_str(), Cell(rs, r, "KalaNam").c_str());
  }
}

void PrintReport(const transfer::RunReport& report, const import::TradoOutcome& o) {
  std::printf("%-28s %10s %10s %10s %8s\n", "table", "source", "inserted", "clashing", "seconds");
  for (const auto& u : report.units) {
    std::string source = u.sourceRows < 0 ? "-" : std::to_string(u.sourceRows);
    std::printf("%-28s %10s %10lld %10lld %8.3f\n", u.table.c_str(), source.c_str(), u.inserted,
                u.clashing, u.seconds);
  }
  std::printf(
      "%lld documents written (%lld replaced), %lld kept out, %lld lines, %lld factors, "
      "%lld payments, %lld serial numbers, %lld base records\n",
      o.documents, o.replaced, o.kept, o.lines, o.factors, o.payments, o.serials, o.baseRows);
}

int RunTrado(const TradoOptions& o) {
  int type = import::TradoTypeOf(o.type);
  int after = import::TradoAfterModeOf(o.mode);
  int prior = import::PriorModeOf(o.prior);
  if (type < 0 || after < 0 || prior < 0) {
    std::cerr << "unknown "
              << (type < 0    ? "type '" + o.type
                  : after < 0 ? "mode '" + o.mode
                              : "summary '" + o.prior)
              << "'\n";
    return 2;
  }
  ConsoleDialogs dialogs;
  try {
    auto session = OpenCliSession(o.server, o.database);
    db::HostGlobal& g = session->global;
    g.userId = g.workstation;
    import::TradoImport trado(g, session->date, session->link, dialogs);
    trado.Prepare();
    if (!o.sourceServer.empty()) trado.UseSourceServer(CliSourceServer(*session, o.sourceServer));
    if (!trado.ChoosePeriodByDatabase(o.source)) {
      dialogs.ShowDlgMsg(import::text::kNoPeriod, "", "1ER");
      std::cerr << "(no period '" << o.source << "' in the registry of the source server)\n";
      return 1;
    }
    trado.ChooseType(type);
    trado.skipConverted = o.skipConverted && type == 0;
    trado.numbers = {!o.fromNo.empty() || !o.toNo.empty(), o.fromNo, o.toNo};
    trado.dates = {!o.fromDate.empty() || !o.toDate.empty(), o.fromDate, o.toDate};
    trado.priorMode = prior;
    trado.afterMode = after;
    trado.copyBase = o.copyBase;
    if (!trado.Load()) return 1;
    std::printf("%lld documents, %lld lines loaded from %s\n", trado.candidateDocuments(),
                trado.candidateLines(), trado.SourceDatabase().c_str());
    if (o.preview) {
      PrintCandidates(trado.candidates(), after == import::kTradoNewId);
      return 0;
    }
    if (!trado.applyEnabled()) return 0;
    if (!trado.Apply()) return 1;
    PrintReport(trado.lastReport(), trado.outcome());
    return 0;
  } catch (const engine::SqlError& e) {
    std::cerr << "Msg " << e.number() << ", Level " << e.severity() << ": " << e.message() << "\n";
    return 1;
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
}

}  // namespace

void RegisterTradoImport(CLI::App& import) {
  auto o = std::make_shared<TradoOptions>();
  CLI::App* cmd = import.add_subcommand(
      "trado", "Import sales pre-invoices or invoices: load them from a source period, then apply");
  cmd->add_option("--server", o->server, "Server directory of the current period")->required();
  cmd->add_option("--database", o->database, "Current (destination) period database")->required();
  cmd->add_option("--source", o->source, "Source period database")->required();
  cmd->add_option("--source-server", o->sourceServer, "Server directory of the source period");
  cmd->add_option("--type", o->type,
                  "Document type: PREFACTOR, PREFACTOR_RETURN, FACTOR or FACTOR_RETURN")
      ->capture_default_str();
  cmd->add_option("--from-no", o->fromNo, "First document number");
  cmd->add_option("--to-no", o->toNo, "Last document number");
  cmd->add_option("--from-date", o->fromDate, "First document date (YYYY/MM/DD)");
  cmd->add_option("--to-date", o->toDate, "Last document date (YYYY/MM/DD)");
  cmd->add_option("--mode", o->mode, "Numbering: NEWID, OLDID_NEW or OLDID_REPLACE")
      ->capture_default_str();
  cmd->add_option("--summary", o->prior, "Before sending: NOCHANGE, DEAILY, MONTLY or YEARLY")
      ->capture_default_str();
  cmd->add_flag("--skip-converted", o->skipConverted,
                "Leave out pre-invoices already turned into invoices (PREFACTOR only)");
  cmd->add_flag("--copy-base", o->copyBase,
                "Copy the items, warehouses, customers, marketers and units the documents need "
                "from the source when missing here");
  cmd->add_flag("--preview", o->preview, "Load and print the candidate lines; write nothing");
  cmd->callback([o] { SetExitCode(RunTrado(*o)); });
}

}  // namespace xfer::cli
