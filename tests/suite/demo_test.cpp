// Demo servers: equal seeds give equal data, other seeds other data; every period holds master
// rows, clashes between consecutive periods, all three balance kinds, and the remote server
// carries other periods of the same companies.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "temp_tree.h"

#include "suite/demo.h"
#include "suite_fixture.h"

namespace xfer::suite::testing {
namespace {

std::string Checksum(const std::string& dir) {
  auto server = engine::Server::Open(dir, false);
  engine::Connection conn(server);
  std::string out;
  const char* queries[] = {
      "SELECT COUNT(*), SUM(LEN(KalaNam)), SUM(StandardFee), MAX(KalaBarCod) FROM %D..Kala",
      "SELECT COUNT(*), SUM(LEN(CustomerNam)), SUM(Etebar), MAX(CustomerAddr) FROM %D..R_Customer",
      "SELECT COUNT(*), SUM(FirstBed), SUM(FirstBes), MAX(AcountCod) FROM %D..N_BankHesab",
      "SELECT COUNT(*), SUM(Bed), MIN(SanadDate), MAX(Des) FROM %D..Asnad",
      "SELECT COUNT(*), MAX(NamHesab) FROM %D..Tafsily"};
  for (const char* db : {"KELVARO_1_1402", "KELVARO_1_1403", "KELVARO_2_1402", "KELVARO_2_1403"})
    for (std::string q : queries) {
      q.replace(q.find("%D"), 2, db);
      for (const auto& rs : conn.Execute(q))
        for (const auto& row : rs.rows)
          for (const auto& v : row) out += engine::FormatValue(v) + "|";
    }
  return out;
}

// Every row of every table of a period's file, each value with its storage class, so that a
// number kept as text or a date kept as a number shows. The procedures' and views' creation
// times differ between two builds.
std::string Contents(const std::string& file) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  std::vector<std::string> tables;
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT IN "
                     "('__xfer_procs', '__xfer_views') ORDER BY name", -1,
                     &st, nullptr);
  while (sqlite3_step(st) == SQLITE_ROW)
    tables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
  sqlite3_finalize(st);
  std::string out;
  for (const auto& t : tables) {
    out += "\n" + t + ":";
    sqlite3_prepare_v2(db, ("SELECT * FROM \"" + t + "\"").c_str(), -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) {
      out += "\n";
      for (int c = 0; c < sqlite3_column_count(st); ++c) {
        const unsigned char* v = sqlite3_column_text(st, c);
        out += std::to_string(sqlite3_column_type(st, c)) + ":" +
               (v ? reinterpret_cast<const char*>(v) : "") + "|";
      }
    }
    sqlite3_finalize(st);
  }
  sqlite3_close(db);
  return out;
}

class Demo : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const auto& d : dirs_) xfer_test::RemoveTree(d);
  }
  std::string Build(std::uint64_t seed, DemoReport* report = nullptr) {
    dirs_.push_back(TempDirectory("demo"));
    DemoReport r = BuildDemoServer(dirs_.back(), DemoOptions{1, seed});
    if (report) *report = r;
    return dirs_.back();
  }
  std::vector<std::string> dirs_;
};

TEST_F(Demo, SameSeedSameRowsOtherSeedOtherRows) {
  DemoReport report;
  std::string a = Build(7, &report), b = Build(7), c = Build(8);
  EXPECT_EQ(report.databases, (std::vector<std::string>{"KELVARO_1_1402", "KELVARO_1_1403",
                                                        "KELVARO_2_1402", "KELVARO_2_1403"}));
  EXPECT_GT(report.masterRows, 800);
  EXPECT_LT(report.masterRows, 5000);
  std::string sumA = Checksum(a);
  EXPECT_FALSE(sumA.empty());
  EXPECT_EQ(sumA, Checksum(b));
  EXPECT_NE(sumA, Checksum(c));
  EXPECT_THROW(BuildDemoServer(a, DemoOptions{}), std::runtime_error) << "existing registry";
}

// A server built through the engine's bulk appends holds exactly what the same rows sent as
// INSERT text leave, value by value.
TEST_F(Demo, AppendedRowsEqualInsertedRows) {
  std::string appended = Build(5);
  dirs_.push_back(TempDirectory("demo_text"));
  {
    auto server = engine::Server::Open(dirs_.back(), true);
    engine::Connection conn(server);
    BuildDemo(EngineRunner(conn), DemoOptions{1, 5});
  }
  for (const char* db : {"KELVARO_1_1402", "KELVARO_1_1403", "KELVARO_2_1402", "KELVARO_2_1403"}) {
    const std::string a = Contents(appended + "/" + db + ".db");
    EXPECT_GT(a.size(), 100000u) << db;
    EXPECT_TRUE(a == Contents(dirs_.back() + "/" + db + ".db")) << db;
  }
}

TEST_F(Demo, PeriodsClashAndCarryEveryBalanceKind) {
  std::string dir = Build(1);
  auto server = engine::Server::Open(dir, false);
  engine::Connection conn(server, "KELVARO_1_1403");
  auto value = [&](const std::string& q) {
    auto sets = conn.Execute(q);
    return engine::FormatValue(sets.back().rows.at(0).at(0));
  };
  // Every catalogue table of the first period holds rows.
  for (const char* t : {"Groh", "Koll", "Moein", "Tafsily", "Kala", "ANBAR", "R_CUSTOMER", "PERSON",
                        "D_AMVAL", "N_BankHesab", "N_Cash", "N_Tankhah", "Options", "UserHub",
                        "Prn_Form_T", "N_Prn_Cheque_Forms", "A_KalaSefaresh", "R_AsnadTrado"})
    EXPECT_NE(value(std::string("SELECT COUNT(*) FROM KELVARO_1_1402..") + t), "0") << t;
  // Moving items of 1402 into 1403 meets clashes, some of them with other names.
  conn.Execute(
      "sp_Sayer_XferHesab 'FIRST', '', '##demoKala', 'KELVARO_1_1402', 'KALA', 'KalaCod, KalaNam', "
      "'KalaCod'");
  EXPECT_NE(value("SELECT COUNT(*) FROM ##demoKala"), "0");
  EXPECT_NE(value("SELECT COUNT(*) FROM ##demoKala C INNER JOIN Kala K ON K.KalaCod = C.KalaCod "
                  "WHERE K.KalaNam <> C.KalaNam"),
            "0");
  // Bank accounts come as debit, credit and zero balances.
  auto keys = conn.Execute(
      "SELECT TOP 3 BankCod + ShobehCod + AcountCod FROM KELVARO_1_1402..N_BankHesab ORDER BY "
      "ACOUNTID");
  std::vector<double> rems;
  for (const auto& row : keys.at(0).rows) {
    std::string key = engine::FormatValue(row.at(0));
    conn.Execute("KELVARO_1_1402..sp_N_Report_Acount '##demoRep', 'REM', '" + key + "', '" + key +
                 "', '1402/01/01', '1402/12/29', 'REFRESH'");
    rems.push_back(std::stod(value("SELECT rem FROM ##demoRep WHERE sorder2 = 'X'")));
  }
  ASSERT_EQ(rems.size(), 3u);
  EXPECT_GT(rems[0], 0);
  EXPECT_LT(rems[1], 0);
  EXPECT_EQ(rems[2], 0);
}

TEST_F(Demo, RemoteServerHoldsOtherPeriodsOfTheSameCompanies) {
  std::string main = Build(3);
  dirs_.push_back(TempDirectory("remote"));
  DemoReport r = BuildRemoteDemoServer(dirs_.back(), main, DemoOptions{1, 3});
  EXPECT_EQ(r.databases, (std::vector<std::string>{"KELVARO_1_1401", "KELVARO_1_1404",
                                                   "KELVARO_2_1401", "KELVARO_2_1404"}));
  auto server = engine::Server::Open(dirs_.back(), false);
  engine::Connection conn(server, "KELVARO_Hub");
  auto names = conn.Execute("SELECT DISTINCT sName FROM Hub_Company ORDER BY sName");
  std::vector<std::string> got;
  for (const auto& row : names.at(0).rows) got.push_back(engine::FormatValue(row.at(0)));
  std::vector<std::string> want;
  for (const auto& c : DemoCompanies()) want.push_back(c.name);
  std::sort(want.begin(), want.end());
  EXPECT_EQ(got, want);
  // Same company, same master rows: the first periods of both servers agree on items.
  auto remoteItems = conn.Execute("SELECT COUNT(*), MAX(KalaNam) FROM KELVARO_1_1401..Kala");
  auto mainServer = engine::Server::Open(main, false);
  engine::Connection mainConn(mainServer);
  auto mainItems = mainConn.Execute("SELECT COUNT(*), MAX(KalaNam) FROM KELVARO_1_1402..Kala");
  EXPECT_EQ(engine::FormatResultSet(remoteItems.at(0)), engine::FormatResultSet(mainItems.at(0)));
}

}  // namespace
}  // namespace xfer::suite::testing
