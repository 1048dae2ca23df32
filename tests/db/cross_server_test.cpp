// Tables carried between servers through record-set files, and the copy of missing code rows,
// on two real embedded servers.
#include "db/cross_server.h"
#include <unistd.h>
#include "temp_tree.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/engine.h"

namespace xfer::db {
namespace {

namespace fs = std::filesystem;

class CrossServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = fs::temp_directory_path() /
            ("xfer_cross_" + std::to_string(::getpid()) + "_" +
             std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    xfer_test::RemoveTree(base_);
    fs::create_directories(base_ / "work");
    for (const char* s : {"a", "b"}) engine::Server::Open((base_ / s).string(), true);
    remote_ = OpenBackend("Data Source=" + (base_ / "a").string() + ";Initial Catalog=master;");
    remote_->Execute(
        "CREATE DATABASE Src USE Src "
        "CREATE TABLE KALA (KalaCod varchar(10), KalaNam varchar(40), Qty smallint, Fee float, "
        "Price money, Note text, Pic image, Id int) "
        "INSERT INTO KALA VALUES ('1', 'O''Brien', 3, 1.5, 2.25, 'يادداشت', 0x0102, 7), "
        "('2', 'برنج', NULL, NULL, NULL, NULL, NULL, NULL)");
    g_.workstation = "WS";
    ASSERT_TRUE(local_.ConnectDatabase(g_, (base_ / "b").string(), "master", "SQL", "", ""));
  }
  void TearDown() override {
    remote_.reset();
    local_ = HostDatabase();
    xfer_test::RemoveTree(base_);
  }
  std::string Text(const std::string& sql) { return ScalarText(*local_.connection(), sql); }

  fs::path base_;
  HostGlobal g_;
  HostDatabase local_;
  std::unique_ptr<Backend> remote_;
};

TEST_F(CrossServerTest, RowsArriveInATableTypedFromTheFields) {
  long long n =
      CopyTableAcrossServers(*remote_, local_, (base_ / "work").string(), "Src..KALA", "##WS1KALA");
  EXPECT_EQ(n, 2);
  EXPECT_FALSE(fs::exists(base_ / "work" / "WS1KALA.txt"));  // the work file is removed
  const std::pair<const char*, const char*> types[] = {
      {"KalaCod", "10"}, {"KalaNam", "40"}, {"Qty", "500"},  // small integers are not "integer"
      {"Fee", "8"},      {"Price", "500"},  {"Note", "16"}, {"Pic", "16"}, {"Id", "4"}};
  for (const auto& [column, length] : types)
    EXPECT_EQ(Text(std::string("SELECT COL_LENGTH('tempdb..##WS1KALA', '") + column + "')"), length)
        << column;
  EXPECT_EQ(Text("SELECT KalaNam FROM ##WS1KALA WHERE KalaCod = '1'"), "O'Brien");
  EXPECT_EQ(Text("SELECT Qty FROM ##WS1KALA WHERE KalaCod = '1'"), "3");
  EXPECT_EQ(Text("SELECT Note FROM ##WS1KALA WHERE KalaCod = '1'"), "يادداشت");
  EXPECT_EQ(Text("SELECT COUNT(*) FROM ##WS1KALA WHERE Fee IS NULL"), "1");

  // A second copy replaces the table rather than adding to it.
  CopyTableAcrossServers(*remote_, local_, (base_ / "work").string(), "Src..KALA", "##WS1KALA");
  EXPECT_EQ(Text("SELECT COUNT(*) FROM ##WS1KALA"), "2");
}

TEST_F(CrossServerTest, MissingCodesAreCopiedOnceFromEitherServer) {
  local_.RunSql(
      "CREATE DATABASE Src CREATE DATABASE Dst USE Dst "
      "CREATE TABLE KALA (Idx int IDENTITY(1,1), KalaCod varchar(10), KalaNam varchar(40), "
      "MegyasCod1 varchar(4), MegyasCod2 varchar(4), MegyasCod3 varchar(4)) "
      "CREATE TABLE MEGYAS (MegyasCod varchar(4), MegyasNam varchar(20)) "
      "CREATE TABLE A_KALAPIC (KalaNo varchar(10), KalaPic image) "
      "CREATE TABLE R_FACTOR (KalaCod varchar(10)) "
      "INSERT INTO KALA (KalaCod, KalaNam) VALUES ('1', 'موجود') "
      "INSERT INTO A_KALAPIC VALUES ('9', 0x09) "
      "USE Src "
      "CREATE TABLE KALA (Idx int IDENTITY(1,1), KalaCod varchar(10), KalaNam varchar(40), "
      "MegyasCod1 varchar(4), MegyasCod2 varchar(4), MegyasCod3 varchar(4)) "
      "CREATE TABLE MEGYAS (MegyasCod varchar(4), MegyasNam varchar(20)) "
      "CREATE TABLE A_KALAPIC (KalaNo varchar(10), KalaPic image) "
      "CREATE TABLE R_FACTOR (KalaCod varchar(10)) "
      "INSERT INTO KALA (KalaCod, KalaNam, MegyasCod1) VALUES ('1', 'تکراري', 'M1'), ('2', "
      "'جديد', 'M2'), ('3', 'بي استفاده', NULL) "
      "INSERT INTO MEGYAS VALUES ('M1', 'عدد'), ('M2', 'کيلو'), ('M3', 'بي استفاده') "
      "INSERT INTO A_KALAPIC VALUES ('1', 0x01), ('2', 0x02), ('7', 0x07) "
      "INSERT INTO R_FACTOR VALUES ('2') USE Dst");
  std::string work = (base_ / "work").string();
  CopyMissingCodes(local_, nullptr, work, "Src", "KALA", "R_FACTOR");
  CopyMissingCodes(local_, nullptr, work, "Src", "KALA", "R_FACTOR");  // nothing twice
  EXPECT_EQ(Text("SELECT COUNT(*) FROM KALA"), "2");
  EXPECT_EQ(Text("SELECT KalaNam FROM KALA WHERE KalaCod = '1'"), "موجود");
  EXPECT_EQ(Text("SELECT KalaNam FROM KALA WHERE KalaCod = '2'"), "جديد");
  EXPECT_EQ(Text("SELECT Idx FROM KALA WHERE KalaCod = '2'"), "2");  // identity left to the table

  CopyMissingCodes(local_, nullptr, work, "Src", "MEGYAS", "KALA");
  EXPECT_EQ(Text("SELECT COUNT(*) FROM MEGYAS"), "2");  // only units the source items use

  CopyMissingCodes(local_, nullptr, work, "Src", "A_KALAPIC", "KALA");
  EXPECT_EQ(Text("SELECT COUNT(*) FROM A_KALAPIC"), "2");  // pictures of existing items only
  EXPECT_EQ(Text("SELECT COUNT(*) FROM A_KALAPIC WHERE KalaNo = '9'"), "0");

  // From the other server, through work files named after the tables.
  remote_->Execute(
      "USE Src CREATE TABLE R_BAZARYAB (BazaryabCod varchar(6), BazaryabNam "
      "varchar(30)) CREATE TABLE R_FACTOR (BazaryabCod varchar(6)) INSERT INTO "
      "R_BAZARYAB VALUES ('B1', 'بازارياب يک'), ('B2', 'O''Hara') INSERT INTO R_FACTOR "
      "VALUES ('B2')");
  local_.RunSql("CREATE TABLE R_BAZARYAB (BazaryabCod varchar(6), BazaryabNam varchar(30))");
  CopyMissingCodes(local_, remote_.get(), work, "Src", "R_BAZARYAB", "R_FACTOR");
  EXPECT_EQ(Text("SELECT COUNT(*) FROM R_BAZARYAB"), "1");  // only what the invoices name
  EXPECT_EQ(Text("SELECT BazaryabNam FROM R_BAZARYAB"), "O'Hara");
  EXPECT_FALSE(fs::exists(base_ / "work" / "R_BAZARYAB.txt"));
  EXPECT_EQ(TableColumns(*local_.connection(), "KALA"),
            "[KalaCod] , [KalaNam] , [MegyasCod1] , [MegyasCod2] , [MegyasCod3]");
}

}  // namespace
}  // namespace xfer::db
