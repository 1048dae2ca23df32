// The treasury transfer's open cheques at volume: a source period holding 10,000 and then
// 50,000 received cheques still open at its end (or the count given), each with its document's
// one counterparty line, listed by the period's prepare procedure and registered as opening
// cheques through the form's core, against a hand-written SQLite script that leaves the same
// opening cheques. Prints the time, the cheques per second, the ratio and whether both ends agree.
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_util.h"
#include "db/dialogs.h"
#include "db/session.h"
#include "engine/engine.h"
#include "engine/func/functions.h"
#include "engine/profile.h"
#include "suite/demo.h"
#include "transfer/modules/treasury_items.h"

namespace fs = std::filesystem;
using namespace xfer;
using xfer::bench::Clock;
using xfer::bench::Raw;
using xfer::bench::Since;

namespace {

constexpr const char* kSource = "KELVARO_1_1402";
constexpr const char* kDest = "KELVARO_1_1403";

// The source keeps only the benchmark's cheques: one document each, the cheque and one
// counterparty line, dated within the year; a tenth of them cashed, so the listing has to choose.
void FillCheques(const fs::path& dir, long long open) {
  auto server = engine::Server::Open(dir.string(), false);
  engine::Connection c(server, kSource);
  const long long all = open + open / 9;
  c.Execute(
      "DELETE FROM N_NaghdTrans DELETE FROM N_ArzTrans DELETE FROM N_ChqLastTrans "
      "CREATE TABLE #N (n int) INSERT INTO #N VALUES (0)");
  for (long long have = 1; have < all; have *= 2)
    c.Execute("INSERT INTO #N SELECT n + " + std::to_string(have) + " FROM #N");
  c.Execute("DELETE FROM #N WHERE n >= " + std::to_string(all));
  c.Execute(
      "INSERT INTO N_NaghdTrans (Serial, Raj, WhatDoc, SanadNo, SanadDate, ChqNo, Joz, "
      "SarResidDate, ChqValue, BankCod, ShobehCod, Des) SELECT n + 1, 1, '71', CAST(n + 1 AS "
      "varchar(20)), '1402/' + RIGHT('0' + CAST(n % 11 + 1 AS varchar(2)), 2) + '/10', "
      "CAST(7000000 + n AS varchar(20)), 'J' + CAST(n % 7 AS varchar(2)), '1403/02/01', "
      "(n % 900 + 1) * 100000, '01', '0001', 'چک دريافتي' FROM #N");
  c.Execute(
      "INSERT INTO N_NaghdTrans (Serial, Raj, WhatDoc, SanadNo, SanadDate, ChqValue, Koll, Moein, "
      "Tafsily, WhatDoc2, ManabehCod, Des) SELECT n + 1, 2, '71', CAST(n + 1 AS varchar(20)), "
      "'1402/' + RIGHT('0' + CAST(n % 11 + 1 AS varchar(2)), 2) + '/10', (n % 900 + 1) * 100000, "
      "'1003', '0001', RIGHT('0000000' + CAST(n % 15 + 1 AS varchar(8)), 8), '01', '000002', "
      "'بابت فروش' FROM #N");
  // Every tenth cheque is cashed in December.
  c.Execute(
      "INSERT INTO N_NaghdTrans (Serial, Raj, WhatDoc, SanadNo, SanadDate, ChqNo, Joz, ChqValue) "
      "SELECT " +
      std::to_string(all + 1) +
      " + n, 1, '74', 'V', '1402/12/20', CAST(7000000 + n AS varchar(20)), 'J' + CAST(n % 7 AS "
      "varchar(2)), (n % 900 + 1) * 100000 FROM #N WHERE n % 10 = 9");
  c.Execute(
      "INSERT INTO N_ChqLastTrans (WhatDoc, ChqNo, Joz, SanadDate, Serial) SELECT CASE WHEN n % "
      "10 = 9 THEN '74' ELSE '71' END, CAST(7000000 + n AS varchar(20)), 'J' + CAST(n % 7 AS "
      "varchar(2)), '1402/12/20', n + 1 FROM #N");
}

double EngineRun(const fs::path& dir, long long& registered, double phases[2]) {
  db::HostGlobal g;
  g.workstation = "BENCH";
  g.companyCode = "1";
  g.fiscalYear = "1403";
  g.serverName = dir.string();
  g.appFolder = dir.string();
  db::HostDate date;
  db::HostDatabase link;
  db::ScriptedDialogs dialogs;
  auto start = Clock::now();
  link.ConnectDatabase(g, g.serverName, kDest, "SQL", "", "");
  transfer::ModuleTransfer frame(g, date, link, dialogs, transfer::NaghdForm());
  frame.Prepare();
  frame.FillPeriodList();
  frame.ToggleMark(kSource);
  transfer::TreasuryItems items(frame, g, link, dialogs);
  items.CreateWorkTables();
  auto listed = Clock::now();
  bool ok = items.ListCheques(transfer::ItemKind::kReceived);
  phases[0] = Since(listed);
  auto registering = Clock::now();
  ok = ok && items.RegisterCheques(transfer::ItemKind::kReceived);
  phases[1] = Since(registering);
  if (!ok) std::fprintf(stderr, "the registration stopped on a check\n");
  registered = items.lastReport().units.empty() ? 0 : items.lastReport().units.back().inserted;
  return Since(start);
}

// The same opening cheques as a person would write them: last action per cheque within the
// year, the open ones with their documents' single counterparty line, numbered after the
// period's last document.
double RawRun(const fs::path& dir) {
  auto start = Clock::now();
  sqlite3* db = nullptr;
  sqlite3_open((dir / (std::string(kDest) + ".db")).c_str(), &db);
  engine::RegisterFunctions(db);
  Raw(db, "ATTACH '" + (dir / (std::string(kSource) + ".db")).string() + "' AS src");
  Raw(db, "BEGIN");
  Raw(db,
      "CREATE TEMP TABLE lastact AS SELECT max(SanadDate || printf('%012d', IDX)) AS k FROM "
      "src.N_NaghdTrans WHERE ifnull(ChqNo, '') <> '' AND substr(WhatDoc, 1, 1) = '7' AND "
      "SanadDate BETWEEN '1402/01/01' AND '1402/12/29' GROUP BY ChqNo, ifnull(Joz, '')");
  Raw(db,
      "CREATE TEMP TABLE chq AS SELECT row_number() OVER (ORDER BY N.Serial, N.ChqNo) AS seq, N.* "
      "FROM lastact L JOIN src.N_NaghdTrans N ON N.IDX = CAST(substr(L.k, 11) AS INTEGER) "
      "WHERE N.WhatDoc IN ('71', '72', '73', '75', '78') AND NOT EXISTS (SELECT 1 FROM "
      "main.N_ChqLastTrans C WHERE C.ChqNo = N.ChqNo AND C.Joz = N.Joz)");
  Raw(db,
      "CREATE TEMP TABLE line AS SELECT C.seq, T.* FROM chq C JOIN src.N_NaghdTrans T ON "
      "T.Serial = C.Serial AND ifnull(T.ChqNo, '') = '' AND T.WhatDoc IN ('71', '72')");
  Raw(db,
      "CREATE TEMP TABLE base AS SELECT ifnull(max(Serial), 0) AS f, (SELECT ifnull(max(IDX), 0) "
      "FROM main.N_NaghdTrans) AS i, (SELECT ifnull(max(IDX), 0) FROM main.N_CHQFirst) AS fi, "
      "(SELECT ifnull(max(IDX), 0) FROM main.N_ChqLastTrans) AS li, (SELECT count(*) FROM chq) "
      "AS n FROM main.N_NaghdTrans");
  Raw(db,
      "INSERT INTO main.N_NaghdTrans (IDX, Serial, Raj, WhatDoc, SanadNo, SanadDate, AcountID, "
      "ChqNo, Joz, SarResidDate, ChqValue, BankCod, ShobehCod, Des, Havaleh, Tazmin, ChqGetter) "
      "SELECT i + seq, f + seq, 1, '72', CAST(f + seq AS TEXT), '1403/01/01', AcountID, ChqNo, "
      "Joz, "
      "SarResidDate, ChqValue, BankCod, ShobehCod, Des, Havaleh, Tazmin, ChqGetter FROM chq, "
      "base");
  Raw(db,
      "INSERT INTO main.N_NaghdTrans (IDX, Serial, Raj, WhatDoc, SanadNo, SanadDate, Koll, "
      "Moein, Tafsily, Tafsily2, ProjectCod, WhatDoc2, CodWhatDoc2, ManabehCod, ChqNo, Joz, "
      "ChqValue, Des) SELECT i + n + L.seq, f + L.seq, 2, '72', CAST(f + L.seq AS TEXT), "
      "'1403/01/01', L.Koll, L.Moein, "
      "L.Tafsily, L.Tafsily2, L.ProjectCod, L.WhatDoc2, L.CodWhatDoc2, L.ManabehCod, '', '', "
      "C.ChqValue, L.Des FROM line L JOIN chq C ON C.seq = L.seq, base");
  Raw(db,
      "INSERT INTO main.N_CHQFirst (IDX, Serial, WhatDoc, AcountID, ChqNo, Joz, SanadNo, "
      "SanadDate, "
      "SarResidDate, ChqValue, Des, BankCod, ShobehCod, Koll, Moein, Tafsily, Tafsily2, "
      "ProjectCod, Taraf, Havaleh, Tazmin, ChqGetter, SourceSerial) SELECT fi + C.seq, f + "
      "C.seq, '72', "
      "C.AcountID, C.ChqNo, C.Joz, C.SanadNo, C.SanadDate, C.SarResidDate, C.ChqValue, C.Des, "
      "C.BankCod, C.ShobehCod, L.Koll, L.Moein, L.Tafsily, L.Tafsily2, L.ProjectCod, "
      "substr(ifnull(T.NamHesab, ''), 1, 120), C.Havaleh, C.Tazmin, C.ChqGetter, C.Serial FROM "
      "chq C JOIN line L ON L.seq = C.seq LEFT JOIN src.Tafsily T ON T.Tafsily = L.Tafsily, base");
  Raw(db,
      "INSERT INTO main.N_ChqLastTrans (IDX, WhatDoc, AcountId, ChqNo, Joz, SanadDate, Serial) "
      "SELECT li + seq, '72', AcountID, ChqNo, Joz, '1403/01/01', f + seq FROM chq, base");
  Raw(db,
      "INSERT INTO main.N_AsnadNaghd (WhatDoc, NDocNam, Status, Status2) SELECT '02', 'مصرفي اول "
      "دوره', 0, 1 WHERE NOT EXISTS (SELECT 1 FROM main.N_AsnadNaghd WHERE WhatDoc = '02')");
  Raw(db, "COMMIT");
  sqlite3_close(db);
  return Since(start);
}

std::vector<std::string> Opening(const fs::path& dir) {
  sqlite3* db = nullptr;
  sqlite3_open((dir / (std::string(kDest) + ".db")).c_str(), &db);
  engine::RegisterFunctions(db);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db,
                     "SELECT F.Serial, F.ChqNo, F.Joz, F.ChqValue, F.Koll, F.Tafsily, F.Taraf, "
                     "(SELECT count(*) FROM N_NaghdTrans N WHERE N.Serial = F.Serial) FROM "
                     "N_CHQFirst F",
                     -1, &st, nullptr);
  std::vector<std::string> out;
  while (sqlite3_step(st) == SQLITE_ROW) {
    std::string line;
    for (int c = 0; c < sqlite3_column_count(st); ++c) {
      const unsigned char* v = sqlite3_column_text(st, c);
      line += (v ? reinterpret_cast<const char*>(v) : "<null>") + std::string("|");
    }
    out.push_back(line);
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  std::sort(out.begin(), out.end());
  return out;
}

// One measured run on a fresh server holding `open` open cheques.
void Measure(long long open) {
  fs::path base = fs::temp_directory_path() / "xfer_bench_treasury";
  fs::remove_all(base);
  fs::path eng = base / "engine", raw = base / "raw";
  suite::BuildDemoServer(eng.string(), {1, 7});
  FillCheques(eng, open);
  fs::copy(eng, raw, fs::copy_options::recursive);

  long long registered = 0;
  double phases[2] = {0, 0};
  engine::profile::Reset();
  const double e = EngineRun(eng, registered, phases);
  const double r = RawRun(raw);
  std::printf(
      "%-38s cheques=%lld registered=%lld sqlite=%.3fs engine=%.3fs (%.0f cheques/s) "
      "ratio=%.2fx (target <= 2.00x)\n",
      "xfer treasury, open cheques", open, registered, r, e, registered / e, e / r);
  std::printf("  listing %.3fs, registration and the listing after it %.3fs\n", phases[0],
              phases[1]);
  std::printf("  %s\n", Opening(eng) == Opening(raw) ? "same opening cheques at both ends"
                                                     : "OPENING CHEQUES DIFFER");
  std::fflush(stdout);
  fs::remove_all(base);
}

}  // namespace

// With a count, that many open cheques; without, 10,000 and then 50,000, so a time that grows
// faster than the count shows in the two ratios.
int main(int argc, char** argv) {
  if (argc > 1) {
    Measure(std::atoll(argv[1]));
    return 0;
  }
  for (long long open : {10000LL, 50000LL}) Measure(open);
  return 0;
}
