// `xfer move`: one table of a module transfer form without the form. The same core as the
// form's confirm button: the source period is marked, the checks run, the first phase carries
// the new rows, and the clashing rows are replaced as --replace says (the rows whose keys are
// listed in --keys, all of them, or none), then the table's follow-up steps run. The users and
// print tabs replace the user tables or copy the print layouts (a layout whose name exists is
// replaced or skipped as --existing-forms says). `--preview` only reports what would happen;
// `--list` prints the tables of a form. The exit status is 1 when a check stops the run.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <fstream>
#include <iostream>

#include "cli_session.h"
#include "commands.h"
#include "console_dialogs.h"
#include "db/text_util.h"
#include "engine/error.h"
#include "plain_errors.h"
#include "transfer/modules/conflict_review.h"
#include "transfer/modules/module_transfer.h"
#include "transfer/modules/preview.h"

namespace xfer::cli {
namespace {

struct MoveOptions {
  std::string server;
  std::string database;
  std::string source;
  std::string sourceServer;
  std::string form;
  std::string table;
  bool preview = false;
  bool list = false;
  std::string replace;
  std::string keys;
  std::string existingForms = "skip";
  int rows = 50;
};

void PrintList(const transfer::ModuleForm& form, const transfer::ModuleTransfer* t) {
  for (const transfer::ModuleTable& table : form.tables) {
    std::string caption = t ? t->Expand(table.caption) : table.caption;
    std::string tab = table.tab;
    if (table.comboIndex >= 0) tab += "/" + std::to_string(table.comboIndex);
    std::printf("%-16s %-22s %s\n", table.table, tab.c_str(), caption.c_str());
  }
  for (const transfer::CopyTab& c : form.copies)
    std::printf("%-16s %-22s %s\n", c.kind == transfer::CopyKind::kUsers ? "UserHub" : "Prn_Form_T",
                c.tab, std::string(db::Trim(c.caption)).c_str());
}

void PrintUnits(const transfer::RunReport& r) {
  std::printf("%-16s %10s %10s %10s %10s %8s\n", "table", "source", "inserted", "clashing",
              "replaced", "seconds");
  for (const transfer::UnitResult& u : r.units)
    std::printf("%-16s %10lld %10lld %10lld %10lld %8.3f\n", u.table.c_str(), u.sourceRows,
                u.inserted, u.clashing, u.replaced, u.seconds);
}

void PrintPreview(const transfer::TablePreview& p, int rows) {
  std::printf("%-16s %10lld %10lld %10lld %10lld  %s\n", p.table.c_str(), p.sourceRows, p.inserted,
              p.clashing, p.identical, p.caption.c_str());
  int shown = 0;
  for (const auto& c : p.clashes) {
    if (shown++ == rows) {
      std::printf("  ... %zu more clashing rows\n", p.clashes.size() - static_cast<size_t>(rows));
      break;
    }
    std::string columns;
    for (const auto& d : c.differing) columns += (columns.empty() ? "" : ", ") + d;
    std::printf("  %s: %s\n", c.key.c_str(), columns.c_str());
  }
}

bool ReadKeys(const std::string& file, std::vector<std::string>& keys) {
  std::ifstream in(file);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    std::string key(db::Trim(line));
    if (!key.empty()) keys.push_back(key);
  }
  return true;
}

int Fail(const std::string& why) {
  std::cerr << "xfer move: " << why << "\n";
  return 1;
}

int RunMove(const MoveOptions& o) {
  const transfer::ModuleForm* form = transfer::FindModuleForm(o.form);
  if (!form) {
    std::string known;
    for (const auto* f : transfer::ModuleForms()) known += std::string(" ") + f->name;
    std::cerr << "xfer move: unknown form '" << o.form << "' (forms:" << known << ")\n";
    return 2;
  }
  if (o.list && o.server.empty()) {
    PrintList(*form, nullptr);
    return 0;
  }
  if (o.server.empty() || o.database.empty() || (!o.list && o.source.empty())) {
    std::cerr << "xfer move: --server, --database and --source are required\n";
    return 2;
  }
  const transfer::ModuleTable* table = nullptr;
  const transfer::CopyTab* copyTab = nullptr;
  if (!o.table.empty()) {
    table = transfer::FindModuleTable(*form, o.table);
    if (!table) copyTab = transfer::FindCopyTab(*form, o.table);
    if (!table && !copyTab)
      return Fail("form " + std::string(form->name) + " has no table '" + o.table + "'");
  } else if (!o.list && !o.preview) {
    return Fail("choose the table with --table (xfer move --list --form " +
                std::string(form->name) + ")");
  }
  transfer::ReplaceMode mode =
      o.keys.empty() ? transfer::ReplaceMode::kNone : transfer::ReplaceMode::kMarked;
  if (!o.replace.empty() && !transfer::ParseReplaceMode(o.replace, mode))
    return Fail("--replace takes none, all or marked");
  std::vector<std::string> keys;
  if (!o.keys.empty() && !ReadKeys(o.keys, keys)) return Fail("cannot read " + o.keys);
  if (!o.sourceServer.empty() && !form->serverChoice)
    return Fail("form " + std::string(form->name) +
                " takes its source from the current server only; drop --source-server");
  if (copyTab && o.preview) return Fail("--preview covers the tables of a form, not " + o.table);

  if (!CheckServerPaths(o.server, o.sourceServer)) return 1;

  ConsoleDialogs dialogs;
  try {
    auto session = OpenCliSession(o.server, o.database);
    transfer::ModuleTransfer t(session->global, session->date, session->link, dialogs, *form);
    t.Prepare();
    if (o.list) {
      PrintList(*form, &t);
      return 0;
    }
    if (!o.sourceServer.empty()) t.UseSourceServer(CliSourceServer(*session, o.sourceServer));
    t.FillPeriodList();
    t.ToggleMark(o.source);

    if (o.preview) {
      std::string sourceDb;
      if (!t.CheckSource(sourceDb)) return 1;
      std::vector<const transfer::ModuleTable*> tables;
      if (table)
        tables.push_back(table);
      else
        for (const auto& each : form->tables) tables.push_back(&each);
      std::printf("%-16s %10s %10s %10s %10s\n", "table", "source", "new", "clashing", "identical");
      long long done = 0;
      for (const transfer::ModuleTable* each : tables) {
        dialogs.Progress(done++, static_cast<long long>(tables.size()));
        if (!t.CheckWidths(*each)) return 1;
        transfer::TablePreview p = transfer::PreviewTable(
            t.RemoteQuery(), sourceDb + ".." + each->table, *session->link.connection(), *each);
        p.caption = t.Expand(each->caption);
        PrintPreview(p, o.rows);
      }
      dialogs.HideState();
      return 0;
    }

    if (copyTab) {
      dialogs.Progress(0, 1);
      bool done = false;
      if (copyTab->kind == transfer::CopyKind::kUsers) {
        done = t.CopyUsers();
      } else {
        const int answer = db::UpperAscii(o.existingForms) == "REPLACE" ? 100 : 2;
        done = t.CopyPrintForms(*copyTab, [&](const std::string& name) {
          std::printf("%s: %s\n", answer == 100 ? "replaced" : "kept", name.c_str());
          return transfer::ExistingFormAnswer{answer, ""};
        });
      }
      dialogs.HideState();
      if (!done) return 1;
      PrintUnits(t.lastReport());
      return 0;
    }
    if (t.Gated()) {
      dialogs.ShowDlgMsg(transfer::ModuleTransfer::kGatedRefusal, "", "1ER");
      return 1;
    }
    // Two steps on the bar: the first phase, then the decision on the clashing rows.
    dialogs.Progress(0, 2);
    transfer::TableCopy copy = t.CopyFirst(*table);
    if (!copy.carried) return 1;
    dialogs.Progress(1, 2);
    long long replaced = 0;
    if (!copy.emptySource) {
      if (copy.conflicts > 0) {
        transfer::ConflictReview review(session->link, dialogs, copy.call);
        if (mode == transfer::ReplaceMode::kMarked) review.MarkKeys(keys);
        try {
          replaced = review.Decide(mode);
        } catch (const std::exception& e) {
          t.FinishFailed(copy, e.what());
          throw;
        }
      }
      dialogs.Progress(2, 2);
      t.Finish(copy, replaced, copy.conflicts > 0);
    }
    PrintUnits(t.lastReport());
    return 0;
  } catch (const engine::SqlError& e) {
    return ReportSqlError(e, o.database, dialogs);
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
}

}  // namespace

void RegisterMoveCommand(CLI::App& app) {
  auto o = std::make_shared<MoveOptions>();
  CLI::App* cmd = app.add_subcommand(
      "move", "Carry one table of a module transfer form from a source period into a period");
  cmd->add_option("--server", o->server, "Server directory of the current period");
  cmd->add_option("--database", o->database, "Current (destination) period database");
  cmd->add_option("--source", o->source, "Source period database");
  cmd->add_option("--source-server", o->sourceServer, "Server directory of the source period");
  cmd->add_option("--form", o->form, "Module transfer form: maly, sell, dara or anbar")->required();
  cmd->add_option("--table", o->table,
                  "Table of the form, or UserHub / Prn_Form_T for its users and print tabs "
                  "(see --list)");
  cmd->add_flag("--preview", o->preview,
                "Only report the rows that would be new, clash or be identical; write nothing");
  cmd->add_flag("--list", o->list, "Print the tables of the form with their captions");
  cmd->add_option("--replace", o->replace,
                  "Clashing rows: none (keep the period's), all, or marked (the keys of --keys)")
      ->check(CLI::IsMember({"none", "all", "marked"}, CLI::ignore_case));
  cmd->add_option("--keys", o->keys, "File of keys to replace, one key expression value a line");
  cmd->add_option("--existing-forms", o->existingForms,
                  "Print tab: a layout whose name exists here is replaced or skipped")
      ->check(CLI::IsMember({"replace", "skip"}, CLI::ignore_case))
      ->capture_default_str();
  cmd->add_option("--rows", o->rows, "Clashing rows printed per table by --preview")
      ->capture_default_str();
  cmd->callback([o] { SetExitCode(RunMove(*o)); });
}

}  // namespace xfer::cli
