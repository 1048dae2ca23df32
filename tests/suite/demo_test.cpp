// Demo servers: equal seeds give equal data, other seeds other data; every period holds master
// rows, clashes between consecutive periods, all three balance kinds, and the remote server
// carries other periods of the same companies.
#include <gtest/gtest.h>
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
