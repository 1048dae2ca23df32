// The base-information transfer of a large demo company (scale 100 unless given) through the
// engine against a hand-written SQLite script that leaves the same tables: the same inserts of
// new keys, users and print layouts replaced, openings set from the source balances. Also the
// cross-server copy in rows per second, and how the time grows with the scale. Prints times
// and ratios.
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "bench_util.h"
#include "db/cross_server.h"
#include "db/dialogs.h"
#include "db/session.h"
#include "engine/engine.h"
#include "engine/func/functions.h"
#include "engine/profile.h"
#include "suite/demo.h"
#include "transfer/base/base_transfer.h"

namespace fs = std::filesystem;
using xfer::bench::Clock;
using namespace xfer;

namespace {

using xfer::bench::Raw;
using xfer::bench::Since;
using xfer::bench::SqliteKey;

const std::set<transfer::Module> kAll = {transfer::Module::kMaly, transfer::Module::kStore,
                                         transfer::Module::kDara, transfer::Module::kNaghd,
                                         transfer::Module::kTrado};

double EngineRun(const fs::path& dir, std::vector<transfer::TableStats>& stats) {
  db::HostGlobal g;
  g.workstation = "BENCH";
  g.companyCode = "1";
  g.fiscalYear = "1403";
  g.serverName = dir.string();
  g.appFolder = dir.string();
  db::HostDate date;
  db::HostDatabase link;
  link.ConnectDatabase(g, g.serverName, "KELVARO_1_1403", "SQL", "", "");
  db::ScriptedDialogs dialogs;
  transfer::BaseTransfer t(g, date, link, dialogs);
  engine::profile::Reset();  // XFER_PROFILE=1 shows the transfer alone
  auto start = Clock::now();
  t.Prepare();
  for (const auto& e : t.Periods())
    if (e.starts_with("KELVARO_1_1402")) t.ChoosePeriod(e);
  if (!t.Run(kAll, {})) std::fprintf(stderr, "the engine run stopped on a check\n");
  double s = Since(start);
  stats = t.stats();
  return s;
}

// The identity column a table numbers (the schema keeps them in a side table), or "".
std::string IdentityColumn(sqlite3* db, const std::string& table) {
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "SELECT col FROM main.__xfer_identity WHERE tbl = ? COLLATE NOCASE", -1,
                     &st, nullptr);
  sqlite3_bind_text(st, 1, table.c_str(), -1, SQLITE_TRANSIENT);
  std::string col;
  if (sqlite3_step(st) == SQLITE_ROW)
    col = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
  sqlite3_finalize(st);
  return col;
}

// What a person would write against SQLite for the same end state.
double RawRun(const fs::path& dir, double& openingsSeconds) {
  sqlite3* db = nullptr;
  sqlite3_open((dir / "KELVARO_1_1403.db").c_str(), &db);
  engine::RegisterFunctions(db);
  Raw(db, "ATTACH '" + (dir / "KELVARO_1_1402.db").string() + "' AS src");
  auto start = Clock::now();
  Raw(db, "BEGIN");
  for (const auto& block : transfer::TransferBlocks()) {
    if (!kAll.count(block.module)) continue;
    for (const auto& step : block.steps) {
      if (step.kind == transfer::StepKind::kUsers) {
        for (const char* t : {"UserHub", "UserHubDetail", "UserPrivilege"})
          Raw(db, std::string("DELETE FROM main.") + t + "; INSERT INTO main." + t +
                      " SELECT * FROM src." + t);
        Raw(db,
            "UPDATE main.UserHub SET Kelvaro = 'OPERATOR_ASNAD_MALY=F;ROZ_SANAD_NO=' || "
            "CASE WHEN instr(Kelvaro, ';CHANGE_NAMHESAB=') > 0 THEN substr(Kelvaro, "
            "instr(Kelvaro, ';CHANGE_NAMHESAB=')) ELSE Kelvaro END");
        continue;
      }
      const auto* d = transfer::FindDescriptor(step.table);
      std::string key = SqliteKey(d->key);
      std::string ident = IdentityColumn(db, d->table);
      std::string cols = ident.empty() ? d->columns : ident + ", " + d->columns;
      std::string values = ident.empty() ? d->columns
                                         : "(SELECT ifnull(max(" + ident + "), 0) FROM main." +
                                               d->table + ") + row_number() OVER (), " + d->columns;
      // The clashing rows are kept for review, as the transfer procedure keeps them.
      Raw(db, std::string("DROP TABLE IF EXISTS temp.conflict; CREATE TEMP TABLE conflict AS ") +
                  "SELECT ' ' AS bCheck, " + d->columns + " FROM src." + d->table + " WHERE " +
                  key + " IN (SELECT " + key + " FROM main." + d->table + ")");
      Raw(db, std::string("INSERT INTO main.") + d->table + " (" + cols + ") SELECT " + values +
                  " FROM src." + d->table + " WHERE " + key + " NOT IN (SELECT " + key +
                  " FROM main." + d->table + " WHERE " + key + " IS NOT NULL)");
    }
    if (*block.printLetter) {
      std::string l = block.printLetter;
      Raw(db, "DELETE FROM main.Prn_Form_T WHERE WhatDoc = '" + l +
                  "'; INSERT INTO main.Prn_Form_T (WhatDoc,TypeSys,FrmID,FrmName,sRepParam,sHdr,"
                  "sData,sSubData,sPgFooter,sFooter,Arm,sArm) SELECT WhatDoc,TypeSys,FrmID,FrmName,"
                  "sRepParam,sHdr,sData,sSubData,sPgFooter,sFooter,Arm,sArm FROM src.Prn_Form_T "
                  "WHERE WhatDoc = '" +
                  l + "'");
    }
  }
  // Openings: each account's closing balance in the source, set-based.
  auto openingsStart = Clock::now();
  const char* openings[][3] = {{"N_BankHesab", "BankCod||ShobehCod||AcountCod", "B"},
                               {"N_Cash", "CashCod", "C"},
                               {"N_Tankhah", "PersonCod", "T"}};
  for (const auto& o : openings) {
    std::string detailKey = std::string(o[1]);
    std::string sql =
        std::string("UPDATE main.") + o[0] +
        " SET FirstBed = max(b.rem, 0), FirstBes = max(-b.rem, 0) FROM (SELECT " + o[1] +
        " AS k, ifnull(FirstBed,0) - ifnull(FirstBes,0) + ifnull((SELECT "
        "sum(ifnull(D.Bed,0) - ifnull(D.Bes,0)) FROM src.N_AsnadDetail D WHERE "
        "D.TypeHesab = '" +
        o[2] + "' AND D." +
        (std::string(o[0]) == "N_BankHesab" ? "BankCod||D.ShobehCod||D.AcountCod" : detailKey) +
        " = s." + o[1] + "), 0) AS rem FROM src." + o[0] + " s) b WHERE " + "main." + o[0] + "." +
        (std::string(o[0]) == "N_BankHesab"
             ? "BankCod||main.N_BankHesab.ShobehCod||main.N_BankHesab.AcountCod"
             : detailKey) +
        " = b.k";
    Raw(db, sql);
  }
  openingsSeconds = Since(openingsStart);
  Raw(db, "COMMIT");
  double s = Since(start);
  sqlite3_close(db);
  return s;
}

long long TableRows(const fs::path& dir, const std::string& table) {
  sqlite3* db = nullptr;
  sqlite3_open((dir / "KELVARO_1_1403.db").c_str(), &db);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, ("SELECT COUNT(*) FROM " + table).c_str(), -1, &st, nullptr);
  long long n = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : -1;
  sqlite3_finalize(st);
  sqlite3_close(db);
  return n;
}

void CrossServer(const fs::path& base, int rows) {
  fs::path a = base / "copy_a", b = base / "copy_b";
  auto sa = engine::Server::Open(a.string(), true);
  auto sb = engine::Server::Open(b.string(), true);
  engine::Connection ca(sa);
  ca.Execute("CREATE DATABASE Src");
  ca.Execute("USE Src CREATE TABLE T (Id int, Code varchar(20), Name varchar(60), Amount float)");
  std::vector<std::vector<engine::Value>> data;
  for (int i = 0; i < rows; ++i)
    data.push_back({static_cast<long long>(i), "K" + std::to_string(i),
                    std::string("نام کالا شماره ") + std::to_string(i), i * 1.25});
  ca.BulkInsert("Src..T", {"Id", "Code", "Name", "Amount"}, data);
  auto remote = db::OpenBackend("Data Source=" + a.string() + ";Initial Catalog=Src;");
  db::HostGlobal g;
  db::HostDatabase local;
  local.ConnectDatabase(g, b.string(), "master", "SQL", "", "");
  auto start = Clock::now();
  long long n = db::CopyTableAcrossServers(*remote, local, base.string(), "Src..T", "##BenchCopy");
  double s = Since(start);
  std::printf("%-38s rows=%-8lld %.3fs %.0f rows/s (target >= 200000)\n",
              "cross-server copy through a work file", n, s, n / s);
}

// One measured run at `scale`: both sides on copies of one demo server.
struct Measurement {
  long long rows = 0;
  double engine = 0;
  double raw = 0;
};

Measurement Measure(const fs::path& base, int scale, bool details, const char* built = nullptr) {
  fs::remove_all(base);
  fs::path eng = base / "engine", raw = base / "raw";
  if (built && *built) {
    fs::create_directories(base);
    fs::copy(built, eng, fs::copy_options::recursive);
  } else {
    suite::BuildDemoServer(eng.string(), {scale, 7});
  }
  fs::copy(eng, raw, fs::copy_options::recursive);

  std::vector<transfer::TableStats> stats;
  Measurement m;
  m.engine = EngineRun(eng, stats);
  double rawOpenings = 0;
  m.raw = RawRun(raw, rawOpenings);
  double engineOpenings = 0;
  for (const auto& s : stats) {
    m.rows += s.inserted;
    if (s.table == "N_BankHesab" || s.table == "N_Cash" || s.table == "N_Tankhah")
      engineOpenings += s.seconds;
  }
  // The target holds at scale 100; at 10 the run's fixed costs (connections, catalog reads,
  // the report) outweigh the rows.
  std::printf("%-38s scale=%d rows=%lld sqlite=%.3fs engine=%.3fs ratio=%.2fx%s\n",
              "base transfer, all modules", scale, m.rows, m.raw, m.engine, m.engine / m.raw,
              scale == 100 ? " (target <= 1.50x)" : "");
  if (!details) return m;
  // The openings are recomputed account by account, four statements each, as the suite does;
  // the hand-written script does them in one statement per table.
  std::printf("%-38s sqlite=%.3fs engine=%.3fs ratio=%.2fx\n", "  without the treasury tables",
              m.raw - rawOpenings, m.engine - engineOpenings,
              (m.engine - engineOpenings) / (m.raw - rawOpenings));
  // Both sides must leave the same tables.
  int differ = 0;
  for (const auto& s : stats)
    if (TableRows(eng, s.table) != TableRows(raw, s.table)) {
      std::printf("  rows differ in %s\n", s.table.c_str());
      ++differ;
    }
  if (differ == 0) std::printf("  same row counts in all %zu tables\n", stats.size());
  return m;
}

}  // namespace

// With a scale argument, that scale alone; without, scale 100 against the target, then how the
// time grows from scale 10 to 100 to 1000 (it should grow no faster than the rows).
int main(int argc, char** argv) {
  // A directory of this run's own: two runs at once must not delete each other's servers.
  fs::path base = fs::temp_directory_path() / ("xfer_bench_kol_" + std::to_string(getpid()));
  if (argc > 1) {
    // XFER_BENCH_SERVER names a demo server of that scale built before (`xfer demo init`),
    // copied instead of building one: a large scale takes far longer to build than to carry.
    Measure(base, std::atoi(argv[1]), true, std::getenv("XFER_BENCH_SERVER"));
    fs::remove_all(base);
    return 0;
  }
  Measurement at100 = Measure(base, 100, true);
  CrossServer(base, 200000);
  Measurement at10 = Measure(base, 10, false);
  // A demo server of scale 1000 takes about three minutes to build and three gigabytes of disk;
  // XFER_BENCH_SCALE_1000=0 leaves that step out.
  const char* big = std::getenv("XFER_BENCH_SCALE_1000");
  std::optional<Measurement> at1000;
  if (big && std::string(big) == "0")
    std::printf("scale 1000 skipped (XFER_BENCH_SCALE_1000=0)\n");
  else
    at1000 = Measure(base, 1000, false);
  fs::remove_all(base);
  auto growth = [](const char* step, const Measurement& a, const Measurement& b) {
    std::printf("growth %-31s rows x%.1f  engine x%.1f  sqlite x%.1f\n", step,
                static_cast<double>(b.rows) / static_cast<double>(a.rows), b.engine / a.engine,
                b.raw / a.raw);
  };
  growth("scale 10 -> 100", at10, at100);
  if (at1000) {
    growth("scale 100 -> 1000", at100, *at1000);
    growth("scale 10 -> 1000", at10, *at1000);
  }
  return 0;
}
