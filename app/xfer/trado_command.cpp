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
#include "import_options.h"

namespace xfer::cli {
namespace {

struct TradoOptions : ImportOptions {
  std::string type = "FACTOR";
  bool skipConverted = false;
};

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
  PrintUnits(report, 28);
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
    return 1;
  }
  return RunImportCommand(o, [&](CliSession& session, ConsoleDialogs& dialogs) {
    import::TradoImport trado(session.global, session.date, session.link, dialogs);
    trado.Prepare();
    if (!ChooseSource(trado, session, o, dialogs)) return 1;
    trado.ChooseType(type);
    trado.skipConverted = o.skipConverted && type == 0;
    SetRanges(trado, o, prior, after);
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
  });
}

}  // namespace

void RegisterTradoImport(CLI::App& import) {
  auto o = std::make_shared<TradoOptions>();
  CLI::App* cmd = import.add_subcommand(
      "trado", "Import sales pre-invoices or invoices: load them from a source period, then apply");
  AddImportOptions(*cmd, *o, "document", "NEWID, OLDID_NEW or OLDID_REPLACE");
  cmd->add_option("--type", o->type,
                  "Document type: PREFACTOR, PREFACTOR_RETURN, FACTOR or FACTOR_RETURN")
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
