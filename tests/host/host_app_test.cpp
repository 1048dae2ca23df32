// The desktop host's own logic: Solar Hijri dates for the session record, the server directory
// choice, the registry reads on an embedded server (with and without the user table) and the
// session record filled from the login.
#include <gtest/gtest.h>
#include <unistd.h>
#include "temp_tree.h"

#include <filesystem>

#include "db/backend.h"
#include "engine/engine.h"
#include "registry_login.h"
#include "solar_hijri.h"

namespace xfer::hostapp {
namespace {

namespace fs = std::filesystem;

TEST(SolarHijriTest, GregorianDatesConvert) {
  struct Case {
    int y, m, d;
    const char* solar;
  };
  const Case cases[] = {
      {2024, 3, 20, "1403/01/01"}, {2023, 3, 21, "1402/01/01"},  {2023, 3, 20, "1401/12/29"},
      {2025, 3, 20, "1403/12/30"}, {2025, 3, 21, "1404/01/01"},  {1979, 2, 11, "1357/11/22"},
      {2000, 1, 1, "1378/10/11"},  {2024, 12, 31, "1403/10/11"}, {1990, 9, 23, "1369/07/01"},
      {2024, 9, 22, "1403/07/01"}, {2024, 9, 21, "1403/06/31"},  {2000, 2, 29, "1378/12/10"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FormatSolar(GregorianToSolar(c.y, c.m, c.d)), c.solar)
        << c.y << "-" << c.m << "-" << c.d;
}

TEST(SolarHijriTest, ConsecutiveDaysNeverSkipOrRepeat) {
  // Walk ten Gregorian years day by day: the Solar date always advances by exactly one day.
  int y = 2015, m = 1, d = 1;
  SolarDate prev = GregorianToSolar(y, m, d);
  const int monthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  for (int step = 0; step < 3653; ++step) {
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    const int len = monthDays[m - 1] + (m == 2 && leap ? 1 : 0);
    if (++d > len) {
      d = 1;
      if (++m > 12) m = 1, ++y;
    }
    const SolarDate cur = GregorianToSolar(y, m, d);
    const bool nextDay =
        cur.year == prev.year && cur.month == prev.month && cur.day == prev.day + 1;
    const bool nextMonth =
        cur.day == 1 && ((cur.year == prev.year && cur.month == prev.month + 1) ||
                         (cur.year == prev.year + 1 && cur.month == 1 && prev.month == 12));
    ASSERT_TRUE(nextDay || nextMonth) << FormatSolar(prev) << " -> " << FormatSolar(cur);
    ASSERT_LE(cur.day, cur.month <= 6 ? 31 : 30);
    prev = cur;
  }
}

TEST(ServerDirTest, ArgumentThenEnvironmentThenDefault) {
  EXPECT_EQ(ResolveServerDir(std::string("/a"), "/b", "/c"), "/a");
  EXPECT_EQ(ResolveServerDir(std::string(""), "/b", "/c"), "/b");
  EXPECT_EQ(ResolveServerDir(std::nullopt, "/b", "/c"), "/b");
  EXPECT_EQ(ResolveServerDir(std::nullopt, "", "/c"), "/c");
  EXPECT_EQ(ResolveServerDir(std::nullopt, nullptr, "/c"), "/c");
}

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("xfer_hostapp_" + std::to_string(::getpid()) + "_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    xfer_test::RemoveTree(dir_);
    engine::Server::Open(dir_.string(), true);
    server_ = db::OpenBackend("Data Source=" + dir_.string() + ";Initial Catalog=master;");
    server_->Execute("CREATE DATABASE KELVARO_Hub");
    server_->Execute(
        "USE KELVARO_Hub CREATE TABLE Hub_Company (sCode varchar(10) NOT NULL, sYear varchar(4) "
        "NOT NULL, sName varchar(100), DBName varchar(50), sVer varchar(20), sDate1 varchar(10), "
        "sDate2 varchar(10)) "
        "INSERT INTO Hub_Company VALUES ('7', '1403', 'Pars', 'stale', '1', '1403/01/01', "
        "'1403/12/30'), ('12', '1402', 'Alborz', NULL, '1', '1402/01/01', '1402/12/29'), "
        "('7', '1402', 'Pars', NULL, '1', '1402/01/01', '1402/12/29')");
  }
  void TearDown() override {
    server_.reset();
    xfer_test::RemoveTree(dir_);
  }
  fs::path dir_;
  std::unique_ptr<db::Backend> server_;
};

TEST_F(RegistryTest, PeriodsInCodeAndYearOrderWithoutUserTable) {
  RegistryChoices c = ReadRegistry(*server_);
  EXPECT_TRUE(c.userTableMissing);
  EXPECT_TRUE(c.users.empty());
  ASSERT_EQ(c.periods.size(), 3u);
  const std::tuple<const char*, const char*, const char*> expected[] = {
      {"KELVARO_12_1402", "Alborz", "1402/12/29"},
      {"KELVARO_7_1402", "Pars", "1402/12/29"},
      {"KELVARO_7_1403", "Pars", "1403/12/30"}};
  for (size_t i = 0; i < c.periods.size(); ++i) {
    EXPECT_EQ(c.periods[i].dbName, std::get<0>(expected[i]));
    EXPECT_EQ(c.periods[i].company, std::get<1>(expected[i]));
    EXPECT_EQ(c.periods[i].lastDate, std::get<2>(expected[i]));
  }
}

TEST_F(RegistryTest, UsersAndTheSessionRecord) {
  server_->Execute(
      "USE KELVARO_Hub CREATE TABLE UserHub (UserID int NOT NULL, User_Name varchar(50), "
      "User_Pass1 varchar(50) NOT NULL PRIMARY KEY) "
      "INSERT INTO UserHub VALUES (2, 'Sara', 'k2'), (1, 'Admin', 'k1')");
  RegistryChoices c = ReadRegistry(*server_);
  EXPECT_FALSE(c.userTableMissing);
  ASSERT_EQ(c.users.size(), 2u);
  EXPECT_EQ(c.users[0].name, "Admin");
  EXPECT_EQ(c.users[1].key, "k2");

  SessionInput in{dir_.string(), "WS1",      "Title",     "/home/u/data/",
                  "1403/05/06",  c.users[1], c.periods[2]};
  db::HostGlobal g = MakeHostGlobal(in);
  EXPECT_EQ(g.authKind, "SQL");
  EXPECT_EQ(g.serverName, dir_.string());
  EXPECT_EQ(g.workstation, "WS1");
  EXPECT_EQ(g.userId, "2");
  EXPECT_EQ(g.userKey, "k2");
  EXPECT_EQ(g.userNumber, 2);
  EXPECT_EQ(g.appFolder, "/home/u/data");
  EXPECT_EQ(g.today, "1403/05/06");
  EXPECT_EQ(g.periodStart, "1403/01/01");
  EXPECT_EQ(g.periodEnd, "1403/12/30");
  EXPECT_EQ(g.companyCode, "7");
  EXPECT_EQ(g.fiscalYear, "1403");

  in.user.reset();
  db::HostGlobal anonymous = MakeHostGlobal(in);
  EXPECT_EQ(anonymous.userId, "");
  EXPECT_EQ(anonymous.userNumber, 0);
}

}  // namespace
}  // namespace xfer::hostapp
