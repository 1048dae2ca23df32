// The conflict window over 100,000 clashing rows of the detail accounts: opening it, inverting
// every mark and replacing the marked rows, each step timed against the same step written by
// hand on SQLite (read the rows, one update, delete and insert). Prints times and ratios.
#include <sqlite3.h>

#include <QApplication>
#include <QPushButton>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_util.h"
#include "db/dialogs.h"
#include "db/session.h"
#include "engine/engine.h"
#include "suite/engine_runner.h"
#include "suite/suite.h"
#include "transfer/modules/forms/conflict_form.h"
#include "transfer/modules/module_transfer.h"

namespace fs = std::filesystem;
using xfer::bench::Clock;
using namespace xfer;

namespace {

using xfer::bench::Raw;
using xfer::bench::Since;

std::vector<std::vector<engine::Value>> Accounts(int rows, const char* name) {
  std::vector<std::vector<engine::Value>> out;
  for (int i = 0; i < rows; ++i) {
    char code[16];
    std::snprintf(code, sizeof code, "%08d", i + 1);
    out.push_back(
        {std::string(code), std::string(name) + " " + std::to_string(i), "D", "T", "T", "", "A"});
  }
  return out;
}

const std::vector<std::string> kColumns = {"Tafsily",    "NamHesab",   "RecogName", "IsActive",
                                           "IsPosHesab", "DesTafsily", "DesChar"};

void Line(const char* step, double hand, double window) {
  std::printf("%-38s sqlite=%.3fs window=%.3fs ratio=%.2fx (target window <= 0.500s)\n", step, hand,
              window, window / hand);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
  fs::path base = fs::temp_directory_path() / "xfer_bench_conflict";
  fs::remove_all(base);
  {
    auto server = engine::Server::Open((base / "server").string(), true);
    engine::Connection conn(server);
    suite::InstallRegistry(suite::EngineRunner(conn));
    for (const char* year : {"1402", "1403"})
      suite::CreatePeriod(suite::EngineRunner(conn), {"9", year, "شرکت", "", "", "3.2.1", {}});
    conn.BulkInsert("KELVARO_9_1402..Tafsily", kColumns, Accounts(rows, "حساب منبع"));
    conn.BulkInsert("KELVARO_9_1403..Tafsily", kColumns, Accounts(rows, "حساب مقصد"));
  }
  db::HostGlobal g;
  g.workstation = "BENCH";
  g.companyCode = "9";
  g.fiscalYear = "1403";
  g.serverName = (base / "server").string();
  g.appFolder = base.string();
  db::HostDate date;
  db::HostDatabase link;
  link.ConnectDatabase(g, g.serverName, "KELVARO_9_1403", "SQL", "", "");
  db::ScriptedDialogs dialogs;
  transfer::ModuleTransfer t(g, date, link, dialogs, transfer::MalyForm());
  t.Prepare();
  t.FillPeriodList();
  t.ToggleMark("KELVARO_9_1402");
  const transfer::ModuleTable& tafsily =
      *transfer::FindModuleTable(transfer::MalyForm(), "TAFSILY");
  transfer::TableCopy copy = t.CopyFirst(tafsily);
  std::vector<transfer::FrameColumn> columns;
  for (const auto& c : tafsily.shown) columns.push_back({c.field, c.title, 0});

  auto start = Clock::now();
  auto* window = new transfer::THesabNotXferForm(link, dialogs, copy.call, columns);
  window->show();
  QApplication::processEvents();
  const double open = Since(start);
  start = Clock::now();
  window->cmdReservedClick();
  QApplication::processEvents();
  const double invert = Since(start);
  const bool enabled = window->findChild<QPushButton*>("cmdOkCheck")->isEnabled();
  start = Clock::now();
  window->cmdOkCheckClick();
  const double replace = Since(start);
  delete window;
  t.Finish(copy, rows, true);

  // By hand: the same rows and steps on a plain SQLite file.
  sqlite3* db = nullptr;
  sqlite3_open((base / "hand.db").c_str(), &db);
  Raw(db,
      "CREATE TABLE Tafsily (Tafsily varchar(8), NamHesab varchar(100), RecogName varchar(1), "
      "IsActive varchar(1), IsPosHesab varchar(1), DesTafsily varchar(100), DesChar "
      "varchar(1)); CREATE TABLE conflict (bCheck varchar(1), Tafsily varchar(8), NamHesab "
      "varchar(100), RecogName varchar(1), IsActive varchar(1), IsPosHesab varchar(1), "
      "DesTafsily varchar(100), DesChar varchar(1))");
  Raw(db, "BEGIN");
  for (int i = 0; i < rows; ++i) {
    char code[16];
    std::snprintf(code, sizeof code, "%08d", i + 1);
    Raw(db, std::string("INSERT INTO Tafsily VALUES ('") + code + "', 'a " + std::to_string(i) +
                "', 'D', 'T', 'T', '', 'A'); INSERT INTO conflict VALUES (' ', '" + code +
                "', 'b " + std::to_string(i) + "', 'D', 'T', 'T', '', 'A')");
  }
  Raw(db, "COMMIT");
  start = Clock::now();
  std::vector<std::vector<std::string>> held;
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "SELECT * FROM conflict", -1, &st, nullptr);
  while (sqlite3_step(st) == SQLITE_ROW) {
    std::vector<std::string> row;
    for (int c = 0; c < sqlite3_column_count(st); ++c) {
      const unsigned char* v = sqlite3_column_text(st, c);
      row.emplace_back(v ? reinterpret_cast<const char*>(v) : "");
    }
    held.push_back(std::move(row));
  }
  sqlite3_finalize(st);
  const double handOpen = Since(start);
  start = Clock::now();
  Raw(db, "UPDATE conflict SET bCheck = CASE WHEN bCheck = 'ض' THEN '' ELSE 'ض' END");
  const double handInvert = Since(start);
  start = Clock::now();
  Raw(db,
      "BEGIN; DELETE FROM Tafsily WHERE Tafsily IN (SELECT Tafsily FROM conflict WHERE bCheck "
      "= 'ض'); INSERT INTO Tafsily SELECT Tafsily, NamHesab, RecogName, IsActive, IsPosHesab, "
      "DesTafsily, DesChar FROM conflict WHERE bCheck = 'ض'; DROP TABLE conflict; COMMIT");
  const double handReplace = Since(start);
  sqlite3_close(db);

  std::printf("conflict window over %lld clashing rows (held by hand: %zu)\n", copy.conflicts,
              held.size());
  Line("  open", handOpen, open);
  Line("  invert all marks", handInvert, invert);
  Line("  replace marked", handReplace, replace);
  {
    engine::Connection check(engine::Server::Open(g.serverName, false));
    auto sets = check.Execute(
        "SELECT COUNT(*) FROM KELVARO_9_1403..Tafsily WHERE NamHesab LIKE "
        "'حساب منبع%'");
    std::printf("  %s rows replaced, marks %s\n",
                engine::FormatValue(sets.back().rows[0][0]).c_str(),
                enabled ? "enabled the replace button" : "DID NOT ENABLE the replace button");
  }
  fs::remove_all(base);
  return 0;
}
