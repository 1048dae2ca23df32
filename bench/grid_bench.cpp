// A data grid over 100,000 rows of the embedded engine, offscreen: opening it, sorting it by a
// text and by a number column with title clicks, and inverting the mark of every row (one
// UPDATE and a requery, as the forms do). Sorts are compared with std::sort of the same values
// under the same collation; the mark inversion with the same UPDATE and read-back written
// directly against SQLite. Prints times and ratios.
#include <sqlite3.h>

#include <QApplication>
#include <QHeaderView>
#include <algorithm>
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
#include "ui/grid/db_grid.h"
#include "ui/grid/maly_object.h"
#include "ui/grid/record_set_model.h"

namespace fs = std::filesystem;
using xfer::bench::Clock;
using namespace xfer;

namespace {

using xfer::bench::Since;

constexpr int kRows = 100000;

void Report(const char* what, double seconds, double reference) {
  if (reference < 0) {
    std::printf("%-34s %8.3f s\n", what, seconds);
    return;
  }
  std::printf("%-34s %8.3f s   hand-written %8.3f s   ratio %5.2f\n", what, seconds, reference,
              reference > 0 ? seconds / reference : 0.0);
}

const char* const kWords[] = {"سیب",    "آب",   "پرتقال", "ژاله", "گلابی", "بادام", "چای",
                              "زردآلو", "انار", "کاغذ",   "میز",  "صندلی", "دفتر",  "قلم"};

void Fill(const std::string& dir) {
  auto server = engine::Server::Open(dir, true);
  engine::Connection c(server);
  c.Execute("CREATE DATABASE GRIDBENCH");
  c.Execute(
      "USE GRIDBENCH CREATE TABLE Items (ID int NOT NULL PRIMARY KEY, Name varchar(60) "
      "NULL, Price float NULL, Mark varchar(1) NULL)");
  std::vector<std::vector<engine::Value>> rows;
  unsigned seed = 7;
  for (int i = 0; i < kRows; ++i) {
    seed = seed * 1103515245u + 12345u;
    std::string name = std::string(kWords[seed % 14]) + " " + kWords[(seed >> 8) % 14] + " " +
                       std::to_string((seed >> 12) % 1000);
    rows.push_back({static_cast<long long>(i), name, static_cast<double>((seed >> 4) % 1000000) / 7,
                    std::string(i % 3 ? "" : "ض")});
  }
  c.BulkInsert("GRIDBENCH..Items", {"ID", "Name", "Price", "Mark"}, rows);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const fs::path dir = fs::temp_directory_path() / "xfer_grid_bench";
  fs::remove_all(dir);
  Fill(dir.string());

  db::HostGlobal g;
  g.userId = "1";
  g.appFolder = dir.string();
  db::HostDatabase link;
  link.ConnectDatabase(g, dir.string(), "GRIDBENCH", "SQL", "", "");
  db::ScriptedDialogs dialogs;

  QWidget form;
  form.resize(900, 600);
  auto* grid = new ui::grid::TDBGrid(&form);
  grid->resize(880, 580);
  auto* maly = new ui::grid::TMalyObject(grid, {"B", "BENCH", "GRID", "dbgItems"},
                                         ui::grid::GridVariant::kQuery, [&] {
                                           return ui::grid::GridSession{&g, &link, &dialogs};
                                         });
  db::RecordSet rs;
  std::printf("grid over %d rows\n", kRows);

  auto t = Clock::now();
  rs.Open(*link.connection(), "SELECT ID, Name, Price, Mark FROM Items");
  grid->setDataSet(&rs);
  form.show();
  QApplication::processEvents();
  const double open = Since(t);
  // Hand-written: the same rows read straight from SQLite into vectors.
  sqlite3* raw = nullptr;
  sqlite3_open((dir / "GRIDBENCH.db").c_str(), &raw);
  auto readAll = [&] {
    std::vector<std::vector<engine::Value>> rows;
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(raw, "SELECT ID, Name, Price, Mark FROM Items", -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW)
      rows.push_back({static_cast<long long>(sqlite3_column_int64(st, 0)),
                      std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, 1))),
                      sqlite3_column_double(st, 2),
                      std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, 3)))});
    sqlite3_finalize(st);
    return rows;
  };
  t = Clock::now();
  auto handRows = readAll();
  Report("open", open, Since(t));

  std::vector<std::string> names;
  std::vector<double> prices;
  for (const auto& r : handRows) {
    names.push_back(std::get<std::string>(r[1]));
    prices.push_back(std::get<double>(r[2]));
  }
  t = Clock::now();
  maly->SortByColumn(grid->columnOf("Name"));
  QApplication::processEvents();
  const double textSort = Since(t);
  t = Clock::now();
  std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return engine::CompareText(a, b) < 0;
  });
  Report("sort by a text column", textSort, Since(t));
  if (rs.data().rows.front()[1] != engine::Value(names.front()))
    std::fprintf(stderr, "text sort disagrees with std::sort\n");

  t = Clock::now();
  maly->SortByColumn(grid->columnOf("Price"));
  QApplication::processEvents();
  const double numberSort = Since(t);
  t = Clock::now();
  std::stable_sort(prices.begin(), prices.end());
  Report("sort by a number column", numberSort, Since(t));
  if (std::get<double>(rs.data().rows.front()[2]) != prices.front())
    std::fprintf(stderr, "number sort disagrees with std::sort\n");

  t = Clock::now();
  maly->SortByColumn(grid->columnOf("Price"));  // the second click: descending
  QApplication::processEvents();
  Report("sort again, descending", Since(t), -1);

  const char* invert = "UPDATE Items SET Mark = CASE WHEN Mark = 'ض' THEN '' ELSE 'ض' END";
  t = Clock::now();
  link.RunSql(invert);
  grid->Requery();
  QApplication::processEvents();
  const double marks = Since(t);
  t = Clock::now();
  sqlite3_exec(raw, invert, nullptr, nullptr, nullptr);
  handRows = readAll();
  Report("invert every mark and requery", marks, Since(t));
  sqlite3_close(raw);
  if (!qEnvironmentVariableIsSet("XFER_BENCH_KEEP")) fs::remove_all(dir);
  return 0;
}
