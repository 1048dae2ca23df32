// 100,000 rows x 12 columns of the embedded engine written to every export format through the
// export writers. Prints seconds and MB/s per format; the text formats are compared with a
// hand-written loop that writes the same bytes from cells already turned into text.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_util.h"
#include "db/record_set.h"
#include "db/session.h"
#include "engine/engine.h"
#include "export/export_format.h"

namespace fs = std::filesystem;
using xfer::bench::Clock;
using namespace xfer;

namespace {

// The workbook of 100,000 rows must be written in under this many seconds on this machine.
constexpr double kXlsxTarget = 5.0;

using xfer::bench::Since;

constexpr int kRows = 100000;

const char* const kWords[] = {"سیب",    "آب",   "پرتقال", "ژاله", "گلابی", "بادام", "چای",
                              "زردآلو", "انار", "کاغذ",   "میز",  "صندلی", "دفتر",  "قلم"};

void Fill(const std::string& dir) {
  auto server = engine::Server::Open(dir, true);
  engine::Connection c(server);
  c.Execute("CREATE DATABASE EXPBENCH");
  std::string cols = "ID int";
  std::vector<std::string> names = {"ID"};
  for (int i = 1; i < 12; ++i) {
    const std::string n = "C" + std::to_string(i);
    cols += ", " + n + (i % 3 == 0 ? " float" : i % 3 == 1 ? " varchar(40)" : " varchar(10)");
    names.push_back(n);
  }
  c.Execute("USE EXPBENCH CREATE TABLE T (" + cols + ")");
  std::vector<std::vector<engine::Value>> rows;
  unsigned seed = 11;
  for (int r = 0; r < kRows; ++r) {
    std::vector<engine::Value> row{static_cast<long long>(r)};
    for (int i = 1; i < 12; ++i) {
      seed = seed * 1103515245u + 12345u;
      if (i % 3 == 0)
        row.emplace_back(static_cast<double>(seed % 10000000) / 100);
      else if (i % 3 == 1)
        row.emplace_back(std::string(kWords[seed % 14]) + " " + kWords[(seed >> 8) % 14]);
      else
        row.emplace_back("1403/" + std::to_string(10 + seed % 3) + "/" +
                         std::to_string(10 + seed % 19));
    }
    rows.push_back(std::move(row));
  }
  c.BulkInsert("EXPBENCH..T", names, rows);
}

}  // namespace

int main() {
  const fs::path dir = fs::temp_directory_path() / "xfer_export_bench";
  fs::remove_all(dir);
  Fill(dir.string());
  db::HostGlobal g;
  db::HostDatabase link;
  link.ConnectDatabase(g, dir.string(), "EXPBENCH", "SQL", "", "");
  db::RecordSet rs;
  rs.Open(*link.connection(), "SELECT * FROM T");
  const grid_export::RecordSetSource source(rs);
  std::printf("export of %d rows x 12 columns\n", kRows);

  // The hand-written reference: cells already text, written with one fwrite per line.
  std::vector<std::string> cells;
  cells.reserve(static_cast<size_t>(kRows) * 12);
  for (size_t r = 0; r < source.Rows(); ++r)
    for (size_t c = 0; c < 12; ++c) cells.push_back(source.Text(r, c));
  auto t = Clock::now();
  {
    std::FILE* f = std::fopen((dir / "hand.txt").c_str(), "wb");
    std::string line;
    for (size_t r = 0; r < source.Rows(); ++r) {
      line.clear();
      for (size_t c = 0; c < 12; ++c) (line += cells[r * 12 + c]) += '\t';
      line += "  \r\n";
      std::fwrite(line.data(), 1, line.size(), f);
    }
    std::fclose(f);
  }
  const double hand = Since(t);
  const double handMb = static_cast<double>(fs::file_size(dir / "hand.txt")) / 1e6;
  std::printf("%-8s %8.3f s %8.1f MB/s %8.1f MB\n", "hand", hand, handMb / hand, handMb);

  for (const char* name : {"xls", "csv", "html", "dbf", "dbf-dos", "xlsx"}) {
    const auto format = *grid_export::FormatByName(name);
    const fs::path out = dir / (std::string("out_") + name + grid_export::Extension(format));
    t = Clock::now();
    grid_export::WriteExport(format, source, out.string(), {"بنچ", "1403/01/01"});
    const double s = Since(t);
    const double mb = static_cast<double>(fs::file_size(out)) / 1e6;
    std::printf("%-8s %8.3f s %8.1f MB/s %8.1f MB   ratio to hand-written text %5.2f\n", name, s,
                mb / s, mb, s / hand);
    if (std::string(name) == "xlsx")
      std::printf("%-8s %s (target: under %.0f s)\n", "", s < kXlsxTarget ? "within" : "OVER",
                  kXlsxTarget);
  }
  fs::remove_all(dir);
  return 0;
}
