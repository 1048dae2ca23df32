// The headline of the network path: `xfer kol` through ODBC against `xfer serve` leaves the
// destination period exactly as the same run in process does, table by table and row by row.
#include <gtest/gtest.h>
#include "temp_tree.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "engine/engine.h"
#include "serve_process.h"

namespace {

namespace fs = std::filesystem;
using xfer::testing::RunWithInput;

// Every user table of `database`, each as its sorted formatted rows; of the run report, what
// the run carried, not when or by whom.
std::string Dump(const fs::path& dir, const std::string& database) {
  auto server = xfer::engine::Server::Open(dir.string());
  xfer::engine::Connection c(server, database);
  std::ostringstream out;
  auto tables = c.Execute("SELECT name FROM sysobjects WHERE xtype = 'U' ORDER BY name");
  for (const auto& row : tables[0].rows) {
    std::string name = std::get<std::string>(row[0]);
    const std::string columns =
        name == "Xfer_Run" ? "What, SourceDb, DestinationDb, Outcome, Stopped"
        : name == "Xfer_RunUnit"
            ? "RunId, Seq, TableName, Caption, SourceRows, Inserted, Clashing, Replaced, Error"
            : "*";
    std::string text =
        xfer::engine::FormatResultSet(c.Execute("SELECT " + columns + " FROM [" + name + "]")[0]);
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    std::sort(lines.begin(), lines.end());
    out << "== " << name << "\n";
    for (const auto& l : lines) out << l << "\n";
  }
  return out.str();
}

TEST(KolThroughOdbc, LeavesTheSameEndStateAsInProcess) {
  fs::path base = fs::temp_directory_path() / ("xfer_kol_odbc_" + std::to_string(getpid()));
  xfer_test::RemoveTree(base);
  fs::create_directories(base);
  int status = 0;
  std::string out = RunWithInput(
      std::string(XFER_BINARY) + " demo init --server " + (base / "local").string(), "", &status);
  ASSERT_EQ(status, 0) << out;
  fs::copy(base / "local", base / "served", fs::copy_options::recursive);
  std::string args = " --database KELVARO_1_1403 --source KELVARO_1_1402";
  std::string local = RunWithInput(
      std::string(XFER_BINARY) + " kol --server " + (base / "local").string() + args, "", &status);
  ASSERT_EQ(status, 0) << local;
  {
    xfer::testing::ServeProcess serve((base / "served").string(), "kol", "Kol-1403");
    std::string served =
        RunWithInput("XFER_SQL_USER=kol XFER_SQL_PASSWORD=Kol-1403 " + std::string(XFER_BINARY) +
                         " kol --server " + serve.dataSource() + args,
                     "", &status);
    ASSERT_EQ(status, 0) << served;
    // The same counts per table, times and captions aside (progress lines interleave too).
    auto counts = [](const std::string& s) {
      std::string kept;
      std::istringstream in(s.substr(std::min(s.size(), s.find("table "))));
      for (std::string l; std::getline(in, l);) {
        std::istringstream words(l);
        std::string w;
        for (int i = 0; i < 4 && words >> w; ++i) kept += w + " ";
        kept += "\n";
      }
      return kept;
    };
    EXPECT_EQ(counts(served), counts(local));
    EXPECT_NE(served.find("rows inserted"), std::string::npos) << served;
  }
  std::string expected = Dump(base / "local", "KELVARO_1_1403");
  EXPECT_GT(expected.size(), 1000u);
  EXPECT_EQ(Dump(base / "served", "KELVARO_1_1403"), expected);
  xfer_test::RemoveTree(base);
}

}  // namespace
