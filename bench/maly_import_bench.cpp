// The voucher import at volume: 20,000 vouchers of 10 lines (200,000 lines) loaded from one period
// and applied to another under new numbers, through the engine and the suite's procedures, against
// a hand-written SQLite script that leaves the same Asnad rows. Prints the times, lines per second,
// the ratio and whether the two end states are equal. Arguments: a voucher count, and "keep" to
// leave the servers for inspection.
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_util.h"
#include "db/dialogs.h"
#include "db/session.h"
#include "engine/engine.h"
#include "engine/func/functions.h"
#include "import/maly_import.h"
#include "suite/engine_runner.h"
#include "suite/suite.h"

namespace fs = std::filesystem;
using xfer::bench::Clock;
using namespace xfer;

namespace {

using xfer::bench::Raw;
using xfer::bench::Since;

std::string Right(const std::string& s, size_t width) {
  return s.size() >= width ? s : std::string(width - s.size(), ' ') + s;
}

// Periods 1402 (the vouchers) and 1403 (a thousand vouchers of its own) of company 9, with the
// accounts both use.
void Build(const fs::path& dir, int vouchers) {
  auto server = engine::Server::Open(dir.string(), true);
  engine::Connection conn(server);
  suite::BatchRunner run = suite::EngineRunner(conn);
  suite::InstallRegistry(run);
  for (const char* year : {"1402", "1403"}) {
    suite::CreatePeriod(run, {"9", year, "شرکت آزمون", "", "", "3.2.1", {}});
    std::string db = std::string("KELVARO_9_") + year;
    conn.Execute("USE " + db +
                 " INSERT INTO Groh (Groh, NamHesab) VALUES ('1', 'دارايي')"
                 " INSERT INTO Koll (Koll, NamHesab, Groh) VALUES ('1001', 'صندوق', '1'), "
                 "('1002', 'بانک', '1'), ('1003', 'فروش', '1')"
                 " INSERT INTO Moein (Koll, Moein, NamHesab) VALUES ('1001', '0001', 'ريالي'), "
                 "('1002', '0001', 'جاري'), ('1003', '0001', 'نقدي')"
                 " INSERT INTO Tafsily (Tafsily, NamHesab) VALUES ('00000001', 'علي احمدي')");
    int count = std::string(year) == "1402" ? vouchers : 1000;
    std::vector<std::vector<engine::Value>> rows;
    const char* kolls[] = {"1001", "1002", "1003"};
    for (int v = 1; v <= count; ++v) {
      std::string no = Right(std::to_string(v), 10);
      int month = 1 + (v - 1) * 12 / count;
      std::string date = std::string(year) + "/" + (month < 10 ? "0" : "") + std::to_string(month) +
                         "/" + (v % 28 < 9 ? "0" : "") + std::to_string(v % 28 + 1);
      for (int r = 1; r <= 10; ++r) {
        double amount = 1000.0 * (v % 97 + r);
        bool debit = r < 10;
        double total = 0;
        for (int k = 1; k < 10; ++k) total += 1000.0 * (v % 97 + k);
        rows.push_back({std::string(v % 7 == 0 ? "N" : "M"), std::string("1"), std::string(""),
                        std::string(""), no, std::string(""), std::string(""), date,
                        std::string(kolls[(v + r) % 3]), std::string("0001"),
                        std::string(r % 2 ? "00000001" : ""),
                        std::string("سند شماره " + std::to_string(v) + " بابت 'خريد' رديف " +
                                    std::to_string(r)),
                        debit ? amount : 0.0, debit ? 0.0 : total,
                        std::string(v % 7 == 0 && r == 10 ? "123456" : ""), std::string("9"),
                        std::string(year), std::string("مدير"), static_cast<long long>(r)});
      }
    }
    conn.BulkInsert(db + "..Asnad",
                    {"TypeSys", "WhatDoc", "DocToDate", "Document", "SanadNo", "LastNo", "FirstNo",
                     "SanadDate", "Koll", "Moein", "Tafsily", "Des", "Bed", "Bes", "AtfCh",
                     "SherCode", "SalMale", "User_Name", "Raj"},
                    rows);
  }
}

struct EngineTimes {
  double load = 0, apply = 0;
  long long lines = 0;
};

EngineTimes EngineRun(const fs::path& dir) {
  db::HostGlobal g;
  g.workstation = "BENCH";
  g.companyCode = "9";
  g.fiscalYear = "1403";
  g.userId = "1";
  g.serverName = dir.string();
  g.appFolder = dir.string();
  db::HostDate date;
  db::HostDatabase link;
  link.ConnectDatabase(g, g.serverName, "KELVARO_9_1403", "SQL", "", "");
  db::ScriptedDialogs dialogs;
  import::MalyImport m(g, date, link, dialogs);
  m.Prepare();
  m.ChoosePeriodByDatabase("KELVARO_9_1402");
  m.afterMode = import::kNewId;
  EngineTimes t;
  auto start = Clock::now();
  if (!m.Load()) std::fprintf(stderr, "the load stopped on a check\n");
  t.load = Since(start);
  start = Clock::now();
  if (!m.Apply()) std::fprintf(stderr, "the apply stopped: %s\n", m.lastStatus().text.c_str());
  t.apply = Since(start);
  t.lines = m.outcome().lines;
  return t;
}

// What a person would write against SQLite for the same Asnad rows.
double RawRun(const fs::path& dir) {
  sqlite3* db = nullptr;
  sqlite3_open((dir / "KELVARO_9_1403.db").c_str(), &db);
  engine::RegisterFunctions(db);
  Raw(db, "ATTACH '" + (dir / "KELVARO_9_1402.db").string() + "' AS src");
  auto start = Clock::now();
  Raw(db, "BEGIN");
  Raw(db,
      "CREATE TEMP TABLE v AS SELECT trim(SanadNo) AS no, min(SanadDate) AS d FROM src.Asnad "
      "WHERE NOT (TypeSys = 'M' AND WhatDoc IN ('10', '2')) GROUP BY trim(SanadNo) "
      "ORDER BY d, substr('                    ' || trim(SanadNo), -20)");
  Raw(db, "CREATE INDEX temp.v_no ON v (no)");
  Raw(db,
      "INSERT INTO main.Asnad (IDX, TypeSys, WhatDoc, DocToDate, Document, SanadNo, LastNo, "
      "FirstNo, SanadDate, Koll, Moein, Tafsily, Tafsily2, ProjectCod, Des, Bed, Bes, AtfCh, "
      "AtfNum, AtfDate, SherCode, SalMale, User_Name, LClose, NoBat, Raj) "
      "SELECT (SELECT ifnull(max(IDX), 0) FROM main.Asnad) + row_number() OVER (ORDER BY v.rowid, "
      "a.Raj), CASE WHEN a.TypeSys = 'N' AND trim(ifnull(a.AtfCh, '')) <> '' THEN 'N' ELSE 'M' "
      "END, a.WhatDoc, a.DocToDate, a.Document, printf('%10d', (SELECT max(CAST(SanadNo AS "
      "integer)) FROM main.Asnad) + v.rowid), trim(a.SanadNo), CASE WHEN trim(ifnull(a.FirstNo, "
      "'')) = '' THEN trim(a.SanadNo) ELSE trim(a.FirstNo) END, a.SanadDate, a.Koll, a.Moein, "
      "ifnull(a.Tafsily, ''), ifnull(a.Tafsily2, ''), ifnull(a.ProjectCod, ''), a.Des, "
      "ifnull(a.Bed, 0), ifnull(a.Bes, 0), a.AtfCh, a.AtfNum, a.AtfDate, '9', '1403', "
      "a.User_Name, a.LClose, a.NoBat, a.Raj FROM src.Asnad a JOIN v ON v.no = trim(a.SanadNo) "
      "ORDER BY v.rowid, a.Raj");
  Raw(db,
      "UPDATE main.__xfer_identity SET last = (SELECT max(IDX) FROM main.Asnad) "
      "WHERE tbl = 'Asnad'");
  Raw(db, "COMMIT");
  double s = Since(start);
  sqlite3_close(db);
  return s;
}

// The destination's voucher lines in order, as one text.
std::string EndState(const fs::path& dir) {
  sqlite3* db = nullptr;
  sqlite3_open((dir / "KELVARO_9_1403.db").c_str(), &db);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db,
                     "SELECT SanadNo, LastNo, SanadDate, Raj, TypeSys, Koll, Moein, Tafsily, Bed, "
                     "Bes, Des, SherCode, SalMale FROM Asnad ORDER BY IDX",
                     -1, &st, nullptr);
  std::string out;
  while (sqlite3_step(st) == SQLITE_ROW) {
    for (int c = 0; c < sqlite3_column_count(st); ++c) {
      const unsigned char* t = sqlite3_column_text(st, c);
      out += t ? reinterpret_cast<const char*>(t) : "NULL";
      out += '|';
    }
    out += '\n';
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  int vouchers = argc > 1 ? std::atoi(argv[1]) : 20000;
  fs::path base = fs::temp_directory_path() / "xfer_bench_maly";
  fs::remove_all(base);
  fs::path eng = base / "engine", raw = base / "raw";
  Build(eng, vouchers);
  fs::copy(eng, raw, fs::copy_options::recursive);

  EngineTimes e = EngineRun(eng);
  double r = RawRun(raw);
  double total = e.load + e.apply;
  bool same = EndState(eng) == EndState(raw);
  std::printf("%-38s vouchers=%d lines=%lld\n", "voucher import, new numbers", vouchers, e.lines);
  std::printf("%-38s load %.3fs + apply %.3fs = %.3fs, %.0f lines/s\n", "engine (suite procedures)",
              e.load, e.apply, total, e.lines / total);
  std::printf("%-38s %.3fs, %.0f lines/s\n", "hand-written SQLite script", r, e.lines / r);
  std::printf("%-38s %.2fx (target <= 2x); end states %s\n", "ratio engine / hand-written",
              total / r, same ? "equal" : "DIFFER");
  if (argc <= 2 || std::string(argv[2]) != "keep") fs::remove_all(base);
  return same ? 0 : 1;
}
