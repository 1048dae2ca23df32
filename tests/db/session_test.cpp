// The host database link, catalog probes, registry listings and settings objects against a
// real embedded server with a small registry.
#include <gtest/gtest.h>
#include <unistd.h>
#include "temp_tree.h"

#include <filesystem>

#include "db/dialogs.h"
#include "db/registry.h"
#include "db/session.h"
#include "db/settings.h"
#include "engine/engine.h"

namespace xfer::db {
namespace {

namespace fs = std::filesystem;

class SessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("xfer_session_" + std::to_string(::getpid()) + "_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    xfer_test::RemoveTree(dir_);
    engine::Server::Open(dir_.string(), true);
    g_.workstation = "WS1";
    g_.companyCode = "7";
    g_.fiscalYear = "1403";
    g_.userKey = "ACC";
    g_.userNumber = 2;
    ASSERT_TRUE(db_.ConnectDatabase(g_, dir_.string(), "master", "SQL", "sa", "pw"));
    db_.RunSql(
        "CREATE DATABASE KELVARO_Hub CREATE DATABASE KELVARO_7_1402 CREATE DATABASE "
        "KELVARO_7_1403 CREATE DATABASE KELVARO_8_1403");
    db_.RunSql(
        "CREATE TABLE KELVARO_Hub..Hub_Company (sCode varchar(4), sYear varchar(4), sName "
        "varchar(50), DBName varchar(30), sVer int, sDate1 varchar(10), sDate2 varchar(10)) "
        "INSERT INTO KELVARO_Hub..Hub_Company VALUES "
        "('7', '1403', 'بازرگاني', 'KELVARO_7_1403', 3, '1403/01/01', '1403/12/30'), "
        "('7', '1402', 'بازرگاني', 'KELVARO_7_1402', 3, '1402/01/01', '1402/12/29'), "
        "('8', '1403', 'O''Neil', 'KELVARO_8_1403', 2, '1403/01/01', '1403/12/30'), "
        "(' 9', '1401', 'بدون پايگاه', 'X', 3, '1401/01/01', '1401/12/29')");
    ASSERT_TRUE(db_.ConnectDatabase(g_, dir_.string(), "KELVARO_7_1403", "SQL", "sa", "pw"));
  }
  void TearDown() override {
    db_ = HostDatabase();
    xfer_test::RemoveTree(dir_);
  }

  fs::path dir_;
  HostGlobal g_;
  HostDatabase db_;
};

TEST(ConnectionStrings, ComposedByteForByte) {
  HostGlobal g;
  g.workstation = "PC-12";
  EXPECT_EQ(ConnectionString(g, "SRV", "KELVARO_1_1403", "SQL", "sa", "p'w"),
            "Provider=SQLOLEDB.1;Persist Security Info=True;\r\n"
            "User ID=sa;Password=p'w;Initial Catalog=KELVARO_1_1403;\r\n"
            "Data Source=SRV;Use Procedure for Prepare=1;\r\n"
            "Auto Translate=True;Packet Size=4096;Workstation ID=PC-12\r\n");
  EXPECT_EQ(ConnectionString(g, "SRV", "DB", "WIN", "sa", "pw"),
            "Provider=SQLOLEDB.1;Integrated Security=SSPI;\r\n"
            "Persist Security Info=True;Initial Catalog=DB;\r\n"
            "Data Source=SRV;Use Procedure for Prepare=1;\r\n"
            "Auto Translate=True;Packet Size=4096;Workstation ID=PC-12\r\n");
  EXPECT_EQ(ConnectionString(g, "SRV", "DB", "win", "", ""), "");
  EXPECT_EQ(ConnectionString(g, "SRV", "DB", "", "", ""), "");
}

TEST_F(SessionTest, LinkRunsStatementsAndProbesTheCatalog) {
  EXPECT_EQ(g_.databaseName, "KELVARO_7_1403");
  HostDatabase unconnected;
  EXPECT_TRUE(unconnected.RunSql(""));  // nothing sent, nothing to fail
  EXPECT_FALSE(unconnected.RunSql("SELECT 1"));
  EXPECT_THROW(db_.RunSql("SELECT * FROM Missing"), engine::SqlError);

  Backend& b = *db_.connection();
  db_.RunSql("CREATE TABLE KALA (KalaCod varchar(12), KalaName varchar(40))");
  EXPECT_TRUE(ObjectExists(b, "  kala "));
  EXPECT_FALSE(ObjectExists(b, "KALA2"));
  EXPECT_EQ(CodeLength(b, "KALA", "KalaCod"), 12);
  EXPECT_EQ(CodeLength(b, "KELVARO_7_1403..KALA", "KalaName"), 40);
  EXPECT_EQ(CodeLength(b, "KALA", "Missing"), 0);

  // The drop runs whenever some tempdb object ends with the name: ##ABCX makes "X" fail.
  db_.RunSql("CREATE TABLE ##WS1X (a int)");
  EXPECT_TRUE(TempObjectExists(b, "##ws1x"));
  DropTempTable(db_, "WS1X");
  EXPECT_FALSE(TempObjectExists(b, "##WS1X"));
  db_.RunSql("CREATE TABLE ##ABCX (a int)");
  EXPECT_THROW(DropTempTable(db_, "X"), engine::SqlError);
  DropTempTable(db_, "NOTHING");  // no such suffix: nothing is sent to fail

  db_.RunSql(
      "CREATE TABLE Asnad (TypeSys varchar(1), WhatDoc varchar(2), SanadDate varchar(10), "
      "SanadNo int) INSERT INTO Asnad VALUES ('M', '2', '1403/01/01', 1), ('M', '10', "
      "'1403/12/29', 900), ('M', '10', '1403/12/30', 901), ('S', '2', '1403/05/05', 5)");
  YearVouchers v = FindYearVouchers(b);
  EXPECT_EQ(v.kind2Number, "1");
  EXPECT_EQ(v.otherNumber, "901");
  EXPECT_EQ(v.otherDate, "1403/12/30");
  EXPECT_EQ(LookupFirst(b, "SanadNo", "900", "SanadDate", "Asnad"), "1403/12/29");
}

TEST_F(SessionTest, RegistryListsPeriodsAndChecksStructure) {
  Backend& b = *db_.connection();
  auto periods = ListPeriods(b, g_.databaseName);
  ASSERT_EQ(periods.size(), 3u);
  EXPECT_EQ(periods[0], "X    بدون پايگاه");  // ' 9' sorts first
  EXPECT_EQ(periods[1], "KELVARO_7_1402    بازرگاني");
  EXPECT_EQ(SourceDatabaseOf(periods[1]), "KELVARO_7_1402");
  EXPECT_EQ(SourceDatabaseOf("kelvaro_7_1402    x"), "KELVARO_7_1402");

  PeriodRange r = PeriodDates(b, periods[1]);
  EXPECT_EQ(r.first, "1402/01/01");
  EXPECT_EQ(r.last, "1402/12/29");

  EXPECT_TRUE(SameStructure(b, "KELVARO_7_1403", "KELVARO_7_1402"));
  EXPECT_FALSE(SameStructure(b, "KELVARO_7_1403", "KELVARO_8_1403"));
  EXPECT_TRUE(SameStructure(b, "KELVARO_7_1403", "KELVARO_NONE"));

  // Seen from "another server" (the same one here): only existing databases are listed and
  // the registry names are rebuilt from code and year.
  auto remote = ListRemotePeriods(b, "##WS1123", g_.databaseName, true);
  ASSERT_EQ(remote.size(), 2u);
  EXPECT_EQ(remote[0], "KELVARO_7_1402    بازرگاني");
  auto other = ListRemotePeriods(b, "##WS1123", g_.databaseName, false);
  EXPECT_EQ(other.size(), 3u);  // the current period is listed too
}

TEST_F(SessionTest, SettingsReadOptionStringsAndApplyDefaults) {
  db_.RunSql(
      "CREATE TABLE Options (SCode varchar(10), Kelvaro varchar(500), Forosh varchar(500), Anbar "
      "varchar(500)) INSERT INTO Options VALUES ('71403', 'NAMTAFSILY2=مرکز;NAMPROJECT=پروژه;', "
      "'AUTO=YES;NUMPRINT=;', 'QTYNAME=عدد;') "
      "CREATE TABLE UserHub (UserID int, User_Pass1 varchar(20), Kelvaro varchar(200), Sell "
      "varchar(200), Anbar varchar(200)) INSERT INTO UserHub VALUES (2, 'ACC', "
      "'DEL_REP_RECORD=YES;', 'BODYDISCOUNT=YES;', 'ANBARTYPE=2;') "
      "CREATE TABLE GrohTafsily (TafsilyGrohCod varchar(3)) CREATE TABLE GrohTafsily2 "
      "(Tafsily2GrohCod varchar(4))");
  Backend& b = *db_.connection();
  ModuleSettings tm = ReadAccountingSettings(b, g_);
  EXPECT_EQ(tm.Get("NAMTAFSILY2"), "مرکز");
  EXPECT_EQ(tm.Get("DEL_REP_RECORD"), "YES");
  EXPECT_EQ(tm.lenCodGrohTafsily, 3);
  EXPECT_EQ(tm.lenCodGrohTafsily2, 4);
  EXPECT_EQ(tm.lenCodGrohProject, 0);  // no such table

  ModuleSettings tr = ReadSalesSettings(b, g_);
  EXPECT_EQ(tr.Get("AUTO"), "YES");
  EXPECT_EQ(tr.Get("NUMPRINT"), "0");
  EXPECT_EQ(tr.Get("BODYDISCOUNT"), "YES");
  EXPECT_EQ(tr.Get("ENDDISCOUNT"), "NO");
  EXPECT_EQ(tr.Get("SHOWMASRAFINFO"), "F");
  EXPECT_EQ(tr.Get("QTYNAME"), "عدد");

  ModuleSettings ta = ReadInventorySettings(b, g_);
  EXPECT_EQ(ta.Get("ANBARTYPE"), "2");
  EXPECT_EQ(ta.Get("DEL_REP_RECORD"), "");  // no default for inventory

  g_.userKey = "NOBODY";
  g_.companyCode = "0";
  ModuleSettings empty = ReadSalesSettings(b, g_);
  EXPECT_EQ(empty.Get("AUTO"), "NO");
  EXPECT_EQ(empty.Get("NAMFACTOR"), "");
}

TEST(DialogCodes, NormalizedAndAnsweredByScript) {
  EXPECT_EQ(NormalizeDialogCode(""), "1 R");
  EXPECT_EQ(NormalizeDialogCode("1"), "1 R");
  EXPECT_EQ(NormalizeDialogCode("3q"), "3QR");
  EXPECT_EQ(NormalizeDialogCode("1ER"), "1ER");
  EXPECT_EQ(ButtonSetResult("1ER"), kResultOk);
  EXPECT_EQ(ButtonSetResult("2IR"), kResultCancel);
  EXPECT_EQ(ButtonSetResult("3QR"), kResultNo);
  EXPECT_EQ(ButtonSetResult("8OX"), kResultNone);

  ScriptedDialogs d;
  d.answers = {kResultNo};
  EXPECT_EQ(d.ShowDlgMsg("آيا حذف شود؟", "", "3QR"), kResultNo);
  EXPECT_EQ(d.ShowDlgMsg("?", "", "3QR"), kResultYes);
  ASSERT_EQ(d.messages.size(), 2u);
  EXPECT_EQ(d.messages[0].code, "3QR");
}

}  // namespace
}  // namespace xfer::db
