// The inventory import at volume: 500,000 document lines over 20,000 items and 10 warehouses in
// one period; its stock card (sp_A_Rep_KartMojodi through the engine) against a hand-written
// SQLite query computing the same balances, then the closing stock imported as the next
// period's opening stock (load with the card, new-number preview and totals, backups, apply).
// Prints the times, the ratio card / hand-written and whether the two sets of balances agree.
// Arguments: a line count, and "keep" to leave the servers for inspection.
#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench_util.h"
#include "db/dialogs.h"
#include "db/session.h"
#include "engine/engine.h"
#include "engine/func/functions.h"
#include "import/store_import.h"
#include "suite/engine_runner.h"
#include "suite/suite.h"

namespace fs = std::filesystem;
using xfer::bench::Clock;
using namespace xfer;

namespace {

using xfer::bench::Raw;
using xfer::bench::Since;

constexpr int kItems = 20000;
constexpr int kWarehouses = 10;
constexpr int kLinesPerDocument = 10;

std::string Code(long long n, int width) {
  std::string s = std::to_string(n);
  return s.size() >= static_cast<size_t>(width) ? s : std::string(width - s.size(), '0') + s;
}

// Periods 1402 (the documents) and 1403 (empty inventory) of company 9 with the same warehouses,
// items and units.
void Build(const fs::path& dir, int lines) {
  auto server = engine::Server::Open(dir.string(), true);
  engine::Connection conn(server);
  suite::BatchRunner run = suite::EngineRunner(conn);
  suite::InstallRegistry(run);
  for (const char* year : {"1402", "1403"}) {
    suite::CreatePeriod(run, {"9", year, "شرکت آزمون", "", "", "3.2.1", {}});
    std::string db = std::string("KELVARO_9_") + year;
    std::vector<std::vector<engine::Value>> rows;
    for (int a = 1; a <= kWarehouses; ++a)
      rows.push_back({Code(a, 4), std::string("انبار ") + std::to_string(a)});
    conn.BulkInsert(db + "..Anbar", {"AnbarCod", "AnbarNam"}, rows);
    conn.Execute("INSERT INTO " + db + "..Megyas (MegyasCod, MegyasNam) VALUES ('01', 'عدد')");
    rows.clear();
    for (int k = 1; k <= kItems; ++k)
      rows.push_back({Code(k, 8), "کالا " + std::to_string(k), std::string("01")});
    conn.BulkInsert(db + "..Kala", {"KalaCod", "KalaNam", "MegyasCod1"}, rows);
  }
  const std::string src = "KELVARO_9_1402";
  const char* codes[] = {"30", "30", "30", "30", "50", "50", "50", "85", "35", "55"};
  int documents = lines / kLinesPerDocument;
  std::vector<std::vector<engine::Value>> heads, items;
  for (int d = 0; d < documents; ++d) {
    std::string what = codes[d % 10];
    int month = 1 + d * 12 / documents;
    heads.push_back({what, Code(d % kWarehouses + 1, 4), std::to_string(d / kWarehouses + 1),
                     "1402/" + Code(month, 2) + "/" + Code(d % 28 + 1, 2), std::string("مدير"),
                     std::string("S")});
    for (int r = 1; r <= kLinesPerDocument; ++r) {
      // Every item moves in every warehouse: 200,000 pairs at full volume.
      long long item = (static_cast<long long>(d) * 7919 + r * 104729LL) % kItems + 1;
      double qty = 1 + (d + r) % 50;
      double fee = 1000.0 * static_cast<double>(item % 900 + 5);
      items.push_back({static_cast<long long>(d + 1), static_cast<long long>(r), Code(item, 8), qty,
                       qty * 12, qty / 2, fee, qty * fee});
    }
  }
  conn.BulkInsert(src + "..A_TranID",
                  {"WhatDoc", "AnbarCod", "Document", "DocDate", "User_Name", "TypeSys"}, heads);
  conn.BulkInsert(src + "..A_TranSanj",
                  {"TranID", "Raj", "KalaCod", "Qty", "Qty1", "Qty2", "Fee", "Price"}, items);
}

// Balances as "anbar|kala|mand|mand1|mand2|fee|value", rounded (a negative zero as zero), in
// warehouse and item order.
std::vector<std::string> Balances(const std::vector<engine::ResultSet>& sets) {
  std::vector<std::string> out;
  if (sets.empty()) return out;
  for (const auto& row : sets.back().rows) {
    char buf[256];
    auto num = [](const engine::Value& v) {
      if (const auto* d = std::get_if<double>(&v)) return *d;
      if (const auto* i = std::get_if<long long>(&v)) return static_cast<double>(*i);
      return 0.0;
    };
    std::snprintf(buf, sizeof buf, "%s|%s|%.4f|%.4f|%.4f|%.4f|%.2f",
                  engine::FormatValue(row[0]).c_str(), engine::FormatValue(row[1]).c_str(),
                  num(row[2]) + 0.0, num(row[3]) + 0.0, num(row[4]) + 0.0, num(row[5]) + 0.0,
                  num(row[6]) + 0.0);
    out.push_back(buf);
  }
  return out;
}

struct EngineTimes {
  double card = 0, load = 0, apply = 0;
  long long pairs = 0, lines = 0;
  std::vector<std::string> balances;
};

EngineTimes EngineRun(const fs::path& dir) {
  EngineTimes t;
  {
    auto server = engine::Server::Open(dir.string(), false);
    engine::Connection conn(server);
    conn.Execute("USE KELVARO_9_1402");
    auto start = Clock::now();
    conn.Execute(
        "EXEC sp_A_Rep_KartMojodi '##card', '', '', '', '', '1402/01/01', '1402/12/29', "
        "'DocDate', 'ANBAR', 'FULL', 'REFRESH'");
    t.card = Since(start);
    t.balances = Balances(conn.Execute(
        "SELECT AnbarCod, KalaCod, Mand, Mand1, Mand2, FeeMandeh, PriceMandeh FROM ##card "
        "ORDER BY AnbarCod, KalaCod"));
    t.pairs = static_cast<long long>(t.balances.size());
  }
  db::HostGlobal g;
  g.workstation = "BENCH";
  g.companyCode = "9";
  g.fiscalYear = "1403";
  g.userId = "1";
  g.today = "1403/01/05";
  g.serverName = dir.string();
  g.appFolder = dir.string();
  db::HostDate date;
  db::HostDatabase link;
  link.ConnectDatabase(g, g.serverName, "KELVARO_9_1403", "SQL", "", "");
  db::ScriptedDialogs dialogs;
  import::StoreImport s(g, date, link, dialogs);
  s.Prepare();
  s.ChoosePeriodByDatabase("KELVARO_9_1402");
  s.ChooseType(import::StoreTypeOf("100"));
  s.afterMode = import::kStoreOldId;
  auto start = Clock::now();
  if (!s.Load()) std::fprintf(stderr, "the load stopped: %s\n", s.lastStatus().text.c_str());
  t.load = Since(start);
  start = Clock::now();
  if (!s.Apply()) std::fprintf(stderr, "the apply stopped: %s\n", s.lastStatus().text.c_str());
  t.apply = Since(start);
  t.lines = s.outcome().lines;
  return t;
}

// What a person would write against SQLite for the same balances.
double RawRun(const fs::path& dir, std::vector<std::string>& balances) {
  sqlite3* db = nullptr;
  sqlite3_open((dir / "KELVARO_9_1402.db").c_str(), &db);
  engine::RegisterFunctions(db);
  auto start = Clock::now();
  // The same plan as the procedure: each line joined to its code's sign, summed per pair.
  Raw(db,
      "CREATE TEMP TABLE sign (w TEXT PRIMARY KEY, s INTEGER); INSERT INTO sign VALUES ('10', 1), "
      "('12', 1), ('16', 1), ('30', 1), ('31', 1), ('38', 1), ('53', 1), ('55', 1), ('56', 1), "
      "('80', 1), ('14', -1), ('17', -1), ('33', -1), ('35', -1), ('36', -1), ('50', -1), "
      "('51', -1), ('58', -1), ('85', -1)");
  Raw(db,
      "CREATE TEMP TABLE card AS SELECT AnbarCod, KalaCod, qin - qout AS Mand, q1in - q1out AS "
      "Mand1, q2in - q2out AS Mand2, CASE WHEN qin <> 0 THEN pin / qin ELSE 0 END AS Fee, "
      "(qin - qout) * CASE WHEN qin <> 0 THEN pin / qin ELSE 0 END AS Value FROM (SELECT "
      "h.AnbarCod, l.KalaCod, total(CASE WHEN g.s > 0 THEN l.Qty END) AS qin, "
      "total(CASE WHEN g.s > 0 THEN l.Qty1 END) AS q1in, total(CASE WHEN g.s > 0 THEN l.Qty2 END) "
      "AS q2in, total(CASE WHEN g.s > 0 THEN l.Price END) AS pin, total(CASE WHEN g.s < 0 THEN "
      "l.Qty END) AS qout, total(CASE WHEN g.s < 0 THEN l.Qty1 END) AS q1out, total(CASE WHEN "
      "g.s < 0 THEN l.Qty2 END) AS q2out FROM A_TranID h JOIN sign g ON g.w = h.WhatDoc JOIN "
      "A_TranSanj l ON l.TranID = h.TranID WHERE h.DocDate BETWEEN '1402/01/01' AND "
      "'1402/12/29' GROUP BY h.AnbarCod, l.KalaCod)");
  double s = Since(start);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "SELECT * FROM card ORDER BY AnbarCod, KalaCod", -1, &st, nullptr);
  while (sqlite3_step(st) == SQLITE_ROW) {
    char buf[256];
    std::snprintf(buf, sizeof buf, "%s|%s|%.4f|%.4f|%.4f|%.4f|%.2f",
                  reinterpret_cast<const char*>(sqlite3_column_text(st, 0)),
                  reinterpret_cast<const char*>(sqlite3_column_text(st, 1)),
                  sqlite3_column_double(st, 2) + 0.0, sqlite3_column_double(st, 3) + 0.0,
                  sqlite3_column_double(st, 4) + 0.0, sqlite3_column_double(st, 5) + 0.0,
                  sqlite3_column_double(st, 6) + 0.0);
    balances.push_back(buf);
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  int lines = argc > 1 ? std::atoi(argv[1]) : 500000;
  fs::path base = fs::temp_directory_path() / "xfer_bench_store";
  fs::remove_all(base);
  fs::path eng = base / "engine", raw = base / "raw";
  auto built = Clock::now();
  Build(eng, lines);
  double build = Since(built);
  fs::copy(eng, raw, fs::copy_options::recursive);

  EngineTimes e = EngineRun(eng);
  std::vector<std::string> rawBalances;
  double r = RawRun(raw, rawBalances);
  bool same = e.balances == rawBalances;
  for (size_t i = 0; !same && i < std::min(e.balances.size(), rawBalances.size()); ++i)
    if (e.balances[i] != rawBalances[i]) {
      std::fprintf(stderr, "first difference:\n  engine %s\n  sqlite %s\n", e.balances[i].c_str(),
                   rawBalances[i].c_str());
      break;
    }
  std::printf("%-40s lines=%d items=%d warehouses=%d pairs=%lld (built in %.1fs)\n",
              "inventory stock card and opening stock", lines, kItems, kWarehouses, e.pairs, build);
  std::printf("%-40s %.3fs, %.0f lines/s\n", "stock card (engine, sp_A_Rep_KartMojodi)", e.card,
              lines / e.card);
  std::printf("%-40s %.3fs, %.0f lines/s\n", "hand-written SQLite query", r, lines / r);
  std::printf("%-40s %.2fx (target <= 2x); balances %s\n", "ratio stock card / hand-written",
              e.card / r, same ? "equal" : "DIFFER");
  std::printf("%-40s load %.3fs + apply %.3fs = %.3fs, %lld opening lines\n",
              "import of closing stock as opening", e.load, e.apply, e.load + e.apply, e.lines);
  std::printf("%-40s %.2fx\n", "ratio import / hand-written balances", (e.load + e.apply) / r);
  if (argc <= 2 || std::string(argv[2]) != "keep") fs::remove_all(base);
  return same && e.lines == e.pairs ? 0 : 1;
}
