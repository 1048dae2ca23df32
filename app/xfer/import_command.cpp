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
#include "import_options.h"
#include "plain_errors.h"

namespace xfer::cli {

// `xfer import store` (store_command.cpp).
void RegisterStoreImportCommand(CLI::App& import);

namespace {

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
  PrintUnits(report, 22);
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
  return RunImportCommand(o, [&](CliSession& session, ConsoleDialogs& dialogs) {
    import::MalyImport maly(session.global, session.date, session.link, dialogs);
    maly.Prepare();
    if (!ChooseSource(maly, session, o, dialogs)) return 1;
    SetRanges(maly, o, prior, after);
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
  });
}

}  // namespace

void RegisterImportCommand(CLI::App& app) {
  CLI::App* import = app.add_subcommand("import", "Import documents of another period");
  import->require_subcommand(1);
  auto o = std::make_shared<ImportOptions>();
  CLI::App* cmd = import->add_subcommand(
      "maly", "Import accounting vouchers: load them from a source period, then apply them");
  AddImportOptions(*cmd, *o, "voucher", "NEWID, OLDID, OLDID_NOCHANGE or REPLACE");
  cmd->add_flag("--copy-base", o->copyBase,
                "Copy the accounts the vouchers need from the source when missing here");
  cmd->add_flag("--preview", o->preview, "Load and print the candidate lines; write nothing");
  cmd->callback([o] { SetExitCode(RunImport(*o)); });
  RegisterStoreImportCommand(*import);
  RegisterTradoImport(*import);
}

}  // namespace xfer::cli
