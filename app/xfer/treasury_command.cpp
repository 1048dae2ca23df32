// `xfer treasury`: the open cheques and promissory notes of a source period carried into the
// current one without the treasury form. Per page (received or paid cheques, received or paid
// notes) the same core as the form lists what is still open at the source period's end with its
// settlement state and, unless --preview, registers the settled items as opening items. An item
// whose document does not say which counterparty it belongs to is reported, never guessed: the
// user settles it in the form. The exit status is 1 when a check stops the run.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>

#include "cli_session.h"
#include "commands.h"
#include "console_dialogs.h"
#include "engine/error.h"
#include "transfer/modules/treasury_items.h"

namespace xfer::cli {
namespace {

struct TreasuryOptions {
  std::string server;
  std::string database;
  std::string source;
  std::string sourceServer;
  std::string cheques;
  std::string notes;
  bool preview = false;
};

struct Page {
  bool cheques;
  transfer::ItemKind kind;
  const char* name;
};

// An amount as the accountant wrote it: whole rials without a point, fractions (currency
// counts, a cheque split in parts) to four places at most, never rounded away.
std::string Amount(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%.4f", v);
  std::string s = text;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s == "-0" ? "0" : s;
}

void PrintCheques(const std::vector<transfer::ChequeRow>& rows) {
  for (const auto& c : rows) {
    std::string arz = c.arzCount ? Amount(*c.arzCount) + " " + c.arzName : "";
    std::printf("  %s %-10s %-6s %18s %-10s %-10s %s %s %s\n", c.mojaz.c_str(), c.chqNo.c_str(),
                c.joz.c_str(), Amount(c.value).c_str(), c.sanadDate.c_str(), c.sarResidDate.c_str(),
                c.whatDocNam.c_str(), c.taraf.c_str(), arz.c_str());
  }
}

void PrintNotes(const std::vector<transfer::NoteRow>& rows) {
  for (const auto& n : rows)
    std::printf("  %s %-10s %-6s %18s %-10s %-10s %s\n", n.status.c_str(), n.saftehNo.c_str(),
                n.joz.c_str(), Amount(n.value).c_str(), n.sodorDate.c_str(), n.sarResidDate.c_str(),
                n.whatDocNam.c_str());
}

// Rows of a page: all, and those waiting for a counterparty decision.
struct Listed {
  long long all = 0;
  long long waiting = 0;
};

Listed Show(transfer::TreasuryItems& items, const Page& p) {
  Listed l;
  if (p.cheques) {
    auto rows = items.Cheques();
    PrintCheques(rows);
    l.all = static_cast<long long>(rows.size());
    for (const auto& r : rows) l.waiting += r.mojaz == "X";
  } else {
    auto rows = items.Notes(p.kind);
    PrintNotes(rows);
    l.all = static_cast<long long>(rows.size());
    for (const auto& r : rows) l.waiting += r.status == "X";
  }
  return l;
}

int RunTreasury(const TreasuryOptions& o) {
  std::vector<Page> pages;
  auto add = [&](const std::string& choice, bool cheques, const char* get, const char* pay) {
    transfer::ItemKind kind;
    if (choice.empty() || choice == "both") {
      pages.push_back({cheques, transfer::ItemKind::kReceived, get});
      pages.push_back({cheques, transfer::ItemKind::kPaid, pay});
    } else if (transfer::ParseItemKind(choice, kind)) {
      pages.push_back({cheques, kind, kind == transfer::ItemKind::kReceived ? get : pay});
    }
  };
  const bool all = o.cheques.empty() && o.notes.empty();
  if (all || !o.cheques.empty()) add(o.cheques, true, "received cheques", "paid cheques");
  if (all || !o.notes.empty()) add(o.notes, false, "received notes", "paid notes");

  if (!CheckServerPaths(o.server, o.sourceServer)) return 1;
  ConsoleDialogs dialogs;
  try {
    auto session = OpenCliSession(o.server, o.database);
    transfer::ModuleTransfer frame(session->global, session->date, session->link, dialogs,
                                   transfer::NaghdForm());
    frame.Prepare();
    if (!o.sourceServer.empty()) frame.UseSourceServer(CliSourceServer(*session, o.sourceServer));
    frame.FillPeriodList();
    frame.ToggleMark(o.source);
    transfer::TreasuryItems items(frame, session->global, session->link, dialogs);
    items.CreateWorkTables();

    long long done = 0, waitingTotal = 0;
    const long long steps = static_cast<long long>(pages.size());
    for (const Page& p : pages) {
      dialogs.Progress(done++, steps);
      const bool listed = p.cheques ? items.ListCheques(p.kind) : items.ListNotes(p.kind);
      if (!listed) return 1;
      std::printf("%s: %lld open\n", p.name, items.listed());
      Listed before = Show(items, p);
      if (o.preview || before.all == 0) {
        waitingTotal += before.waiting;
        continue;
      }
      if (p.cheques ? !items.RegisterCheques(p.kind) : !items.RegisterNotes(p.kind)) return 1;
      const transfer::UnitResult& u = items.lastReport().units.back();
      std::printf("%s: %lld registered in %.3f s\n", p.name, u.inserted, u.seconds);
      if (items.listed() > 0) {
        std::printf("%s: %lld left for a counterparty decision (settle them in the form):\n",
                    p.name, items.listed());
        Listed after = Show(items, p);
        waitingTotal += after.all;
      }
    }
    dialogs.Progress(steps, steps);
    dialogs.HideState();
    if (waitingTotal > 0)
      std::printf("%lld items need their counterparties settled by hand\n", waitingTotal);
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

void RegisterTreasuryCommand(CLI::App& app) {
  auto o = std::make_shared<TreasuryOptions>();
  CLI::App* cmd = app.add_subcommand(
      "treasury", "Carry the open cheques and promissory notes of a source period into a period");
  cmd->add_option("--server", o->server, "Server directory of the current period")->required();
  cmd->add_option("--database", o->database, "Current (destination) period database")->required();
  cmd->add_option("--source", o->source, "Source period database")->required();
  cmd->add_option("--source-server", o->sourceServer, "Server directory of the source period");
  cmd->add_option("--cheques", o->cheques, "Cheques: get (received), pay (paid) or both")
      ->check(CLI::IsMember({"get", "pay", "both"}, CLI::ignore_case));
  cmd->add_option("--notes", o->notes, "Promissory notes: get (received), pay (paid) or both")
      ->check(CLI::IsMember({"get", "pay", "both"}, CLI::ignore_case));
  cmd->add_flag("--preview", o->preview, "Only list the open items and their state; write nothing");
  cmd->footer(
      "Without --cheques and --notes every page runs. State A: settled, registered; X: its "
      "document does not say which counterparty it belongs to, reported and left for the form.");
  cmd->callback([o] { SetExitCode(RunTreasury(*o)); });
}

}  // namespace xfer::cli
