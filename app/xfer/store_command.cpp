// `xfer import store`: the inventory document import without the form. The same core as the
// form loads the documents of one type from a source period (by warehouse, number and date
// range, summarised or not; period-end stock as opening stock), prints them with their new
// numbers or their count, backs the inventory tables up and applies them under the chosen
// numbering in one transaction. `--list-backups` and `--restore STAMP` list the backups and put
// one set back. Exit status 1 when a check stops the load or the apply.
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
#include "import/store_backup.h"
#include "import/store_import.h"
#include "import/store_text.h"
#include "import_options.h"

namespace xfer::cli {
namespace {

struct StoreOptions : ImportOptions {
  std::string type;
  std::string fromAnbar, toAnbar;
  std::string restore;
  bool listBackups = false;
  bool havaleh = false;
};

void PrintCandidates(const db::ResultSet& rs, bool closingStock) {
  std::printf("%-4s %-5s %-6s %-10s %-10s %-10s %-4s %-15s %10s %10s %10s %14s %16s  %s\n", "mark",
              "code", "anbar", "number", "new", "date", "raj", "kala", "qty", "qty1", "qty2", "fee",
              "price", "name");
  for (size_t r = 0; r < rs.rows.size(); ++r) {
    int colour = import::StoreImport::RowColour(Cell(rs, r, "sOrder"), closingStock);
    const char* mark = colour == import::kGreen ? "D" : colour == import::kRed ? "!" : "";
    std::printf("%-4s %-5s %-6s %-10s %-10s %-10s %-4s %-15s %10s %10s %10s %14s %16s  %s\n", mark,
                Cell(rs, r, "WhatDoc").c_str(), Cell(rs, r, "AnbarCod").c_str(),
                std::string(db::Trim(Cell(rs, r, "OldDocument"))).c_str(),
                std::string(db::Trim(Cell(rs, r, "Document2"))).c_str(),
                Cell(rs, r, "DocDate").c_str(), Cell(rs, r, "Raj").c_str(),
                Cell(rs, r, "KalaCod").c_str(), Cell(rs, r, "Qty").c_str(),
                Cell(rs, r, "Qty1").c_str(), Cell(rs, r, "Qty2").c_str(),
                Cell(rs, r, "Fee").c_str(), Cell(rs, r, "Price").c_str(),
                (Cell(rs, r, "KalaCod").empty() ? Cell(rs, r, "AnbarNam") : Cell(rs, r, "KalaNam"))
                    .c_str());
  }
}

int ListOrRestore(const StoreOptions& o, CliSession& session) {
  if (o.listBackups) {
    auto sets = import::ListStoreBackups(*session.link.connection());
    if (sets.empty()) std::printf("no backups in %s\n", o.database.c_str());
    for (const auto& s : sets)
      std::printf("%s  %zu tables%s\n", s.stamp.c_str(), s.tables.size(),
                  s.complete ? "" : "  (incomplete)");
    return 0;
  }
  if (!import::RestoreStoreBackup(session.link, o.restore)) {
    std::cerr << "no complete backup '" << o.restore << "' in " << o.database << "\n";
    return 1;
  }
  std::printf("inventory tables of %s restored from the backup %s\n", o.database.c_str(),
              o.restore.c_str());
  return 0;
}

int RunStore(const StoreOptions& o) {
  if (o.listBackups || !o.restore.empty())
    return RunImportCommand(
        o, [&](CliSession& session, ConsoleDialogs&) { return ListOrRestore(o, session); });
  int type = import::StoreTypeOf(o.type);
  int after = import::StoreAfterOf(o.mode);
  int prior = import::PriorModeOf(o.prior);
  if (o.source.empty() || type < 0 || after < 0 || prior < 0) {
    std::cerr << (o.source.empty() ? "--source is required"
                  : type < 0       ? "unknown type '" + o.type + "'"
                  : after < 0      ? "unknown mode '" + o.mode + "'"
                                   : "unknown summary '" + o.prior + "'")
              << "\n";
    return 1;
  }
  return RunImportCommand(o, [&](CliSession& session, ConsoleDialogs& dialogs) {
    import::StoreImport store(session.global, session.date, session.link, dialogs);
    store.Prepare();
    if (!ChooseSource(store, session, o, dialogs)) return 1;
    store.ChooseType(type);
    SetRanges(store, o, prior, after);
    store.anbars = {!o.fromAnbar.empty() || !o.toAnbar.empty(), o.fromAnbar, o.toAnbar};
    store.havalehDest = o.havaleh;
    if (!store.Load()) return 1;
    std::printf("%lld documents, %lld lines loaded from %s\n", store.candidateDocuments(),
                store.candidateLines(), store.SourceDatabase().c_str());
    if (o.preview) {
      PrintCandidates(store.candidates(), store.TypeCode() == "100");
      return 0;
    }
    if (!store.applyEnabled()) return 0;
    if (!store.Apply()) return 1;
    const import::StoreOutcome& r = store.outcome();
    std::printf(
        "%lld documents written (%lld merged, %lld replaced), %lld kept out, %lld held back, "
        "%lld lines, %lld serial numbers, %lld base records\nbackup %s\n",
        r.documents, r.merged, r.replaced, r.kept, r.notMoved, r.lines, r.serials, r.baseRows,
        store.backupStamp().c_str());
    return 0;
  });
}

}  // namespace

void RegisterStoreImportCommand(CLI::App& import) {
  auto o = std::make_shared<StoreOptions>();
  CLI::App* cmd = import.add_subcommand(
      "store", "Import inventory documents: load them from a source period, then apply them");
  AddImportOptions(*cmd, *o, "document", "REPLACE, NEWID, OLDID or OLDID_NOCHANGE", false);
  cmd->add_option("--type", o->type,
                  "Document type: its code (10, 30, 50, 85, ..., 100 period-end stock as opening "
                  "stock, 300/500 drafts, 400, 600, 1000 every document) or its Persian name")
      ->capture_default_str();
  cmd->add_option("--from-anbar", o->fromAnbar, "First warehouse code");
  cmd->add_option("--to-anbar", o->toAnbar, "Last warehouse code");
  cmd->add_flag("--havaleh", o->havaleh, "Issues take their purchase numbers from this period");
  cmd->add_flag("--copy-base", o->copyBase,
                "Copy sellers, purposes and deliverers the documents need from the source");
  cmd->add_flag("--preview", o->preview,
                "Load and print the documents with their new numbers; write nothing");
  cmd->add_flag("--list-backups", o->listBackups, "List the backups of the inventory tables");
  cmd->add_option("--restore", o->restore,
                  "Put the inventory tables back as the backup STAMP holds them");
  cmd->callback([o] { SetExitCode(RunStore(*o)); });
}

}  // namespace xfer::cli
