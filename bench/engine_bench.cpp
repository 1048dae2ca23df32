// Engine against hand-written SQLite: the same INSERT ... SELECT between two databases and the
// same merge of new keys, with the same result, timed both ways. Prints times and the ratio.
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "bench_util.h"
#include "engine/engine.h"
#include "engine/func/functions.h"

namespace fs = std::filesystem;
using xfer::bench::Clock;

namespace {

using xfer::bench::Raw;
using xfer::bench::Since;

const char* kFill =
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %d) "
    "INSERT INTO %s SELECT i, printf('K%%07d', i), 'نام کالا ' || i, i * 1.5 FROM n";

// Hand-written SQLite: plain tables, one transaction per statement, no engine in between.
double RawRun(const fs::path& dir, int rows, bool merge) {
  fs::remove_all(dir);
  fs::create_directories(dir);
  sqlite3* db = nullptr;
  sqlite3_open((dir / "src.db").c_str(), &db);
  // The same text semantics as the engine (case-insensitive, trailing blanks ignored), so both
  // sides produce the same result.
  xfer::engine::RegisterFunctions(db);
  Raw(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL");
  Raw(db, "ATTACH '" + (dir / "dst.db").string() + "' AS dst");
  Raw(db, "PRAGMA dst.journal_mode=WAL; PRAGMA dst.synchronous=NORMAL");
  const char* ddl =
      "(Id int, Code varchar(20) COLLATE XFER PRIMARY KEY, Name varchar(50) "
      "COLLATE XFER, Amount float)";
  Raw(db, std::string("CREATE TABLE main.T ") + ddl);
  Raw(db, std::string("CREATE TABLE dst.T ") + ddl);
  char sql[512];
  std::snprintf(sql, sizeof sql, kFill, rows, "main.T");
  Raw(db, sql);
  if (merge) {
    std::snprintf(sql, sizeof sql, kFill, rows / 2, "dst.T");
    Raw(db, sql);
  }
  auto t0 = Clock::now();
  Raw(db, merge
              ? "INSERT INTO dst.T SELECT * FROM main.T WHERE Code NOT IN (SELECT Code FROM dst.T)"
              : "INSERT INTO dst.T SELECT * FROM main.T");
  double s = Since(t0);
  sqlite3_close(db);
  return s;
}

// `viaProcedure`: the merge runs inside a procedure that builds it with dynamic SQL.
double EngineRun(const fs::path& dir, int rows, bool merge, bool viaProcedure = false) {
  using namespace xfer::engine;
  fs::remove_all(dir);
  auto server = Server::Open(dir.string(), true);
  Connection c(server);
  c.Execute("CREATE DATABASE Src CREATE DATABASE Dst");
  const char* ddl =
      "(Id int, Code varchar(20) NOT NULL PRIMARY KEY, Name varchar(50), Amount float)";
  c.Execute(std::string("CREATE TABLE Src..T ") + ddl + " CREATE TABLE Dst..T " + ddl);
  // Filling is not measured: go straight to the files, with the engine's collation registered.
  auto fill = [&](const char* db, int n) {
    char sql[512];
    std::snprintf(sql, sizeof sql, kFill, n, "T");
    sqlite3* h = nullptr;
    sqlite3_open((dir / (std::string(db) + ".db")).c_str(), &h);
    xfer::engine::RegisterFunctions(h);
    Raw(h, sql);
    sqlite3_close(h);
  };
  fill("Src", rows);
  if (merge) fill("Dst", rows / 2);
  if (viaProcedure) {
    c.Execute("USE Dst");
    c.Execute(
        "CREATE PROCEDURE MergeNew @src varchar(50), @table varchar(50), @key varchar(50) AS "
        "SET NOCOUNT ON "
        "EXEC ('INSERT INTO ' + @table + ' SELECT * FROM ' + @src + '..' + @table + ' WHERE ' + "
        "@key + ' NOT IN (SELECT ' + @key + ' FROM ' + @table + ')')");
  }
  auto t0 = Clock::now();
  if (viaProcedure)
    c.Execute("MergeNew 'Src', 'T', 'Code'");
  else
    c.Execute(
        merge
            ? "INSERT INTO Dst..T SELECT * FROM Src..T WHERE Code NOT IN (SELECT Code FROM Dst..T)"
            : "INSERT INTO Dst..T SELECT * FROM Src..T");
  return Since(t0);
}

void Compare(const char* name, int rows, bool merge) {
  fs::path base = fs::temp_directory_path() / "xfer_bench_engine";
  // Best of three runs each, so a busy moment of the machine does not decide the ratio.
  double raw = 1e9, eng = 1e9;
  for (int i = 0; i < 3; ++i) {
    raw = std::min(raw, RawRun(base / "raw", rows, merge));
    eng = std::min(eng, EngineRun(base / "engine", rows, merge));
  }
  std::printf("%-34s rows=%-8d sqlite=%.3fs engine=%.3fs ratio=%.2fx (target <= 1.30x)\n", name,
              rows, raw, eng, eng / raw);
  fs::remove_all(base);
}

}  // namespace

void CompareProcedure(int rows) {
  fs::path base = fs::temp_directory_path() / "xfer_bench_engine";
  double direct = 1e9, proc = 1e9;
  for (int i = 0; i < 3; ++i) {
    direct = std::min(direct, EngineRun(base / "direct", rows, true));
    proc = std::min(proc, EngineRun(base / "proc", rows, true, true));
  }
  std::printf("%-34s rows=%-8d direct=%.3fs procedure=%.3fs ratio=%.2fx (target <= 1.10x)\n",
              "merge through a procedure", rows, direct, proc, proc / direct);
  fs::remove_all(base);
}

int main(int argc, char** argv) {
  bool quick = argc > 1 && std::string(argv[1]) == "--quick";
  Compare("INSERT ... SELECT across databases", 100000, false);
  if (!quick) Compare("INSERT ... SELECT across databases", 1000000, false);
  Compare("merge of new keys (NOT IN)", 100000, true);
  CompareProcedure(100000);
  return 0;
}
