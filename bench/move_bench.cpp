// `xfer move` of the largest table of the chart-of-accounts form in a large demo company (scale
// 100 unless given), every clashing row replaced, through the module frame and the period's
// procedure, against a hand-written SQLite script that leaves the same table. Prints the times,
// the ratio and whether both ends hold the same rows.
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_util.h"
#include "db/dialogs.h"
#include "db/session.h"
#include "engine/func/functions.h"
#include "suite/demo.h"
#include "transfer/modules/conflict_review.h"
#include "transfer/modules/module_transfer.h"

namespace fs = std::filesystem;
using xfer::bench::Clock;
using namespace xfer;

namespace {

using xfer::bench::Raw;
using xfer::bench::Since;
using xfer::bench::SqliteKey;

// Every row of `table` in the period file as text, sorted.
std::vector<std::string> Rows(const fs::path& file, const transfer::ModuleTable& t) {
  sqlite3* db = nullptr;
  sqlite3_open(file.c_str(), &db);
  engine::RegisterFunctions(db);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, (std::string("SELECT ") + t.columns + " FROM " + t.table).c_str(), -1, &st,
                     nullptr);
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

long long Count(const fs::path& file, const std::string& table) {
  sqlite3* db = nullptr;
  sqlite3_open(file.c_str(), &db);
  engine::RegisterFunctions(db);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, ("SELECT COUNT(*) FROM " + table).c_str(), -1, &st, nullptr);
  long long n = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : 0;
  sqlite3_finalize(st);
  sqlite3_close(db);
  return n;
}

double EngineMove(const fs::path& dir, const transfer::ModuleTable& t, long long& clashing) {
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
  link.ConnectDatabase(g, g.serverName, "KELVARO_1_1403", "SQL", "", "");
  transfer::ModuleTransfer m(g, date, link, dialogs, transfer::MalyForm());
  m.Prepare();
  m.FillPeriodList();
  m.ToggleMark("KELVARO_1_1402");
  transfer::TableCopy copy = m.CopyFirst(t);
  if (!copy.carried) std::fprintf(stderr, "the move stopped on a check\n");
  clashing = copy.conflicts;
  long long replaced = 0;
  if (copy.conflicts > 0)
    replaced =
        transfer::ConflictReview(link, dialogs, copy.call).Decide(transfer::ReplaceMode::kAll);
  m.Finish(copy, replaced, copy.conflicts > 0);
  return Since(start);
}

// The same end state as a person would write it: the source's rows replace those of their
// keys, the other rows of the period stay.
double RawMove(const fs::path& dir, const transfer::ModuleTable& t) {
  auto start = Clock::now();
  sqlite3* db = nullptr;
  sqlite3_open((dir / "KELVARO_1_1403.db").c_str(), &db);
  engine::RegisterFunctions(db);
  Raw(db, "ATTACH '" + (dir / "KELVARO_1_1402.db").string() + "' AS src");
  const std::string key = SqliteKey(t.key);
  Raw(db, "BEGIN");
  Raw(db, std::string("DELETE FROM main.") + t.table + " WHERE " + key + " IN (SELECT " + key +
              " FROM src." + t.table + ")");
  // A numbered table numbers the new rows after its last number, as the engine does.
  std::string ident;
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "SELECT col FROM main.__xfer_identity WHERE tbl = ? COLLATE NOCASE", -1,
                     &st, nullptr);
  sqlite3_bind_text(st, 1, t.table, -1, SQLITE_TRANSIENT);
  if (sqlite3_step(st) == SQLITE_ROW)
    ident = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
  sqlite3_finalize(st);
  const std::string cols = ident.empty() ? t.columns : ident + ", " + t.columns;
  const std::string values = ident.empty() ? t.columns
                                           : "(SELECT ifnull(max(" + ident + "), 0) FROM main." +
                                                 t.table + ") + row_number() OVER (), " + t.columns;
  Raw(db, std::string("INSERT INTO main.") + t.table + " (" + cols + ") SELECT " + values +
              " FROM src." + t.table);
  Raw(db, "COMMIT");
  sqlite3_close(db);
  return Since(start);
}

}  // namespace

int main(int argc, char** argv) {
  int scale = argc > 1 ? std::atoi(argv[1]) : 100;
  fs::path base = fs::temp_directory_path() / "xfer_bench_move";
  fs::remove_all(base);
  fs::path eng = base / "engine", raw = base / "raw";
  suite::BuildDemoServer(eng.string(), {scale, 7});
  fs::copy(eng, raw, fs::copy_options::recursive);

  const transfer::ModuleTable* largest = nullptr;
  long long most = -1;
  for (const auto& t : transfer::MalyForm().tables) {
    long long n = Count(eng / "KELVARO_1_1402.db", t.table);
    if (n > most) most = n, largest = &t;
  }
  long long clashing = 0;
  double e = EngineMove(eng, *largest, clashing);
  double r = RawMove(raw, *largest);
  std::printf(
      "%-38s scale=%d table=%s rows=%lld clashing=%lld sqlite=%.3fs engine=%.3fs "
      "ratio=%.2fx (target <= 1.50x)\n",
      "xfer move, every clash replaced", scale, largest->table, most, clashing, r, e, e / r);
  std::printf("  %s\n",
              Rows(eng / "KELVARO_1_1403.db", *largest) == Rows(raw / "KELVARO_1_1403.db", *largest)
                  ? "same rows at both ends"
                  : "ROWS DIFFER");
  fs::remove_all(base);
  return 0;
}
